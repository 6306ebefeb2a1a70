// Speed and memory of the desktop program, offscreen:
//  - choosing "Results and Graph" until the chart is painted (model, texts, chart, a render of
//    the window into an image) for profiles of 1,440, 32,767 and 1,000,000 minutes;
//  - the same for profiles alternating between two temperatures (a dense curve), against a
//    smooth profile of the same length;
//  - opening a case of 100,000 rows until the window is painted, and one of 100,000 notes;
//  - start-up to the first painted window, against a bare window of the same kinds of widgets
//    (tabs, a label, buttons, all drawing text), each in a fresh process: the CPU time the
//    process has used by its first paint (the goal) and the wall-clock time from its launch;
//  - peak memory (ru_maxrss) of a process that shows the results of one long profile.
// Without arguments it runs everything and prints a table; the child processes it starts
// run it with --startup-app, --startup-bare, --startup-empty or --rss MINUTES. Any
// QT_QPA_PLATFORM set outside is kept (for example xcb under xvfb-run); offscreen otherwise.

#include "platform/platform.h"
#include "ui/window/app_style.h"
#include "ui/window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <tuple>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

/// Nanoseconds on the system-wide monotonic clock, comparable between processes.
long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

/// CPU time of this process so far (all its threads), in nanoseconds.
long long processCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

/// Answers the Open dialog with one file and every message box with OK.
class BenchPlatform : public kvh::platform::Platform {
public:
    QString fileToOpen;
    int messages = 0;

    kvh::platform::Answer messageBox(QWidget*, const QString& text, const QString&,
                                     kvh::platform::Buttons, kvh::platform::Icon) override {
        ++messages;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return kvh::platform::Answer::Ok;
    }
    QString inputBox(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return fileToOpen; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool printerDialog(QWidget*, QPrinter&) override { return false; }
    void printPreview(QWidget*, QPrinter&, const kvh::platform::PaintDocument&) override {}
    void setClipboardText(const QString&) override {}
    void setClipboardPicture(const QImage&, const QByteArray&) override {}
};

/// A heat treatment of `minutes` in all: start, an hour's ramp to 180 °C, a dwell, an hour's
/// cool-down.
QByteArray profileOf(int minutes) {
    const QByteArray dwell = QByteArray::number(minutes - 120);
    return "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 2\r\n"
           "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\nR,180,60\r\nD,180," +
           dwell + "\r\nE,25,60\r\n";
}

/// `rows` profile rows: a start, one-minute ramps alternating between 180 °C and 25 °C, and an
/// end: a curve with a turn at every minute. Lasts rows + 58 minutes.
QByteArray alternatingProfileOf(int rows) {
    QByteArray out = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 2\r\n"
                     "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n";
    out.reserve(out.size() + 12 * rows);
    for (int r = 0; r < rows - 2; ++r)
        out += r % 2 ? "R,25,1\r\n" : "R,180,1\r\n";
    return out + "E,25,60\r\n";
}

/// A case of `rows` rows, each with a temperature read differently from how it looks ("4OO").
QByteArray notedProfileOf(int rows) {
    QByteArray out = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 2\r\n"
                     "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n";
    for (int r = 0; r < rows - 1; ++r)
        out += "R,4OO,1\r\n";
    return out;
}

/// The window with a case opened, shown on the Setup page.
class Session {
public:
    BenchPlatform platform;
    kvh::ui::MainWindow window{platform};
    QTemporaryDir dir;

    explicit Session(int minutes) : Session(profileOf(minutes)) {}

    explicit Session(const QByteArray& dew) {
        const QString path = dir.filePath(QStringLiteral("bench.dew"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(dew) < 0)
            qFatal("cannot write the case");
        f.close();
        platform.fileToOpen = path;
        // Shown and laid out but kept off the screen, so the one paint measured is the render
        // into the image below, not a second paint of the same window on a screen.
        window.setAttribute(Qt::WA_DontShowOnScreen);
        window.resize(1000, 760);
        window.show();
        open();
    }

    /// From File > Open (the dialog answered at once) to the window painted into an image, in ms.
    double open() {
        QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
        const auto start = Clock::now();
        window.findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
        QCoreApplication::processEvents();
        window.render(&image);
        const auto end = Clock::now();
        if (platform.messages > 0)
            qFatal("opening showed a message");
        return std::chrono::duration<double, std::milli>(end - start).count();
    }

    QTabWidget* tab() { return window.findChild<QTabWidget*>(QStringLiteral("Tab1")); }

    /// From choosing "Results and Graph" to the window painted into an image, in ms.
    double showResults() {
        tab()->setCurrentIndex(0);
        QCoreApplication::processEvents();
        QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
        const auto start = Clock::now();
        tab()->setCurrentIndex(2);
        QCoreApplication::processEvents();
        window.render(&image);
        const auto end = Clock::now();
        if (platform.messages > 0)
            qFatal("the run showed a message");
        return std::chrono::duration<double, std::milli>(end - start).count();
    }
};

double peakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // KiB on Linux
}

/// The peak resident set of this process image alone (VmHWM), which, unlike ru_maxrss, does
/// not start from the parent's size at the fork.
double highWaterMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0.0;
}

