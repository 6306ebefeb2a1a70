#include "barrier_option.h"

#include "core/file_io.h"

#include <ostream>

namespace kvh::tools {

bool takeBarrierOption(std::vector<std::string>& args, std::string& path, std::ostream& err) {
    for (auto it = args.begin(); it != args.end();) {
        if (*it != kBarrierOption) {
            ++it;
            continue;
        }
        if (!path.empty() || it + 1 == args.end() || (it + 1)->empty()) {
            err << "kvhitemp-report: " << kBarrierOption
                << (path.empty() ? " needs a file" : " is given twice") << " (see --help)\n";
            return false;
        }
        path = *(it + 1);
        it = args.erase(it, it + 2);
    }
    return true;
}

std::optional<core::CalibratedBarrier>
loadBarrierFor(const std::string& path, const core::SetupState& setup, std::ostream& err) {
    auto bytes = core::readFileBytes(path, core::kCalibratedBarrierMaxBytes);
    if (const auto* error = std::get_if<core::FileError>(&bytes)) {
        err << "kvhitemp-report: " << path << ": " << error->reason << '\n';
        return std::nullopt;
    }
    auto parsed = core::parseCalibratedBarrier(std::get<std::string>(bytes));
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        err << "kvhitemp-report: " << path << ": " << *why << '\n';
        return std::nullopt;
    }
    const auto& barrier = std::get<core::CalibratedBarrier>(parsed);
    if (!core::matchesSetup(barrier, setup)) {
        err << "kvhitemp-report: " << path << ": the calibrated barrier \"" << barrier.name
            << "\" was fitted for another model, tracer type or environment than the case's\n";
        return std::nullopt;
    }
    err << "Calibrated barrier: " << core::describeCalibratedBarrier(barrier) << '\n';
    return barrier;
}

} // namespace kvh::tools
