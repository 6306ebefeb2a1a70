#pragma once
// Whether a case comes back from Save and Open as it was saved: shared by the property test
// and the fuzz target of the same round trip.

#include "core/dew_file.h"
#include "core/numbers.h"

#include <string>
#include <variant>

namespace kvh::test {

/// "" when Save refuses the case (it names the cells) or when Open reads back every written
/// row with its step code and the numbers of its temperature and time cells, in consecutive
/// rows, and the setup (one the window can make); otherwise what differs.
inline std::string dewRoundTripFault(const core::Case& c) {
    using namespace core;
    if (!unsavableCells(c).empty())
        return unsavableCellsMessage(c).empty() ? "cells refused without a message" : "";
    auto parsed = parseDew(writeDew(c));
    if (const auto* error = std::get_if<DewError>(&parsed))
        return "Open refuses what Save wrote: " + error->reason;
    Case back;
    applyDew(back, std::get<DewParse>(parsed));
    if (!(back.setup == c.setup))
        return "the setup differs";
    const ProfileTable& t = c.profile;
    int b = 1;
    for (int r = 1; r < t.rowCount(); ++r) {
        if (t.cell(r, kColStep).empty())
            continue;
        const std::string where =
            "row " + std::to_string(r) + " read back as row " + std::to_string(b);
        if (b >= back.profile.rowCount())
            return where + ": missing";
        if (stepCode(back.profile.cell(b, kColStep)) != stepCode(t.cell(r, kColStep)))
            return where + ": another step";
        for (const int col : {kColTemp, kColTime})
            if (back.profile.cell(b, col) != plainNumberText(numericValue(t.cell(r, col))))
                return where + ": \"" + t.cell(r, col) + "\" came back as \"" +
                       back.profile.cell(b, col) + "\"";
        ++b;
    }
    for (; b < back.profile.rowCount(); ++b)
        if (!back.profile.cell(b, kColStep).empty())
            return "row " + std::to_string(b) + " read back without being saved";
    return "";
}

} // namespace kvh::test
