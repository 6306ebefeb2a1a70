#pragma once
// A message bar across the top of the window (`fraNotice`): a few lines of text the user may
// read and dismiss (`cmdDismissNotice`) while going on working; it never takes the focus.

#include <QFrame>

QT_BEGIN_NAMESPACE
class QLabel;
class QToolButton;
QT_END_NAMESPACE

namespace kvh::ui {

class NoticeBar : public QFrame {
    Q_OBJECT
public:
    explicit NoticeBar(QWidget* parent = nullptr);

    /// Shows `lines` under `heading`; no lines hides the bar.
    void showLines(const QString& heading, const QStringList& lines);
    QString text() const;

private:
    void buildContent();

    QLabel* m_text = nullptr;
    QToolButton* m_dismiss = nullptr;
};

} // namespace kvh::ui
