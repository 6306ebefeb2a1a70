#pragma once
// File > New from Template (`mnuNewFromTemplate`): the typical profiles shipped with the
// program (solder reflow, powder-coat cure, anneal, furnace braze, liquid quench), one item
// each (`mnuTemplate_<file name>`). They are ".dew" files in a templates folder: the one
// installed beside the program (share/kvhitemp/templates), those of the desktop's data folders
// (so a user may add templates under ~/.local/share/kvhitemp/templates), and the build tree's.

#include <QMenu>

#include <utility>

namespace kvh::ui {

/// The menu of templates, read from the folders each time it opens.
class TemplatesMenu : public QMenu {
    Q_OBJECT
public:
    explicit TemplatesMenu(QWidget* parent = nullptr);

    /// The folders searched, first first; those that do not exist are left out.
    static QStringList folders();
    /// Every template as (caption, path), by caption; of two files of the same name in
    /// different folders the first folder's wins. "powder-coat-cure.dew" is "Powder Coat Cure".
    static QList<std::pair<QString, QString>> templates(const QStringList& folders);

signals:
    void templateChosen(const QString& path);

private:
    void rebuild();
};

} // namespace kvh::ui
