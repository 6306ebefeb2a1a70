#pragma once
// A logger's or oven's recording ("trace"): a text file of samples, a time column and one or
// more temperature columns, as loggers, oven controllers and spreadsheets export them. The
// reader works out the layout itself (separator, decimal mark, header lines, time form, units)
// and says what it found and which lines it skipped; the caller decides how to tell the user.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvh::core {

/// Largest recording read, in bytes (a million lines of a few columns fit well below it).
inline constexpr std::size_t kMaxRecordingBytes = 64u * 1024u * 1024u;
/// Lines before the column header that may hold a title, serial number or the like.
inline constexpr int kMaxTitleLines = 20;
/// Samples farther apart than this (minutes) are still interpolated across, and named.
inline constexpr double kLongGapMinutes = 10.0;

enum class TempUnit { Celsius, Fahrenheit };

/// How the time column counts.
enum class TimeForm {
    Seconds,  ///< elapsed seconds
    Minutes,  ///< elapsed minutes
    Hours,    ///< elapsed hours
    Clock,    ///< hh:mm[:ss]; a clock that passes midnight keeps counting
    DateTime, ///< a calendar date and a clock time
};

/// Day/month order of a date written with slashes.
enum class DateOrder { Unknown, DayMonth, MonthDay };

/// Where a column's unit came from.
enum class UnitSource { Header, Option, CaseUnit };

/// What the user (or the command line) says over the reader's guesses.
struct RecordingOptions {
    /// Field of the time column, 0 for the first field; -1: the reader chooses (the first).
    int timeColumn = -1;
    /// Order of slash dates; Unknown: the data must settle it, else the read fails with
    /// RecordingError::needsDateOrder.
    DateOrder dateOrder = DateOrder::Unknown;
    /// Unit of every temperature column, over what the headers say.
    std::optional<TempUnit> unit;
    /// Unit of a column whose header names none (the case's display unit).
    TempUnit caseUnit = TempUnit::Celsius;
};

/// One temperature column: its header text, unit and a value per sample (NaN when missing).
struct RecordingColumn {
    std::string name; ///< header text (UTF-8), "Column N" when the file has no header
    TempUnit unit = TempUnit::Celsius;
    UnitSource unitSource = UnitSource::CaseUnit;
    int field = 0; ///< field of the line it was read from (0 for the first)
    std::vector<double> values;
    /// Cells read as missing samples (empty, "---", "OL", "NaN", other text).
    std::size_t missing = 0;
};

/// A line the reader did not take, with its number (1 for the first line) and why.
struct SkippedLine {
    std::size_t line = 0;
    std::string reason;
};

/// A recording as read: times in minutes from the first sample (strictly increasing, double
/// precision), and its temperature columns in their own units.
struct Recording {
    std::string encoding; ///< "UTF-8", "UTF-8 with BOM", "UTF-16LE", "UTF-16BE", "CP1252"
    char separator = ','; ///< ',', ';', '\t' or ' ' (runs of blanks)
    char decimalMark = '.';
    TimeForm timeForm = TimeForm::Minutes;
    /// Whether an elapsed time's unit was assumed (no word in the header said it).
    bool timeUnitAssumed = false;
    DateOrder dateOrder = DateOrder::Unknown; ///< for slash dates: the order used
    int timeColumn = 0;                       ///< field of the time column
    std::string timeName;                     ///< its header text
    std::size_t headerLine = 0;               ///< line of the column header, 0 without one
    std::vector<std::string> titleLines;      ///< lines above the header, as text
    /// The header fields as read (for a preview: the time column and every other field).
    std::vector<std::string> fieldNames;
    std::vector<double> minutes;
    std::vector<RecordingColumn> columns;
    std::vector<SkippedLine> skipped;

    std::size_t samples() const { return minutes.size(); }
    /// The median interval between samples, in minutes (0 with fewer than two samples).
    double typicalInterval() const;
};

/// Why a recording cannot be read, as a sentence for the user.
struct RecordingError {
    std::string reason;
    /// The file's slash dates do not settle day/month order: read again with an order.
    bool needsDateOrder = false;
};

using RecordingOutcome = std::variant<Recording, RecordingError>;

/// Reads a recording from its bytes (any encoding the reader knows).
RecordingOutcome readRecording(std::string_view bytes, const RecordingOptions& options = {});

/// Reads a recording file: a regular file of at most kMaxRecordingBytes.
RecordingOutcome readRecordingFile(const std::string& path, const RecordingOptions& options = {});

/// What the reader found, one fact a line (separator, decimal mark, time form, each column's
/// name and unit, samples, first and last time, typical interval), then each skipped line.
std::vector<std::string> describeRecording(const Recording& recording);

/// A temperature in `from` expressed in `to` (double precision).
double convertTemp(double value, TempUnit from, TempUnit to);

/// A stretch between two samples longer than kLongGapMinutes, in minutes from the first sample.
struct TraceGap {
    double from = 0.0;
    double to = 0.0;
};

/// The column resampled at whole minutes 0, 1, ... up to the last sample, by straight lines
/// between the samples around each minute (missing samples left out; NaN before the column's
/// first value). Values stay in the column's unit.
std::vector<double> resampleToMinutes(const std::vector<double>& minutes,
                                      const std::vector<double>& values);
/// The same for column `column` of a recording, converted to `unit`.
std::vector<double> resampleToMinutes(const Recording& recording, std::size_t column,
                                      TempUnit unit);

/// The value at time `t` (minutes) by the same straight lines; NaN outside the column's values.
double sampleAt(const std::vector<double>& minutes, const std::vector<double>& values, double t);

/// The stretches between consecutive values of a column longer than kLongGapMinutes.
std::vector<TraceGap> findGaps(const std::vector<double>& minutes,
                               const std::vector<double>& values);

} // namespace kvh::core
