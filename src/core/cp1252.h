#pragma once
// The Windows Western 8-bit character set that ".dew" files are written in.

#include <string>
#include <string_view>

namespace kvh::core {

/// Converts UTF-8 text to the Windows Western 8-bit set ('?' for what it cannot hold).
std::string utf8ToCp1252(std::string_view utf8);
/// Converts bytes of the Windows Western 8-bit set to UTF-8.
std::string cp1252ToUtf8(std::string_view bytes);

} // namespace kvh::core
