#include "core/dew_file.h"
#include "dew_round_trip.h"
#include "named_row.h"
#include "temp_dir.h"
#include "test_cases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace kvh::core;
using kvh::test::makeCase;
using kvh::test::TempDir;

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

const char* const kExample = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 2\r\n"
                             "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n"
                             "R,180,30\r\nD,180,60\r\nE,25,15\r\n";

Case opened(const std::string& bytes, const Case& start = Case{}) {
    auto parsed = parseDew(bytes);
    if (auto* e = std::get_if<DewError>(&parsed)) {
        ADD_FAILURE() << e->reason;
        return start;
    }
    Case c = start;
    applyDew(c, std::get<DewParse>(parsed));
    return c;
}

std::string withData(const std::string& data) {
    return "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 2\r\nTracer Type = "
           "1\r\nEnvironment = 0\r\n[Data]\r\n" +
           data;
}

TEST(DewWriter, WritesTheDocumentedExample) {
    const Case c = makeCase(
        1, 0, 2, {{"S", "25", "0"}, {"R", "180", "30"}, {"D", "180", "60"}, {"E", "25", "15"}});
    EXPECT_EQ(writeDew(c), kExample);
}

TEST(DewWriter, WritesCellsAsTheyStandAndSkipsRowsWithoutStep) {
    Case c;
    c.profile.setCell(2, 1, "Ramp to Temp");
    c.profile.setCell(2, 3, "30");
    c.profile.setCell(3, 2, "99"); // no step type: not written
    c.profile.setCell(4, 1, "End Temp    ");
    c.profile.setCell(4, 2, " 70\u00b0 ");
    EXPECT_EQ(writeDew(c), "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = \r\n"
                           "Tracer Type = \r\nEnvironment = \r\n[Data]\r\nS,,\r\nR,,30\r\n"
                           "E, 70\xb0 ,\r\n");
}

TEST(DewReader, ReadsTheDocumentedExample) {
    const Case c = opened(kExample);
    EXPECT_EQ(c.setup.summary(), "Model 7440; Tessel III; in Air");
    EXPECT_TRUE(c.setup.celsius());
    EXPECT_TRUE(c.setup.minutes());
    ASSERT_EQ(c.profile.rowCount(), 11);
    EXPECT_EQ(c.profile.row(1), (ProfileTable::Row{" 1", "Start Temp", "25", "0"}));
    EXPECT_EQ(c.profile.row(4), (ProfileTable::Row{" 4", "End Temp", "25", "15"}));
    EXPECT_EQ(c.profile.row(10), (ProfileTable::Row{" 10", "", "", ""}));
    EXPECT_EQ(c.profile.row(0), (ProfileTable::Row{"", "Step Type", "Temp. \u00b0C", "Minutes"}));
    EXPECT_EQ(c.profile.gridWidthTwips(), 4780);
}

// Every combination the window can make comes back from Save and Open with the same choices.
TEST(DewRoundTripSetup, EveryCombinationOfChoicesComesBack) {
    for (int tracer = 0; tracer < 2; ++tracer)
        for (int environ = 0; environ < 2; ++environ)
            for (int model = 0; model < kModelCount; ++model)
                for (int units = 0; units < 4; ++units) {
                    Case c = makeCase(tracer, environ, 0, {{"S", "20", "0"}}, units & 1, units & 2);
                    if (!c.setup.modelVisible(model))
                        continue;
                    c.setup.selectModel(model);
                    SCOPED_TRACE(testing::Message()
                                 << "tracer " << tracer << " environment " << environ << " model "
                                 << model << " units " << units);
                    EXPECT_EQ(opened(writeDew(c), Case{}).setup, c.setup);
                }
}

struct NoticeCase : NamedRow {
    std::string data; ///< the [Data] section; the profile starts on line 8
    std::vector<std::string> notices;
};

class DewReaderNotices : public testing::TestWithParam<NoticeCase> {};

