#include "recording.h"

#include "file_io.h"
#include "numbers.h"
#include "recording_text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace kvh::core {

namespace {

using trace::TimeCell;
using Fields = std::vector<std::string_view>;

/// Longest recording used, in minutes from its first sample (the model's own limit).
constexpr double kMaxRecordingMinutes = 1'000'000;
/// Lines looked at to tell the separator and decimal mark.
constexpr size_t kSampleLines = 400;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

/// Whether a line begins as a sample does: a digit, or a sign or point and a digit.
bool startsLikeData(std::string_view line) {
    size_t i = line.find_first_not_of(" \t\"");
    if (i == std::string_view::npos)
        return false;
    if ((line[i] == '-' || line[i] == '+' || line[i] == '.') && i + 1 < line.size())
        ++i;
    return line[i] >= '0' && line[i] <= '9';
}

/// Whether a field could be a cell of a sample line: a number, a time, a marker or empty.
bool cellLike(std::string_view field) {
    return trace::isMissingMarker(field) || trace::parseNumber(field, ',') ||
           trace::parseTimeCell(field, '.').kind != TimeCell::Kind::None || trace::isAmPm(field);
}

bool isDateKind(TimeCell::Kind kind) {
    return kind == TimeCell::Kind::IsoDate || kind == TimeCell::Kind::DotDate ||
           kind == TimeCell::Kind::SlashDate;
}

/// What the layout guesses settle before the samples are read.
struct Layout {
    char separator = ',';
    size_t fieldCount = 0;
    char decimalMark = '.';
};

std::optional<Layout> chooseSeparator(const std::vector<std::string_view>& sample) {
    std::optional<Layout> best;
    if (sample.empty())
        return best;
    size_t bestGood = 0;
    Fields fields;
    for (const char sep : {'\t', ';', ',', ' '}) {
        std::map<size_t, size_t> counts;
        for (const std::string_view line : sample) {
            trace::splitFields(line, sep, fields);
            ++counts[fields.size()];
        }
        const auto mode = std::max_element(counts.begin(), counts.end(),
                                           [](auto& x, auto& y) { return x.second < y.second; });
        if (mode->first < 2)
            continue;
        size_t good = 0;
        for (const std::string_view line : sample) {
            trace::splitFields(line, sep, fields);
            good +=
                fields.size() == mode->first && std::all_of(fields.begin(), fields.end(), cellLike);
        }
        if (good > bestGood) {
            bestGood = good;
            best = Layout{sep, mode->first, '.'};
        }
    }
    return best;
}

char chooseDecimalMark(const std::vector<std::string_view>& sample, char separator) {
    if (separator == ',')
        return '.';
    size_t commas = 0;
    size_t points = 0;
    Fields fields;
    for (const std::string_view line : sample) {
        trace::splitFields(line, separator, fields);
        for (const std::string_view f : fields) {
            const auto nComma = std::count(f.begin(), f.end(), ',');
            const auto nPoint = std::count(f.begin(), f.end(), '.');
            if (nComma == 1 && nPoint == 0 && trace::parseNumber(f, ','))
                ++commas;
            else if (nPoint == 1 && nComma == 0 && trace::parseNumber(f, '.'))
                ++points;
        }
    }
    return commas > points ? ',' : '.';
}

/// Whether a unit line's field could be a unit ("°C", "[s]", "min", "") rather than a name.
bool unitLike(std::string_view field) {
    return field.size() <= 12 && (trace::isMissingMarker(field) || trace::unitInText(field) ||
                                  trace::timeUnitInText(field));
}

/// The reader's working state over one file.
class Reader {
public:
    Reader(std::string_view bytes, const RecordingOptions& options) : m_options(options) {
        trace::DecodedText decoded = trace::decodeText(bytes);
        m_text = std::move(decoded.text);
        m_rec.encoding = std::move(decoded.encoding);
        m_lines = trace::splitLines(m_text);
    }

    RecordingOutcome read() {
        if (auto error = findLayout())
            return *error;
        findHeader();
        if (auto error = findTimeColumn())
            return *error;
        if (auto error = findDateOrder())
            return *error;
        setUpColumns();
        readSamples();
        return finish();
    }

private:
    std::optional<RecordingError> findLayout();
    void findHeader();
    std::optional<RecordingError> findTimeColumn();
    /// The time's form and unit from the kind of time read and the time column's name.
    void settleTimeForm();
    std::optional<RecordingError> findDateOrder();
    void setUpColumns();
    void readSamples();
    RecordingOutcome finish();
    std::string fieldName(size_t field) const;
    std::string timeText(const Fields& fields) const;
    std::optional<double> absoluteMinutes(const TimeCell& cell, std::string& why);
    void readLine(size_t index, const Fields& fields);

