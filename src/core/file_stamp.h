#pragma once
// What tells that a file was changed by someone else since the program read or wrote it: the
// file's identity (device and inode), its modification time and its size.

#include <cstdint>
#include <optional>
#include <string>

namespace kvh::core {

/// One look at a file. Two looks differ when the file was rewritten in place (time, size) or
/// replaced by another file under its name (identity), as editors that save atomically do.
struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    int64_t size = 0;

    /// The same file, whatever its time and size.
    bool sameFile(const FileStamp& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator==(const FileStamp&) const = default;
};

/// The stamp of the file at `path` (of a link's final target), or nothing when there is no
/// such file or it cannot be looked at.
std::optional<FileStamp> fileStamp(const std::string& path);

} // namespace kvh::core