// The grid holds only the number read, so Open names what it took from each odd field.
TEST_P(DewReaderNotices, NameTheLineAndWhatWasRead) {
    auto parsed = parseDew(withData(GetParam().data));
    ASSERT_TRUE(std::holds_alternative<DewParse>(parsed)) << GetParam().data;
    EXPECT_EQ(std::get<DewParse>(parsed).notices, GetParam().notices) << GetParam().data;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DewReaderNotices,
    testing::Values(
        NoticeCase{"CleanFileSaysNothing", "S,25,0\r\nR,180,30\r\n", {}},
        NoticeCase{"LetterOForZero", "S,25,0\r\nD,4OO,30\r\n", {"Line 9: \"4OO\" is read as 4"}},
        NoticeCase{"EmptyFields",
                   "S,25,0\r\nD,,\r\n",
                   {"Line 9: the temperature is empty and read as 0",
                    "Line 9: the time is empty and read as 0"}},
        NoticeCase{"UnknownStepLetter",
                   "S,25,0\r\nX,300,30\r\n",
                   {"Line 9: \"X\" has no step type (S, R, D or E); the row is kept without one "
                    "and skipped"}},
        NoticeCase{"FieldOnTheNextLineIsNamedByItsLine",
                   "S,25\r\n4OO\r\n",
                   {"Line 9: \"4OO\" is read as 4"}},
        NoticeCase{"EmptyLineIsNoRow", "S,25,0\r\n\r\nE,25,0\r\n", {}},
        // The grid's rule: an end step's or a start's empty time is no time, as Save writes it.
        NoticeCase{"EmptyEndAndStartTimesAreFine", "S,25,\r\nE,70,\r\n", {}},
        NoticeCase{"EmptyFieldsOfARowWithoutStepAreNotNamedTwice",
                   "S,25,0\r\nX,,\r\n",
                   {"Line 9: \"X\" has no step type (S, R, D or E); the row is kept without one "
                    "and skipped"}}),
    RowName{});

TEST(DewReader, FileWithoutStepsGivesTenEmptyLabelledRows) {
    const Case c = opened(withData(""));
    ASSERT_EQ(c.profile.rowCount(), 11);
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(c.profile.row(r), (ProfileTable::Row{rowLabel(r), "", "", ""}));
}

TEST(DewReader, ManyRowsWidenTheGridFewArePadded) {
    std::string data;
    for (int i = 0; i < 14; ++i)
        data += "D,100," + std::to_string(i) + "\r\n";
    const Case many = opened(withData(data));
    EXPECT_EQ(many.profile.rowCount(), 15);
    EXPECT_EQ(many.profile.gridWidthTwips(), 5030);
    EXPECT_EQ(many.profile.cell(14, 0), " 14");
    const Case few = opened(withData("S,1,1\r\nR,2,2\r\nE,3,3\r\n"));
    EXPECT_EQ(few.profile.rowCount(), 11);
    EXPECT_EQ(few.profile.row(7), (ProfileTable::Row{" 7", "", "", ""}));
}

struct ReaderCase : NamedRow {
    std::string data;                    ///< after the standard setup lines
    std::vector<ProfileTable::Row> rows; ///< rows 1.. expected
};

class DewReaderRows : public testing::TestWithParam<ReaderCase> {};

