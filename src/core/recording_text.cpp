#include "recording_text.h"

#include "cp1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace kvh::core::trace {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAlnum(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](size_t i) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                cp = 0xFFFD;
            }
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

/// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = c >= 0xC2 && c <= 0xDF   ? 1
                   : c >= 0xE0 && c <= 0xEF ? 2
                   : c >= 0xF0 && c <= 0xF4 ? 3
                                            : -1;
        if (more < 0 || i + static_cast<size_t>(more) >= s.size())
            return false;
        const auto c1 = static_cast<unsigned char>(s[i + 1]);
        if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
            (c == 0xF4 && c1 > 0x8F))
            return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<size_t>(more) + 1;
    }
    return true;
}

/// Reads up to `maxDigits` digits from s at pos; -1 when there is none.
int readInt(std::string_view s, size_t& pos, size_t maxDigits) {
    int value = 0;
    size_t n = 0;
    while (pos < s.size() && isDigit(s[pos]) && n < maxDigits) {
        value = value * 10 + (s[pos++] - '0');
        ++n;
    }
    return n == 0 ? -1 : value;
}

/// "hh:mm[:ss[.f]]" with an optional AM/PM after blanks; seconds of the day or nothing.
std::optional<double> parseClock(std::string_view s, char decimalMark) {
    s = trim(s);
    size_t pos = 0;
    const int h = readInt(s, pos, 2);
    if (h < 0 || pos >= s.size() || s[pos] != ':')
        return std::nullopt;
    ++pos;
    const size_t mStart = pos;
    const int m = readInt(s, pos, 2);
    if (m < 0 || m > 59 || pos - mStart != 2)
        return std::nullopt;
    double sec = 0;
    if (pos < s.size() && s[pos] == ':') {
        ++pos;
        const size_t sStart = pos;
        while (pos < s.size() && (isDigit(s[pos]) || s[pos] == '.' || s[pos] == decimalMark))
            ++pos;
        const auto value = parseNumber(s.substr(sStart, pos - sStart), decimalMark);
        if (!value || *value < 0 || *value >= 61 || pos - sStart < 2)
            return std::nullopt;
        sec = *value;
    }
    const std::string_view rest = trim(s.substr(pos));
    int hour = h;
    if (!rest.empty()) {
        if (!isAmPm(rest) || h < 1 || h > 12)
            return std::nullopt;
        const bool pm = lower(rest[0]) == 'p';
        hour = h % 12 + (pm ? 12 : 0);
    } else if (h > 23) {
        return std::nullopt;
    }
    return hour * 3600.0 + m * 60.0 + sec;
}

/// A date at the start of `s`; `pos` ends after it. Fills kind, year, a, b.
bool parseDate(std::string_view s, size_t& pos, TimeCell& cell) {
    const size_t start = pos;
    const int first = readInt(s, pos, 4);
    if (first < 0 || pos >= s.size())
        return false;
    const size_t firstLen = pos - start;
    const char sep = s[pos];
    if (sep != '-' && sep != '.' && sep != '/')
        return false;
    ++pos;
    const int second = readInt(s, pos, 2);
    if (second < 0 || pos >= s.size() || s[pos] != sep)
        return false;
    ++pos;
    const size_t thirdStart = pos;
    const int third = readInt(s, pos, 4);
    if (third < 0)
        return false;
    const size_t thirdLen = pos - thirdStart;
    if (sep == '-' && firstLen == 4) {
        cell = {TimeCell::Kind::IsoDate, 0, 0, false, first, third, second};
    } else if (sep != '-' && firstLen <= 2 && thirdLen == 4) {
        const auto kind = sep == '.' ? TimeCell::Kind::DotDate : TimeCell::Kind::SlashDate;
        cell = {kind, 0, 0, false, third, first, second};
    } else {
        return false;
    }
    return true;
}

} // namespace

DecodedText decodeText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return {std::string(bytes.substr(3)), "UTF-8 with BOM"};
    if (bytes.starts_with("\xFF\xFE"))
        return {utf16ToUtf8(bytes.substr(2), false), "UTF-16LE"};
    if (bytes.starts_with("\xFE\xFF"))
        return {utf16ToUtf8(bytes.substr(2), true), "UTF-16BE"};
    if (isUtf8(bytes))
        return {std::string(bytes), "UTF-8"};
    return {cp1252ToUtf8(bytes), "CP1252"};
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

void splitFields(std::string_view line, char separator, std::vector<std::string_view>& out) {
    out.clear();
    const bool blanks = separator == ' ';
    size_t pos = 0;
    while (true) {
        if (blanks) {
            while (pos < line.size() && isBlank(line[pos]))
                ++pos;
            if (pos >= line.size())
                return;
        } else {
            while (pos < line.size() && line[pos] == ' ')
                ++pos;
        }
        size_t end = 0;
        if (pos < line.size() && line[pos] == '"') {
            const size_t close = line.find('"', pos + 1);
            const size_t stop = close == std::string_view::npos ? line.size() : close;
            out.push_back(line.substr(pos + 1, stop - pos - 1));
            end = stop == line.size() ? stop : stop + 1;
            // Anything between the closing quote and the separator is dropped.
            while (end < line.size() && !(blanks ? isBlank(line[end]) : line[end] == separator))
                ++end;
        } else {
            end = pos;
            while (end < line.size() && !(blanks ? isBlank(line[end]) : line[end] == separator))
                ++end;
            out.push_back(trim(line.substr(pos, end - pos)));
        }
        if (end >= line.size())
            return;
        pos = end + 1;
    }
}

