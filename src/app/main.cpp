// KVHiTemp, the desktop program: one main window on the real desktop services.

#include "platform/qt_platform.h"
#include "ui/frmhitemp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVHiTemp"));
    QApplication::setApplicationVersion(QStringLiteral(KVH_VERSION));
    kvh::platform::QtPlatform platform;
    kvh::ui::frmHiTemp window(platform);
    window.show();
    return QApplication::exec();
}
