#include "ui/notice_bar.h"

#include "ui/accessible_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace kvh::ui {

namespace {

const QString kBarName = QStringLiteral("Notice");
const QString kDismissName = QStringLiteral("Dismiss notice");

} // namespace

NoticeBar::NoticeBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("fraNotice"));
    setAccessibleName(kBarName);
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
    hide();
}

void NoticeBar::buildContent() {
    // Made with the first notice: most sessions open no file that needs one.
    m_text = new QLabel(this);
    m_dismiss = new QToolButton(this);
    m_text->setObjectName(QStringLiteral("lblNotice"));
    m_text->setAccessibleName(kBarName);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_dismiss->setObjectName(QStringLiteral("cmdDismissNotice"));
    m_dismiss->setAccessibleName(kDismissName);
    m_dismiss->setToolTip(kDismissName);
    m_dismiss->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_dismiss->setAutoRaise(true);
    connect(m_dismiss, &QToolButton::clicked, this, &QWidget::hide);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_dismiss, 0, Qt::AlignTop);
}

void NoticeBar::showLines(const QString& heading, const QStringList& lines) {
    if (!m_text)
        buildContent();
    setLabelText(m_text, kBarName,
                 lines.isEmpty() ? QString()
                                 : (QStringList{heading} + lines).join(QLatin1Char('\n')));
    setVisible(!lines.isEmpty());
}

QString NoticeBar::text() const {
    return m_text ? m_text->text() : QString();
}

} // namespace kvh::ui
