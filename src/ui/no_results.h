#pragma once
// The refusal of a command that needs a run's results before there are any.

class QWidget;

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

/// What the refused command would have copied.
enum class ResultsCopy {
    Texts,         ///< "Copy Data and Text": "Data Copy Error"
    TextsAndGraph, ///< "Copy Graph": "Graph Copy Error"
};

/// Tells that the results have not been calculated yet, when `resultsExist` is false; true
/// when it told (the caller stops there).
bool refuseWithoutResults(platform::Platform& platform, QWidget* parent, bool resultsExist,
                          ResultsCopy what);

} // namespace kvh::ui
