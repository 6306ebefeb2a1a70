#include "core/file_io.h"
#include "named_row.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace kvh::core;
using kvh::test::TempDir;

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

namespace fs = std::filesystem;

const std::string kOld = "old case\r\n";
const std::string kNew = "[Setup]\r\nTemp Units = 1\r\n[Data]\r\nS,25,0\r\nR,180,30\r\n";

bool isRoot() {
    return ::geteuid() == 0;
}

/// An expected reason: one of the program's own texts, or the system's text for an errno (in
/// the locale of the run, as the user reads it).
struct Reason {
    const char* own = "";
    int err = 0;
    std::string text() const { return err != 0 ? std::strerror(err) : own; }
};
Reason sys(int err) {
    return {"", err};
}

/// No temporary file left in the folder.
bool noTemporaryIn(const fs::path& dir) {
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.path().filename().string().rfind(".kvhitemp-", 0) == 0)
            return false;
    return true;
}

// ---- Reading -----------------------------------------------------------------------------

struct ReadCase : NamedRow {
    /// Makes the thing to open in the folder; returns its path.
    std::function<std::string(const fs::path&)> make;
    Reason reason;
    bool needsNonRoot = false; ///< the system lets the superuser through
};

class ReadRefuses : public TempDir, public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadRefuses, AtOnceWithAReason) {
    if (GetParam().needsNonRoot && isRoot())
        GTEST_SKIP() << "the superuser reads any file";
    const std::string target = GetParam().make(m_dir);
    auto result = readFileBytes(target, 16u << 20);
    ASSERT_TRUE(std::holds_alternative<FileError>(result)) << target;
    EXPECT_NE(std::get<FileError>(result).reason.find(GetParam().reason.text()), std::string::npos)
        << target << ": " << std::get<FileError>(result).reason;
}

std::string fileOf(const fs::path& dir, const char* name, const std::string& bytes) {
    TempDir::put((dir / name).string(), bytes);
    return (dir / name).string();
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadRefuses,
    testing::Values(ReadCase{"FifoWithoutWriter",
                             [](const fs::path& d) {
                                 ::mkfifo((d / "p.dew").c_str(), 0600);
                                 return (d / "p.dew").string();
                             },
                             Reason{"not a regular file"}},
                    ReadCase{"Folder",
                             [](const fs::path& d) {
                                 fs::create_directory(d / "f.dew");
                                 return (d / "f.dew").string();
                             },
                             Reason{"folder"}},
                    ReadCase{"SymlinkLoop",
                             [](const fs::path& d) {
                                 fs::create_symlink(d / "b.dew", d / "a.dew");
                                 fs::create_symlink(d / "a.dew", d / "b.dew");
                                 return (d / "a.dew").string();
                             },
                             sys(ELOOP)},
                    ReadCase{"Missing", [](const fs::path& d) { return (d / "none.dew").string(); },
                             sys(ENOENT)},
                    ReadCase{"NoPermission",
                             [](const fs::path& d) {
                                 const std::string p = fileOf(d, "locked.dew", kOld);
                                 ::chmod(p.c_str(), 0);
                                 return p;
                             },
                             sys(EACCES), true},
                    ReadCase{"TwoHundredMiBRefusedBySize",
                             [](const fs::path& d) {
                                 const std::string p = fileOf(d, "big.dew", "");
                                 fs::resize_file(p, 200u << 20); // sparse: nothing is written
                                 return p;
                             },
                             Reason{"larger than 16 MiB"}}),
    RowName{});

TEST_F(TempDir, ReadTakesExactlyTheLimitAndNotOneByteMore) {
    put(path("ten"), "0123456789");
    auto ten = readFileBytes(path("ten"), 10);
    ASSERT_TRUE(std::holds_alternative<std::string>(ten));
    EXPECT_EQ(std::get<std::string>(ten), "0123456789");
    auto refused = readFileBytes(path("ten"), 9);
    ASSERT_TRUE(std::holds_alternative<FileError>(refused));
    EXPECT_EQ(std::get<FileError>(refused).reason, "The file is larger than 9 bytes.");
}

