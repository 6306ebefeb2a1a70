#pragma once
// Small builders for cases used across the core tests.

#include "core/case.h"
#include "core/model.h"
#include "core_printers.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace kvh::test {

struct StepRow {
    const char* step; ///< "S", "R", "D", "E", or "" for an empty row
    std::string temp;
    std::string time;
};

/// A case with tracer, environment and model chosen (in that order) and the given rows from
/// row 1 on, written as the editor writes step texts.
inline core::Case makeCase(int tracer, int environ, int model, std::initializer_list<StepRow> rows,
                           bool celsius = true, bool minutes = true) {
    core::Case c;
    c.setup.selectTracer(tracer);
    c.setup.selectEnviron(environ);
    c.setup.selectModel(model);
    c.selectTempUnit(celsius ? 1 : 0);
    c.selectTimeUnit(minutes ? 0 : 1);
    int r = 1;
    for (const StepRow& row : rows) {
        while (r >= c.profile.rowCount())
            c.profile.appendRow();
        const std::string code = row.step;
        const std::string text = code == "S"   ? "Start Temp   "
                                 : code == "R" ? "Ramp to Temp"
                                 : code == "D" ? "Dwell at Temp"
                                 : code == "E" ? "End Temp    "
                                               : code;
        c.profile.setCell(r, 1, text);
        c.profile.setCell(r, 2, row.temp);
        c.profile.setCell(r, 3, row.time);
        ++r;
    }
    return c;
}

/// The run of an outcome the test expects to run; an error fails the test and gives an empty run.
inline core::RunResult ok(const core::RunOutcome& outcome) {
    if (const auto* e = std::get_if<core::RunError>(&outcome))
        ADD_FAILURE() << core::describeError(*e);
    const auto* r = std::get_if<core::RunResult>(&outcome);
    return r ? *r : core::RunResult{};
}

} // namespace kvh::test
