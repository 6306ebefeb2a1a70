#pragma once
// Reading a whole file and replacing a file atomically, in plain POSIX. Reading never blocks
// on something that is not a regular file (a FIFO, a device) and never takes more memory than
// its limit; writing goes through a temporary file in the target's folder, so a failed or
// interrupted save leaves the old file as it was and no temporary file behind.

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <variant>

namespace kvh::core {

/// Why a file could not be read or written, as a sentence for the user.
struct FileError {
    std::string reason;
};

/// The system calls a save makes, so tests can fail any of them (a full disk at the Nth byte,
/// a failing `fsync` or `rename`). The defaults call the system.
class SaveCalls {
public:
    virtual ~SaveCalls() = default;
    /// Creates and opens a new file from `pattern` (ending in XXXXXX, replaced in place).
    virtual int makeTemporary(std::string& pattern);
    virtual ssize_t write(int fd, const char* data, std::size_t size);
    virtual int fsync(int fd);
    virtual int rename(const std::string& from, const std::string& to);
    /// Flushes the folder entry of a renamed file to the disk.
    virtual int syncFolder(const std::string& folder);
};

/// Reads a whole regular file of at most `maxBytes` bytes. Anything else (a folder, a FIFO, a
/// device, a larger file) is refused at once with a reason.
std::variant<std::string, FileError> readFileBytes(const std::string& path, std::size_t maxBytes);

/// Replaces the file at `path` (for a symbolic link: its final target) with `bytes`, through a
/// temporary file in the same folder, `fsync` and `rename`, then syncs the folder. The file
/// keeps its permissions; a file without any write permission is not replaced. Termination
/// signals, in any thread of the process, wait until the save is over; one that arrives before
/// the rename undoes the save. Temporary files of earlier saves that were cut off, older than a
/// minute, are removed from the folder. Returns "" on success, else the reason.
std::string writeFileAtomically(const std::string& path, std::string_view bytes);
std::string writeFileAtomically(const std::string& path, std::string_view bytes, SaveCalls& calls);

} // namespace kvh::core
