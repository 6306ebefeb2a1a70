#include "core/case.h"
#include "core_printers.h"
#include "named_row.h"

#include <gtest/gtest.h>

#include <random>

using namespace kvh::core;

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

GridSelection cellAt(int row, int col) {
    return {row, col, row, col};
}

TEST(ProfileTable, FreshTableHoldsOnlyTheStartStep) {
    const Case c;
    const ProfileTable& t = c.profile;
    ASSERT_EQ(t.rowCount(), 11);
    EXPECT_EQ(t.cell(0, 0), "");
    EXPECT_EQ(t.cell(0, 1), "Step Type");
    EXPECT_EQ(t.cell(1, 1), "Start Temp   ");
    EXPECT_EQ(t.cell(10, 0), " 10");
    EXPECT_EQ(t.gridWidthTwips(), 4780);
    for (int r = 1; r < 11; ++r)
        for (int col = 2; col < 4; ++col)
            EXPECT_TRUE(t.cell(r, col).empty());
    EXPECT_EQ(stepCode(t.cell(2, 1)), StepCode::None);
}

TEST(ProfileEditing, StepCycleRunsRampDwellEnd) {
    Case c;
    ClearButton clear;
    const std::vector<std::string> expected = {"Ramp to Temp", "Dwell at Temp", "End Temp    ",
                                               "Ramp to Temp"};
    for (const std::string& text : expected) {
        EXPECT_EQ(gridClick(c.profile, clear, cellAt(2, 1)), ClickOutcome::StepCycled);
        EXPECT_EQ(c.profile.cell(2, 1), text);
    }
    EXPECT_EQ(gridClick(c.profile, clear, cellAt(1, 1)), ClickOutcome::Nothing);
    EXPECT_EQ(c.profile.cell(1, 1), "Start Temp   ");
}

struct CycleCase : NamedRow {
    const char* before;
    const char* after;
};

class StepCycleFromText : public testing::TestWithParam<CycleCase> {};

TEST_P(StepCycleFromText, NextStep) {
    Case c;
    c.profile.setCell(3, 1, GetParam().before);
    cycleStep(c.profile, 3);
    EXPECT_EQ(c.profile.cell(3, 1), GetParam().after) << GetParam().before;
}

INSTANTIATE_TEST_SUITE_P(
    Loaded, StepCycleFromText,
    testing::Values(CycleCase{"EndFromFile", "End Temp", "Ramp to Temp"},
                    CycleCase{"StartInRow3", "Start Temp", "End Temp    "},
                    CycleCase{"DwellFromFile", "Dwell at Temp", "End Temp    "},
                    CycleCase{"RampWithBlank", "Ramp to Temp ", "End Temp    "}),
    RowName{});

TEST(ProfileEditing, DwellTakesTheTemperatureAboveOnlyWhenEmpty) {
    Case c;
    c.profile.setCell(2, 1, "Ramp to Temp");
    c.profile.setCell(2, 2, "120");
    cycleStep(c.profile, 3);
    cycleStep(c.profile, 3);
    EXPECT_EQ(c.profile.cell(3, 1), "Dwell at Temp");
    EXPECT_EQ(c.profile.cell(3, 2), "120");

    c.profile.setCell(4, 2, "95");
    cycleStep(c.profile, 4);
    cycleStep(c.profile, 4);
    EXPECT_EQ(c.profile.cell(4, 2), "95");
}

TEST(ProfileEditing, EndStepTimeOpensAsZero) {
    Case c;
    ClearButton clear;
    c.profile.setCell(3, 1, "End Temp");
    EXPECT_EQ(gridClick(c.profile, clear, cellAt(3, 3)), ClickOutcome::OpenEditor);
    EXPECT_EQ(c.profile.cell(3, 3), "0");
    c.profile.setCell(3, 3, "5");
    gridClick(c.profile, clear, cellAt(3, 3));
    EXPECT_EQ(c.profile.cell(3, 3), "5");
    // Not the temperature column, and not a ramp.
    gridClick(c.profile, clear, cellAt(3, 2));
    EXPECT_EQ(c.profile.cell(3, 2), "");
    c.profile.setCell(4, 1, "Ramp to Temp");
    gridClick(c.profile, clear, cellAt(4, 3));
    EXPECT_EQ(c.profile.cell(4, 3), "");
}

