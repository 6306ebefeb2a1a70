#include "ui/pages/notice_bar.h"

#include "ui/accessible_text.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kBarName = QStringLiteral("Notice");
const QString kDismissName = QStringLiteral("Dismiss notice");
const QString kShowAllCaption = QStringLiteral("Show &All...");
const QString kAllTitle = QStringLiteral("Notices");
const QString kMoreText = QStringLiteral("and %1 more");
const QString kEllipsis = QStringLiteral("...");
/// A note longer than this is cut in the bar (the whole list shows it whole).
constexpr qsizetype kLongestShown = 160;

/// 12345 -> "12,345", as the program's other texts write counts.
QString grouped(qsizetype n) {
    QString digits = QString::number(n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

} // namespace

QString firstNotes(const QString& heading, const QStringList& lines, int shown) {
    QStringList out{heading};
    for (qsizetype i = 0; i < std::min<qsizetype>(shown, lines.size()); ++i)
        out << (lines[i].size() > kLongestShown ? lines[i].left(kLongestShown) + kEllipsis
                                                : lines[i]);
    if (lines.size() > shown)
        out << kMoreText.arg(grouped(lines.size() - shown));
    return out.join(QLatin1Char('\n'));
}

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
    m_showAll = new QToolButton(this);
    m_dismiss = new QToolButton(this);
    m_text->setObjectName(QStringLiteral("lblNotice"));
    m_text->setAccessibleName(kBarName);
    m_text->setTextFormat(Qt::PlainText);
    // Long notes are cut, never wrapped, and never widen the window.
    m_text->setWordWrap(false);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_showAll->setObjectName(QStringLiteral("cmdShowAllNotices"));
    m_showAll->setText(kShowAllCaption);
    m_showAll->setAutoRaise(true);
    connect(m_showAll, &QToolButton::clicked, this, &NoticeBar::showAll);
    m_dismiss->setObjectName(QStringLiteral("cmdDismissNotice"));
    m_dismiss->setAccessibleName(kDismissName);
    m_dismiss->setToolTip(kDismissName);
    m_dismiss->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_dismiss->setAutoRaise(true);
    connect(m_dismiss, &QToolButton::clicked, this, &QWidget::hide);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_showAll, 0, Qt::AlignBottom);
    layout->addWidget(m_dismiss, 0, Qt::AlignTop);
}

void NoticeBar::showLines(const QString& heading, const QStringList& lines) {
    if (!m_text)
        buildContent();
    m_heading = heading;
    m_lines = lines;
    setLabelText(m_text, kBarName,
                 lines.isEmpty() ? QString() : firstNotes(heading, lines, kShownNotes));
    m_showAll->setVisible(lines.size() > kShownNotes);
    if (m_all)
        m_all->hide(); // it showed the notes of an earlier file
    setVisible(!lines.isEmpty());
}

QString NoticeBar::text() const {
    return m_text ? m_text->text() : QString();
}

void NoticeBar::showAll() {
    if (!m_all) {
        m_all = new QDialog(this);
        m_all->setObjectName(QStringLiteral("dlgNotices"));
        m_all->setWindowTitle(kAllTitle);
        m_allText = new QPlainTextEdit(m_all);
        QPlainTextEdit* list = m_allText;
        list->setObjectName(QStringLiteral("txtNotices"));
        list->setAccessibleName(kAllTitle);
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, m_all);
        connect(buttons, &QDialogButtonBox::rejected, m_all, &QDialog::hide);
        auto* layout = new QVBoxLayout(m_all);
        layout->addWidget(list);
        layout->addWidget(buttons);
        m_all->resize(720, 480);
    }
    m_allText->setPlainText((QStringList{m_heading} + m_lines).join(QLatin1Char('\n')));
    m_all->show();
    m_all->raise();
}

} // namespace kvh::ui
