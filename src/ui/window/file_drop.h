#pragma once
// Dropping a ".dew" file onto a window opens it.

#include <QObject>

QT_BEGIN_NAMESPACE
class QMimeData;
class QWidget;
QT_END_NAMESPACE

namespace kvh::ui {

/// Watches a widget for drags of local files: a ".dew" file is accepted and, once dropped,
/// announced by `fileDropped` after the drop has finished (the drag source is not kept waiting
/// while the file opens and perhaps shows a message).
class FileDropFilter : public QObject {
    Q_OBJECT
public:
    explicit FileDropFilter(QWidget* watched);

    /// The first local ".dew" file the data names, or empty.
    static QString droppedCase(const QMimeData* data);

signals:
    void fileDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kvh::ui