const ClearButton kIdle{};
const ClearButton kRowArmed{"Clear Entire Row", ClearTarget::Row, true};
const ClearButton kColumnArmed{"Clear Entire Column", ClearTarget::Column, true};

struct ClickCase : NamedRow {
    GridSelection selection;
    ClearButton before;
    ClickOutcome outcome;
    ClearButton after;
    const char* row4Step; ///< row 4's step afterwards; the rest of the case is unchanged
};

class GridClick : public testing::TestWithParam<ClickCase> {};

TEST_P(GridClick, ArmsTheClearButtonAndCyclesOnlyWhereClicked) {
    const ClickCase& p = GetParam();
    Case c;
    ClearButton clear = p.before;
    EXPECT_EQ(gridClick(c.profile, clear, p.selection), p.outcome);
    EXPECT_EQ(clear, p.after);
    EXPECT_EQ(c.profile.cell(4, kColStep), p.row4Step);
    if (p.outcome != ClickOutcome::StepCycled) {
        EXPECT_EQ(c, Case{});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Selections, GridClick,
    testing::Values(
        ClickCase{"DragAlongARowArmsRowClearAndCyclesTheStep",
                  {4, 1, 4, 3},
                  kIdle,
                  ClickOutcome::StepCycled,
                  kRowArmed,
                  "Ramp to Temp"},
        ClickCase{"DragDownAColumnArmsColumnClearAndOpensTheEditor",
                  {1, 2, 10, 2},
                  kIdle,
                  ClickOutcome::OpenEditor,
                  kColumnArmed,
                  ""},
        ClickCase{
            "BlockSelectionChangesNothing", {2, 1, 4, 3}, kIdle, ClickOutcome::Nothing, kIdle, ""},
        ClickCase{"SingleCellLeavesTheArmedButton", cellAt(5, 2), kRowArmed,
                  ClickOutcome::OpenEditor, kRowArmed, ""}),
    RowName{});

// A row label, a column header or a Shift gesture only selects: the button is armed as by a
// click, and nothing of the case is passed, so nothing can change.
TEST(GridSelect, ArmsLikeAClickAndNeverEdits) {
    ClearButton clear = kIdle;
    armClearButton(clear, {4, 1, 4, 3});
    EXPECT_EQ(clear, kRowArmed);
    armClearButton(clear, {1, 2, 10, 2});
    EXPECT_EQ(clear, kColumnArmed);
    armClearButton(clear, {2, 1, 4, 3}); // a block leaves it armed as it was
    EXPECT_EQ(clear, kColumnArmed);
}

Case filled() {
    Case c;
    for (int r = 1; r <= 4; ++r) {
        if (r > 1)
            c.profile.setCell(r, 1, "Ramp to Temp");
        c.profile.setCell(r, 2, std::to_string(r * 10));
        c.profile.setCell(r, 3, std::to_string(r));
    }
    return c;
}

struct ClearCase : NamedRow {
    ClearTarget target;
    int row, col;      ///< the current cell
    const char* after; ///< the filled rows afterwards, as profileText writes them
};

class ClearRowOrColumn : public testing::TestWithParam<ClearCase> {};

TEST_P(ClearRowOrColumn, EmptiesAllButTheStartStep) {
    const ClearCase& p = GetParam();
    Case c = filled();
    ClearButton clear{"Clear Entire Row", p.target, true};
    clearRowOrColumn(c.profile, clear, p.row, p.col);
    EXPECT_EQ(kvh::test::profileText(c.profile), p.after);
    EXPECT_EQ(clear, (ClearButton{"Clear Row or Column", p.target, false}));
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ClearRowOrColumn,
    testing::Values(
        ClearCase{"StepColumnKeepsTheStartStep", ClearTarget::Column, 1, 1,
                  "Start Temp   ,10,1; ,20,2; ,30,3; ,40,4"},
        ClearCase{"NumberColumnEmptiesRowOneToo", ClearTarget::Column, 3, 2,
                  "Start Temp   ,,1; Ramp to Temp,,2; Ramp to Temp,,3; Ramp to Temp,,4"},
        ClearCase{"RowOneKeepsItsStepType", ClearTarget::Row, 1, 1,
                  "Start Temp   ,,; Ramp to Temp,20,2; Ramp to Temp,30,3; Ramp to Temp,40,4"},
        ClearCase{"OtherRowLosesItsStepToo", ClearTarget::Row, 3, 2,
                  "Start Temp   ,10,1; Ramp to Temp,20,2; Ramp to Temp,40,4"}),
    RowName{});

TEST(ProfileEditing, InsertRowAppendsALabelledRowAndWidensTheGrid) {
    Case c;
    EXPECT_EQ(insertRow(c.profile), 11);
    EXPECT_EQ(c.profile.rowCount(), 12);
    EXPECT_EQ(c.profile.row(11), (ProfileTable::Row{" 11", "", "", ""}));
    EXPECT_EQ(c.profile.gridWidthTwips(), 5030);
    EXPECT_EQ(insertRow(c.profile), 12);
    EXPECT_EQ(c.profile.cell(12, 0), " 12");
}

struct RowEditCase : NamedRow {
    bool insert;
    int row;
    int count; ///< rows deleted
    bool done;
    int rowsAfter;
    const char* row3Temp; ///< row 3's temperature afterwards (rows 2..4 hold "2", "3", "4")
};

class RowInsertDelete : public testing::TestWithParam<RowEditCase> {};

TEST_P(RowInsertDelete, KeepsTheStartRowAndRenumbers) {
    const RowEditCase& p = GetParam();
    Case c;
    for (int r = 2; r <= 4; ++r)
        c.profile.setCell(r, kColTemp, std::to_string(r));
    const Case before = c;
    const bool done =
        p.insert ? insertRowAt(c.profile, p.row) : deleteRows(c.profile, p.row, p.count);
    const std::string input = (p.insert ? "insert at row " : "delete from row ") +
                              std::to_string(p.row) +
                              (p.insert ? "" : ", " + std::to_string(p.count));
    EXPECT_EQ(done, p.done) << input;
    if (!p.done) {
        EXPECT_EQ(c, before) << input;
        return;
    }
    EXPECT_EQ(c.profile.rowCount(), p.rowsAfter) << input;
    EXPECT_EQ(c.profile.cell(3, kColTemp), p.row3Temp) << input;
    EXPECT_EQ(c.profile.cell(1, kColStep), "Start Temp   ") << input;
    for (int r = 1; r < c.profile.rowCount(); ++r)
        EXPECT_EQ(c.profile.cell(r, kColLabel), rowLabel(r)) << input << ", row " << r;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RowInsertDelete,
    testing::Values(RowEditCase{"InsertAboveRow3", true, 3, 0, true, 12, ""},
                    RowEditCase{"InsertAfterTheLastRow", true, 11, 0, true, 12, "3"},
                    RowEditCase{"InsertAboveTheStartRowRefused", true, 1, 0, false, 11, "3"},
                    RowEditCase{"InsertPastTheEndRefused", true, 12, 0, false, 11, "3"},
                    RowEditCase{"DeleteRow2", false, 2, 1, true, 10, "4"},
                    RowEditCase{"DeleteTwoRows", false, 2, 2, true, 9, ""},
                    RowEditCase{"DeleteTheStartRowRefused", false, 1, 1, false, 11, "3"},
                    RowEditCase{"DeletePastTheEndRefused", false, 10, 2, false, 11, "3"},
                    RowEditCase{"DeleteNothingRefused", false, 3, 0, false, 11, "3"}),
    RowName{});

struct ConvertCase : NamedRow {
    bool temperature;
    bool toTarget; ///< to Celsius / to hours
    std::vector<std::string> before;
    std::vector<std::string> after;
};

class UnitConversion : public testing::TestWithParam<ConvertCase> {};

TEST_P(UnitConversion, ConvertsEveryFilledCell) {
    const ConvertCase& p = GetParam();
    Case c;
    const int col = p.temperature ? 2 : 3;
    for (size_t i = 0; i < p.before.size(); ++i)
        c.profile.setCell(static_cast<int>(i) + 1, col, p.before[i]);
    if (p.temperature)
        convertTemperatures(c.profile, p.toTarget);
    else
        convertTimes(c.profile, p.toTarget);
    for (size_t i = 0; i < p.after.size(); ++i)
        EXPECT_EQ(c.profile.cell(static_cast<int>(i) + 1, col), p.after[i]) << p.before[i];
}

INSTANTIATE_TEST_SUITE_P(
    Units, UnitConversion,
    testing::Values(
        ConvertCase{
            "FahrenheitToCelsius", true, true, {"212", "100", "32"}, {"100.00", "37.78", "0.00"}},
        ConvertCase{"CelsiusToFahrenheit",
                    true,
                    false,
                    {"37.78", "0", "-40"},
                    {"100.00", "32.00", "-40.00"}},
        ConvertCase{
            "MinutesToHours", false, true, {"90", "100", "15"}, {"1.500", "1.667", "0.250"}},
        ConvertCase{"HoursToMinutes", false, false, {"1.25", "0.1"}, {"75.0", "6.0"}},
        ConvertCase{"EmptyStaysEmptyLettersAreZero", true, true, {"", "abc"}, {"", "-17.78"}}),
    RowName{});

TEST(UnitConversion, PressingTwiceConvertsTwice) {
    Case c;
    c.profile.setCell(2, 2, "100");
    convertTemperatures(c.profile, true);
    EXPECT_EQ(c.profile.cell(2, 2), "37.78");
    convertTemperatures(c.profile, true);
    EXPECT_EQ(c.profile.cell(2, 2), "3.21");
}

/// Whether every row's kept values are what its cells read as now.
testing::AssertionResult valuesMatchCells(const ProfileTable& t) {
    for (int r = 0; r < t.rowCount(); ++r) {
        const ProfileTable::RowValues expected{stepCode(t.cell(r, kColStep)),
                                               numericValue(t.cell(r, kColTemp)),
                                               numericValue(t.cell(r, kColTime))};
        if (!(t.values(r) == expected))
            return testing::AssertionFailure() << "row " << r << " of " << t.rowCount();
    }
    return testing::AssertionSuccess();
}

TEST(ProfileTable, KeptValuesFollowEveryKindOfEdit) {
    // Every operation that changes cells or rows, in random order, on a growing and shrinking
    // table: a run reads the kept values, never the texts.
    std::mt19937 rng(20261206);
    const char* texts[] = {"",      "25",           "-40",           "1.5",      "4OO", " 1 000 ",
                           "1e400", "Ramp to Temp", "Dwell at Temp", "End Temp", "abc"};
    ProfileTable t = ProfileTable::initial("Temp. \u00b0C", "Minutes");
    ClearButton clear;
    for (int step = 0; step < 3000; ++step) {
        const int rows = t.rowCount();
        const int row = 1 + static_cast<int>(rng() % static_cast<unsigned>(std::max(rows - 1, 1)));
        const int col = 1 + static_cast<int>(rng() % 3);
        switch (rng() % 9) {
        case 0:
        case 1:
        case 2:
            if (row < rows)
                t.setCell(row, col, texts[rng() % std::size(texts)]);
            break;
        case 3:
            insertRow(t);
            break;
        case 4:
            insertRowAt(t, row);
            break;
        case 5:
            deleteRows(t, row, 1 + static_cast<int>(rng() % 3));
            break;
        case 6:
            cycleStep(t, row);
            break;
        case 7:
            clear.target = rng() % 2 ? ClearTarget::Row : ClearTarget::Column;
            clearRowOrColumn(t, clear, row, col);
            break;
        default:
            rng() % 2 ? convertTemperatures(t, rng() % 2) : convertTimes(t, rng() % 2);
            break;
        }
        ASSERT_TRUE(valuesMatchCells(t)) << "after step " << step;
    }
    t.setRowCount(3);
    EXPECT_TRUE(valuesMatchCells(t));
    t.clearAll();
    EXPECT_TRUE(valuesMatchCells(t));
}

} // namespace
