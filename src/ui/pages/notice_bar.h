#pragma once
// A message bar across the top of the window (`fraNotice`): a few lines of text the user may
// read and dismiss (`cmdDismissNotice`) while going on working; it never takes the focus. It
// shows the first few notes and "and N more"; "Show All..." (`cmdShowAllNotices`) opens the
// whole list in a scrolling view (`dlgNotices`). Its height never depends on how many notes
// there are, nor its width on how long they are.

#include <QFrame>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QDialog;
class QLabel;
class QPlainTextEdit;
class QToolButton;
QT_END_NAMESPACE

namespace kvh::ui {

/// `heading`, then the first `shown` of `lines` (each cut to a readable length), then
/// "and N more" when there are more.
QString firstNotes(const QString& heading, const QStringList& lines, int shown);

class NoticeBar : public QFrame {
    Q_OBJECT
public:
    /// How many notes the bar shows before "and N more".
    static constexpr int kShownNotes = 5;

    explicit NoticeBar(QWidget* parent = nullptr);

    /// Shows `lines` under `heading`; no lines hides the bar.
    void showLines(const QString& heading, const QStringList& lines);
    /// What the bar shows.
    QString text() const;
    /// The whole list in its own window.
    void showAll();

private:
    void buildContent();

    QLabel* m_text = nullptr;
    QToolButton* m_showAll = nullptr;
    QToolButton* m_dismiss = nullptr;
    QDialog* m_all = nullptr;
    QPlainTextEdit* m_allText = nullptr; ///< the dialog's list of every line
    QString m_heading;
    QStringList m_lines;
};

} // namespace kvh::ui
