#include "shown_text.h"

#include <array>

namespace kvh::core {

namespace {

void appendHex(std::string& out, unsigned value) {
    constexpr std::string_view digits = "0123456789ABCDEF";
    out += "\\x";
    out += digits[(value >> 4) & 0xF];
    out += digits[value & 0xF];
}

void appendControl(std::string& out, unsigned char ch) {
    switch (ch) {
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    case '\t':
        out += "\\t";
        break;
    default:
        appendHex(out, ch);
    }
}

/// The length of the valid UTF-8 sequence at `i`, or 0 when its first byte is not one.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t len = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        len = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        len = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        len = 4;
    if (len == 0 || i + len > text.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    // Overlong forms, UTF-16 surrogates and code points beyond U+10FFFF are not UTF-8.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return len;
}

} // namespace

std::string escapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch < 0x80) {
            if (ch < 0x20 || ch == 0x7F)
                appendControl(out, ch);
            else
                out += static_cast<char>(ch);
            ++i;
            continue;
        }
        const std::size_t len = sequenceLength(text, i);
        if (len == 0) {
            appendHex(out, ch);
            ++i;
        } else if (ch == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            appendHex(out, static_cast<unsigned char>(text[i + 1])); // a C1 control
            i += len;
        } else {
            out.append(text.substr(i, len));
            i += len;
        }
    }
    return out;
}

} // namespace kvh::core
