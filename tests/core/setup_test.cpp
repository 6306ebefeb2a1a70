#include "core/case.h"
#include "core_printers.h"
#include "named_row.h"

#include <gtest/gtest.h>

using namespace kvh::core;

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

/// Runs a script of clicks: "M2" model 2, "T1" tracer type 1, "E0" environment 0.
SetupState click(const std::string& script) {
    SetupState s;
    for (size_t i = 0; i + 1 < script.size(); i += 3) {
        const int index = script[i + 1] - '0';
        switch (script[i]) {
        case 'M':
            s.selectModel(index);
            break;
        case 'T':
            s.selectTracer(index);
            break;
        case 'E':
            s.selectEnviron(index);
            break;
        }
    }
    return s;
}

std::string offered(const SetupState& s) {
    std::string mask;
    for (int i = 0; i < kModelCount; ++i)
        mask += s.modelVisible(i) ? '1' : '0';
    return mask;
}

struct RuleCase : NamedRow {
    const char* clicks;
    const char* offered; ///< models 0..5
    int selectedModel;   ///< -1: none
    const char* summary;
};

class ModelRules : public testing::TestWithParam<RuleCase> {};

TEST_P(ModelRules, OfferAndChoose) {
    const RuleCase& c = GetParam();
    const SetupState s = click(c.clicks);
    EXPECT_EQ(offered(s), c.offered) << c.clicks;
    EXPECT_EQ(s.model().selectedIndex(), c.selectedModel) << c.clicks;
    EXPECT_EQ(s.summary(), c.summary) << c.clicks;
    EXPECT_EQ(s.complete(), std::string(c.summary) != "Setup Not Specified") << c.clicks;
}

INSTANTIATE_TEST_SUITE_P(
    Setup, ModelRules,
    testing::Values(RuleCase{"nothing chosen", "", "111100", -1, "Setup Not Specified"},
                    RuleCase{"tracer 0 replaces a chosen model", "M2 T1 E0 T0", "111100", 0,
                             "Model 7640; Tessel II or VTX; in Air"},
                    RuleCase{"liquid replaces 7105 with 7640", "T1 E0 M5 E1", "111101", 0,
                             "Model 7640; Tessel III; in Liquid"},
                    RuleCase{"Tessel III in air offers six", "T1 E0 M4", "111111", 4,
                             "Model 7210; Tessel III; in Air"},
                    RuleCase{"Tessel III before any environment counts as air", "T1", "111111", -1,
                             "Setup Not Specified"},
                    RuleCase{"liquid after Tessel III hides 7210", "T1 E1", "111101", 0,
                             "Model 7640; Tessel III; in Liquid"},
                    RuleCase{"liquid with Tessel II keeps the model", "T0 M3 E1", "111100", 3,
                             "Model 7300; Tessel II or VTX; in Liquid"},
                    RuleCase{"a model chosen by a rule counts", "E0 T0", "111100", 0,
                             "Model 7640; Tessel II or VTX; in Air"},
                    RuleCase{"the worked summary", "T1 E1 M2", "111101", 2,
                             "Model 7440; Tessel III; in Liquid"},
                    RuleCase{"air again offers 7210", "T1 E1 E0", "111111", 0,
                             "Model 7640; Tessel III; in Air"}),
    RowName{});

TEST(Setup, StartsWithCelsiusMinutesAndNothingChosen) {
    const Case c;
    EXPECT_TRUE(c.setup.celsius());
    EXPECT_TRUE(c.setup.minutes());
    EXPECT_EQ(c.setup.modelIndex(), 0);
    EXPECT_TRUE(c.setup.modelTag().empty());
    EXPECT_EQ(c.profile.cell(0, 2), "Temp. \u00b0C");
    EXPECT_EQ(c.profile.cell(0, 3), "Minutes");
}

TEST(Setup, UnitChoicesRelabelTheHeaderOnly) {
    Case c;
    c.profile.setCell(2, 2, "100");
    c.selectTempUnit(0);
    c.selectTimeUnit(1);
    EXPECT_EQ(c.profile.cell(0, 2), "Temp. \u00b0F");
    EXPECT_EQ(c.profile.cell(0, 3), "Hours");
    EXPECT_EQ(c.profile.cell(2, 2), "100");
    EXPECT_TRUE(c.setup.fahrenheit());
    EXPECT_TRUE(c.setup.hours());
}

TEST(Setup, TagsHoldTheCodeAndTheFullCaptions) {
    const SetupState s = click("M3 T0 E1");
    EXPECT_EQ(s.modelTag(), "7640"); // tracer 0 chose the smallest dewar after M3
    EXPECT_EQ(s.tracerTag(), "Tessel II or VTX");
    EXPECT_EQ(s.environTag(), "Liquid");
}

} // namespace
