#include "ui/what_if/uncertainty_chart.h"

#include "core/chart_data.h"
#include "core/model.h"
#include "ui/qt_text.h"

#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

namespace kvh::ui {

namespace {

const QString kAccessibleName =
    QStringLiteral("Internal temperature as entered with the band of 90 % of the random runs");
const QString kNominalName = QStringLiteral("As entered");
const QString kBandName = QStringLiteral("5th to 95th percentile");

} // namespace

UncertaintyChart::UncertaintyChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("grfUncertainty"));
    setAccessibleName(kAccessibleName);
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(360, 220);
    chart()->legend()->setAlignment(Qt::AlignBottom);
}

void UncertaintyChart::clear() {
    chart()->removeAllSeries();
    for (QAbstractAxis* axis : chart()->axes())
        chart()->removeAxis(axis);
}

void UncertaintyChart::plot(const core::Uncertainty& u, bool hours) {
    clear();
    auto* low = new QLineSeries;
    auto* high = new QLineSeries;
    auto* nominal = new QLineSeries;
    auto* limit = new QLineSeries;
    const double scale = hours ? 60.0 : 1.0;
    double first = 0, last = 0;
    for (size_t i = 0; i < u.nominal.size(); ++i) {
        const int64_t minute = static_cast<int64_t>(i) * u.bandStep;
        if (minute < core::kLeadIn)
            continue;
        const double x = static_cast<double>(minute - core::kLeadIn) / scale;
        low->append(x, u.bandLow[i]);
        high->append(x, u.bandHigh[i]);
        nominal->append(x, u.nominal[i]);
        last = x;
    }
    limit->append(first, u.limit);
    limit->append(last, u.limit);
    auto* band = new QAreaSeries(high, low);
    band->setName(kBandName);
    band->setColor(QColor(0x56, 0xb4, 0xe9, 110));
    band->setBorderColor(QColor(0x56, 0xb4, 0xe9));
    nominal->setName(kNominalName);
    nominal->setColor(QColor(0x00, 0x72, 0xb2));
    limit->setName(qs(core::kLimitName));
    limit->setPen(QPen(QColor(0xcc, 0x00, 0x00), 1.5, Qt::DashLine));
    auto* x = new QValueAxis;
    x->setTitleText(qs(core::timeAxisTitle(hours)));
    auto* y = new QValueAxis;
    chart()->addAxis(x, Qt::AlignBottom);
    chart()->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{band, nominal, limit}) {
        chart()->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    x->setRange(first, last);
    y->applyNiceNumbers();
}

} // namespace kvh::ui