enum class StartWindow { Empty, Bare, Program };

/// The reference for start-up: a main window with the same kinds of widgets as the program's
/// first page (tabs, a label, buttons), all drawing text, and nothing of the program.
std::unique_ptr<QMainWindow> bareWindow() {
    auto window = std::make_unique<QMainWindow>();
    auto* tabs = new QTabWidget;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Temperature Units")));
    for (const char* text : {"Celsius", "Fahrenheit", "Minutes", "Hours"})
        layout->addWidget(new QPushButton(QString::fromLatin1(text)));
    tabs->addTab(page, QStringLiteral("Setup"));
    for (const char* text : {"Process", "Results and Graph", "Print"})
        tabs->addTab(new QWidget, QString::fromLatin1(text));
    window->setCentralWidget(tabs);
    return window;
}

/// Child: start-up to the first paint of a window, printed as the monotonic time then.
int startupChild(StartWindow kind) {
    std::unique_ptr<BenchPlatform> platform;
    std::unique_ptr<QMainWindow> window;
    if (kind == StartWindow::Program) {
        kvh::ui::installAppStyle(); // as the program does first
        platform = std::make_unique<BenchPlatform>();
        window = std::make_unique<kvh::ui::MainWindow>(*platform);
    } else if (kind == StartWindow::Bare) {
        window = bareWindow();
    } else {
        window = std::make_unique<QMainWindow>(); // draws no text: no font database
    }
    struct FirstPaint : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && !seen) {
                seen = true;
                // Once this paint has finished:
                QTimer::singleShot(0, [] {
                    std::printf("%lld %lld\n", monotonicNs(), processCpuNs());
                    std::fflush(stdout);
                    QCoreApplication::quit();
                });
            }
            return false;
        }
    } filter;
    window->installEventFilter(&filter);
    window->resize(1000, 760);
    window->show();
    return QApplication::exec();
}

/// Child: one results display of a long profile, then the process's peak memory.
int rssChild(int minutes) {
    Session session(minutes);
    session.showResults();
    std::printf("%.1f %.1f\n", peakRssMiB(), highWaterMiB());
    return 0;
}

/// Runs this program again with `args`; returns the numbers it printed.
QList<double> runChild(const QStringList& args) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), args);
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        qFatal("child %s failed", qPrintable(args.join(QLatin1Char(' '))));
    QList<double> numbers;
    for (const QByteArray& word : child.readAllStandardOutput().simplified().split(' '))
        numbers << word.toDouble();
    return numbers;
}

/// Start-up of one child: the time from its launch to its first paint, and the CPU time it
/// had used by then (ms).
struct Startup {
    double wallMs;
    double cpuMs;
};

Startup startup(const QString& which) {
    const long long before = monotonicNs();
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {which});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        qFatal("start-up child failed");
    const QList<QByteArray> words = child.readAllStandardOutput().simplified().split(' ');
    if (words.size() != 2)
        qFatal("start-up child printed no times");
    return {(words[0].toLongLong() - before) / 1e6, words[1].toLongLong() / 1e6};
}

void row(const char* what, double value, const char* unit, double goal) {
    std::printf("%-52s %9.2f %-4s (goal < %g) %s\n", what, value, unit, goal,
                value < goal ? "ok" : "OVER");
}

