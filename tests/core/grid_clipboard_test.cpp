#include "core/grid_clipboard.h"
#include "named_row.h"
#include "test_cases.h"

#include <gtest/gtest.h>

using namespace kvh::core;
using kvh::test::makeCase;
using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

using Fields = std::vector<std::vector<std::string>>;

struct ParseRow : NamedRow {
    const char* text;
    Fields rows;
    bool headerSkipped = false;
};

class PasteParsing : public testing::TestWithParam<ParseRow> {};

TEST_P(PasteParsing, SplitsRowsAndFields) {
    const PasteBlock block = parsePasteText(GetParam().text, 1000);
    EXPECT_EQ(block.rows, GetParam().rows);
    EXPECT_EQ(block.headerSkipped, GetParam().headerSkipped);
    EXPECT_EQ(block.rowsLeftOut, 0);
}

const ParseRow kParseRows[] = {
    {"TabsFromASpreadsheet", "R\t150\t10\nD\t150\t30\n", {{"R", "150", "10"}, {"D", "150", "30"}}},
    {"SemicolonsWithDecimalCommas", "R;150,5;10", {{"R", "150.5", "10"}}},
    {"TabsWithDecimalCommas", "150,5\t1,25\r\n", {{"150.5", "1.25"}}},
    {"GroupedThousandsWithDecimalComma", "R\t1.250,5\t-0,5", {{"R", "1250.5", "-0.5"}}},
    {"OddGroupsStayAsWritten", "R\t12.34,5\t1.2345,6", {{"R", "12.34,5", "1.2345,6"}}},
    {"CommasInWordsStay", "R;a,b;1,2,3", {{"R", "a,b", "1,2,3"}}},
    {"CommaSeparatedSplitsAtEveryComma", "R,150,5", {{"R", "150", "5"}}},
    {"CommaSeparatedKeepsPoints", "E, 25.5 ,", {{"E", "25.5", ""}}},
    {"BlanksAndQuotesComeOff", "\"Ramp\" ;  150 ;\"1\"\"0\"", {{"Ramp", "150", "1\"0"}}},
    {"EveryLineEnd", "1\r\n2\r3\n4", {{"1"}, {"2"}, {"3"}, {"4"}}},
    {"EmptyLineInsideIsARow", "1\n\n3\n", {{"1"}, {""}, {"3"}}},
    {"NothingIsNoRow", "", {}},
    {"HeadingLineIsSkipped",
     "Step Type\tTemp. \xc2\xb0"
     "C\tMinutes\nR\t150\t10\n",
     {{"R", "150", "10"}},
     true},
    {"OneWordIsNoHeading", "hot\n", {{"hot"}}},
    {"StepsAreNoHeading", "Ramp\tDwell\n", {{"Ramp", "Dwell"}}},
};
INSTANTIATE_TEST_SUITE_P(Text, PasteParsing, testing::ValuesIn(kParseRows), RowName{});

TEST(PasteParsing, RowsBeyondTheLimitAreCounted) {
    const PasteBlock block = parsePasteText("1\n2\n3\n4\n5\n", 2);
    EXPECT_EQ(block.rows, (Fields{{"1"}, {"2"}}));
    EXPECT_EQ(block.rowsLeftOut, 3);
}

struct StepRow : NamedRow {
    const char* field;
    std::optional<std::string> text;
};

class PastedStep : public testing::TestWithParam<StepRow> {};

TEST_P(PastedStep, NamesTheEditorsText) {
    EXPECT_EQ(pastedStepText(GetParam().field), GetParam().text);
}

