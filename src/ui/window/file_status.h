#pragma once
// The status bar's account of the case's file: its name (`lblFileName`, the full path as its
// tooltip) and whether the case has changed since it was opened or saved (`lblModified`).

#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QLabel;
class QStatusBar;
QT_END_NAMESPACE

namespace kvh::ui {

/// Two labels on a status bar, named for screen readers.
class FileStatus : public QObject {
    Q_OBJECT
public:
    explicit FileStatus(QStatusBar& bar);

    /// Shows the file `path` ("New case" when empty) and the modified mark.
    void show(const QString& path, bool modified);

private:
    QLabel* m_fileName;
    QLabel* m_modified;
};

} // namespace kvh::ui