    RecordingOptions m_options;
    std::string m_text;
    std::vector<std::string_view> m_lines;
    Recording m_rec;
    Layout m_layout;
    size_t m_firstData = 0;
    Fields m_header;
    Fields m_units;
    size_t m_timeSpan = 1;
    TimeCell::Kind m_timeKind = TimeCell::Kind::None;
    double m_timeFactor = 1.0; // elapsed time to minutes
    double m_firstAbs = 0;
    double m_lastClock = 0;
    double m_dayOffset = 0;
    std::optional<int64_t> m_firstDay;
};

std::optional<RecordingError> Reader::findLayout() {
    std::vector<std::string_view> sample;
    for (const std::string_view line : m_lines) {
        if (startsLikeData(line))
            sample.push_back(line);
        if (sample.size() == kSampleLines)
            break;
    }
    const auto layout = chooseSeparator(sample);
    if (!layout)
        return RecordingError{"No columns of samples were found: the file needs a time column "
                              "and at least one temperature column."};
    m_layout = *layout;
    m_layout.decimalMark = chooseDecimalMark(sample, m_layout.separator);
    Fields fields;
    size_t nonBlank = 0;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (isBlankLine(m_lines[i]))
            continue;
        if (nonBlank++ > static_cast<size_t>(kMaxTitleLines) + 2)
            break;
        trace::splitFields(m_lines[i], m_layout.separator, fields);
        if (startsLikeData(m_lines[i]) && fields.size() >= 2 &&
            std::count_if(fields.begin(), fields.end(), cellLike) * 2 >=
                static_cast<std::ptrdiff_t>(fields.size())) {
            m_firstData = i;
            return std::nullopt;
        }
    }
    return RecordingError{"No samples were found in the first lines: a recording may have at most "
                          "20 lines of titles before its column header."};
}

void Reader::findHeader() {
    std::vector<size_t> before;
    for (size_t i = 0; i < m_firstData; ++i)
        if (!isBlankLine(m_lines[i]))
            before.push_back(i);
    Fields last;
    Fields previous;
    if (!before.empty())
        trace::splitFields(m_lines[before.back()], m_layout.separator, last);
    if (before.size() >= 2)
        trace::splitFields(m_lines[before[before.size() - 2]], m_layout.separator, previous);
    size_t titles = before.size();
    if (last.size() >= 2 && previous.size() >= 2 &&
        std::all_of(last.begin(), last.end(), unitLike)) {
        m_header = previous;
        m_units = last;
        titles -= 2;
    } else if (last.size() >= 2) {
        m_header = last;
        titles -= 1;
    }
    if (titles < before.size())
        m_rec.headerLine = before[titles] + 1;
    for (size_t k = 0; k < titles; ++k)
        m_rec.titleLines.emplace_back(m_lines[before[k]]);
}

std::string Reader::fieldName(size_t field) const {
    const size_t count = m_layout.fieldCount;
    auto pick = [&](const Fields& from) -> std::string_view {
        if (from.empty())
            return {};
        const size_t tc = static_cast<size_t>(m_rec.timeColumn);
        size_t j = field;
        if (from.size() == count)
            j = field;
        else if (from.size() + m_timeSpan - 1 == count)
            j = field < tc ? field : field < tc + m_timeSpan ? tc : field - (m_timeSpan - 1);
        else if (from.size() + field >= count)
            j = from.size() + field - count;
        else
            return {};
        return j < from.size() ? from[j] : std::string_view{};
    };
    std::string name(pick(m_header));
    const std::string_view unit = pick(m_units);
    if (!unit.empty())
        name += name.empty() ? std::string(unit) : " (" + std::string(unit) + ")";
    return name;
}

