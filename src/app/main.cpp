// KVHiTemp, the desktop program: one main window on the real desktop services.
// `kvhitemp [FILE.dew]` opens the case at start; --help and --version answer without a window.

#include "platform/qt_platform.h"
#include "ui/app_style.h"
#include "ui/calibration/calibration_store.h"
#include "ui/command_line.h"
#include "ui/file_names.h"
#include "ui/frmhitemp.h"
#include "ui/window_settings.h"

#include <QApplication>
#include <QIcon>
#include <QSettings>

#include <csignal>
#include <cstdio>

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

int answer(const kvh::ui::CommandLine& line) {
    std::fputs(line.message.toLocal8Bit().constData(), line.toStdout ? stdout : stderr);
    return *line.exitCode;
}

/// --help and --version need no display: they are answered before the window system is
/// reached. Mistakes wait until Qt has taken out its own options (-platform ...).
bool answeredWithoutDisplay(int argc, char* argv[], int& exitCode) {
    int count = argc;
    QCoreApplication core(count, argv);
    nameTheProgram();
    const kvh::ui::CommandLine line = kvh::ui::CommandLine::parse(argumentsOf(argc, argv));
    if (line.exitCode != 0)
        return false;
    exitCode = answer(line);
    return true;
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
    const kvh::ui::CommandLine line = kvh::ui::CommandLine::parse(argumentsOf(argc, argv));
    if (line.exitCode)
        return answer(line);

    QSettings settings;
    kvh::ui::WindowSettings place(settings);
    kvh::platform::QtPlatform platform;
    kvh::ui::frmHiTemp window(platform);
    window.setSettings(&settings);
    window.setCalibrationFolder(kvh::ui::CalibrationStore::defaultFolder());
    place.restoreGeometry(window);
    window.show();
    if (!line.file.isEmpty())
        window.openFile(line.file);
    place.restorePage(window);
    const int code = QApplication::exec();
    place.save(window);
    return code;
}
