#include "ui/window/handbook_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kTitle = QStringLiteral("KVHiTemp Handbook");
const QString kSourcePath = QStringLiteral(":/doc/handbook.md");
const QSize kInitialSize(720, 640);

} // namespace

HandbookWindow::HandbookWindow(QWidget* parent)
    : QDialog(parent), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("frmHandbook"));
    setWindowTitle(kTitle);
    // A window of its own beside the main one: the handbook stays open while the user works.
    setWindowFlag(Qt::Window);
    setModal(false);
    m_browser->setObjectName(QStringLiteral("txtHandbook"));
    m_browser->setAccessibleName(kTitle);
    m_browser->setOpenExternalLinks(true);
    m_browser->setMarkdown(source());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(kInitialSize);
}

QString HandbookWindow::source() {
    QFile file(kSourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace kvh::ui
