#pragma once
// What a path names, looked at without opening it: opening a FIFO or a device may block or
// have effects of its own.

#include <string>
#include <sys/stat.h>

namespace kvh::core {

enum class PathKind {
    Missing,     ///< nothing there (a new file may be made)
    Regular,     ///< a regular file, or a symbolic link that ends at one
    NotRegular,  ///< a folder, a FIFO, a device, a socket, or a link that ends at one
    DanglingLink ///< a symbolic link to nothing: writing would make a file wherever it points
};

/// The calls the classification makes, so tests can present any kind of file.
struct StatCalls {
    int (*stat)(const char*, struct stat*) = ::stat;
    int (*lstat)(const char*, struct stat*) = ::lstat;
};

PathKind pathKind(const std::string& path, const StatCalls& calls = {});

/// Whether a settings store may read and write `kind` in place: only a regular file (or the
/// lack of one).
inline bool safeForSettings(PathKind kind) {
    return kind == PathKind::Missing || kind == PathKind::Regular;
}

} // namespace kvh::core
