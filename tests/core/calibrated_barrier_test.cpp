#include "core/calibrated_barrier.h"
#include "named_row.h"
#include "test_cases.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kvh::core {
namespace {

CalibratedBarrier sample() {
    CalibratedBarrier b;
    b.name = "7440 serial 1234 \u00e4";
    b.modelIndex = 2;
    b.tracerIndex = 1;
    b.environIndex = 0;
    b.fit.table = {10, 0.05f, 0.002f};
    b.fit.fitted = {12, 0.0612f, 0.00241f};
    b.fit.outer = {0.06, 0.0624};
    b.fit.inner = {-std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::infinity()};
    b.fit.rms = 0.31;
    b.fit.maxResidual = 1.2;
    b.fit.samples = 10000;
    b.recording = "oven run 3.csv";
    b.date = "2026-12-07";
    return b;
}

TEST(CalibratedBarrier, ReadsBackWhatItWrote) {
    const CalibratedBarrier b = sample();
    const std::string json = calibratedBarrierJson(b);
    EXPECT_NE(json.find("\"outer\": 0.0612"), std::string::npos) << json;
    EXPECT_NE(json.find("\"rms\": 0.31,"), std::string::npos) << json;
    const auto read = parseCalibratedBarrier(json);
    ASSERT_TRUE(std::holds_alternative<CalibratedBarrier>(read)) << std::get<std::string>(read);
    const CalibratedBarrier& r = std::get<CalibratedBarrier>(read);
    EXPECT_EQ(r.name, b.name);
    EXPECT_EQ(r.modelIndex, 2);
    EXPECT_EQ(r.tracerIndex, 1);
    EXPECT_EQ(r.environIndex, 0);
    EXPECT_EQ(r.fit.fitted.deadTime, b.fit.fitted.deadTime);
    EXPECT_EQ(r.fit.fitted.outer, b.fit.fitted.outer);
    EXPECT_EQ(r.fit.fitted.inner, b.fit.fitted.inner);
    EXPECT_EQ(r.fit.table.inner, b.fit.table.inner);
    EXPECT_EQ(r.fit.outer.low, 0.06);
    EXPECT_TRUE(std::isinf(r.fit.inner.high)); // an open interval survives as null
    EXPECT_EQ(r.fit.samples, 10000);
    EXPECT_EQ(r.recording, b.recording);
    EXPECT_EQ(r.date, b.date);
}

TEST(CalibratedBarrier, ReadsNumbersAsWrittenInEveryLocale) {
    // The core tests run in a comma-decimal locale too: nothing here may read "0.1" as 0 or 1.
    const std::string json = R"({"format": "kvhitemp-calibrated-barrier", "version": 1,
        "name": "n", "model": "7440", "tracer": "Tessel III", "environment": "Air",
        "dead_time": -0, "outer": 1e-3, "inner": 0.1,
        "fit": {"rms": 2.5E-1, "max_residual": 1E+300, "outer_low": -0.0, "outer_high": 0.5e1,
                "samples": 42}})";
    const auto read = parseCalibratedBarrier(json);
    ASSERT_TRUE(std::holds_alternative<CalibratedBarrier>(read)) << std::get<std::string>(read);
    const BarrierFit& fit = std::get<CalibratedBarrier>(read).fit;
    EXPECT_EQ(fit.fitted.deadTime, 0.0f);
    EXPECT_EQ(fit.fitted.outer, 0.001f);
    EXPECT_EQ(fit.fitted.inner, 0.1f);
    EXPECT_EQ(fit.rms, 0.25);
    EXPECT_EQ(fit.maxResidual, 1e300);
    EXPECT_EQ(fit.outer.low, 0.0);
    EXPECT_TRUE(std::signbit(fit.outer.low));
    EXPECT_EQ(fit.outer.high, 5.0);
    EXPECT_EQ(fit.samples, 42);
    // Written back: the shortest text of each number.
    const std::string written = calibratedBarrierJson(std::get<CalibratedBarrier>(read));
    for (const char* part : {"\"outer\": 0.001,", "\"inner\": 0.1,", "\"rms\": 0.25,",
                             "\"max_residual\": 1e+300,", "\"outer_low\": -0,"})
        EXPECT_NE(written.find(part), std::string::npos) << part << " in\n" << written;
}

struct BadFileRow : test::NamedRow {
    const char* find;    ///< replaced in a good file ...
    const char* replace; ///< ... by this
    const char* reason;
};

class CalibratedBarrierBad : public testing::TestWithParam<BadFileRow> {};

TEST_P(CalibratedBarrierBad, IsRefusedWithAReason) {
    std::string json = calibratedBarrierJson(sample());
    const auto at = json.find(GetParam().find);
    ASSERT_NE(at, std::string::npos);
    json.replace(at, std::string(GetParam().find).size(), GetParam().replace);
    const auto read = parseCalibratedBarrier(json);
    ASSERT_TRUE(std::holds_alternative<std::string>(read));
    EXPECT_NE(std::get<std::string>(read).find(GetParam().reason), std::string::npos)
        << std::get<std::string>(read);
}

INSTANTIATE_TEST_SUITE_P(
    CalibratedBarrier, CalibratedBarrierBad,
    testing::Values(
        BadFileRow{"not JSON", "{", "[", "not valid JSON"},
        BadFileRow{"another kind of file", "kvhitemp-calibrated", "x", "not a calibrated"},
        BadFileRow{"unknown model", "\"7440\"", "\"7441\"", "no known model"},
        BadFileRow{"dead time not whole", "\"dead_time\": 12", "\"dead_time\": 12.5",
                   "whole number"},
        BadFileRow{"negative coefficient", "\"outer\": 0.0612", "\"outer\": -1", "outside 0 to 1"},
        BadFileRow{"number beyond double", "\"inner\": 0.00241", "\"inner\": 1e400",
                   "a number in it is out of range"},
        BadFileRow{"number below the smallest double", "\"rms\": 0.31", "\"rms\": 1e-400",
                   "the number 1e-400 is out of range"},
        BadFileRow{"number with a comma", "\"rms\": 0.31", "\"rms\": 0,31", "not valid JSON"},
        BadFileRow{"name not a text", "\"name\": \"7440", "\"name\": 5, \"x\": \"", "not a text"},
        BadFileRow{"newer version", "\"version\": 1", "\"version\": 9", "newer"}),
    test::RowName());

TEST(CalibratedBarrier, MatchesOnlyItsOwnModelTracerAndEnvironment) {
    const CalibratedBarrier b = sample();
    EXPECT_TRUE(matchesSetup(b, test::makeCase(1, 0, 2, {}).setup));
    EXPECT_FALSE(matchesSetup(b, test::makeCase(1, 1, 2, {}).setup));
    EXPECT_FALSE(matchesSetup(b, test::makeCase(0, 0, 2, {}).setup));
    EXPECT_FALSE(matchesSetup(b, test::makeCase(1, 0, 1, {}).setup));
}

TEST(CalibratedBarrier, FileNamesAreSafe) {
    EXPECT_EQ(calibratedBarrierFileName("7440 serial 1234"), "7440_serial_1234.json");
    EXPECT_EQ(calibratedBarrierFileName("../x"), "___x.json");
    EXPECT_EQ(calibratedBarrierFileName(""), "barrier.json");
}

} // namespace
} // namespace kvh::core