int runAll() {
    std::printf("KVHiTemp desktop benchmark (%s, medians)\n\n",
                qPrintable(QGuiApplication::platformName()));
    // Memory first, while this process is still small: a child's ru_maxrss starts from the
    // parent's size at the fork.
    const QList<double> mid = runChild({QStringLiteral("--rss"), QStringLiteral("32767")});
    const QList<double> big = runChild({QStringLiteral("--rss"), QStringLiteral("1000000")});

    struct Case {
        int minutes;
        double goalMs;
        const char* label;
    };
    const Case cases[] = {{1440, 20.0, "Results and Graph, 24-hour profile (1,440 min)"},
                          {32767, 30.0, "Results and Graph, 32,767-minute profile"},
                          {1000000, 80.0, "Results and Graph, 1,000,000-minute profile"}};
    constexpr int kRuns = 15;
    for (const Case& c : cases) {
        Session session(c.minutes);
        session.showResults(); // the first run also takes its memory from the system
        std::vector<double> times;
        for (int i = 0; i < kRuns; ++i)
            times.push_back(session.showResults());
        row(c.label, median(times), "ms", c.goalMs);
    }

    // A dense curve (a turn at every minute) against a smooth one of the same length.
    for (const int rows : {1000, 100000}) {
        Session dense(alternatingProfileOf(rows));
        Session smooth(rows + 60);
        std::vector<double> denseTimes, smoothTimes;
        dense.showResults();
        smooth.showResults();
        for (int i = 0; i < kRuns; ++i) {
            denseTimes.push_back(dense.showResults());
            smoothTimes.push_back(smooth.showResults());
        }
        const double d = median(denseTimes), s = median(smoothTimes);
        std::printf("%-52s %9.2f ms\n",
                    qPrintable(QStringLiteral("Results and Graph, %1 alternating rows").arg(rows)),
                    d);
        std::printf("%-52s %9.2f ms\n", "  a smooth profile of the same length", s);
        row("  ratio alternating / smooth", d / s, "x", 1.5);
    }

    {
        Session session(alternatingProfileOf(100000));
        std::vector<double> times;
        for (int i = 0; i < kRuns; ++i)
            times.push_back(session.open());
        row("Open a case of 100,000 rows, to the painted window", median(times), "ms", 60.0);
    }

    {
        // Every row a field not read as written: 100,000 notes for the notice bar.
        Session session(notedProfileOf(100000));
        std::vector<double> times;
        for (int i = 0; i < kRuns; ++i)
            times.push_back(session.open());
        row("Open a case of 100,000 notes, to the painted window", median(times), "ms", 1000.0);
    }

    // Started in turns, so a busy moment of the machine falls on all three alike.
    constexpr int kStarts = 15;
    std::vector<double> emptyWall, bareWall, appWall, emptyCpu, bareCpu, appCpu;
    for (int i = 0; i < kStarts; ++i) {
        for (auto [which, wall, cpu] :
             {std::tuple{QStringLiteral("--startup-empty"), &emptyWall, &emptyCpu},
              std::tuple{QStringLiteral("--startup-bare"), &bareWall, &bareCpu},
              std::tuple{QStringLiteral("--startup-app"), &appWall, &appCpu}}) {
            const Startup s = startup(which);
            wall->push_back(s.wallMs);
            cpu->push_back(s.cpuMs);
        }
    }
    std::printf("\n%-52s %9s %9s\n", "Start-up to first paint", "wall ms", "CPU ms");
    const auto startRow = [](const char* what, const std::vector<double>& wall,
                             const std::vector<double>& cpu) {
        std::printf("  %-50s %9.1f %9.1f\n", what, median(wall), median(cpu));
    };
    startRow("empty QMainWindow (no text)", emptyWall, emptyCpu);
    startRow("bare window (tabs, label, buttons)", bareWall, bareCpu);
    startRow("kvhitemp window", appWall, appCpu);
    std::printf("%-52s %9.2f x\n", "  wall-clock ratio kvhitemp / bare",
                median(appWall) / median(bareWall));
    row("Start-up CPU time ratio kvhitemp / bare", median(appCpu) / median(bareCpu), "x", 1.25);

    std::printf("\n");
    row("Peak memory (ru_maxrss) after a 32,767-minute run", mid.value(0), "MiB", 45.0);
    row("Peak memory (ru_maxrss) after a 1,000,000-minute run", big.value(0), "MiB", 100.0);
    std::printf("%-52s %9.2f / %.2f MiB\n", "  the same as VmHWM (32,767 / 1,000,000)",
                mid.value(1), big.value(1));

    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 2 && args[1] == QStringLiteral("--startup-app"))
        return startupChild(StartWindow::Program);
    if (args.size() >= 2 && args[1] == QStringLiteral("--startup-bare"))
        return startupChild(StartWindow::Bare);
    if (args.size() >= 2 && args[1] == QStringLiteral("--startup-empty"))
        return startupChild(StartWindow::Empty);
    if (args.size() >= 3 && args[1] == QStringLiteral("--rss"))
        return rssChild(args[2].toInt());
    if (args.size() >= 2 && args[1] == QStringLiteral("--dense-only")) {
        // For a profiler: the dense 100,000-row case alone, many times.
        Session dense(alternatingProfileOf(100000));
        for (int i = 0; i < 40; ++i)
            dense.showResults();
        return 0;
    }
    return runAll();
}
