#include "ui/window/file_drop.h"

#include "core/dew_file.h"
#include "ui/qt_text.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace kvh::ui {

FileDropFilter::FileDropFilter(QWidget* watched) : QObject(watched) {
    watched->setAcceptDrops(true);
    watched->installEventFilter(this);
}

QString FileDropFilter::droppedCase(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && core::hasDewSuffix(toStd(path)))
            return path;
    }
    return {};
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = droppedCase(drop->mimeData());
    if (path.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        QTimer::singleShot(0, this, [this, path] { emit fileDropped(path); });
    return true;
}

} // namespace kvh::ui
