#pragma once
// Fixing an axis range of the results chart: the user picks an axis, two input boxes ask for
// the low and the high end, and the axis shows that range with the program's choice of major
// divisions until the next run sets it back to automatic scaling.

#include <QString>

class QWidget;

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class ResultsChart;

/// Asks for a fixed range of the picked axis (1 = y, any other identifier = x) and fixes it.
/// A cancelled box, an answer that is not a single-precision number, or a y range whose tenth
/// does not fit 16 bits ends the editing with the axis unchanged. Returns whether it changed.
bool editAxisScale(ResultsChart& chart, platform::Platform& platform, QWidget* parent, int axisId);

/// An input box's default: the value in single precision (what the answer is read back as),
/// written as the shortest plain decimal number without an exponent.
QString axisValueText(double value);

} // namespace kvh::ui
