// Pasting 10,000 rows from a spreadsheet (tab-separated, decimal commas): the core alone
// (parse and write into the table), and the whole window from Ctrl+V's command to the window
// painted into an image (parse, one undo command, the grid's model, the doubtful marks, the
// paint), offscreen. Goal: under 200 ms.

#include "core/case.h"
#include "core/dew_file.h"
#include "core/grid_clipboard.h"
#include "platform/platform.h"
#include "ui/editing/case_editor.h"
#include "ui/pages/profile_grid.h"
#include "ui/window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QTabWidget>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace kvh;

constexpr int kRows = 10'000;

/// Rows as a German spreadsheet copies them: ramps and dwells between 120,5 and 180,5 °C.
std::string spreadsheetRows(int rows) {
    std::string text;
    for (int r = 0; r < rows; ++r)
        text += r % 2 ? "Dwell\t180,5\t2,5\n" : "Ramp\t120,5\t1\n";
    return text;
}

/// Hands the pasted text to the window; every other service answers at once.
class ClipboardSource : public platform::Platform {
public:
    QString text;

    platform::Answer messageBox(QWidget*, const QString&, const QString&, platform::Buttons,
                                platform::Icon) override {
        return platform::Answer::Ok;
    }
    QString inputBox(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool printerDialog(QWidget*, QPrinter&) override { return false; }
    void printPreview(QWidget*, QPrinter&, const platform::PaintDocument&) override {}
    void setClipboardText(const QString&) override {}
    QString readClipboardText() override { return text; }
    void setClipboardPicture(const QImage&, const QByteArray&) override {}
};

void BM_CorePaste10kRows(benchmark::State& state) {
    const std::string text = spreadsheetRows(kRows);
    for (auto _ : state) {
        core::Case c;
        const core::PasteBlock block = core::parsePasteText(text, core::kMaxProfileRows);
        core::pasteBlock(c.profile, {2, 1, 2, 1}, block, core::kMaxProfileRows);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_CorePaste10kRows)->Unit(benchmark::kMillisecond);

void BM_WindowPaste10kRows(benchmark::State& state) {
    ClipboardSource platform;
    platform.text = QString::fromStdString(spreadsheetRows(kRows));
    ui::MainWindow window(platform);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.resize(1000, 760);
    window.show();
    window.findChild<QTabWidget*>(QStringLiteral("Tab1"))->setCurrentIndex(1);
    QApplication::processEvents();
    auto* grid = window.findChild<ui::ProfileGrid*>(QStringLiteral("fg1"));
    QAction* paste = window.findChild<QAction*>(QStringLiteral("mnuPasteCells"));
    QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        grid->setCurrentCell(2, 1);
        paste->trigger();
        QApplication::processEvents();
        window.render(&image);
        state.PauseTiming();
        if (window.currentCase().profile.rowCount() != kRows + 2)
            state.SkipWithError("the paste did not add the rows");
        window.editor().history().undo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowPaste10kRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
