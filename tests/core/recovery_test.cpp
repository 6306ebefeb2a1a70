#include "core/dew_file.h"
#include "core/path_kind.h"
#include "core/recovery.h"
#include "named_row.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

using namespace kvh::core;
using kvh::test::NamedRow;
using kvh::test::RowName;
using kvh::test::TempDir;

namespace {

namespace fs = std::filesystem;

const std::string kStem = "case-41-1700000000000";

/// A case as Open makes it, with `temp` as its start temperature.
Case caseWithTemp(const std::string& temp) {
    const std::string dew = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 4\r\n"
                            "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS," +
                            temp + ",0\r\nR,60,30\r\nE,25,30\r\n";
    Case c;
    applyDew(c, std::get<DewParse>(parseDew(dew)));
    return c;
}

RecoveryNote noteFor(const std::string& casePath) {
    RecoveryNote note;
    note.casePath = casePath;
    note.changed = 1796652180;
    note.pid = 41;
    return note;
}

RecoveredCase found(const RecoveryRead& read) {
    if (const auto* damaged = std::get_if<DamagedCopy>(&read))
        ADD_FAILURE() << "damaged: " << damaged->reason;
    const auto* ok = std::get_if<RecoveredCase>(&read);
    return ok ? *ok : RecoveredCase{};
}

/// The copy holds `c` when it saves to the same bytes.
std::string saved(const Case& c) {
    return writeDew(c);
}

// ---- The note -------------------------------------------------------------------------------

TEST(RecoveryNote, ReadsBackWhatItWrote) {
    RecoveryNote note = noteFor("/home/u/odd\nname\\with breaks\r.dew");
    note.dewName = kStem + ".3.dew";
    note.dewSize = 1234;
    note.dewChecksum = 0xfedcba9876543210ull;
    const std::string text = writeRecoveryNote(note);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7) << "one line per field: " << text;
    const auto back = parseRecoveryNote(text);
    ASSERT_TRUE(std::holds_alternative<RecoveryNote>(back));
    EXPECT_EQ(std::get<RecoveryNote>(back), note);
}

struct BadNote : NamedRow {
    const char* text;
    const char* reason;
};

class RecoveryNoteRefuses : public testing::TestWithParam<BadNote> {};

