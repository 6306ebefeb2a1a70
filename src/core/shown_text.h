#pragma once
// Texts from outside the program (file names, fields of a file) as a message shows them.

#include <string>
#include <string_view>

namespace kvh::core {

/// `text` with every control character (C0, DEL and C1) written as \n, \r, \t or \xNN, and
/// every byte that is not part of valid UTF-8 as \xNN: a file name or a field never moves the
/// terminal's cursor, cuts a message at a NUL or vanishes from it. Other text, a backslash
/// included, stays as it is, so escaping twice changes nothing.
std::string escapeControls(std::string_view text);

} // namespace kvh::core