TEST_P(DewReaderRows, BuildsTheTable) {
    const Case c = opened(withData(GetParam().data));
    for (size_t i = 0; i < GetParam().rows.size(); ++i)
        EXPECT_EQ(c.profile.row(static_cast<int>(i) + 1), GetParam().rows[i])
            << GetParam().data << "row " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Quirks, DewReaderRows,
    testing::Values(
        ReaderCase{"EmptyTemperatureReadsZero", "R,,30\r\n", {{" 1", "Ramp to Temp", "0", "30"}}},
        ReaderCase{"NumbersAreWrittenBackPlain",
                   "S,100.50,abc\r\nD,12abc, 1 000\r\n",
                   {{" 1", "Start Temp", "100.5", "0"}, {" 2", "Dwell at Temp", "12", "1000"}}},
        ReaderCase{"LowerCaseStepIsNoStep", "s,100,5\r\n", {{" 1", "", "100", "5"}}},
        ReaderCase{"LowerCaseKeyEatsTheNextLines",
                   "temp units = 0\r\n5\r\n7\r\nE,1,2\r\n",
                   {{" 1", "", "5", "7"}, {" 2", "End Temp", "1", "2"}}},
        ReaderCase{
            "EmptyLineIsALabelledRow",
            "S,1,2\r\n\r\nE,3,4\r\n",
            {{" 1", "Start Temp", "1", "2"}, {" 2", "", "", ""}, {" 3", "End Temp", "3", "4"}}},
        ReaderCase{"CommaInACellShiftsTheFields",
                   "S,1,5,2\r\nE,3,4\r\nD,1\r\n",
                   {{" 1", "Start Temp", "1", "5"}, {" 2", "", "0", "3"}, {" 3", "", "0", "1"}}},
        ReaderCase{
            "LeadingBlanksAreSkipped", "   R,  80,  6\r\n", {{" 1", "Ramp to Temp", "80", "6"}}},
        ReaderCase{"NegativeZero", "S,-0,0\r\n", {{" 1", "Start Temp", "0", "0"}}},
        ReaderCase{"NulBytesAreText",
                   std::string("S,\0"
                               "7,5\r\n",
                               8),
                   {{" 1", "Start Temp", "0", "5"}}},
        ReaderCase{"InvalidUtf8StepIsNoStep",
                   "\xff\xfe,1,2\r\nE,3,4\r\n",
                   {{" 1", "", "1", "2"}, {" 2", "End Temp", "3", "4"}}},
        ReaderCase{"MixedLineEnds",
                   "S,1,2\r\nR,5,6\nD,5,7\rE,3,4",
                   {{" 1", "Start Temp", "1", "2"},
                    {" 2", "Ramp to Temp", "5", "6"},
                    {" 3", "Dwell at Temp", "5", "7"},
                    {" 4", "End Temp", "3", "4"}}}),
    RowName{});

struct KeyCase : NamedRow {
    std::string file;
    int selectedModel;
    bool celsius;
    int environ; ///< selected environment button
};

class DewReaderKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(DewReaderKeys, SelectByFirstFourAndLastCharacter) {
    const Case c = opened(GetParam().file);
    EXPECT_EQ(c.setup.model().selectedIndex(), GetParam().selectedModel) << GetParam().file;
    EXPECT_EQ(c.setup.celsius(), GetParam().celsius) << GetParam().file;
    EXPECT_EQ(c.setup.environ().selectedIndex(), GetParam().environ) << GetParam().file;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DewReaderKeys,
    testing::Values(
        KeyCase{"BlanksAfterTheEqualsSignAreNoChoice",
                "Davar Model = 2\r\nTracer Type = 1\r\nEnvironment =   \r\n", 2, true, -1},
        KeyCase{"LaterLineWithoutAValueUndoesTheChoice",
                "Tracer Type = 1\r\nEnvironment = 0\r\nDavar Model = 3\r\nDavar Model = \r\n", -1,
                true, 0},
        KeyCase{"NoModelStaysUnchosenWhereTheRulesWouldChoose",
                "Davar Model = \r\nTracer Type = 1\r\nEnvironment = 1\r\n", -1, true, 1},
        KeyCase{"ModelKeyWithoutEqualsSignKeepsTheOldRule", "Davar Model\r\n", 0, true, -1},
        KeyCase{"ByteOrderMarkIsSkipped", "\xEF\xBB\xBFTemp Units = 0\r\nEnvironment = 0\r\n", -1,
                false, 0},
        KeyCase{"TemperatureLineEndingIn0", "Temperature = 0\r\n", -1, false, -1},
        KeyCase{"EnvironmentTenIsAir", "Environment = 10\r\n", -1, true, 0},
        KeyCase{"ModelBeforeTessel3LiquidIsChosenAgain",
                "Davar Model = 5\r\nTracer Type = 1\r\nEnvironment = 1\r\n", 5, true, 1},
        KeyCase{"PackHiddenInLiquidLeavesTheRulesChoice",
                "Davar Model = 4\r\nTracer Type = 1\r\nEnvironment = 1\r\n", 0, true, 1},
        KeyCase{"LastModelLineCounts",
                "Davar Model = 3\r\nTracer Type = 0\r\nDavar Model = 1\r\nEnvironment = 1\r\n", 1,
                true, 1},
        KeyCase{"OldModelKey", "Tracer Type = 1\r\nEnvironment = 0\r\nDewer Model = 5\r\n", 5, true,
                0},
        KeyCase{"ModelSevenSelectsNone", "Davar Model = 7\r\n", -1, true, -1},
        KeyCase{"LaterKeyWins", "Temp Units = 0\r\n[Data]\r\n[Setup]\r\nTemp Units = 1\r\n", -1,
                true, -1},
        KeyCase{"GroupSavedWithNothingReadsAsOne", "Environment = 1\r\n", -1, true, 1}),
    RowName{});

