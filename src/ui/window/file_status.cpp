#include "ui/window/file_status.h"

#include "ui/accessible_text.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

namespace kvh::ui {

namespace {

const QString kUntitled = QStringLiteral("New case");
const QString kModifiedMark = QStringLiteral("Modified");
const QString kFileNameName = QStringLiteral("File name");
const QString kModifiedName = QStringLiteral("Modified state");
const QString kUnmodified = QStringLiteral("no unsaved changes");

} // namespace

FileStatus::FileStatus(QStatusBar& bar)
    : QObject(&bar), m_fileName(new QLabel), m_modified(new QLabel) {
    m_fileName->setObjectName(QStringLiteral("lblFileName"));
    m_fileName->setAccessibleName(kFileNameName);
    m_modified->setObjectName(QStringLiteral("lblModified"));
    m_modified->setAccessibleName(kModifiedName);
    bar.setObjectName(QStringLiteral("sbStatus"));
    bar.addWidget(m_fileName);
    bar.addWidget(m_modified);
}

void FileStatus::show(const QString& path, bool modified) {
    setLabelText(m_fileName, kFileNameName,
                 path.isEmpty() ? kUntitled : QFileInfo(path).fileName());
    m_fileName->setToolTip(QDir::toNativeSeparators(path));
    setLabelText(m_modified, kModifiedName, modified ? kModifiedMark : QString());
    // The mark is empty while nothing is unsaved; a reader still hears the state.
    if (!modified)
        m_modified->setAccessibleName(kModifiedName + QStringLiteral(": ") + kUnmodified);
}

} // namespace kvh::ui
