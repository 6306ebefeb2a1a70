#include "core/doubtful.h"
#include "core/numbers.h"
#include "named_row.h"
#include "test_cases.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace kvh::core;
using kvh::test::makeCase;

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

struct DoubtRow : NamedRow {
    kvh::test::StepRow row; ///< placed as row 2, after a clean start row
    std::vector<std::string> notices;
};

class Doubtful : public testing::TestWithParam<DoubtRow> {};

TEST_P(Doubtful, CellsAreNamedWithWhatTheyAreReadAs) {
    const DoubtRow& p = GetParam();
    const Case c = makeCase(1, 0, 1, {{"S", "25", "0"}, p.row});
    std::vector<std::string> notices;
    for (const DoubtfulCell& cell : findDoubtfulCells(c.profile))
        notices.push_back(cell.notice);
    EXPECT_EQ(notices, p.notices) << p.row.step << "," << p.row.temp << "," << p.row.time;
}

const DoubtRow kDoubtRows[] = {
    {"CleanRampSaysNothing", {"R", "300", "15"}, {}},
    {"BlanksAnywhereAreFine", {"R", " 1 000 ", "\t15\n"}, {}},
    {"LetterOForZero", {"D", "4OO", "30"}, {"Row 2, Temp.: \"4OO\" is read as 4"}},
    {"CommaDecimal", {"D", "400", "1,5"}, {"Row 2, Time: \"1,5\" is read as 1"}},
    {"UnitAfterTheNumber", {"R", "300", "12.5 min"}, {"Row 2, Time: \"12.5 min\" is read as 12.5"}},
    {"LettersOnly", {"R", "hot", "10"}, {"Row 2, Temp.: \"hot\" is read as 0"}},
    {"ExponentWithoutDigits", {"R", "3e", "10"}, {"Row 2, Temp.: \"3e\" is read as 3"}},
    {"EmptyDwellTemperatureAndTime",
     {"D", "", ""},
     {"Row 2, Temp.: empty, read as 0", "Row 2, Time: empty, read as 0"}},
    {"EmptyEndTimeIsFine", {"E", "25", ""}, {}},
    {"EmptyRampTemperature", {"R", "  ", "10"}, {"Row 2, Temp.: empty, read as 0"}},
    {"NumbersWithoutStepType",
     {"", "300", "30"},
     {"Row 2, Temp.: \"300\" is not used: the row has no step type",
      "Row 2, Time: \"30\" counts as time, but the row has no step type"}},
    {"EmptyRowSaysNothing", {"", "", ""}, {}},
    {"ZerosWithoutStepTypeSayNothing", {"", "0", "0"}, {}},
};
INSTANTIATE_TEST_SUITE_P(Cells, Doubtful, testing::ValuesIn(kDoubtRows), RowName{});

TEST(Doubtful, StartRowAndTipsAreChecked) {
    const Case c = makeCase(1, 0, 1, {{"S", "", "0"}, {"D", "4OO", "30"}});
    const std::vector<DoubtfulCell> cells = findDoubtfulCells(c.profile);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0],
              (DoubtfulCell{1, kColTemp, "Row 1, Temp.: empty, read as 0", "Empty: read as 0"}));
    EXPECT_EQ(cells[1].tip, "Read as 4");
    EXPECT_EQ(cells[1].col, kColTemp);
}

} // namespace