struct RefusedCase : NamedRow {
    std::string file;
    const char* reason;
};

class DewReaderRefuses : public testing::TestWithParam<RefusedCase> {};

TEST_P(DewReaderRefuses, WithAReason) {
    auto parsed = parseDew(GetParam().file);
    const std::string input = GetParam().file.substr(0, 80);
    ASSERT_TRUE(std::holds_alternative<DewError>(parsed)) << input;
    EXPECT_NE(std::get<DewError>(parsed).reason.find(GetParam().reason), std::string::npos)
        << input << ": " << std::get<DewError>(parsed).reason;
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, DewReaderRefuses,
    testing::Values(RefusedCase{"StepLetterAlone", withData("S,1,2\r\nE"), "Line 9"},
                    RefusedCase{"OneFieldShort", withData("S,1"), "ends before its temperature"},
                    RefusedCase{"InfiniteNumber", withData("S,1e999,2\r\n"), "too large"},
                    RefusedCase{"Oversized", std::string(kMaxDewFileBytes + 1, ' '), "16 MiB"},
                    RefusedCase{"OneRowBeyondTheLimit",
                                withData(std::string(kMaxProfileRows + 1, '\n')),
                                "more than 100,000 profile rows"},
                    RefusedCase{"CommasAreRowsToo", std::string(kMaxProfileRows + 1, ','),
                                "more than 100,000 profile rows"}),
    RowName{});

TEST(DewReader, ByteOrderMarkLeavesTheUnitsToTheirLines) {
    const Case c = opened("\xEF\xBB\xBF[Setup]\r\nTemp Units = 0\r\nTime Units = 1\r\n[Data]\r\n"
                          "S,70,0\r\nE,70,1\r\n");
    EXPECT_TRUE(c.setup.fahrenheit());
    EXPECT_TRUE(c.setup.hours());
    EXPECT_EQ(c.profile.row(1), (ProfileTable::Row{" 1", "Start Temp", "70", "0"}));
    EXPECT_EQ(c.profile.row(3), (ProfileTable::Row{" 3", "", "", ""}));
}

// A file reads the same whatever case was open before: Open starts from the setup of start-up.
TEST(DewReader, StartsFromTheSetupOfStartUp) {
    const Case before = makeCase(1, 1, 5, {{"S", "5", "1"}}, false, false);
    EXPECT_EQ(opened("[Data]\r\nS,1,2\r\n", before).setup, SetupState{});
    EXPECT_EQ(opened("Tracer Type = 1\r\n", before).setup.chosenModel(), std::nullopt);
}

// What the window can leave unchosen comes back unchosen, and the rest as it was.
TEST(DewRoundTripSetup, UnchosenGroupsComeBackUnchosen) {
    for (int chosen = 0; chosen < 16; ++chosen) {
        Case c;
        if (chosen & 8) // the environment first: Tessel III in liquid without a model
            c.setup.selectEnviron(1);
        if (chosen & 1)
            c.setup.selectTracer(1);
        if (chosen & 2)
            c.setup.selectEnviron(0);
        if (chosen & 4)
            c.setup.selectModel(3);
        c.selectTimeUnit(1);
        SCOPED_TRACE(writeDew(c));
        EXPECT_EQ(opened(writeDew(c), makeCase(0, 1, 2, {})).setup, c.setup);
    }
}

struct UnsavableRow : NamedRow {
    std::vector<kvh::test::StepRow> rows;
    std::vector<UnsavableCell> cells;
};