const StepRow kStepRows[] = {
    {"Letter", "R", std::string(kRampText)},
    {"LowerCaseLetter", "d", std::string(kDwellText)},
    {"Word", "End", std::string(kEndTempText)},
    {"TextAsShown", " Dwell at Temp ", std::string(kDwellText)},
    {"EndAsOpenWritesIt", "End Temp", std::string(kEndTempText)},
    {"Start", "Start Temp", std::string(kStartTempText)},
    {"Empty", "", std::string()},
    {"UnknownWord", "Heat", std::nullopt},
    {"LongerWord", "Ramps", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Fields, PastedStep, testing::ValuesIn(kStepRows), RowName{});

/// Data rows 1 to `last` of a table as "step|temp|time" lines, step texts trimmed.
std::vector<std::string> rowsOf(const ProfileTable& t, int last) {
    std::vector<std::string> out;
    for (int r = 1; r <= last && r < t.rowCount(); ++r) {
        std::string step = t.cell(r, kColStep);
        step.erase(step.find_last_not_of(' ') + 1);
        out.push_back(step + "|" + t.cell(r, kColTemp) + "|" + t.cell(r, kColTime));
    }
    return out;
}

struct PasteRow : NamedRow {
    CellRange target;
    const char* text;
    std::vector<std::string> rows; ///< data rows 1 to 4 after the paste
    std::vector<std::string> notes;
};

class Pasting : public testing::TestWithParam<PasteRow> {};

TEST_P(Pasting, WritesTheBlockAtTheTarget) {
    const PasteRow& p = GetParam();
    kvh::core::Case c = makeCase(1, 0, 1, {{"S", "25", "0"}, {"R", "150", "10"}});
    const PasteOutcome out = pasteBlock(c.profile, p.target, parsePasteText(p.text, 1000), 100);
    EXPECT_EQ(rowsOf(c.profile, 4), p.rows);
    EXPECT_EQ(out.notes, p.notes);
}

const PasteRow kPasteRows[] = {
    {"BlockAtAStepCell",
     {3, 1, 3, 1},
     "D\t150\t30\nE\t25\n",
     {"Start Temp|25|0", "Ramp to Temp|150|10", "Dwell at Temp|150|30", "End Temp|25|"},
     {}},
    {"NumbersOnlyFromTheTemperature",
     {2, 2, 2, 2},
     "200;15\n180;5\n",
     {"Start Temp|25|0", "Ramp to Temp|200|15", "|180|5", "||"},
     {}},
    {"RowOneStaysTheStart",
     {1, 1, 1, 1},
     "R\t30\t0\nS\t100\t5",
     {"Start Temp|30|0", "Ramp to Temp|100|5", "||", "||"},
     {"Row 1: \"R\" is not used: row 1 is always the start",
      "Row 2: \"S\" is not used: only row 1 is the start"}},
    {"UnknownStepKeepsTheStep",
     {2, 1, 2, 1},
     "Heat,300,5",
     {"Start Temp|25|0", "Ramp to Temp|300|5", "||", "||"},
     {"Row 2: \"Heat\" is not a step type (Ramp, Dwell or End); the step stays as it was"}},
    {"EmptyStepEmptiesTheCell", {2, 1, 2, 1}, "\t\t", {"Start Temp|25|0", "||", "||", "||"}, {}},
    {"FieldsAfterTheTimeAreNotedOnce",
     {2, 3, 2, 3},
     "12\t9\n13\t9\n14\t\n",
     {"Start Temp|25|0", "Ramp to Temp|150|12", "||13", "||14"},
     {"Fields after the time column are left out"}},
    {"OneValueFillsTheSelection",
     {1, 2, 3, 3},
     "0",
     {"Start Temp|0|0", "Ramp to Temp|0|0", "|0|0", "||"},
     {}},
};
INSTANTIATE_TEST_SUITE_P(Blocks, Pasting, testing::ValuesIn(kPasteRows), RowName{});

TEST(Pasting, AddsRowsUpToTheLimit) {
    kvh::core::Case c = makeCase(1, 0, 1, {{"S", "25", "0"}});
    const PasteOutcome out =
        pasteBlock(c.profile, {9, 2, 9, 2}, parsePasteText("1\n2\n3\n4\n5\n", 1000), 12);
    EXPECT_EQ(out.rowsAdded, 2);
    EXPECT_EQ(out.rowsLeftOut, 1);
    ASSERT_EQ(c.profile.rowCount(), 13);
    EXPECT_EQ(c.profile.cell(12, kColTemp), "4");
    EXPECT_EQ(c.profile.cell(12, kColLabel), " 12");
    EXPECT_EQ(c.profile.gridWidthTwips(), kGridWidthWide);
}

TEST(GridClipboard, CopyPastesBackAndDeleteKeepsTheSteps) {
    const kvh::core::Case c = makeCase(
        1, 0, 1, {{"S", "25", "0"}, {"R", "150.5", "10"}, {"D", "4OO", ""}, {"E", "25", "5"}});
    const CellRange all = selectedRange({1, 1, 4, 3}, c.profile);
    const std::string text = copyCells(c.profile, all);
    EXPECT_EQ(text, "Start Temp\t25\t0\nRamp to Temp\t150.5\t10\nDwell at Temp\t4OO\t\n"
                    "End Temp\t25\t5\n");
    kvh::core::Case pasted = makeCase(1, 0, 1, {});
    pasteBlock(pasted.profile, {1, 1, 1, 1}, parsePasteText(text, 1000), 100);
    EXPECT_EQ(rowsOf(pasted.profile, 4), rowsOf(c.profile, 4));

    ProfileTable cleared = c.profile;
    EXPECT_TRUE(clearNumbers(cleared, selectedRange({3, 3, 1, 1}, cleared)));
    EXPECT_EQ(rowsOf(cleared, 4), (std::vector<std::string>{"Start Temp||", "Ramp to Temp||",
                                                            "Dwell at Temp||", "End Temp|25|5"}));
    EXPECT_FALSE(clearNumbers(cleared, {1, 1, 1, 3}));
}

} // namespace
