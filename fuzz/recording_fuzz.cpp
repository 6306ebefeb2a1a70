// Any bytes as a recording: reading (both day/month orders), describing, resampling and making
// a profile must neither crash nor read out of bounds, and what the reader returns must keep its
// promises: times from 0, strictly increasing, a value per sample in every column.

#include "core/profile_maker.h"
#include "core/recording.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void check(const kvh::core::Recording& r) {
    using namespace kvh::core;
    if (r.minutes.empty() || r.minutes.front() != 0.0 || r.columns.empty())
        std::abort();
    for (size_t i = 1; i < r.minutes.size(); ++i)
        if (!(r.minutes[i] > r.minutes[i - 1]))
            std::abort();
    for (const RecordingColumn& c : r.columns)
        if (c.values.size() != r.minutes.size())
            std::abort();
    (void)describeRecording(r);
    // Long spans are valid but slow to resample in a fuzzing loop.
    if (r.minutes.back() > 20'000)
        return;
    const std::vector<double> trace = resampleToMinutes(r, 0, TempUnit::Celsius);
    if (trace.size() != static_cast<size_t>(std::floor(r.minutes.back())) + 1)
        std::abort();
    (void)makeProfileRows(trace, 1.0, 1000);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvh::core;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto outcome = readRecording(bytes);
    if (const auto* error = std::get_if<RecordingError>(&outcome); error && error->needsDateOrder) {
        RecordingOptions options;
        options.dateOrder = DateOrder::DayMonth;
        outcome = readRecording(bytes, options);
        if (const auto* again = std::get_if<RecordingError>(&outcome);
            again && again->needsDateOrder)
            std::abort(); // an order given is never asked for again
    }
    if (const auto* r = std::get_if<Recording>(&outcome))
        check(*r);
    return 0;
}
