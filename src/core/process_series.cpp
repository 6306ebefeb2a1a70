#include "process_series.h"

#include "model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvh::core {

ProcessSeries::ProcessSeries(const StepPlan& plan, float startTemp)
    : m_plan(plan), m_stepStart(kLeadIn),
      // The lead-in includes the profile's first minute unless a step takes it over.
      m_until(plan.steps.empty() ? kLeadIn : kLeadIn - 1), m_value(startTemp) {}

void ProcessSeries::write(float* out, int64_t count) {
    const int64_t end = m_t + count;
    while (m_t < end) {
        while (m_t > m_until)
            nextSegment();
        const int64_t stop = m_until < end ? m_until + 1 : end;
        if (m_kind == Kind::Hold) {
            out = std::fill_n(out, stop - m_t, m_value);
        } else {
            for (int64_t t = m_t; t < stop; ++t) {
                m_value = static_cast<float>(m_value + m_rate);
                *out++ = m_value;
            }
        }
        m_t = stop;
        if (m_kind == Kind::Ramp && m_t > m_until)
            checkRampEnd();
    }
}

void ProcessSeries::nextSegment() {
    m_kind = Kind::Hold;
    if (m_step < m_plan.steps.size() && m_t == m_stepStart) {
        beginStep();
    } else if (!m_tail) {
        // The last value written holds to TotalMinutes + 20 (no minute when the steps ran past).
        m_tail = true;
        m_until = m_plan.total + 20;
    } else {
        m_value = 0.0f;
        m_until = std::numeric_limits<int64_t>::max();
    }
}

void ProcessSeries::beginStep() {
    // Steps of no time that another step follows at once leave nothing behind.
    const Step* s = nullptr;
    do {
        s = &m_plan.steps[m_step++];
        m_stepStart += s->minutes;
    } while (s->minutes == 0 && m_step < m_plan.steps.size());
    m_rampCut = m_step < m_plan.steps.size();
    m_until = m_rampCut ? m_stepStart - 1 : m_stepStart;
    if (s->code != StepCode::Ramp) {
        m_value = static_cast<float>(s->temp);
        return;
    }
    m_kind = Kind::Ramp;
    // Each ramp's rate hangs on where the one before ended; a one-minute ramp (dividing by 1
    // is exact) keeps the division out of that chain.
    const double rise = s->temp - m_value;
    m_rate = s->minutes == 1 ? rise : rise / static_cast<double>(s->minutes);
    m_row = s->row;
}

void ProcessSeries::checkRampEnd() {
    const float end = m_rampCut ? static_cast<float>(m_value + m_rate) : m_value;
    if (!m_error && !std::isfinite(end))
        m_error = RampOutOfRange{m_row};
}

} // namespace kvh::core