std::optional<RecordingError> Reader::findTimeColumn() {
    Fields first;
    trace::splitFields(m_lines[m_firstData], m_layout.separator, first);
    m_layout.fieldCount = std::max(m_layout.fieldCount, first.size());
    int column = m_options.timeColumn;
    if (column >= static_cast<int>(first.size()))
        return RecordingError{"The recording has no field " + std::to_string(column + 1) +
                              " to read the time from."};
    for (size_t f = 0; column < 0 && f < first.size(); ++f) {
        const auto kind = trace::parseTimeCell(first[f], m_layout.decimalMark).kind;
        if (kind == TimeCell::Kind::Clock || isDateKind(kind))
            column = static_cast<int>(f);
    }
    for (size_t f = 0; column < 0 && f < std::min(m_header.size(), first.size()); ++f)
        if (trace::namesTime(m_header[f]))
            column = static_cast<int>(f);
    m_rec.timeColumn = std::max(column, 0);
    const size_t tc = static_cast<size_t>(m_rec.timeColumn);
    const TimeCell cell = trace::parseTimeCell(first[tc], m_layout.decimalMark);
    if (isDateKind(cell.kind) && !cell.hasClock && tc + 1 < first.size() &&
        trace::parseTimeCell(first[tc + 1], '.').kind == TimeCell::Kind::Clock)
        m_timeSpan = 2;
    if ((cell.kind == TimeCell::Kind::Clock || m_timeSpan == 2) && tc + m_timeSpan < first.size() &&
        trace::isAmPm(first[tc + m_timeSpan]))
        ++m_timeSpan;
    const TimeCell joined = trace::parseTimeCell(timeText(first), m_layout.decimalMark);
    m_timeKind = joined.kind;
    if (m_timeKind == TimeCell::Kind::None)
        return RecordingError{"The time column (field " + std::to_string(tc + 1) + ", \"" +
                              std::string(first[tc]) + "\") holds no time this program can read."};
    m_rec.timeName = fieldName(tc);
    for (size_t k = 1; k < m_timeSpan && m_header.size() == m_layout.fieldCount; ++k)
        m_rec.timeName.append(" ").append(fieldName(tc + k));
    settleTimeForm();
    return std::nullopt;
}

void Reader::settleTimeForm() {
    if (m_timeKind == TimeCell::Kind::Clock) {
        m_rec.timeForm = TimeForm::Clock;
    } else if (isDateKind(m_timeKind)) {
        m_rec.timeForm = TimeForm::DateTime;
    } else {
        const auto unit = trace::timeUnitInText(m_rec.timeName);
        m_rec.timeForm = unit.value_or(TimeForm::Minutes);
        m_rec.timeUnitAssumed = !unit;
        m_timeFactor = m_rec.timeForm == TimeForm::Seconds ? 1.0 / 60.0
                       : m_rec.timeForm == TimeForm::Hours ? 60.0
                                                           : 1.0;
    }
}

std::string Reader::timeText(const Fields& fields) const {
    const size_t tc = static_cast<size_t>(m_rec.timeColumn);
    if (m_timeSpan == 1 || tc + m_timeSpan > fields.size())
        return tc < fields.size() ? std::string(fields[tc]) : std::string();
    std::string text(fields[tc]);
    for (size_t k = 1; k < m_timeSpan; ++k)
        text.append(" ").append(fields[tc + k]);
    return text;
}

std::optional<RecordingError> Reader::findDateOrder() {
    if (m_timeKind != TimeCell::Kind::SlashDate)
        return std::nullopt;
    m_rec.dateOrder = m_options.dateOrder;
    Fields fields;
    std::string example;
    for (size_t i = m_firstData; i < m_lines.size() && m_rec.dateOrder == DateOrder::Unknown; ++i) {
        trace::splitFields(m_lines[i], m_layout.separator, fields);
        const TimeCell cell = trace::parseTimeCell(timeText(fields), m_layout.decimalMark);
        if (cell.kind != TimeCell::Kind::SlashDate)
            continue;
        if (example.empty())
            example = timeText(fields);
        if (cell.a > 12)
            m_rec.dateOrder = DateOrder::DayMonth;
        else if (cell.b > 12)
            m_rec.dateOrder = DateOrder::MonthDay;
    }
    if (m_rec.dateOrder != DateOrder::Unknown)
        return std::nullopt;
    return RecordingError{"The dates (such as \"" + example +
                              "\") do not show whether the day or the month comes first.",
                          true};
}

void Reader::setUpColumns() {
    const size_t tc = static_cast<size_t>(m_rec.timeColumn);
    for (size_t f = 0; f < m_layout.fieldCount; ++f) {
        m_rec.fieldNames.push_back(fieldName(f));
        if (f >= tc && f < tc + m_timeSpan)
            continue;
        RecordingColumn column;
        column.name = m_rec.fieldNames.back();
        if (trace::namesCounter(column.name))
            continue;
        if (column.name.empty())
            column.name = "Column " + std::to_string(f + 1);
        column.field = static_cast<int>(f);
        if (m_options.unit) {
            column.unit = *m_options.unit;
            column.unitSource = UnitSource::Option;
        } else if (const auto unit = trace::unitInText(column.name)) {
            column.unit = *unit;
            column.unitSource = UnitSource::Header;
        } else {
            column.unit = m_options.caseUnit;
        }
        m_rec.columns.push_back(std::move(column));
    }
}

