#include "ui/recording/measured_store.h"

#include <QFileInfo>
#include <QSettings>

namespace kvh::ui {

namespace {

const QString kGroup = QStringLiteral("MeasuredRecordings/");
const QString kTrace = QStringLiteral("trace");
const QString kColumn = QStringLiteral("column");
const QString kOffset = QStringLiteral("offset");
const QString kTimeColumn = QStringLiteral("timeColumn");
const QString kDateOrder = QStringLiteral("dateOrder");
const QString kUnit = QStringLiteral("unit");

} // namespace

QString MeasuredStore::group(const QString& casePath) const {
    // A path's slashes would nest settings groups: the key is the path's bytes in hex.
    const QString absolute = QFileInfo(casePath).absoluteFilePath();
    return kGroup + QString::fromLatin1(absolute.toUtf8().toHex()) + QLatin1Char('/');
}

std::optional<MeasuredAttachment> MeasuredStore::find(const QString& casePath) const {
    if (!m_settings || casePath.isEmpty())
        return std::nullopt;
    const QString g = group(casePath);
    const QString trace = m_settings->value(g + kTrace).toString();
    if (trace.isEmpty())
        return std::nullopt;
    MeasuredAttachment a;
    a.tracePath = trace;
    a.column = std::max(m_settings->value(g + kColumn).toInt(), 0);
    a.offset = m_settings->value(g + kOffset).toDouble();
    a.options.timeColumn = m_settings->value(g + kTimeColumn, -1).toInt();
    const int order = m_settings->value(g + kDateOrder).toInt();
    a.options.dateOrder = order == 1   ? core::DateOrder::DayMonth
                          : order == 2 ? core::DateOrder::MonthDay
                                       : core::DateOrder::Unknown;
    const QString unit = m_settings->value(g + kUnit).toString();
    if (unit == QStringLiteral("C"))
        a.options.unit = core::TempUnit::Celsius;
    else if (unit == QStringLiteral("F"))
        a.options.unit = core::TempUnit::Fahrenheit;
    return a;
}

void MeasuredStore::remember(const QString& casePath, const MeasuredAttachment& a) {
    if (!m_settings || casePath.isEmpty())
        return;
    const QString g = group(casePath);
    m_settings->setValue(g + kTrace, a.tracePath);
    m_settings->setValue(g + kColumn, a.column);
    m_settings->setValue(g + kOffset, a.offset);
    m_settings->setValue(g + kTimeColumn, a.options.timeColumn);
    m_settings->setValue(g + kDateOrder, static_cast<int>(a.options.dateOrder));
    m_settings->setValue(g + kUnit, !a.options.unit ? QString()
                                    : *a.options.unit == core::TempUnit::Celsius
                                        ? QStringLiteral("C")
                                        : QStringLiteral("F"));
}

void MeasuredStore::forget(const QString& casePath) {
    if (m_settings && !casePath.isEmpty())
        m_settings->remove(group(casePath).chopped(1));
}

} // namespace kvh::ui
