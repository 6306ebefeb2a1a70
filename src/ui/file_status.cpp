#include "ui/file_status.h"

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
    m_fileName->setText(path.isEmpty() ? kUntitled : QFileInfo(path).fileName());
    m_fileName->setToolTip(QDir::toNativeSeparators(path));
    m_modified->setText(modified ? kModifiedMark : QString());
}

} // namespace kvh::ui
