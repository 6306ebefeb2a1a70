#include "ui/no_results.h"

#include "platform/platform.h"

#include <QString>

namespace kvh::ui {

namespace {

/// %1 names what is missing besides the results: nothing, or the graph.
const QString kNotYetText =
    QStringLiteral("The Results%1 have not yet been calculated or created.");
const QString kAndGraph = QStringLiteral(" and Graph");
const QString kDataTitle = QStringLiteral("Data Copy Error");
const QString kGraphTitle = QStringLiteral("Graph Copy Error");

} // namespace

bool refuseWithoutResults(platform::Platform& platform, QWidget* parent, bool resultsExist,
                          ResultsCopy what) {
    if (resultsExist)
        return false;
    const bool graph = what == ResultsCopy::TextsAndGraph;
    platform.messageBox(parent, kNotYetText.arg(graph ? kAndGraph : QString()),
                        graph ? kGraphTitle : kDataTitle, platform::Buttons::Ok,
                        platform::Icon::Critical);
    return true;
}

} // namespace kvh::ui
