// Random profiles against a plain, unoptimised reading of the model's steps: separate loops,
// the library's rounding, generous storage. Any difference in any minute is a fault.

#include "core/model.h"
#include "core/numbers.h"
#include "test_cases.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <random>

using namespace kvh::core;

namespace {

struct Reference {
    int64_t total = 0;
    std::vector<float> process, mid, in;
    float maxInternal = 0.111f, maxDwell = 0.111f, finalRate = 0;
};

Reference reference(const Case& c) {
    const ProfileTable& t = c.profile;
    const bool hours = c.setup.hours();
    Reference r;
    for (int row = 1; row < t.rowCount(); ++row) {
        double v = numericValue(t.cell(row, 3));
        if (hours)
            v = std::nearbyint(v * 60 + 0.2);
        r.total = static_cast<int64_t>(std::nearbyint(static_cast<double>(r.total) + v));
    }
    const size_t size = static_cast<size_t>(r.total + 81) + 100000;
    r.process.assign(size, 0);
    r.mid.assign(size, 0);
    r.in.assign(size, 0);
    for (int m = 0; m <= 60; ++m)
        r.process[static_cast<size_t>(m)] = static_cast<float>(numericValue(t.cell(1, 2)));
    int64_t p = 60;
    for (int row = 1; row < t.rowCount(); ++row) {
        const int64_t d =
            static_cast<int64_t>(std::nearbyint(numericValue(t.cell(row, 3)) * (hours ? 60 : 1)));
        const char code = t.cell(row, 1).empty() ? ' ' : t.cell(row, 1)[0];
        const double temp = numericValue(t.cell(row, 2));
        if (code == 'S' || code == 'D' || code == 'E') {
            for (int64_t m = p; m <= p + d; ++m)
                r.process[static_cast<size_t>(m)] = static_cast<float>(temp);
            p += d;
        } else if (code == 'R') {
            const double rate =
                (temp - r.process[static_cast<size_t>(p - 1)]) / static_cast<double>(d);
            for (int64_t m = p; m <= p + d; ++m)
                r.process[static_cast<size_t>(m)] =
                    static_cast<float>(r.process[static_cast<size_t>(m - 1)] + rate);
            p += d;
        }
    }
    for (int64_t m = p; m <= r.total + 20; ++m)
        r.process[static_cast<size_t>(m)] = r.process[static_cast<size_t>(p)];
    const ModelParams params = buildModelParams();
    const auto mi = static_cast<size_t>(c.setup.modelIndex());
    const auto rc = static_cast<size_t>(c.setup.tracerIndex() + 2 * c.setup.environIndex());
    const double dead = params[mi][rc], a = params[mi][4 + rc], b = params[mi][8 + rc];
    r.mid[60] = static_cast<float>(numericValue(c.profile.cell(1, 2))); // the lead-in value
    r.in[60] = r.mid[60];
    const int64_t end = r.total + 80;
    for (int64_t m = 61; m <= end; ++m) {
        const auto k = static_cast<size_t>(std::nearbyint(static_cast<double>(m) - dead));
        const double prev = r.mid[static_cast<size_t>(m - 1)];
        r.mid[static_cast<size_t>(m)] = static_cast<float>((r.process[k] - prev) * a + prev);
    }
    for (int64_t m = 61; m <= end; ++m) {
        const double prev = r.in[static_cast<size_t>(m - 1)];
        const float v = static_cast<float>((r.mid[static_cast<size_t>(m)] - prev) * b + prev);
        r.in[static_cast<size_t>(m)] = v;
    }
    // Both maxima from the start minute on; the internal one before the profile's end.
    for (int64_t m = 60; m <= end; ++m) {
        const float v = r.in[static_cast<size_t>(m)];
        if ((m == 60 || m < r.total + 60) && v > r.maxInternal)
            r.maxInternal = v;
        if (v > r.maxDwell)
            r.maxDwell = v;
    }
    r.finalRate = r.in[static_cast<size_t>(r.total + 60)] - r.in[static_cast<size_t>(r.total + 59)];
    return r;
}

Case randomCase(std::mt19937& rng) {
    const int tracer = static_cast<int>(rng() % 2), environ = static_cast<int>(rng() % 2);
    const bool hours = rng() % 3 == 0;
    Case c = kvh::test::makeCase(tracer, environ, 0, {}, rng() % 2 == 0, !hours);
    // Any model with data for the tracer and environment, also one the rules hide (a file can
    // select it); those without data are refused, as a test of their own checks.
    const int models = tracer == 0 ? 4 : 6;
    c.setup.selectModel(static_cast<int>(rng() % models));
    std::uniform_real_distribution<double> temp(-50, 400);
    const int rows = 1 + static_cast<int>(rng() % 14);
    for (int r = 1; r <= rows; ++r) {
        if (r >= c.profile.rowCount())
            c.profile.appendRow();
        const char* steps[] = {"Start Temp   ", "Ramp to Temp", "Dwell at Temp", "End Temp    ",
                               ""};
        c.profile.setCell(r, 1, r == 1 ? steps[0] : steps[rng() % 5]);
        c.profile.setCell(r, 2, plainNumberText(std::round(temp(rng) * 100) / 100));
        // Times with halves and odd fractions exercise every rounding path.
        const double minutes = static_cast<double>(rng() % 400) / (rng() % 2 ? 1 : 2);
        c.profile.setCell(
            r, 3, plainNumberText(hours ? std::round(minutes / 60 * 1000) / 1000 : minutes));
        if (c.profile.cell(r, 1) == "Ramp to Temp" &&
            std::nearbyint(numericValue(c.profile.cell(r, 3)) * (hours ? 60 : 1)) == 0)
            c.profile.setCell(r, 3, "1");
    }
    return c;
}

TEST(ModelProperty, AgreesWithAPlainReadingOnRandomProfiles) {
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    std::mt19937 rng(20261206);
    // Each run reuses the storage of the one before; the first gets storage full of NaN.
    RunResult previous;
    previous.process.assign(200000, NAN);
    previous.intermediate.assign(200000, NAN);
    previous.internal.assign(200000, NAN);
    for (int i = 0; i < 400; ++i) {
        const Case c = randomCase(rng);
        RunOutcome outcome = runModel(c, std::move(previous));
        ASSERT_TRUE(std::holds_alternative<RunResult>(outcome))
            << describeError(std::get<RunError>(outcome));
        const RunResult& run = std::get<RunResult>(outcome);
        for (size_t k = static_cast<size_t>(run.totalMinutes + 81); k < run.internal.size(); ++k)
            ASSERT_EQ(run.internal[k] + run.intermediate[k] + run.process[k], 0.0f) << i;
        const Reference ref = reference(c);
        ASSERT_EQ(run.totalMinutes, ref.total) << i;
        for (int64_t m = 0; m <= run.totalMinutes + 80; ++m) {
            const auto k = static_cast<size_t>(m);
            ASSERT_EQ(run.process[k], ref.process[k]) << "case " << i << " minute " << m;
            ASSERT_EQ(run.intermediate[k], ref.mid[k]) << "case " << i << " minute " << m;
            ASSERT_EQ(run.internal[k], ref.in[k]) << "case " << i << " minute " << m;
        }
        EXPECT_EQ(run.maxInternal, ref.maxInternal) << i;
        EXPECT_EQ(run.maxDwell, ref.maxDwell) << i;
        EXPECT_EQ(run.finalRate, ref.finalRate) << i;
        // The report's run, which keeps no series, agrees bit for bit.
        const RunResult maxima = std::get<RunResult>(runModelMaxima(c));
        EXPECT_EQ(maxima.maxInternal, ref.maxInternal) << i;
        EXPECT_EQ(maxima.maxDwell, ref.maxDwell) << i;
        EXPECT_EQ(maxima.finalRate, ref.finalRate) << i;
        EXPECT_EQ(maxima.limit, run.limit) << i;
        previous = std::get<RunResult>(std::move(outcome));
    }
}

TEST(ModelProperty, ArbitraryCellTextNeverBreaksARun) {
    std::mt19937 rng(7);
    const std::string alphabet = "0123456789.-+eE ,abcSRDE\t\n";
    for (int i = 0; i < 2000; ++i) {
        Case c = kvh::test::makeCase(static_cast<int>(rng() % 2), static_cast<int>(rng() % 2), 0,
                                     {}, true, rng() % 2 == 0);
        for (int r = 1; r < c.profile.rowCount(); ++r)
            for (int col = 1; col < 4; ++col) {
                std::string text;
                for (size_t n = rng() % 8; n > 0; --n)
                    text += alphabet[rng() % alphabet.size()];
                c.profile.setCell(r, col, text);
            }
        const RunOutcome outcome = runModel(c);
        if (const auto* run = std::get_if<RunResult>(&outcome)) {
            EXPECT_GE(run->internal.size(), static_cast<size_t>(run->totalMinutes + 81));
            EXPECT_FALSE(std::isnan(run->maxDwell));
        } else {
            EXPECT_FALSE(std::get<RunError>(outcome).message.empty());
        }
    }
}

} // namespace