// ---- Saving under real conditions (a folder that refuses a new file: SaveInjected) ----------

struct SaveCase : NamedRow {
    /// Prepares the folder; returns the path to save to.
    std::function<std::string(const fs::path&)> make;
    Reason reason; ///< none when the save succeeds
    /// What the folder must hold afterwards: file (relative) and its bytes.
    std::vector<std::pair<std::string, std::string>> after;
};

class SaveOnDisk : public TempDir, public testing::WithParamInterface<SaveCase> {};

TEST_P(SaveOnDisk, SavesOrKeepsWhatWasThere) {
    const SaveCase& p = GetParam();
    const std::string target = p.make(m_dir);
    const std::string reason = writeFileAtomically(target, kNew);
    if (p.reason.text().empty())
        EXPECT_EQ(reason, "") << target;
    else
        EXPECT_NE(reason.find(p.reason.text()), std::string::npos) << target << ": " << reason;
    for (const auto& [name, bytes] : p.after)
        EXPECT_EQ(slurp((m_dir / name).string()), bytes) << target << ", then " << name;
    EXPECT_TRUE(noTemporaryIn(m_dir)) << target;
}

const std::string kName255 = std::string(251, 'a') + ".dew";

INSTANTIATE_TEST_SUITE_P(
    Conditions, SaveOnDisk,
    testing::Values(SaveCase{"NewFile",
                             [](const fs::path& d) { return (d / "new.dew").string(); },
                             Reason{},
                             {{"new.dew", kNew}}},
                    SaveCase{"ReplacesAFile",
                             [](const fs::path& d) { return fileOf(d, "case.dew", kOld); },
                             Reason{},
                             {{"case.dew", kNew}}},
                    SaveCase{"NameOf255Bytes",
                             [](const fs::path& d) { return fileOf(d, kName255.c_str(), kOld); },
                             Reason{},
                             {{kName255, kNew}}},
                    SaveCase{"SymlinkKeepsTheLinkAndWritesItsTarget",
                             [](const fs::path& d) {
                                 fs::create_directory(d / "real");
                                 fileOf(d, "real/case.dew", kOld);
                                 fs::create_symlink("real/case.dew", d / "mid.dew");
                                 fs::create_symlink("mid.dew", d / "link.dew");
                                 return (d / "link.dew").string();
                             },
                             Reason{},
                             {{"real/case.dew", kNew}, {"link.dew", kNew}}},
                    SaveCase{"DanglingSymlinkCreatesItsTarget",
                             [](const fs::path& d) {
                                 fs::create_symlink(d / "later.dew", d / "link.dew");
                                 return (d / "link.dew").string();
                             },
                             Reason{},
                             {{"later.dew", kNew}}},
                    SaveCase{"MissingFolder",
                             [](const fs::path& d) { return (d / "none/case.dew").string(); },
                             sys(ENOENT),
                             {}},
                    SaveCase{"PathIsAFolder",
                             [](const fs::path& d) {
                                 fs::create_directory(d / "taken.dew");
                                 return (d / "taken.dew").string();
                             },
                             sys(EISDIR),
                             {}},
                    SaveCase{"ReadOnlyFileIsNotReplaced",
                             [](const fs::path& d) {
                                 const std::string p = fileOf(d, "kept.dew", kOld);
                                 ::chmod(p.c_str(), 0444);
                                 return p;
                             },
                             sys(EACCES),
                             {{"kept.dew", kOld}}},
                    SaveCase{"SymlinkLoop",
                             [](const fs::path& d) {
                                 fs::create_symlink(d / "b.dew", d / "a.dew");
                                 fs::create_symlink(d / "a.dew", d / "b.dew");
                                 return (d / "a.dew").string();
                             },
                             sys(ELOOP),
                             {}},
                    SaveCase{"FifoIsNotReplaced",
                             [](const fs::path& d) {
                                 ::mkfifo((d / "p.dew").c_str(), 0600);
                                 return (d / "p.dew").string();
                             },
                             Reason{"not a regular file"},
                             {}}),
    RowName{});

