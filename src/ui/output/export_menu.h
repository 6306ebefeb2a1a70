#pragma once
// File > Export: the minute series and the barrier comparison as CSV, the results chart as a
// PNG picture or an SVG drawing, from any page. Each saves through the program's save flow,
// starting beside the case's file under the case's name ("anneal.series.csv").

#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QAction;
class QMenu;
QT_END_NAMESPACE

namespace kvh::ui {

class MainWindow;
struct ExportKind;

class ExportMenu : public QObject {
    Q_OBJECT
public:
    /// Adds the "Export" submenu (`mnuExport`) to `file`, before `before` (or at the end).
    ExportMenu(MainWindow& window, QMenu* file, QAction* before);

    void mnuExportSeries_Click();
    void mnuExportPng_Click();
    void mnuExportSvg_Click();
    void mnuExportComparison_Click();

private:
    /// Asks for the file and saves `bytes` there.
    void exportBytes(const ExportKind& kind, const QByteArray& bytes);
    /// False after naming what the setup lacks for a run.
    bool setupComplete();
    /// The results chart shows the case as it is now: as displayed on the results page,
    /// otherwise after a run. False after the user has been told why not.
    bool chartShowsTheCase();
    void tell(const QString& text);

    MainWindow& m_window;
};

} // namespace kvh::ui
