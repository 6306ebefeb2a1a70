// KVHiTemp, the desktop program: one main window on the real desktop services.
// `kvhitemp [FILE.dew]` opens the case at start; --help and --version answer without a window.

#include "app/command_line.h"
#include "platform/qt_platform.h"
#include "ui/calibration/calibration_store.h"
#include "ui/editing/case_editor.h"
#include "ui/editing/file_names.h"
#include "ui/recovery/case_recovery.h"
#include "ui/recovery/recovery_bar.h"
#include "ui/recovery/termination_signals.h"
#include "ui/window/app_style.h"
#include "ui/window/main_window.h"
#include "ui/window/settings_file.h"
#include "ui/window/window_settings.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QSettings>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kName = QStringLiteral("KVHiTemp");
const QString kDesktopId = QStringLiteral("org.kvhitemp.KVHiTemp");
const QString kIconResource = QStringLiteral(":/org.kvhitemp.KVHiTemp.svg");

void nameTheProgram() {
    QCoreApplication::setOrganizationName(kName);
    QCoreApplication::setApplicationName(kName);
    QCoreApplication::setApplicationVersion(QStringLiteral(KVH_VERSION));
}

/// The arguments as the window keeps file names (Qt's own list loses bytes that are not UTF-8).
QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << kvh::ui::fileNameFromLocal(QByteArray(argv[i]));
    return arguments;
}

int answer(const kvh::app::CommandLine& line) {
    std::fputs(line.message.toLocal8Bit().constData(), line.toStdout ? stdout : stderr);
    return *line.exitCode;
}

/// --help and --version need no display: they are answered before the window system is
/// reached. Mistakes wait until Qt has taken out its own options (-platform ...).
bool answeredWithoutDisplay(int argc, char* argv[], int& exitCode) {
    int count = argc;
    QCoreApplication core(count, argv);
    nameTheProgram();
    const kvh::app::CommandLine line = kvh::app::CommandLine::parse(argumentsOf(argc, argv));
    if (line.exitCode != 0)
        return false;
    exitCode = answer(line);
    return true;
}

/// Test-only faults and reports for scripts/recovery-soak.sh, off unless their variables are
/// set: KVH_TEST_CRASH_AFTER_EDITS=N aborts the program at its Nth edit (a crash), and
/// KVH_TEST_OFFERED=FILE writes the recovery bar's lines, one per line, into FILE at start.
void installTestHooks(kvh::ui::MainWindow& window) {
    if (const int edits = qEnvironmentVariableIntValue("KVH_TEST_CRASH_AFTER_EDITS"); edits > 0) {
        QObject::connect(&window.editor(), &kvh::ui::CaseEditor::changed, &window,
                         [edits, count = 0]() mutable {
                             if (++count >= edits)
                                 std::abort();
                         });
    }
    const QString offered = qEnvironmentVariable("KVH_TEST_OFFERED");
    if (offered.isEmpty())
        return;
    const kvh::ui::RecoveryBar* bar = window.recoveryBar();
    QFile out(offered);
    if (bar && out.open(QIODevice::WriteOnly))
        out.write(bar->lines().join(QLatin1Char('\n')).toUtf8() + '\n');
}

/// The window with its settings, recovery copies and calibrations, until the user closes it.
int runWindow(const kvh::app::CommandLine& line) {
    const kvh::ui::SettingsFile settingsFile;
    if (!settingsFile.refusal().isEmpty())
        std::fputs(settingsFile.refusal().toLocal8Bit().constData(), stderr);
    QSettings& settings = settingsFile.settings();
    kvh::ui::WindowSettings place(settings);
    kvh::platform::QtPlatform platform;
    kvh::ui::MainWindow window(platform);
    window.setSettings(&settings);
    window.setCalibrationFolder(kvh::ui::CalibrationStore::defaultFolder());
    window.keepRecoveryCopies(kvh::ui::CaseRecovery::defaultFolder());
    // Ended from outside (`kill`, the end of the session, Ctrl+C): the unsaved case is kept at
    // once.
    kvh::ui::TerminationSignals termination;
    QObject::connect(&termination, &kvh::ui::TerminationSignals::arrived, &window, [&](int sig) {
        window.recovery()->writeNow();
        kvh::ui::TerminationSignals::endBy(sig);
    });
    installTestHooks(window);
    place.restoreGeometry(window);
    window.show();
    if (!line.file.isEmpty())
        window.openFile(line.file);
    place.restorePage(window.pages(), window.currentCase().setup.complete());
    const int code = QApplication::exec();
    place.save(window, window.pages());
    return code;
}

} // namespace

int main(int argc, char* argv[]) {
    // Past a file size limit (ulimit -f) a save fails with EFBIG and says so, instead of the
    // signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (int code = 0; answeredWithoutDisplay(argc, argv, code))
        return code;
    QApplication app(argc, argv);
    kvh::ui::installAppStyle();
    nameTheProgram();
    QGuiApplication::setDesktopFileName(kDesktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(kDesktopId, QIcon(kIconResource)));
    // QApplication has taken its own options out of argv.
    const kvh::app::CommandLine line = kvh::app::CommandLine::parse(argumentsOf(argc, argv));
    if (line.exitCode)
        return answer(line);
    return runWindow(line);
}
