#pragma once
// File > Export: the minute series and the barrier comparison as CSV, the results chart as a
// PNG picture or an SVG drawing, from any page. Each saves through the program's save flow,
// starting beside the case's file under the case's name ("anneal.series.csv").

#include "core/advisor.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

QT_BEGIN_NAMESPACE
class QAction;
class QMenu;
class QWidget;
QT_END_NAMESPACE

namespace kvh::core {
struct Case;
}
namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class CaseEditor;
class ResultsChart;
struct ExportKind;

class ExportMenu : public QObject {
    Q_OBJECT
public:
    /// What the exports need of the window that shows the case.
    struct Host {
        platform::Platform& platform;
        QWidget* window;
        const CaseEditor& editor;
        std::function<QString()> filePath;
        ResultsChart& chart;
        /// The results page is up with the results of the case as it is now.
        std::function<bool()> resultsShown;
        /// Runs the case and shows the results; false after the user has been told why not.
        std::function<bool()> runAndShowResults;
        /// The compare page's comparison of every barrier (the page is built if need be).
        std::function<const std::optional<core::ComparisonOutcome>&()> comparison;
    };

    /// Adds the "Export" submenu (`mnuExport`) to `file`, before `before` (or at the end).
    ExportMenu(Host host, QMenu* file, QAction* before);

    void exportSeries();
    void exportPng();
    void exportSvg();
    void exportComparison();

private:
    /// Asks for the file and saves `bytes` there.
    void exportBytes(const ExportKind& kind, const QByteArray& bytes);
    /// False after naming what the setup lacks for a run.
    bool setupComplete();
    /// The results chart shows the case as it is now: as displayed on the results page,
    /// otherwise after a run. False after the user has been told why not.
    bool chartShowsTheCase();
    void tell(const QString& text);
    const core::Case& theCase() const;

    Host m_host;
};

} // namespace kvh::ui
