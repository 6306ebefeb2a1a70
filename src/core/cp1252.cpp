#include "cp1252.h"

#include <array>
#include <optional>
#include <utility>

namespace kvh::core {

namespace {
// Code points of bytes 0x80..0x9F; the five unused bytes map to the C1 controls of the same value.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
} // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            appendUtf8(out, kCp1252High[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

namespace {

/// The code point of the UTF-8 sequence at utf8[i] and its length in bytes; nothing for a
/// broken sequence.
std::optional<std::pair<char32_t, size_t>> decodeAt(std::string_view utf8, size_t i) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    char32_t cp = 0;
    size_t len = 1;
    if (b < 0x80) {
        cp = b;
    } else if ((b & 0xE0) == 0xC0) {
        cp = b & 0x1F;
        len = 2;
    } else if ((b & 0xF0) == 0xE0) {
        cp = b & 0x0F;
        len = 3;
    } else if ((b & 0xF8) == 0xF0) {
        cp = b & 0x07;
        len = 4;
    } else {
        return std::nullopt;
    }
    if (i + len > utf8.size())
        return std::nullopt;
    for (size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(utf8[i + k]);
        if ((c & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (c & 0x3F);
    }
    return std::pair{cp, len};
}

/// The byte of the 8-bit set for `cp`, '?' where the set has none.
char cp1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    char mapped = '?';
    for (size_t k = 0; k < kCp1252High.size(); ++k)
        if (kCp1252High[k] == cp)
            mapped = static_cast<char>(0x80 + k);
    return mapped;
}

} // namespace

std::string utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto decoded = decodeAt(utf8, i);
        if (!decoded) {
            out += '?';
            ++i;
            continue;
        }
        const auto [cp, len] = *decoded;
        i += len;
        // An overlong form becomes '?': never a comma or a line end in a saved file.
        out += cp < 0x80 && len > 1 ? '?' : cp1252Byte(cp);
    }
    return out;
}

} // namespace kvh::core
