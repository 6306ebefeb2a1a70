#include "file_io.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kvh::core {

namespace {

constexpr std::size_t kMiB = 1024u * 1024u;
/// How many symbolic links a save follows before it gives up, as the system does.
constexpr int kMaxLinks = 40;
/// The temporary file's name in the target's folder: short, so any legal target name works.
constexpr const char* kTemporaryPattern = "/.kvhitemp-XXXXXX";
/// A temporary file older than this is left over from a save that was cut off.
constexpr std::time_t kStaleSeconds = 60;

constexpr const char* kCannotOpen = "The file cannot be opened: ";
constexpr const char* kCannotRead = "The file cannot be read: ";
constexpr const char* kIsFolder = "It is a folder, not a file.";
constexpr const char* kNotRegular =
    "It is not a regular file (it is a pipe, a device or a socket).";
constexpr const char* kLargerThan = "The file is larger than ";
constexpr const char* kNotRegularTarget = "It is not a regular file";
constexpr const char* kNotSynced = "The file was written, but may not survive a power cut: ";

std::string systemReason(int err) {
    return std::strerror(err);
}

std::string sizeText(std::size_t bytes) {
    if (bytes % kMiB == 0)
        return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

FileError tooLarge(std::size_t maxBytes) {
    return {kLargerThan + sizeText(maxBytes) + "."};
}

/// Refuses what is not a regular file, or is larger than the limit; "" when it may be read.
std::string refusalToRead(const struct stat& st, std::size_t maxBytes) {
    if (S_ISDIR(st.st_mode))
        return kIsFolder;
    if (!S_ISREG(st.st_mode))
        return kNotRegular;
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        return tooLarge(maxBytes).reason;
    return {};
}

/// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    /// Closes now, reporting the error a late write may only show here.
    int close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

/// Reads to the end; errno on failure, -1 when the file grew beyond the limit.
int readAll(int fd, std::string& bytes, std::size_t maxBytes) {
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes)
            return -1;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// Follows `path` through symbolic links to the file a save must replace; 0 or errno.
int resolveLinks(std::string& path) {
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0; // a new file, or the final target (a failure shows when writing)
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) >= target.size())
            return ENAMETOOLONG;
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : folderOf(path) + "/" + target;
    }
    return ELOOP;
}

/// Why an existing file must not be replaced, or "".
std::string refusalToReplace(const std::string& path, const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return systemReason(EISDIR);
    if (!S_ISREG(st.st_mode))
        return kNotRegularTarget;
    // A file marked read-only stays as it is, even for a user the system would let through.
    if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
        return systemReason(EACCES);
    return {};
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

/// The signals that would end the program in the middle of a save, and the one a write past
/// the file size limit raises (the write then fails with EFBIG, which the save reports).
constexpr std::array<int, 5> kHeldSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ};

/// Signals noted while saves are under way. A signal handler can reach nothing else, so these
/// live for the process, as the signal dispositions themselves do.
volatile std::sig_atomic_t g_noted[kHeldSignals.size()] = {};

extern "C" void noteSignal(int sig) {
    for (std::size_t i = 0; i < kHeldSignals.size(); ++i)
        if (kHeldSignals[i] == sig)
            g_noted[i] = 1;
}

/// Holds back, for the whole process and every thread in it, the signals that would end the
/// program while a save is under way, so a save is never cut off between its steps: one that
/// arrives before the rename undoes the save (the old file stays), and the signal takes effect
/// once the save has been undone or done, with the handling the program had before. Saves in
/// several threads share one hold; a signal the program ignores stays ignored.
class TerminationSignalsHeld {
public:
    TerminationSignalsHeld() {
        const std::lock_guard lock(state().mutex);
        if (state().holders++ > 0)
            return;
        for (std::size_t i = 0; i < kHeldSignals.size(); ++i) {
            struct sigaction& previous = state().previous[i];
            state().replaced[i] = false;
            if (sigaction(kHeldSignals[i], nullptr, &previous) != 0 ||
                (!(previous.sa_flags & SA_SIGINFO) && previous.sa_handler == SIG_IGN))
                continue;
            struct sigaction note {};
            note.sa_handler = noteSignal;
            note.sa_flags = SA_RESTART;
            sigfillset(&note.sa_mask);
            state().replaced[i] = sigaction(kHeldSignals[i], &note, nullptr) == 0;
        }
    }
    ~TerminationSignalsHeld() {
        std::vector<int> arrived;
        {
            const std::lock_guard lock(state().mutex);
            if (--state().holders > 0)
                return;
            for (std::size_t i = 0; i < kHeldSignals.size(); ++i) {
                if (state().replaced[i])
                    sigaction(kHeldSignals[i], &state().previous[i], nullptr);
                // A write past the size limit has already failed with EFBIG.
                if (g_noted[i] != 0 && kHeldSignals[i] != SIGXFSZ)
                    arrived.push_back(kHeldSignals[i]);
                g_noted[i] = 0;
            }
        }
        for (const int sig : arrived)
            ::kill(::getpid(), sig);
    }
    TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
    TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

