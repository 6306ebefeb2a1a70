#pragma once
// The pieces of text a recording is made of, for the recording reader: the byte encodings,
// lines, fields, numbers, missing-sample markers, clock times and dates. Internal to the core.

#include "recording.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvh::core::trace {

/// The text as UTF-8 and the name of the encoding it came in.
struct DecodedText {
    std::string text;
    std::string encoding;
};

/// UTF-8 (with or without BOM), UTF-16 with BOM, else CP1252 (anything that is not UTF-8).
DecodedText decodeText(std::string_view bytes);

/// The lines of a text; CR LF, LF and CR all end a line.
std::vector<std::string_view> splitLines(std::string_view text);

/// Splits a line at `separator` (' ' splits at runs of blanks and tabs); quoted fields lose
/// their quotes, other fields their surrounding blanks. `out` is reused.
void splitFields(std::string_view line, char separator, std::vector<std::string_view>& out);

/// The whole field as a number with either decimal mark ('.' or `decimalMark`): blanks around
/// it allowed, nothing else; no number for text, infinities or NaN.
std::optional<double> parseNumber(std::string_view field, char decimalMark);

/// Whether the field says "no sample": empty, "---", "OL", "NaN", "N/A", "Err" and the like.
bool isMissingMarker(std::string_view field);

/// A cell of the time column.
struct TimeCell {
    enum class Kind { None, Number, Clock, IsoDate, DotDate, SlashDate } kind = Kind::None;
    double number = 0;          ///< Number: the value
    double seconds = 0;         ///< the clock time of day in seconds (0 without a clock)
    bool hasClock = false;      ///< a date with a clock time
    int year = 0, a = 0, b = 0; ///< date fields: ISO and dotted a=day b=month; slash a/b as written
};

/// Reads a cell as a number, a clock time "hh:mm[:ss[.f]] [AM|PM]", or a date "YYYY-MM-DD",
/// "DD.MM.YYYY" or "A/B/YYYY", optionally followed by a blank or "T" and a clock time.
TimeCell parseTimeCell(std::string_view field, char decimalMark);

/// Whether the field is only "AM" or "PM" (any case).
bool isAmPm(std::string_view field);

/// Days from 1970-01-01 to the date (proleptic Gregorian); nothing for an impossible date.
std::optional<int64_t> daysFromCivil(int year, int month, int day);

/// The unit a header text names ("°C", "degC", "(C)", "°F", "F", ...), if any.
std::optional<TempUnit> unitInText(std::string_view text);

/// The elapsed-time unit a header text names ("s", "sec", "min", "h", "hours", ...), if any.
std::optional<TimeForm> timeUnitInText(std::string_view text);

/// Whether a header text names a time or date column ("Time", "Date", "Zeit", "Elapsed" ...).
bool namesTime(std::string_view text);

/// Whether a header text names a running number ("No.", "Nr", "#", "Index", "Sample").
bool namesCounter(std::string_view text);

} // namespace kvh::core::trace