std::optional<double> Reader::absoluteMinutes(const TimeCell& cell, std::string& why) {
    if (cell.kind != m_timeKind) {
        why = "cannot be read as a time";
        return std::nullopt;
    }
    if (cell.kind == TimeCell::Kind::Number)
        return cell.number * m_timeFactor;
    if (cell.kind == TimeCell::Kind::Clock) {
        const double clock = cell.seconds / 60.0;
        if (!m_rec.minutes.empty() && clock < m_lastClock && m_lastClock - clock <= 720.0) {
            why = "goes back";
            return std::nullopt;
        }
        if (!m_rec.minutes.empty() && clock < m_lastClock)
            m_dayOffset += 1440.0; // the clock passed midnight
        m_lastClock = clock;
        return clock + m_dayOffset;
    }
    const bool dayFirst =
        cell.kind != TimeCell::Kind::SlashDate || m_rec.dateOrder == DateOrder::DayMonth;
    const auto days =
        trace::daysFromCivil(cell.year, dayFirst ? cell.b : cell.a, dayFirst ? cell.a : cell.b);
    if (!days) {
        why = "is not a date";
        return std::nullopt;
    }
    // Counted from the first sample's day: minutes since 1970 would lose the seconds' digits.
    if (!m_firstDay)
        m_firstDay = *days;
    return static_cast<double>(*days - *m_firstDay) * 1440.0 + cell.seconds / 60.0;
}

void Reader::readLine(size_t index, const Fields& fields) {
    const std::string text = timeText(fields);
    const TimeCell cell = trace::parseTimeCell(text, m_layout.decimalMark);
    std::string why;
    auto minutes = absoluteMinutes(cell, why);
    if (minutes && m_rec.minutes.empty())
        m_firstAbs = *minutes;
    // Compared from the first sample on: the times kept must rise as they are stored.
    const double since = minutes ? *minutes - m_firstAbs : 0.0;
    if (minutes && !std::isfinite(since))
        why = "is out of range";
    else if (minutes && !m_rec.minutes.empty() && since <= m_rec.minutes.back())
        why = since == m_rec.minutes.back() ? "repeats the time before" : "goes back";
    if (!minutes || !why.empty()) {
        const std::string shown = text.empty() ? "(empty)" : "\"" + text + "\"";
        m_rec.skipped.push_back({index + 1, "the time " + shown + " " + why});
        return;
    }
    m_rec.minutes.push_back(since);
    for (RecordingColumn& column : m_rec.columns) {
        const size_t f = static_cast<size_t>(column.field);
        const auto value =
            f < fields.size() ? trace::parseNumber(fields[f], m_layout.decimalMark) : std::nullopt;
        column.values.push_back(value.value_or(kNaN));
        column.missing += !value;
    }
}

void Reader::readSamples() {
    const size_t expected = m_lines.size() - m_firstData;
    m_rec.minutes.reserve(expected);
    for (RecordingColumn& column : m_rec.columns)
        column.values.reserve(expected);
    Fields fields;
    for (size_t i = m_firstData; i < m_lines.size(); ++i) {
        if (isBlankLine(m_lines[i]))
            continue;
        trace::splitFields(m_lines[i], m_layout.separator, fields);
        readLine(i, fields);
    }
}

RecordingOutcome Reader::finish() {
    std::erase_if(m_rec.columns,
                  [](const RecordingColumn& c) { return c.missing == c.values.size(); });
    if (m_rec.minutes.empty())
        return RecordingError{"The recording holds no sample with a time this program can read."};
    if (m_rec.columns.empty())
        return RecordingError{"The recording holds no column of temperatures beside its time."};
    if (m_rec.minutes.back() > kMaxRecordingMinutes)
        return RecordingError{"The recording spans " +
                              plainNumberText(std::floor(m_rec.minutes.back())) +
                              " minutes; at most 1000000 minutes can be used."};
    m_rec.separator = m_layout.separator;
    m_rec.decimalMark = m_layout.decimalMark;
    return std::move(m_rec);
}

} // namespace

RecordingOutcome readRecording(std::string_view bytes, const RecordingOptions& options) {
    return Reader(bytes, options).read();
}

RecordingOutcome readRecordingFile(const std::string& path, const RecordingOptions& options) {
    auto bytes = readFileBytes(path, kMaxRecordingBytes);
    if (const auto* error = std::get_if<FileError>(&bytes))
        return RecordingError{error->reason};
    return readRecording(std::get<std::string>(bytes), options);
}

} // namespace kvh::core
