// Copy Graph and the printed page for a 24-hour profile, offscreen: the chart rendered to the
// clipboard's bitmap and SVG, and the whole report page painted to a PDF (in memory, and
// through a PDF printer to a file as "&Print" does); then the report of a 10,000-row profile
// to a PDF, whose time must grow linearly with the rows.
//
//   build/bench/kvhitemp_print_bench

#include "core/chart_data.h"
#include "core/model.h"
#include "platform/platform.h"
#include "ui/chart/graph_copy.h"
#include "ui/chart/results_chart.h"
#include "ui/output/report_printer.h"

#include <QApplication>
#include <QBuffer>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <variant>

namespace {

using namespace kvh;

/// Keeps the last picture, as the system clipboard would.
class ClipboardSink : public platform::Platform {
public:
    QImage bitmap;
    QByteArray svg;

    platform::Answer messageBox(QWidget*, const QString&, const QString&, platform::Buttons,
                                platform::Icon) override {
        return platform::Answer::Ok;
    }
    QString inputBox(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool printerDialog(QWidget*, QPrinter&) override { return true; }
    void printPreview(QWidget*, QPrinter&, const platform::PaintDocument&) override {}
    void setClipboardText(const QString&) override {}
    void setClipboardPicture(const QImage& b, const QByteArray& s) override {
        bitmap = b;
        svg = s;
    }
};

/// A day in the oven: start at 70 °F, ramp to 350 °F in an hour, hold, end after 24 hours.
core::Case dayCase() {
    core::Case c;
    c.setup.selectTracer(0); // (choosing the tracer type chooses a model)
    c.setup.selectEnviron(0);
    c.setup.selectModel(2);
    c.selectTempUnit(0);
    c.selectTimeUnit(0);
    const char* rows[][3] = {{"Start Temp", "70", "0"},
                             {"Ramp to Temp", "350", "60"},
                             {"Dwell at Temp", "350", "1320"},
                             {"Ramp to Temp", "70", "60"},
                             {"End Temp", "70", "0"}};
    for (int r = 0; r < 5; ++r)
        for (int col = 0; col < 3; ++col)
            c.profile.setCell(r + 1, col + 1, rows[r][col]);
    return c;
}

/// `rows` profile rows: a start, then ramps of a minute between 100 and 300 °F and dwells.
core::Case longCase(int rows) {
    core::Case c = dayCase();
    c.profile.setRowCount(rows + 1);
    for (int r = 2; r <= rows; ++r) {
        const bool ramp = r % 2 == 0;
        c.profile.setCell(r, core::kColStep, ramp ? "Ramp to Temp" : "Dwell at Temp");
        c.profile.setCell(r, core::kColTemp, r % 4 == 0 ? "300" : "100");
        c.profile.setCell(r, core::kColTime, ramp ? "1" : "2");
    }
    return c;
}

struct Results {
    core::Case input;
    core::ResultTexts texts;
    ui::ResultsChart chart;

    explicit Results(core::Case c) : input(std::move(c)) {
        const core::RunOutcome outcome = core::runModel(input);
        const auto* run = std::get_if<core::RunResult>(&outcome);
        if (run == nullptr) {
            std::fprintf(stderr, "the benchmark's profile did not run\n");
            std::exit(1);
        }
        const core::Evaluation evaluation = core::evaluate(*run, input.setup);
        texts = {evaluation.summary, evaluation.verdict};
        chart.resize(900, 520);
        chart.show();
        chart.plot(core::buildChartData(*run, input.setup, false));
        QApplication::processEvents();
    }
};

Results* g_results = nullptr;
Results* g_longResults = nullptr;

void BM_CopyGraph(benchmark::State& state) {
    ClipboardSink clipboard;
    for (auto _ : state) {
        ui::copyGraph(g_results->chart, clipboard, nullptr, true);
        benchmark::DoNotOptimize(clipboard.svg.size());
    }
    state.counters["svg_kB"] = double(clipboard.svg.size()) / 1024.0;
}
BENCHMARK(BM_CopyGraph)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly();

/// Paints the report of `results` to a PDF in memory, once per iteration.
void printToPdfInMemory(benchmark::State& state, Results& results) {
    const ui::ReportPrinter::Content content{results.input, results.texts, results.chart};
    qsizetype bytes = 0;
    for (auto _ : state) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        ui::ReportPrinter::paintDocument(writer, content);
        bytes = pdf.size();
    }
    state.counters["pdf_kB"] = double(bytes) / 1024.0;
}

void BM_PrintPagePdfInMemory(benchmark::State& state) {
    printToPdfInMemory(state, *g_results);
}
BENCHMARK(BM_PrintPagePdfInMemory)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly();

void BM_PrintPageToPdfPrinter(benchmark::State& state) {
    const ui::ReportPrinter::Content content{g_results->input, g_results->texts, g_results->chart};
    QTemporaryDir dir;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
        ui::ReportPrinter::paintDocument(printer, content);
    }
}
BENCHMARK(BM_PrintPageToPdfPrinter)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly();

void BM_PrintTenThousandRowsToPdf(benchmark::State& state) {
    printToPdfInMemory(state, *g_longResults);
}
BENCHMARK(BM_PrintTenThousandRowsToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Results results(dayCase());
    g_results = &results;
    Results longResults(longCase(10'000));
    g_longResults = &longResults;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