class DewUnsavable : public testing::TestWithParam<UnsavableRow> {};

TEST_P(DewUnsavable, NamesEveryCellOpenWouldNotReadBack) {
    Case c = makeCase(1, 0, 2, {});
    int r = 1;
    for (const auto& row : GetParam().rows) {
        c.profile.setCell(r, kColStep, row.step);
        c.profile.setCell(r, kColTemp, row.temp);
        c.profile.setCell(r++, kColTime, row.time);
    }
    EXPECT_EQ(unsavableCells(c), GetParam().cells);
    EXPECT_EQ(kvh::test::dewRoundTripFault(c), "");
}

const char* const kComma = "holds a comma, which the file would take as the end of the field";
const char* const kBreak = "holds a line break, which the file would take as the end of the line";

INSTANTIATE_TEST_SUITE_P(
    Cells, DewUnsavable,
    testing::Values(
        UnsavableRow{
            "PlainCellsAreFine", {{"Start Temp   ", "25", "0"}, {"Ramp to Temp", "1.5", "x"}}, {}},
        UnsavableRow{"EveryCellIsNamed",
                     {{"Start Temp   ", "2,5", "0"}, {"Ramp to Temp", "1\n50", "3\r"}},
                     {{1, kColTemp, "2,5", kComma},
                      {2, kColTemp, "1\n50", kBreak},
                      {2, kColTime, "3\r", kBreak}}},
        UnsavableRow{"RowsWithoutStepAreNotWritten", {{"", "1,5", "\n"}}, {}},
        UnsavableRow{
            "NumberOpenRefuses",
            {{"Start Temp   ", "1e999", "0"}},
            {{1, kColTemp, "1e999", "holds a number too large for the file to read back"}}},
        UnsavableRow{"StepBeginningWithABlank",
                     {{" Ramp", "1", "2"}},
                     {{1, kColStep, " Ramp", "begins with a blank, which the file would drop"}}}),
    RowName{});

TEST_F(TempDir, SaveRefusesUnsavableCellsAndWritesNothing) {
    Case c = makeCase(1, 0, 2, {{"S", "25", "0"}, {"D", "150", "1,5"}});
    const std::string error = saveDewFile(path("comma.dew"), c);
    EXPECT_EQ(error, "These cells would not open again as they stand; correct them, then save:\n"
                     "Row 2, Minutes: \"1,5\" holds a comma, which the file would take as the end "
                     "of the field.");
    EXPECT_FALSE(std::filesystem::exists(path("comma.dew")));
    for (int r = 1; r <= 30; ++r) {
        if (r >= c.profile.rowCount())
            c.profile.appendRow();
        c.profile.setCell(r, kColStep, "Ramp to Temp");
        c.profile.setCell(r, kColTemp, "1\n" + std::string(50, '0'));
    }
    const std::string many = unsavableCellsMessage(c);
    const std::string shown = "Row 19, Temp. \u00b0C: \"1\\n" + std::string(38, '0') + "...\"";
    EXPECT_NE(many.find(shown), std::string::npos) << many;
    EXPECT_EQ(many.find("Row 20,"), std::string::npos);
    EXPECT_NE(many.find("\n... and 11 more."), std::string::npos) << many;
}

