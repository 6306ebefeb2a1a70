#pragma once
// The process temperature minute by minute, as the profile's steps lay it down.

#include "profile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvh::core {

/// One profile step as the simulation uses it.
struct Step {
    StepCode code;
    double temp;
    int64_t minutes;
    int row;
};

/// The profile as the simulation reads it: the total time, the steps and their minutes.
struct StepPlan {
    int64_t total = 0;
    std::vector<Step> steps;
    int64_t stepMinutes = 0;
};

/// A ramp whose last minute leaves the single range, by profile row.
struct RampOutOfRange {
    int row = 0;
};

/// Writes the process series in order, in pieces of any length: minutes 0-59 and the first
/// minute of the profile at the start temperature, each step from its first minute (which it
/// takes over from the step before), the last value held to TotalMinutes + 20, zeros after.
/// A ramp goes from the minute before it in equal steps, each sum in double stored single.
class ProcessSeries {
public:
    ProcessSeries(const StepPlan& plan, float startTemp);
    /// Writes the next `count` minutes to `out`.
    void write(float* out, int64_t count);
    /// The minute the next write begins with.
    int64_t nextMinute() const { return m_t; }
    /// The first ramp written so far whose end is not a finite single.
    const std::optional<RampOutOfRange>& error() const { return m_error; }

private:
    void nextSegment();
    void beginStep();
    void checkRampEnd();

    enum class Kind { Hold, Ramp };
    const StepPlan& m_plan;
    size_t m_step = 0;
    int64_t m_stepStart; ///< first minute of the next step
    int64_t m_t = 0;     ///< next minute to write
    int64_t m_until;     ///< last minute of the current piece
    Kind m_kind = Kind::Hold;
    float m_value; ///< the held value, or the ramp's last minute written
    double m_rate = 0;
    bool m_rampCut = false; ///< the next step takes over the ramp's last minute
    int m_row = 0;
    bool m_tail = false;
    std::optional<RampOutOfRange> m_error;
};

} // namespace kvh::core
