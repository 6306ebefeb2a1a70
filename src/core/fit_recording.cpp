#include "fit_recording.h"

#include "model.h"

namespace kvh::core {

namespace {

std::string missingColumn(std::size_t column, std::size_t count) {
    return "The recording has no temperature column " + std::to_string(column + 1) + " (it has " +
           std::to_string(count) + ").";
}

/// The profile's process temperature from its start to its end, minute by minute.
std::variant<std::vector<double>, std::string> profileProcess(const Case& c) {
    const RunOutcome outcome = runModel(c);
    if (const auto* error = std::get_if<RunError>(&outcome))
        return describeError(*error);
    const RunResult& run = std::get<RunResult>(outcome);
    const auto first = run.process.begin() + kLeadIn;
    return std::vector<double>(first, first + run.totalMinutes + 1);
}

} // namespace

std::variant<FitInput, std::string> fitInputFrom(const Recording& recording,
                                                 const FitColumns& columns, const Case& c) {
    const std::size_t count = recording.columns.size();
    if (columns.internal >= count)
        return missingColumn(columns.internal, count);
    if (columns.process && *columns.process >= count)
        return missingColumn(*columns.process, count);
    const TempUnit unit = c.setup.fahrenheit() ? TempUnit::Fahrenheit : TempUnit::Celsius;
    FitInput input;
    input.table = tableBarrier(c.setup);
    input.fahrenheit = c.setup.fahrenheit();
    input.internal = resampleToMinutes(recording, columns.internal, unit);
    if (columns.process) {
        input.process = resampleToMinutes(recording, *columns.process, unit);
        return input;
    }
    auto process = profileProcess(c);
    if (auto* error = std::get_if<std::string>(&process))
        return std::move(*error);
    input.process = std::move(std::get<std::vector<double>>(process));
    return input;
}

} // namespace kvh::core