TEST_P(RecoveryNoteRefuses, WithItsReason) {
    const auto read = parseRecoveryNote(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<std::string>(read));
    EXPECT_EQ(std::get<std::string>(read), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecoveryNoteRefuses,
    testing::Values(
        BadNote{"empty file", "", "The note is not a recovery note."},
        BadNote{"cut off after its pid", "KVHiTemp recovery copy 1\nfile=\nchanged=1\npid=2\n",
                "The note lacks the line case=."},
        BadNote{"a time that is no number",
                "KVHiTemp recovery copy 1\nfile=\nchanged=14:03\npid=2\ncase=a.1.dew\nsize=1\n"
                "fnv1a64=ab\n",
                "The note has a bad number in the line changed=."},
        BadNote{"a checksum that is no hex number",
                "KVHiTemp recovery copy 1\nfile=\nchanged=1\npid=2\ncase=a.1.dew\nsize=1\n"
                "fnv1a64=xyz\n",
                "The note has a bad number in the line fnv1a64=."}),
    RowName());

// ---- The folder -----------------------------------------------------------------------------

class RecoveryFolderTest : public TempDir {
protected:
    RecoveryFolder folder() const { return RecoveryFolder(m_dir.string()); }
};

TEST_F(RecoveryFolderTest, ReadsBackTheCaseAndItsNote) {
    RecoveryFolder f = folder();
    const Case c = caseWithTemp("181.5");
    ASSERT_EQ(f.write(kStem, c, noteFor("/cases/anneal.dew")), "");
    const RecoveredCase back = found(f.read(kStem, Case{}));
    EXPECT_EQ(saved(back.theCase), saved(c));
    EXPECT_EQ(back.note.casePath, "/cases/anneal.dew");
    EXPECT_EQ(back.note.changed, 1796652180);
    EXPECT_EQ(back.note.pid, 41);
    EXPECT_EQ(f.stems(), std::vector<std::string>{kStem});
}

TEST_F(RecoveryFolderTest, ANewCopyReplacesTheOldOneAndRemovingLeavesOnlyTheLock) {
    RecoveryFolder f = folder();
    put(f.lockPath(kStem), "lock");
    ASSERT_EQ(f.write(kStem, caseWithTemp("100"), noteFor("")), "");
    ASSERT_EQ(f.write(kStem, caseWithTemp("200"), noteFor("")), "");
    EXPECT_EQ(names(),
              (std::vector<std::string>{kStem + ".2.dew", kStem + ".lock", kStem + ".note"}));
    EXPECT_EQ(saved(found(f.read(kStem, Case{})).theCase), saved(caseWithTemp("200")));
    f.remove(kStem);
    EXPECT_EQ(names(), std::vector<std::string>{kStem + ".lock"});
    std::vector<std::string> lockOnly;
    EXPECT_TRUE(f.stems(&lockOnly).empty());
    EXPECT_EQ(lockOnly, std::vector<std::string>{kStem});
}

TEST_F(RecoveryFolderTest, ProgramsWriteSideBySideWithoutTakingEachOthersFiles) {
    RecoveryFolder first = folder();
    RecoveryFolder second = folder();
    const std::string other = RecoveryFolder::stemFor(42, 1700000000001);
    ASSERT_EQ(first.write(kStem, caseWithTemp("1"), noteFor("")), "");
    ASSERT_EQ(second.write(other, caseWithTemp("2"), noteFor("")), "");
    ASSERT_EQ(first.write(kStem, caseWithTemp("3"), noteFor("")), "");
    EXPECT_EQ(first.stems(), (std::vector<std::string>{kStem, other}));
    EXPECT_EQ(saved(found(first.read(other, Case{})).theCase), saved(caseWithTemp("2")));
    EXPECT_EQ(saved(found(second.read(kStem, Case{})).theCase), saved(caseWithTemp("3")));
}

TEST_F(RecoveryFolderTest, AProgramTakingOverACopyNeverWritesOverItsCase) {
    RecoveryFolder before = folder();
    ASSERT_EQ(before.write(kStem, caseWithTemp("1"), noteFor("")), "");
    // A later program numbers from the start again: the recovered copy stays whole until the
    // new note names the new file.
    RecoveryFolder after = folder();
    ASSERT_EQ(after.write(kStem, caseWithTemp("2"), noteFor("")), "");
    EXPECT_EQ(names(), (std::vector<std::string>{kStem + ".2.dew", kStem + ".note"}));
    EXPECT_EQ(saved(found(after.read(kStem, Case{})).theCase), saved(caseWithTemp("2")));
}

TEST_F(RecoveryFolderTest, ACaseWrittenBeforeItsFirstNoteIsReadAsANewCase) {
    put(path(kStem + ".1.dew"), writeDew(caseWithTemp("77")));
    const RecoveredCase back = found(folder().read(kStem, Case{}));
    EXPECT_EQ(saved(back.theCase), saved(caseWithTemp("77")));
    EXPECT_EQ(back.note.casePath, "");
    EXPECT_GT(back.note.changed, 0) << "dated by the file";
}

TEST_F(RecoveryFolderTest, ANoteWhoseFirstCaseNeverArrivedIsNoCopy) {
    RecoveryFolder f = folder();
    RecoveryNote note = noteFor("/cases/anneal.dew");
    note.dewName = kStem + ".1.dew";
    put(f.notePath(kStem), writeRecoveryNote(note));
    EXPECT_TRUE(f.stems().empty());
    // The first copy's note comes before its case: a copy on disk always names its file.
    ASSERT_EQ(f.write(kStem, caseWithTemp("90"), noteFor("/cases/anneal.dew")), "");
    EXPECT_EQ(found(f.read(kStem, Case{})).note.casePath, "/cases/anneal.dew");
    EXPECT_EQ(f.stems(), std::vector<std::string>{kStem});
}

struct Damage : NamedRow {
    std::function<void(const fs::path& dir)> spoil;
    const char* reason;
    int err = 0; ///< the reason is the system's text for this, in the run's locale
    std::string expected() const {
        return err ? "The file cannot be opened: " + std::string(std::strerror(err)) + "." : reason;
    }
};

class RecoveryFolderDamage : public TempDir, public testing::WithParamInterface<Damage> {};

TEST_P(RecoveryFolderDamage, IsNamedAndLeftOnDisk) {
    RecoveryFolder f(m_dir.string());
    ASSERT_EQ(f.write(kStem, caseWithTemp("5"), noteFor("/a.dew")), "");
    GetParam().spoil(m_dir);
    const std::vector<std::string> before = names();
    const RecoveryRead read = f.read(kStem, Case{});
    ASSERT_TRUE(std::holds_alternative<DamagedCopy>(read));
    EXPECT_EQ(std::get<DamagedCopy>(read).reason, GetParam().expected());
    EXPECT_EQ(names(), before);
}

const std::string kDew = kStem + ".1.dew";

INSTANTIATE_TEST_SUITE_P(
    Rows, RecoveryFolderDamage,
    testing::Values(
        Damage{"case cut short", [](const fs::path& dir) { fs::resize_file(dir / kDew, 20); },
               "The case file is not the one the note describes."},
        Damage{"case changed in place",
               [](const fs::path& dir) {
                   std::string bytes = TempDir::slurp((dir / kDew).string());
                   bytes[bytes.size() - 3] ^= 1;
                   TempDir::put((dir / kDew).string(), bytes);
               },
               "The case file is not the one the note describes."},
        Damage{"note garbled",
               [](const fs::path& dir) {
                   TempDir::put((dir / (kStem + ".note")).string(), "\x01\x02");
               },
               "The note is not a recovery note."},
        Damage{"note names another copy's case",
               [](const fs::path& dir) {
                   const std::string note = (dir / (kStem + ".note")).string();
                   std::string text = TempDir::slurp(note);
                   text.replace(text.find("case=case-41"), 12, "case=case-42");
                   TempDir::put(note, text);
               },
               "The note names a case file outside its copy."},
        Damage{"case file gone", [](const fs::path& dir) { fs::remove(dir / kDew); }, "", ENOENT},
        Damage{"note is a folder",
               [](const fs::path& dir) {
                   fs::remove(dir / (kStem + ".note"));
                   fs::create_directory(dir / (kStem + ".note"));
               },
               "It is a folder, not a file."}),
    RowName());

TEST_F(RecoveryFolderTest, OldTemporaryFilesOfCutOffWritesGoNewOnesStay) {
    put(path(".kvhitemp-old123"), "half");
    put(path(".kvhitemp-new456"), "half");
    struct stat st {};
    ASSERT_EQ(::stat(path(".kvhitemp-new456").c_str(), &st), 0);
    folder().removeLeftovers(st.st_mtime + 60);
    EXPECT_EQ(names().size(), 2u) << "a write a minute old may be another program's";
    folder().removeLeftovers(st.st_mtime + 3600);
    EXPECT_TRUE(names().empty());
}

// ---- What a settings file is ------------------------------------------------------------------

struct Kind : NamedRow {
    int statResult; ///< 0, or the errno of a failing stat
    mode_t statMode;
    int lstatResult;
    mode_t lstatMode;
    PathKind kind;
};

class PathKindOf : public testing::TestWithParam<Kind> {};

const Kind* g_kind = nullptr;

int fakeStat(const char*, struct stat* st, int result, mode_t mode) {
    if (result != 0) {
        errno = result;
        return -1;
    }
    st->st_mode = mode;
    return 0;
}

TEST_P(PathKindOf, FollowsLinksToTheirEnd) {
    g_kind = &GetParam();
    StatCalls calls;
    calls.stat = [](const char* p, struct stat* st) {
        return fakeStat(p, st, g_kind->statResult, g_kind->statMode);
    };
    calls.lstat = [](const char* p, struct stat* st) {
        return fakeStat(p, st, g_kind->lstatResult, g_kind->lstatMode);
    };
    EXPECT_EQ(pathKind("/scratch/KVHiTemp.conf", calls), GetParam().kind);
    EXPECT_EQ(safeForSettings(GetParam().kind),
              GetParam().kind == PathKind::Missing || GetParam().kind == PathKind::Regular);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PathKindOf,
    testing::Values(Kind{"regular file", 0, S_IFREG | 0644, 0, S_IFREG, PathKind::Regular},
                    Kind{"link to a regular file", 0, S_IFREG, 0, S_IFLNK, PathKind::Regular},
                    Kind{"link to a character device", 0, S_IFCHR | 0666, 0, S_IFLNK,
                         PathKind::NotRegular},
                    Kind{"FIFO", 0, S_IFIFO, 0, S_IFIFO, PathKind::NotRegular},
                    Kind{"folder", 0, S_IFDIR, 0, S_IFDIR, PathKind::NotRegular},
                    Kind{"nothing there", ENOENT, 0, ENOENT, 0, PathKind::Missing},
                    Kind{"link to nothing", ENOENT, 0, 0, S_IFLNK, PathKind::DanglingLink},
                    Kind{"link loop", ELOOP, 0, 0, S_IFLNK, PathKind::DanglingLink},
                    Kind{"folder not searchable", EACCES, 0, EACCES, 0, PathKind::NotRegular}),
    RowName());

TEST_F(RecoveryFolderTest, LinksToAFifoAndAFolderAreNoPlaceForSettings) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    fs::create_directory(m_dir / "folder");
    put(path("file"), "[Window]\n");
    fs::create_symlink(m_dir / "fifo", m_dir / "to-fifo");
    fs::create_symlink(m_dir / "folder", m_dir / "to-folder");
    fs::create_symlink(m_dir / "file", m_dir / "to-file");
    EXPECT_EQ(pathKind(path("to-fifo")), PathKind::NotRegular);
    EXPECT_EQ(pathKind(path("to-folder")), PathKind::NotRegular);
    EXPECT_EQ(pathKind(path("to-file")), PathKind::Regular);
    EXPECT_EQ(pathKind(path("none")), PathKind::Missing);
}

} // namespace
