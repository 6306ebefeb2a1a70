#pragma once
// Recovery copies: the unsaved case kept in a folder of its own while the program runs, so a
// kill, a crash or a power cut loses at most a few seconds of work.
//
// One copy is three kinds of file sharing a stem ("case-<pid>-<start>"): the lock of the
// program that keeps it ("<stem>.lock", taken by the window side), the case in the ".dew"
// format under a fresh name on each write ("<stem>.<n>.dew"), and a short note
// ("<stem>.note") naming that ".dew" with its size and checksum. The case is written first,
// then the note, then the older ".dew" is removed, each step atomic: whenever the program
// stops, the note names a whole case.

#include "case.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvh::core {

/// What a copy's note says. Times are seconds since the epoch, UTC.
struct RecoveryNote {
    std::string casePath; ///< the case's own file, in the system's encoding; "" for a new case
    std::int64_t changed = 0;
    std::int64_t pid = 0;
    std::string dewName; ///< the ".dew" in the folder that holds the case
    std::uint64_t dewSize = 0;
    std::uint64_t dewChecksum = 0; ///< FNV-1a, 64 bits, over the ".dew"'s bytes

    bool operator==(const RecoveryNote&) const = default;
};

/// The note's text: a first line naming the format, then "key=value" lines. Line breaks and
/// backslashes in the case's path are escaped.
std::string writeRecoveryNote(const RecoveryNote& note);
/// Reads a note; the reason when it is not one.
std::variant<RecoveryNote, std::string> parseRecoveryNote(std::string_view text);

/// FNV-1a over `bytes`, 64 bits.
std::uint64_t recoveryChecksum(std::string_view bytes);

/// A copy read back: the case with its note, or why it cannot be used.
struct RecoveredCase {
    Case theCase;
    RecoveryNote note;
};
struct DamagedCopy {
    std::string reason;
};
using RecoveryRead = std::variant<RecoveredCase, DamagedCopy>;

/// The recovery folder: writing, reading and removing copies. Locking is the caller's.
class RecoveryFolder {
public:
    explicit RecoveryFolder(std::string folder) : m_folder(std::move(folder)) {}

    const std::string& folder() const { return m_folder; }
    /// The stem of a copy for a program started at `startMs` (milliseconds since the epoch).
    static std::string stemFor(std::int64_t pid, std::int64_t startMs);
    std::string lockPath(const std::string& stem) const;
    std::string notePath(const std::string& stem) const;

    /// Makes the folder (only its owner may enter it); "" or the reason.
    std::string create() const;
    /// Writes `c` as the copy `stem`, replacing the one before; "" or the reason. The note
    /// gets `casePath`, `changed` and `pid` as they are.
    std::string write(const std::string& stem, const Case& c, const RecoveryNote& about);
    /// The same with the case's ".dew" bytes made already (so the caller may make them on
    /// one thread and write them on another).
    std::string write(const std::string& stem, std::string_view dew, const RecoveryNote& about);
    /// Removes every file of the copy but its lock.
    void remove(const std::string& stem) const;
    /// Removes the lock file too, once the lock is let go.
    void removeLock(const std::string& stem) const;
    /// The stems of the copies in the folder (by their notes and ".dew" files), sorted; lock
    /// files alone are listed under `lockOnly`.
    std::vector<std::string> stems(std::vector<std::string>* lockOnly = nullptr) const;
    /// Reads a copy into a fresh case. A ".dew" written before the copy's first note (the
    /// program stopped in between) is read with an empty note dated by the file.
    /// `base` is the case the copy is opened over, as Open does.
    RecoveryRead read(const std::string& stem, const Case& base) const;
    /// Removes the temporary files of writes cut off more than ten minutes before `now`.
    void removeLeftovers(std::int64_t now) const;

private:
    std::string path(const std::string& name) const { return m_folder + "/" + name; }

    std::string m_folder;
    /// Numbers the ".dew" files this program writes, so a new one never replaces the last.
    std::uint64_t m_written = 0;
};

} // namespace kvh::core
