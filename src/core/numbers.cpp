#include "numbers.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace kvh::core {

namespace {

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// Scans the number at the start of `text` (sign, digits, point, digits, exponent) into a
/// compact text that from_chars can read; "" when it has no digit. With `skipBlanks`, blanks,
/// tabs and line feeds anywhere are passed over. `end` receives the first position not taken;
/// an exponent letter without digits is not taken.
std::string scanNumber(std::string_view text, bool skipBlanks, size_t& end) {
    std::string out;
    size_t i = 0;
    const auto peek = [&]() -> char {
        while (skipBlanks && i < text.size() && isSkipped(text[i]))
            ++i;
        return i < text.size() ? text[i] : '\0';
    };
    const auto take = [&](std::string& into) {
        into += text[i++];
        return peek();
    };
    bool digits = false;
    const auto takeDigits = [&](std::string& into, char c) {
        while (isDigit(c)) {
            c = take(into);
            digits = true;
        }
        return c;
    };
    char c = peek();
    if (c == '+' || c == '-') {
        std::string sign;
        c = take(sign);
        if (sign == "-")
            out += '-';
    }
    c = takeDigits(out, c);
    if (c == '.')
        c = takeDigits(out, take(out));
    end = i;
    if (!digits)
        return {};
    if (c == 'e' || c == 'E') {
        std::string exponent = "e"; // one letter, so the overflow test below reads it alike
        ++i;
        c = peek();
        if (c == '+' || c == '-')
            c = take(exponent);
        digits = false;
        takeDigits(exponent, c);
        if (digits) {
            out += exponent;
            end = i;
        }
    }
    return out;
}

/// Whether a scanned number that is out of range is below 1 in size: the place of its first
/// significant digit, moved by its exponent, lies after the decimal point.
bool decimalExponentIsNegative(const std::string& number) {
    const size_t e = number.find('e');
    const std::string_view mantissa = std::string_view(number).substr(0, e);
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos)
        return true;
    // Digits before the point, counted from the first significant one (negative after it).
    const long long place = first < point ? static_cast<long long>(point - first)
                                          : -static_cast<long long>(first - point - 1);
    long long exponent = 0;
    if (e != std::string::npos) {
        const char* digits = number.data() + e + 1 + (number[e + 1] == '+' ? 1 : 0);
        const auto [ptr, err] = std::from_chars(digits, number.data() + number.size(), exponent);
        if (err == std::errc::result_out_of_range)
            return number[e + 1] == '-';
    }
    return place + exponent <= 0;
}

} // namespace

namespace {

/// The common case, a plain decimal such as "25", "-40" or "1.25": the whole text is read at
/// once, without building the compact copy. Anything else (blanks, a "+", an exponent, text
/// after the number, out of range) is left to the full reader, which gives the same value for
/// the plain ones.
std::optional<double> plainDecimal(std::string_view text) {
    if (text.empty() || text.size() > 32)
        return std::nullopt;
    // Whole numbers of up to 15 digits, the usual cell, are exact in a double: they are summed
    // here directly. Anything else that is only digits, points and minus signs goes to
    // from_chars.
    const bool negative = text[0] == '-';
    uint64_t whole = 0;
    bool onlyDigits = text.size() > (negative ? 1u : 0u) && text.size() <= 15;
    for (size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            whole = whole * 10 + static_cast<uint64_t>(c - '0');
        } else if (c == '.' || c == '-') {
            onlyDigits = false;
        } else {
            return std::nullopt;
        }
    }
    if (onlyDigits) {
        const auto value = static_cast<double>(whole);
        return negative ? -value : value;
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

double numericValue(std::string_view text) {
    if (const std::optional<double> plain = plainDecimal(text))
        return *plain;
    size_t end = 0;
    const std::string number = scanNumber(text, true, end);
    if (number.empty())
        return 0.0;
    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Huge numbers overflow to infinity, tiny ones (plain or with an exponent) to zero.
        if (decimalExponentIsNegative(number))
            return number[0] == '-' ? -0.0 : 0.0;
        return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

bool readsWhole(std::string_view text) {
    if (plainDecimal(text))
        return true;
    size_t end = 0;
    return !scanNumber(text, true, end).empty() && end == text.size();
}

bool isBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), isSkipped);
}

std::string formatPattern(double value, Pattern pattern) {
    const int decimals = pattern == Pattern::Whole    ? 0
                         : pattern == Pattern::OneDec ? 1
                         : pattern == Pattern::TwoDec ? 2
                                                      : 3;
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    // Enough exact digits to see whether the dropped part is below, at or above one half:
    // a double's distance from a tie at these magnitudes shows within 40 digits.
    // to_chars writes the exact decimal expansion with "." whatever the locale.
    char buf[512];
    const int extra = 40;
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                         std::chars_format::fixed, decimals + extra);
    if (ec != std::errc())
        return "NaN";
    std::string digits(buf, ptr);
    const size_t point = digits.find('.');
    std::string kept = digits.substr(0, point + 1 + static_cast<size_t>(decimals));
    const char firstDropped = digits[point + 1 + static_cast<size_t>(decimals)];
    if (firstDropped >= '5') {
        // Half away from zero: add one unit in the last kept place.
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0; --i) {
            if (kept[static_cast<size_t>(i)] == '.')
                continue;
            if (kept[static_cast<size_t>(i)] == '9') {
                kept[static_cast<size_t>(i)] = '0';
            } else {
                ++kept[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0)
            kept.insert(kept.begin(), '1');
    }
    if (decimals == 0)
        kept.pop_back(); // the '.'
    const bool allZero = kept.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !allZero)
        kept.insert(kept.begin(), '-');
    return kept;
}

std::string plainNumberText(double value) {
    if (value == 0.0)
        return "0";
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    // General notation with 15 significant digits: trailing zeros dropped, exponent form
    // outside 1e-4 .. 1e15 with at least two exponent digits, written upper case.
    char buf[64];
    const auto [ptr, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string text(buf, ec == std::errc() ? ptr : buf);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    return text;
}

std::string roundTripText(float value) {
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, ptr) : std::string("nan");
}

std::optional<float> parseStrictSingle(std::string_view text) {
    text = trimBlanks(text);
    size_t end = 0;
    const std::string number = scanNumber(text, false, end);
    if (number.empty() || end != text.size())
        return std::nullopt;
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (number.find("e-") != std::string::npos)
            return 0.0f;
        return std::nullopt;
    }
    if (ec != std::errc() || !fitsSingle(value))
        return std::nullopt;
    return static_cast<float>(value);
}

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace kvh::core
