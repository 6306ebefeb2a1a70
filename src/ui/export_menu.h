#pragma once
// File > Export: the minute series and the barrier comparison as CSV, the results chart as a
// PNG picture or an SVG drawing. Each asks for a file through the platform's Save dialog,
// asks before replacing a file, and writes through a temporary file and a rename.

#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QAction;
class QMenu;
QT_END_NAMESPACE

namespace kvh::ui {

class frmHiTemp;

class ExportMenu : public QObject {
    Q_OBJECT
public:
    /// Adds the "Export" submenu (`mnuExport`) to `file`, before `before` (or at the end).
    ExportMenu(frmHiTemp& window, QMenu* file, QAction* before);

    void mnuExportSeries_Click();
    void mnuExportPng_Click();
    void mnuExportSvg_Click();
    void mnuExportComparison_Click();

private:
    /// Asks for the file (the dialog, then the overwrite question); empty when cancelled.
    QString askPath(const QString& fileName, const QString& filter);
    /// Writes the bytes, telling the user when that fails.
    void write(const QString& path, const QByteArray& bytes);
    /// False after telling the user that there are no results to export yet.
    bool resultsExist();
    void tell(const QString& text);

    frmHiTemp& m_window;
};

} // namespace kvh::ui