std::optional<double> parseNumber(std::string_view field, char decimalMark) {
    field = trim(field);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    if (field.empty() || field.size() > 64)
        return std::nullopt;
    std::array<char, 64> buffer{};
    for (size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (!(isDigit(c) || c == '-' || c == '.' || c == decimalMark || c == 'e' || c == 'E'))
            return std::nullopt;
        buffer[i] = c == decimalMark ? '.' : c;
    }
    double value = 0;
    const char* end = buffer.data() + field.size();
    const auto [ptr, ec] = std::from_chars(buffer.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isMissingMarker(std::string_view field) {
    field = trim(field);
    if (field.empty())
        return true;
    if (std::all_of(field.begin(), field.end(),
                    [](char c) { return c == '-' || c == '*' || c == '?'; }))
        return true;
    static constexpr std::array<std::string_view, 14> kMarkers = {
        "ol",  "-ol",   "+ol",  "nan",  "-nan", "n/a", "na",
        "err", "error", "open", "none", "null", "inf", "-inf"};
    const std::string text = lowerAscii(field);
    return std::find(kMarkers.begin(), kMarkers.end(), text) != kMarkers.end();
}

bool isAmPm(std::string_view field) {
    const std::string text = lowerAscii(trim(field));
    return text == "am" || text == "pm" || text == "a.m." || text == "p.m.";
}

TimeCell parseTimeCell(std::string_view field, char decimalMark) {
    field = trim(field);
    TimeCell cell;
    if (field.empty())
        return cell;
    if (const auto number = parseNumber(field, decimalMark)) {
        cell.kind = TimeCell::Kind::Number;
        cell.number = *number;
        return cell;
    }
    size_t pos = 0;
    if (parseDate(field, pos, cell)) {
        if (pos == field.size())
            return cell;
        if (field[pos] != 'T' && !isBlank(field[pos]))
            return {};
        const auto clock = parseClock(field.substr(pos + 1), decimalMark);
        if (!clock)
            return {};
        cell.seconds = *clock;
        cell.hasClock = true;
        return cell;
    }
    if (const auto clock = parseClock(field, decimalMark)) {
        cell = {};
        cell.kind = TimeCell::Kind::Clock;
        cell.seconds = *clock;
        cell.hasClock = true;
    }
    return cell;
}

std::optional<int64_t> daysFromCivil(int year, int month, int day) {
    static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 ||
        day > kDays[static_cast<size_t>(month - 1)])
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap)
        return std::nullopt;
    // Howard Hinnant's days_from_civil.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<int64_t>(era) * 146097 + doe - 719468;
}

namespace {

/// The words of a header: runs of letters and digits, lower case.
std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    std::string word;
    for (const char c : text) {
        if (isAlnum(c)) {
            word += lower(c);
        } else if (!word.empty()) {
            out.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        out.push_back(std::move(word));
    return out;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

/// Whether `letter` stands alone (not inside a word) somewhere in the text, upper case.
bool standsAlone(std::string_view text, char letter) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != letter)
            continue;
        const bool before = i == 0 || !isAlnum(text[i - 1]);
        const bool after = i + 1 == text.size() || !isAlnum(text[i + 1]);
        if (before && after)
            return true;
    }
    return false;
}

} // namespace

std::optional<TempUnit> unitInText(std::string_view text) {
    const std::string low = lowerAscii(text);
    auto names = [&](char u) {
        const std::string l(1, u);
        return contains(low, "\xC2\xB0" + l) || contains(low, "\xC2\xBA" + l) ||
               contains(low, "deg" + l) || contains(low, "deg " + l) ||
               contains(low, "deg. " + l) || contains(low, "(" + l + ")") ||
               contains(low, "[" + l + "]") || contains(low, u == 'c' ? "celsius" : "fahrenheit") ||
               standsAlone(text, static_cast<char>(u - 'a' + 'A'));
    };
    if (contains(text, "\xE2\x84\x83") || names('c'))
        return TempUnit::Celsius;
    if (contains(text, "\xE2\x84\x89") || names('f'))
        return TempUnit::Fahrenheit;
    return std::nullopt;
}

std::optional<TimeForm> timeUnitInText(std::string_view text) {
    static constexpr std::array<std::string_view, 7> kSeconds = {
        "s", "sec", "secs", "second", "seconds", "sek", "sekunden"};
    static constexpr std::array<std::string_view, 6> kMinutes = {"min",     "mins", "minute",
                                                                 "minutes", "m",    "minuten"};
    static constexpr std::array<std::string_view, 7> kHours = {"h",     "hr",  "hrs",    "hour",
                                                               "hours", "std", "stunden"};
    auto in = [](const auto& list, const std::string& w) {
        return std::find(list.begin(), list.end(), w) != list.end();
    };
    for (const std::string& w : words(text)) {
        if (in(kSeconds, w))
            return TimeForm::Seconds;
        if (in(kMinutes, w))
            return TimeForm::Minutes;
        if (in(kHours, w))
            return TimeForm::Hours;
    }
    return std::nullopt;
}

bool namesTime(std::string_view text) {
    static constexpr std::array<std::string_view, 8> kWords = {
        "time", "date", "zeit", "datum", "elapsed", "timestamp", "datetime", "uhrzeit"};
    for (const std::string& w : words(text))
        if (std::find(kWords.begin(), kWords.end(), w) != kWords.end())
            return true;
    return timeUnitInText(text).has_value();
}

bool namesCounter(std::string_view text) {
    static constexpr std::array<std::string_view, 9> kWords = {
        "no", "nr", "index", "sample", "point", "record", "n", "num", "number"};
    const std::string_view t = trim(text);
    if (t == "#")
        return true;
    const std::vector<std::string> w = words(t);
    return w.size() == 1 && std::find(kWords.begin(), kWords.end(), w[0]) != kWords.end();
}

} // namespace kvh::core::trace
