#pragma once
// Number rules shared by every part of the program: how a cell's text is read as a number,
// how fractions become whole numbers, and how numbers are shown. None of this depends on the
// system locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvh::core {

/// The leading number of a text, as the grid and the ".dew" reader see it: blanks, tabs and
/// line feeds anywhere are skipped, "." is the decimal point, an optional sign and exponent
/// are allowed, reading stops at the first character that cannot continue the number, and a
/// text without a leading number is 0. Very large exponents give +/-infinity.
double numericValue(std::string_view text);

/// Whether numericValue reads the whole text: it holds a number and nothing after it but the
/// blanks, tabs and line feeds the rule skips ("12.5" and " 1 000 " do, "4OO" and "1,5" not).
bool readsWhole(std::string_view text);

/// Whether a text holds nothing but blanks, tabs and line feeds (the empty text included).
bool isBlankText(std::string_view text);

/// Rounds to the nearest whole number, ties to the even neighbour ("banker's rounding"),
/// independent of the floating-point rounding mode. Inline: a run rounds twice per profile row.
inline double roundHalfEven(double value) {
    // From 2^52 on every double is whole; NaN and the infinities fail the test too.
    if (!(value < 0x1p52 && value > -0x1p52))
        return value;
    // The cast truncates exactly here, without a call into the maths library.
    const double truncated = static_cast<double>(static_cast<int64_t>(value));
    if (truncated == value)
        return value; // whole already (a negative zero stays one)
    const double lower = truncated > value ? truncated - 1.0 : truncated;
    const double diff = value - lower; // exact
    if (diff > 0.5)
        return lower + 1.0;
    if (diff < 0.5)
        return lower;
    return static_cast<int64_t>(lower) % 2 == 0 ? lower : lower + 1.0;
}

/// A display pattern of the form "###0.0": at least one integer digit, a fixed number of
/// decimals, no thousands separator.
enum class Pattern {
    Whole,    ///< "###0"
    OneDec,   ///< "###0.0"
    TwoDec,   ///< "##0.00" and "###0.00" (they differ only in the unused '#' places)
    ThreeDec, ///< "###0.000"
};

/// Formats the exact binary value with the pattern, rounding half away from zero. A value that
/// rounds to zero is shown without a minus sign.
std::string formatPattern(double value, Pattern pattern);

/// The plain text of a number as Open writes it back into a cell: up to 15 significant digits,
/// no trailing zeros, "." as the decimal point, exponent form ("1E+15", "1E-05") outside
/// 1e-4 .. 1e15. Negative zero is written "0".
std::string plainNumberText(double value);

/// Shortest text that reads back to the same single-precision value ("0.1", "123.456", "1e+20").
std::string roundTripText(float value);

/// A strict conversion to single precision for the axis inputs: the whole text (blanks around
/// it allowed) must be one number that fits single precision; anything else is no number.
std::optional<float> parseStrictSingle(std::string_view text);

/// Whether a double fits single precision (finite and within +/-FLT_MAX).
inline bool fitsSingle(double value) {
    constexpr double kSingleMax = 3.40282346638528859812e+38; // FLT_MAX
    return value <= kSingleMax && value >= -kSingleMax;       // NaN fails both
}

/// Removes leading and trailing blanks (spaces only), as the reports trim number cells.
std::string_view trimBlanks(std::string_view text);

} // namespace kvh::core