// Random cell texts: whatever Save writes, Open reads back as the same cells, or Save refuses
// and names the cell.
TEST(DewRoundTripCells, RandomCellTextsComeBackOrAreRefused) {
    std::mt19937 rng(20261207);
    // Among the pieces: an overlong comma and line feed, a cut sequence.
    const std::vector<std::string> pieces = {"0",
                                             "1",
                                             "5",
                                             "9",
                                             ".",
                                             "-",
                                             "+",
                                             "e",
                                             "E",
                                             " ",
                                             ",",
                                             "\r",
                                             "\n",
                                             "\t",
                                             "a",
                                             "S",
                                             "R",
                                             "\u00b0",
                                             "\u20ac",
                                             "\u2212",
                                             "\u00a0",
                                             "\xff",
                                             "\xc3",
                                             "1e999",
                                             "0x1p3",
                                             "nan",
                                             "inf",
                                             "\xc0\xac",
                                             "\xe0\x80\x8a",
                                             "\xe2"};
    const std::vector<std::string> steps = {
        "Start Temp   ", "Ramp to Temp", "Dwell at Temp", "End Temp    ", "", "x", " Ramp", ",",
        "\nD",           "\u00e9",       "\xfc\r3"};
    int refused = 0;
    for (int i = 0; i < 3000; ++i) {
        Case c = makeCase(1, 0, 2, {}, rng() % 2 == 0, rng() % 2 == 0);
        for (int r = 1 + static_cast<int>(rng() % 9); r < c.profile.rowCount(); r += 3) {
            c.profile.setCell(r, kColStep, steps[rng() % steps.size()]);
            for (const int col : {kColTemp, kColTime}) {
                std::string text;
                for (size_t n = rng() % 6; n > 0; --n)
                    text += pieces[rng() % pieces.size()];
                c.profile.setCell(r, col, text);
            }
        }
        refused += unsavableCells(c).empty() ? 0 : 1;
        ASSERT_EQ(kvh::test::dewRoundTripFault(c), "") << writeDew(c);
    }
    // Both kinds of case were met.
    EXPECT_GT(refused, 100);
    EXPECT_LT(refused, 2900);
}

/// A case of `rows` profile rows, each "R,1,1".
Case caseOfRows(int rows) {
    Case c;
    c.profile.setRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        c.profile.setCell(r, kColStep, "Ramp to Temp");
        c.profile.setCell(r, kColTemp, "1");
        c.profile.setCell(r, kColTime, "1");
    }
    return c;
}

TEST_F(TempDir, SaveWritesOnlyWhatOpenReadsBack) {
    // Rows: the limit saves and opens again; one more is refused and nothing is written.
    const Case most = caseOfRows(kMaxProfileRows);
    ASSERT_EQ(saveDewFile(path("most.dew"), most), "");
    auto back = openDewFile(path("most.dew"), Case{});
    ASSERT_TRUE(std::holds_alternative<Case>(back)) << std::get<DewError>(back).reason;
    EXPECT_EQ(std::get<Case>(back).profile.rowCount(), kMaxProfileRows + 1);
    EXPECT_NE(saveDewFile(path("more.dew"), caseOfRows(kMaxProfileRows + 1))
                  .find("more than 100,000 profile rows"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("more.dew")));

    // Bytes: a case written in exactly 16 MiB opens again; one byte more is refused.
    Case wide = caseOfRows(1);
    const size_t pad = kMaxDewFileBytes - writeDew(wide).size();
    wide.profile.setCell(1, kColTemp, std::string(pad, ' ') + "1");
    ASSERT_EQ(writeDew(wide).size(), kMaxDewFileBytes);
    ASSERT_EQ(saveDewFile(path("wide.dew"), wide), "");
    EXPECT_TRUE(std::holds_alternative<Case>(openDewFile(path("wide.dew"), Case{})));
    wide.profile.setCell(1, kColTemp, std::string(pad + 1, ' ') + "1");
    EXPECT_NE(saveDewFile(path("wide.dew"), wide).find("16 MiB"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(path("wide.dew")), kMaxDewFileBytes);
}

TEST_F(TempDir, OpenIsAllOrNothing) {
    put(path("bad.dew"), withData("S,1,2\r\nTemp Units = 0\r\nE"));
    const Case before = makeCase(1, 0, 4, {{"S", "5", "1"}});
    auto result = openDewFile(path("bad.dew"), before);
    ASSERT_TRUE(std::holds_alternative<DewError>(result));
    auto missing = openDewFile(path("missing.dew"), before);
    ASSERT_TRUE(std::holds_alternative<DewError>(missing));
    EXPECT_NE(std::get<DewError>(missing).reason.find("cannot be opened"), std::string::npos);

    put(path("good.dew"), kExample);
    auto good = openDewFile(path("good.dew"), before);
    ASSERT_TRUE(std::holds_alternative<Case>(good));
    EXPECT_EQ(std::get<Case>(good).setup.summary(), "Model 7440; Tessel III; in Air");
}

} // namespace
