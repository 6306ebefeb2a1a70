#include "core/report.h"
#include "test_cases.h"

#include <gtest/gtest.h>

using namespace kvh::core;
using kvh::test::makeCase;

namespace {

const ResultTexts kPass{"Maximum Internal Temperature = 123.5  Limit = 140\u00b0 C\r\n"
                        "Final Rate of change:  0.25 \u00b0C/min",
                        "PASS"};

Case thermalPackCase() {
    return makeCase(1, 0, 4,
                    {{"S", "25", "0"}, {"R", "200", "30"}, {"D", "200", "60"}, {"E", "25", "30"}});
}

TEST(ReportText, MatchesTheDocumentedExample) {
    EXPECT_EQ(buildReportText(thermalPackCase(), kPass),
              "KELVORA Thermal Barrier Model Report\r\n"
              "\r\n"
              "Model: 7210 TSIII Thermal Pack\r\n"
              "Tracer Type: Tessel III\r\n"
              "Environment: Air\r\n"
              "\r\n"
              "\tStep Type\tTemp. \u00b0C\tMinutes\r\n"
              "\r\n"
              " 1\tStart Temp   \t25\t0\r\n"
              " 2\tRamp to Temp\t200\t30\r\n"
              " 3\tDwell at Temp\t200\t60\r\n"
              " 4\tEnd Temp    \t25\t30\r\n"
              "\r\n"
              "Maximum Internal Temperature = 123.5  Limit = 140\u00b0 C\r\n"
              "Final Rate of change:  0.25 \u00b0C/min\r\n"
              "Final Determination: PASS\r\n"
              "\r\n");
}

TEST(ReportText, SkipsRowsWithoutStepAndTrimsOnlyTheNumbers) {
    Case c = makeCase(0, 1, 0, {{"S", " 250 ", "1.25"}, {"", "99", "9"}, {"D", "7", " 3"}});
    c.profile.setCell(4, 1, "   "); // blanks count as a step text
    const std::string text = buildReportText(c, {"x", "FAIL"});
    EXPECT_NE(
        text.find("\r\n 1\tStart Temp   \t250\t1.25\r\n 3\tDwell at Temp\t7\t3\r\n 4\t   \t\t\r\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("Model: 7640 2\" by 6\" Vacuum  Dewar\r\n"), std::string::npos);
    EXPECT_NE(text.find("Environment: Liquid\r\n"), std::string::npos);
}

TEST(ReportText, EmptyProfileGivesTwoEmptyLines) {
    Case c;
    c.profile.setCell(1, 1, "");
    const std::string text = buildReportText(c, {"S", "PASS"});
    EXPECT_NE(text.find("\tMinutes\r\n\r\n\r\nS\r\nFinal Determination: PASS\r\n\r\n"),
              std::string::npos);
    // Nothing chosen: the captions of the index-0 buttons and an empty environment.
    EXPECT_NE(text.find("Tracer Type: Tessel II or VTX\r\nEnvironment: \r\n"), std::string::npos);
}

double characters(std::string_view s) {
    return static_cast<double>(s.size());
}

TEST(AlignedReport, PadsNumbersInFrontAndStepsBehind) {
    const Case c = thermalPackCase();
    const Case before = c;
    const std::string text = buildAlignedReportText(c, kPass, characters);
    EXPECT_NE(text.find("\tStep Type\tTemp. \u00b0C\tMinutes\r\n\r\n"
                        " 1\tStart Temp    \t   25.0\t    0.0\r\n"
                        " 2\tRamp to Temp  \t  200.0\t   30.0\r\n"
                        " 3\tDwell at Temp \t  200.0\t   60.0\r\n"
                        " 4\tEnd Temp      \t   25.0\t   30.0\r\n"
                        "\r\nMaximum Internal"),
              std::string::npos)
        << text;
    EXPECT_EQ(c, before); // the grid keeps the user's own numbers
}

TEST(AlignedReport, RoundsToOneDecimalAndStopsAtTheFirstWidthReached) {
    Case c = makeCase(0, 0, 0, {{"S", "abc", "1.26"}, {"E", "12345.67", ""}});
    // Blanks are half as wide as other characters: padding may overshoot by half a blank.
    const auto width = [](std::string_view s) {
        double w = 0;
        for (char ch : s)
            w += ch == ' ' ? 0.5 : 1.0;
        return w;
    };
    const std::string text = buildAlignedReportText(c, {"", "PASS"}, width);
    // Widest value "  12345.7" measures 8; "0.0" needs ten blanks, "1.3" too.
    EXPECT_NE(text.find(" 1\tStart Temp" + std::string(6, ' ') + "\t" + std::string(10, ' ') +
                        "0.0\t" + std::string(10, ' ') + "1.3\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" 2\tEnd Temp" + std::string(10, ' ') + "\t  12345.7\t" +
                        std::string(10, ' ') + "0.0\r\n"),
              std::string::npos)
        << text;
}

TEST(AlignedReport, AWidthThatIgnoresBlanksStillEnds) {
    const Case c = thermalPackCase();
    const std::string text =
        buildAlignedReportText(c, kPass, [](std::string_view s) { return s.empty() ? 0.0 : 1.0; });
    EXPECT_NE(text.find("Final Determination: PASS"), std::string::npos);
}

} // namespace
