#pragma once
// The 24-hour heat treatment the comparison and what-if benchmarks run.

#include "core/case.h"

namespace kvh::bench {

/// Tracer type 1 in air (every barrier offered), no model chosen: start, a one-hour ramp to
/// `dwellTemp`, a 22-hour dwell, a one-hour cool-down ramp.
inline core::Case dayAt(const char* dwellTemp) {
    core::Case c;
    c.setup.selectTracer(1);
    c.setup.selectEnviron(0);
    const char* rows[][3] = {{"Start Temp   ", "25", "0"},
                             {"Ramp to Temp", dwellTemp, "60"},
                             {"Dwell at Temp", dwellTemp, "1320"},
                             {"Ramp to Temp", "40", "60"},
                             {"End Temp    ", "40", "0"}};
    for (int r = 0; r < 5; ++r)
        for (int col = 0; col < 3; ++col)
            c.profile.setCell(r + 1, col + 1, rows[r][col]);
    return c;
}

} // namespace kvh::bench