    /// Whether a signal that ends the program has arrived since the hold began.
    bool arrived() const {
        for (std::size_t i = 0; i < kHeldSignals.size(); ++i)
            if (g_noted[i] != 0 && kHeldSignals[i] != SIGXFSZ)
                return true;
        return false;
    }

private:
    struct State {
        std::mutex mutex;
        int holders = 0;
        std::array<struct sigaction, kHeldSignals.size()> previous{};
        std::array<bool, kHeldSignals.size()> replaced{};
    };
    static State& state() {
        static State s;
        return s;
    }
};

/// A temporary file of an earlier save: ".kvhitemp-" and six letters or digits.
bool isTemporaryName(std::string_view name) {
    constexpr std::string_view prefix = ".kvhitemp-";
    if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix)
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end(),
                       [](unsigned char ch) { return std::isalnum(ch) != 0; });
}

/// Removes the temporary files of this program's saves that were cut off (a crash, a kill)
/// from `folder`: the user's own regular files of that name, older than a minute, so a save
/// under way in another process keeps its file.
void removeStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (!isTemporaryName(entry->d_name) ||
            ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && now - st.st_mtime > kStaleSeconds)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

int writeAll(SaveCalls& calls, int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = calls.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

/// Writes, syncs and closes the temporary file; 0 or errno.
int fillTemporary(SaveCalls& calls, Descriptor& fd, std::string_view bytes,
                  const struct stat* old) {
    if (old != nullptr) {
        // Keep the replaced file's permissions and, where allowed, its owner.
        const bool owned = ::fchown(fd.get(), old->st_uid, old->st_gid) == 0;
        ::fchmod(fd.get(), old->st_mode & (owned ? 07777 : 0777));
    } else {
        ::fchmod(fd.get(), newFileMode());
    }
    if (const int err = writeAll(calls, fd.get(), bytes))
        return err;
    if (calls.fsync(fd.get()) != 0)
        return errno;
    return fd.close() != 0 ? errno : 0;
}

} // namespace

int SaveCalls::makeTemporary(std::string& pattern) {
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}

ssize_t SaveCalls::write(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}

int SaveCalls::fsync(int fd) {
    return ::fsync(fd);
}

int SaveCalls::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

int SaveCalls::syncFolder(const std::string& folder) {
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return -1;
    // Some file systems cannot sync a folder; their entries are durable by other means.
    return ::fsync(fd.get()) == 0 || errno == EINVAL ? 0 : -1;
}

std::variant<std::string, FileError> readFileBytes(const std::string& path, std::size_t maxBytes) {
    struct stat st {};
    // Looked at before opening, so opening a device or a FIFO never has side effects or waits.
    if (::stat(path.c_str(), &st) != 0)
        return FileError{kCannotOpen + systemReason(errno) + "."};
    if (std::string refusal = refusalToRead(st, maxBytes); !refusal.empty())
        return FileError{std::move(refusal)};
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return FileError{kCannotOpen + systemReason(errno) + "."};
    // The path may have changed between the two looks: the open file decides.
    if (::fstat(fd.get(), &st) != 0)
        return FileError{kCannotRead + systemReason(errno) + "."};
    if (std::string refusal = refusalToRead(st, maxBytes); !refusal.empty())
        return FileError{std::move(refusal)};
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    const int err = readAll(fd.get(), bytes, maxBytes);
    if (err < 0)
        return tooLarge(maxBytes);
    if (err > 0)
        return FileError{kCannotRead + systemReason(err) + "."};
    return bytes;
}

std::string writeFileAtomically(const std::string& path, std::string_view bytes) {
    SaveCalls system;
    return writeFileAtomically(path, bytes, system);
}

std::string writeFileAtomically(const std::string& path, std::string_view bytes, SaveCalls& calls) {
    const TerminationSignalsHeld held;
    std::string target = path;
    if (const int err = resolveLinks(target))
        return systemReason(err);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (std::string refusal = refusalToReplace(target, old); !refusal.empty())
            return refusal;
    }
    removeStaleTemporaries(folderOf(target));
    std::string temporary = folderOf(target) + kTemporaryPattern;
    Descriptor fd(calls.makeTemporary(temporary));
    if (fd.get() < 0)
        return systemReason(errno);
    int err = fillTemporary(calls, fd, bytes, exists ? &old : nullptr);
    if (err == 0 && held.arrived())
        err = EINTR;
    if (err == 0 && calls.rename(temporary, target) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temporary.c_str());
        return systemReason(err);
    }
    if (calls.syncFolder(folderOf(target)) != 0)
        return kNotSynced + systemReason(errno);
    return {};
}

} // namespace kvh::core