TEST_F(TempDir, SaveKeepsTheReplacedFilesPermissionsAndANewFileFollowsTheUmask) {
    put(path("case.dew"), kOld);
    ::chmod(path("case.dew").c_str(), 0640);
    ASSERT_EQ(writeFileAtomically(path("case.dew"), kNew), "");
    struct stat st {};
    ::stat(path("case.dew").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const mode_t mask = ::umask(022);
    ASSERT_EQ(writeFileAtomically(path("new.dew"), kNew), "");
    ::umask(mask);
    ::stat(path("new.dew").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

// ---- Saving with injected failures ---------------------------------------------------------

/// System calls that fail as told: at the Nth byte written, or at one call.
class FailingCalls : public SaveCalls {
public:
    long failAtByte = -1; ///< the write that would reach this byte fails
    int makeError = 0, fsyncError = 0, renameError = 0, folderError = 0;
    int interruptions = 0; ///< the first writes fail with EINTR
    std::size_t chunk = 0; ///< at most this many bytes per write (0: all)
    std::function<void()> duringWrite, duringFolderSync;

    int makeTemporary(std::string& pattern) override {
        return makeError ? (errno = makeError, -1) : SaveCalls::makeTemporary(pattern);
    }
    ssize_t write(int fd, const char* data, std::size_t size) override {
        if (duringWrite)
            duringWrite();
        if (interruptions > 0 && interruptions--)
            return errno = EINTR, -1;
        if (chunk > 0)
            size = std::min(size, chunk);
        if (failAtByte >= 0 && m_written + static_cast<long>(size) > failAtByte)
            return errno = ENOSPC, -1;
        m_written += static_cast<long>(size);
        return SaveCalls::write(fd, data, size);
    }
    int fsync(int fd) override {
        return fsyncError ? (errno = fsyncError, -1) : SaveCalls::fsync(fd);
    }
    int rename(const std::string& from, const std::string& to) override {
        return renameError ? (errno = renameError, -1) : SaveCalls::rename(from, to);
    }
    int syncFolder(const std::string& folder) override {
        if (duringFolderSync)
            duringFolderSync();
        return folderError ? (errno = folderError, -1) : SaveCalls::syncFolder(folder);
    }

private:
    long m_written = 0;
};

struct InjectedCase : NamedRow {
    std::function<void(FailingCalls&)> arrange;
    Reason reason; ///< none when the save succeeds
    bool replaced; ///< the file holds the new text afterwards
};

class SaveInjected : public TempDir, public testing::WithParamInterface<InjectedCase> {};

TEST_P(SaveInjected, OldFileIntactOnFailureAndNoTemporaryLeft) {
    put(path("case.dew"), kOld);
    FailingCalls calls;
    GetParam().arrange(calls);
    const std::string reason = writeFileAtomically(path("case.dew"), kNew, calls);
    if (GetParam().reason.text().empty())
        EXPECT_EQ(reason, "");
    else
        EXPECT_NE(reason.find(GetParam().reason.text()), std::string::npos) << reason;
    EXPECT_EQ(slurp(path("case.dew")), GetParam().replaced ? kNew : kOld);
    EXPECT_EQ(names(), std::vector<std::string>{"case.dew"});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveInjected,
    testing::Values(
        InjectedCase{"DiskFullAtTheFirstByte", [](FailingCalls& c) { c.failAtByte = 0; },
                     sys(ENOSPC), false},
        InjectedCase{"DiskFullMidway",
                     [](FailingCalls& c) {
                         c.chunk = 7;
                         c.failAtByte = 20;
                     },
                     sys(ENOSPC), false},
        InjectedCase{"ReadOnlyFolder", [](FailingCalls& c) { c.makeError = EACCES; }, sys(EACCES),
                     false},
        InjectedCase{"FsyncFails", [](FailingCalls& c) { c.fsyncError = EIO; }, sys(EIO), false},
        InjectedCase{"RenameFails", [](FailingCalls& c) { c.renameError = EXDEV; }, sys(EXDEV),
                     false},
        InjectedCase{"FolderSyncFailsAfterTheRename", [](FailingCalls& c) { c.folderError = EIO; },
                     Reason{"may not survive a power cut"}, true},
        InjectedCase{"InterruptedAndShortWritesGoOn",
                     [](FailingCalls& c) {
                         c.interruptions = 3;
                         c.chunk = 5;
                     },
                     Reason{}, true}),
    RowName{});

struct SignalCase : NamedRow {
    bool afterRename; ///< the signal comes while the folder is synced, else while writing
    const std::string& expected;
    /// The signal is sent to the process while another thread idles, as in the window: the
    /// system may hand it to any thread that does not hold it back.
    bool toTheProcess = false;
};

class SaveSignalled : public TempDir, public testing::WithParamInterface<SignalCase> {};

TEST_P(SaveSignalled, EndsTheProgramOnlyOnceTheSaveIsUndoneOrDone) {
    put(path("case.dew"), kOld);
    const std::string target = path("case.dew");
    const bool afterRename = GetParam().afterRename;
    EXPECT_EXIT(
        {
            FailingCalls calls;
            calls.chunk = 4;
            std::function<void()> signal = [] { ::raise(SIGTERM); };
            if (GetParam().toTheProcess) {
                std::thread([] {
                    for (;;)
                        ::pause();
                }).detach();
                signal = [] {
                    ::kill(::getpid(), SIGTERM);
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                };
            }
            (afterRename ? calls.duringFolderSync : calls.duringWrite) = signal;
            writeFileAtomically(target, kNew, calls);
            std::_Exit(0);
        },
        testing::KilledBySignal(SIGTERM), "");
    const char* input = afterRename ? "signal after the rename" : "signal while writing";
    EXPECT_EQ(slurp(target), GetParam().expected) << input;
    EXPECT_EQ(names(), std::vector<std::string>{"case.dew"}) << input;
}

INSTANTIATE_TEST_SUITE_P(Termination, SaveSignalled,
                         testing::Values(SignalCase{"WhileWritingKeepsTheOldFile", false, kOld},
                                         SignalCase{"AfterTheRenameKeepsTheNewFile", true, kNew},
                                         SignalCase{"ToTheProcessWhileWriting", false, kOld, true},
                                         SignalCase{"ToTheProcessAfterTheRename", true, kNew,
                                                    true}),
                         RowName{});

// A save that was cut off leaves its temporary file; the next save into that folder removes
// it once it is a minute old, and nothing else.
TEST_F(TempDir, SaveRemovesStaleTemporariesOnly) {
    const auto age = [this](const std::string& name, int seconds) {
        const struct timespec when[2] = {{std::time(nullptr) - seconds, 0},
                                         {std::time(nullptr) - seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path(name).c_str(), when, AT_SYMLINK_NOFOLLOW), 0);
    };
    put(path(".kvhitemp-Ab12Cd"), "stale");
    age(".kvhitemp-Ab12Cd", 120);
    put(path(".kvhitemp-Fresh1"), "another save under way");
    put(path(".kvhitemp-toolong"), "not one of ours");
    age(".kvhitemp-toolong", 120);
    fs::create_directory(path(".kvhitemp-Folder"));
    age(".kvhitemp-Folder", 120);
    fs::create_symlink("case.dew", path(".kvhitemp-Link01"));
    age(".kvhitemp-Link01", 120);
    ASSERT_EQ(writeFileAtomically(path("case.dew"), kNew), "");
    EXPECT_EQ(names(),
              (std::vector<std::string>{".kvhitemp-Folder", ".kvhitemp-Fresh1", ".kvhitemp-Link01",
                                        ".kvhitemp-toolong", "case.dew"}));
}

} // namespace
