#pragma once
// File > Open Recent (`mnuOpenRecent`): one item per recent file (`mnuRecent_<n>`, newest
// first, numbered as mnemonics) and "Clear Menu" (`mnuClearRecent`).

#include <QMenu>

namespace kvh::ui {

class RecentFiles;

/// Shows a RecentFiles list and follows its changes; choosing an item asks for the file.
class RecentFilesMenu : public QMenu {
    Q_OBJECT
public:
    RecentFilesMenu(RecentFiles& files, QWidget* parent = nullptr);

signals:
    void fileChosen(const QString& path);

private:
    void rebuild();

    RecentFiles& m_files;
};

} // namespace kvh::ui
