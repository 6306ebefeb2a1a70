#pragma once
// Twips, the unit the window's layout and the printed page were drawn in.

namespace kvh::ui {

inline constexpr double kTwipsPerInch = 1440.0;
/// Twips per pixel of the 96 dpi layout the column widths were drawn for.
inline constexpr double kTwipsPerPixel = kTwipsPerInch / 96.0;

/// Device units per twip on a device of `dpi` dots to the inch.
constexpr double unitsPerTwip(double dpi) {
    return dpi / kTwipsPerInch;
}

} // namespace kvh::ui
