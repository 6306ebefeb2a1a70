#pragma once
// The handbook window `frmHandbook` (Help > KVHiTemp Handbook, F1): the user guide, one
// Markdown source (docs/handbook.md, built into the program and installed beside it) shown by
// Qt's own Markdown reader in a browser `txtHandbook` with working links.

#include <QDialog>

QT_BEGIN_NAMESPACE
class QTextBrowser;
QT_END_NAMESPACE

namespace kvh::ui {

class HandbookWindow : public QDialog {
    Q_OBJECT
public:
    explicit HandbookWindow(QWidget* parent = nullptr);

    /// The handbook's Markdown source as built into the program.
    static QString source();

private:
    QTextBrowser* m_browser;
};

} // namespace kvh::ui
