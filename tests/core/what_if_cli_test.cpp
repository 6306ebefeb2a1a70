// kvhitemp-report's what-if questions: the CSV each prints, the settings every mode takes, and
// the usage errors.

#include "cli_run.h"
#include "core/dew_file.h"
#include "core/what_if.h"
#include "core/what_if_csv.h"
#include "named_row.h"

#include <gtest/gtest.h>

using kvh::test::CliRun;
using kvh::test::NamedRow;
using kvh::test::RowName;
using kvh::test::runCli;

namespace {

const std::string kExamples = KVH_EXAMPLES_DIR;
const std::string kDwellCase = kExamples + "/dewar-7520-dwell-warning.dew";
const std::string kFahrenheitCase = kExamples + "/fahrenheit-hours-cure.dew";

kvh::core::Case open(const std::string& path) {
    return std::get<kvh::core::Case>(kvh::core::openDewFile(path, kvh::core::Case{}));
}

TEST(WhatIfCli, VariationsAreTheCoresInOrder) {
    for (const std::string& path : {kDwellCase, kFahrenheitCase}) {
        const CliRun p = runCli({"--what-if", path});
        ASSERT_EQ(p.code, 0) << p.err;
        const auto v = std::get<kvh::core::Variations>(kvh::core::runVariations(open(path)));
        EXPECT_EQ(p.out, kvh::core::variationsCsv(v));
        EXPECT_EQ(p.out.substr(0, p.out.find('\n')), kvh::core::kVariationsHeader);
        EXPECT_EQ(p.out.substr(p.out.find('\n') + 1, 11), "as_entered,");
    }
}

TEST(WhatIfCli, MarginAndStartAtReachEveryMode) {
    kvh::core::WhatIfSettings settings;
    settings.marginCelsius = 15;
    settings.stageStart = 60.0f;
    const kvh::core::Case c = open(kDwellCase);
    const auto b2b = kvh::core::runBackToBack(c, 3, 20, 30, settings);
    EXPECT_EQ(runCli({"--margin", "15", "--back-to-back", "3", "--gap", "20", "--room", "30",
                      kDwellCase, "--start-at", "60"})
                  .out,
              kvh::core::backToBackCsv(std::get<kvh::core::BackToBack>(b2b)));
    const auto u = kvh::core::runUncertainty(c, 50, 9, settings);
    EXPECT_EQ(runCli({"--uncertainty", "50", "--seed", "9", "--start-at", "60", kDwellCase}).out,
              kvh::core::uncertaintyCsv(std::get<kvh::core::Uncertainty>(u)));
    // The series start at the given temperature; the report and the comparison change with it.
    const CliRun series = runCli({"--series", "--start-at", "60", kDwellCase});
    EXPECT_NE(series.out.find("\n60,50,60,60\n"), std::string::npos);
    EXPECT_NE(runCli({kDwellCase, "--start-at", "60"}).out, runCli({kDwellCase}).out);
    EXPECT_NE(runCli({"--compare", kDwellCase, "--margin", "15"}).out,
              runCli({"--compare", kDwellCase}).out);
}

struct UsageRow : NamedRow {
    std::vector<std::string> args;
    int code;
    const char* message;
};

class WhatIfUsage : public testing::TestWithParam<UsageRow> {};

TEST_P(WhatIfUsage, IsRefusedWithALine) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args)
        a = a == "@" ? kDwellCase : a;
    const CliRun p = runCli(args);
    EXPECT_EQ(p.code, GetParam().code) << p.err;
    EXPECT_EQ(p.out, "");
    EXPECT_NE(p.err.find(GetParam().message), std::string::npos) << p.err;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WhatIfUsage,
    testing::Values(
        UsageRow{"NegativeMargin", {"--what-if", "@", "--margin", "-1"}, 64, "0 or more"},
        UsageRow{"MarginWithoutValue", {"--what-if", "@", "--margin"}, 64, "needs a value"},
        UsageRow{"MarginTwice", {"--margin", "1", "--margin", "2", "@"}, 64, "twice"},
        UsageRow{"StartAtNotANumber", {"--start-at", "1,5", "@"}, 64, "not a temperature"},
        UsageRow{"BackToBackWithoutGap", {"--back-to-back", "3", "@"}, 64, "needs --gap"},
        UsageRow{"OneRunIsNotBackToBack",
                 {"--back-to-back", "1", "--gap", "0", "@"},
                 64,
                 "not one it takes"},
        UsageRow{
            "NegativeGap", {"--back-to-back", "2", "--gap", "-5", "@"}, 64, "not one it takes"},
        UsageRow{"RoomWithoutBackToBack",
                 {"--what-if", "@", "--room", "20"},
                 64,
                 "go with --back-to-back"},
        UsageRow{"SeedWithoutUncertainty",
                 {"--what-if", "@", "--seed", "3"},
                 64,
                 "goes with --uncertainty"},
        UsageRow{"BothQuestions",
                 {"--uncertainty", "5", "--back-to-back", "2", "--gap", "1", "@"},
                 64,
                 "not both"},
        UsageRow{"NoFile", {"--what-if"}, 64, "no file given"},
        UsageRow{"MissingFile", {"--what-if", "/nonexistent/none.dew"}, 1, "none.dew"}),
    RowName{});

} // namespace
