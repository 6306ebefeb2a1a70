#include "numbers.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kvh::core {

namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// Collects the characters of the leading number (skipping blanks, tabs and line feeds) into
/// a compact text that from_chars can read.
std::string leadingNumberText(std::string_view text) {
    std::string out;
    size_t i = 0;
    auto peek = [&]() -> char {
        while (i < text.size() && isSkipped(text[i]))
            ++i;
        return i < text.size() ? text[i] : '\0';
    };
    char c = peek();
    if (c == '+' || c == '-') {
        if (c == '-')
            out += '-';
        ++i;
        c = peek();
    }
    bool digits = false;
    while (isDigit(c)) {
        out += c;
        digits = true;
        ++i;
        c = peek();
    }
    if (c == '.') {
        out += '.';
        ++i;
        c = peek();
        while (isDigit(c)) {
            out += c;
            digits = true;
            ++i;
            c = peek();
        }
    }
    if (!digits)
        return {};
    if (c == 'e' || c == 'E') {
        std::string exponent = "e";
        ++i;
        c = peek();
        if (c == '+' || c == '-') {
            exponent += c;
            ++i;
            c = peek();
        }
        bool expDigits = false;
        while (isDigit(c)) {
            exponent += c;
            expDigits = true;
            ++i;
            c = peek();
        }
        if (expDigits)
            out += exponent;
    }
    return out;
}

} // namespace

double numericValue(std::string_view text) {
    const std::string number = leadingNumberText(text);
    if (number.empty())
        return 0.0;
    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Huge exponents overflow to infinity, tiny ones underflow to zero.
        const size_t e = number.find('e');
        const bool negExp = e != std::string::npos && number.compare(e, 2, "e-") == 0;
        if (negExp)
            return number[0] == '-' ? -0.0 : 0.0;
        return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double lower = std::floor(value);
    const double diff = value - lower; // exact
    if (diff > 0.5)
        return lower + 1.0;
    if (diff < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
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
    char buf[512];
    const int extra = 40;
    const int n = std::snprintf(buf, sizeof buf, "%.*f", decimals + extra, std::fabs(value));
    std::string digits(buf, static_cast<size_t>(n));
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
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string text(buf);
    // %G already drops trailing zeros; it writes the exponent with two digits at least.
    return text;
}

std::string roundTripText(float value) {
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, ptr) : std::string("nan");
}

std::optional<float> parseStrictSingle(std::string_view text) {
    text = trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    size_t i = 0;
    std::string number;
    if (text[i] == '+' || text[i] == '-') {
        if (text[i] == '-')
            number += '-';
        ++i;
    }
    bool digits = false;
    while (i < text.size() && isDigit(text[i])) {
        number += text[i++];
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && isDigit(text[i])) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        number += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            number += text[i++];
        bool expDigits = false;
        while (i < text.size() && isDigit(text[i])) {
            number += text[i++];
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != text.size())
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

bool fitsSingle(double value) { return std::isfinite(value) && std::fabs(value) <= FLT_MAX; }

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace kvh::core
