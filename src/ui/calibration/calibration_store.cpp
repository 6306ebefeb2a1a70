#include "ui/calibration/calibration_store.h"

#include "core/file_io.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace kvh::ui {

QString CalibrationStore::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/barriers");
}

QList<core::CalibratedBarrier> CalibrationStore::barriers(QStringList* problems) const {
    QList<core::CalibratedBarrier> found;
    if (m_folder.isEmpty())
        return found;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(name);
        auto bytes = core::readFileBytes(path.toStdString(), core::kCalibratedBarrierMaxBytes);
        std::variant<core::CalibratedBarrier, std::string> parsed = std::string();
        if (const auto* error = std::get_if<core::FileError>(&bytes))
            parsed = error->reason;
        else
            parsed = core::parseCalibratedBarrier(std::get<std::string>(bytes));
        if (auto* barrier = std::get_if<core::CalibratedBarrier>(&parsed))
            found.append(std::move(*barrier));
        else if (problems)
            problems->append(name + QStringLiteral(": ") +
                             QString::fromStdString(std::get<std::string>(parsed)));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.name < b.name; });
    return found;
}

QList<core::CalibratedBarrier> CalibrationStore::matching(const core::SetupState& setup) const {
    QList<core::CalibratedBarrier> all = barriers();
    all.removeIf([&](const core::CalibratedBarrier& b) { return !core::matchesSetup(b, setup); });
    return all;
}

QString CalibrationStore::pathFor(const QString& name) const {
    return QDir(m_folder).filePath(
        QString::fromStdString(core::calibratedBarrierFileName(name.toStdString())));
}

QString CalibrationStore::save(const core::CalibratedBarrier& barrier) const {
    if (m_folder.isEmpty())
        return QStringLiteral("There is no folder for calibrated barriers.");
    if (!QDir().mkpath(m_folder))
        return QStringLiteral("The folder %1 cannot be made.").arg(m_folder);
    const std::string path = pathFor(QString::fromStdString(barrier.name)).toStdString();
    return QString::fromStdString(
        core::writeFileAtomically(path, core::calibratedBarrierJson(barrier)));
}

} // namespace kvh::ui
