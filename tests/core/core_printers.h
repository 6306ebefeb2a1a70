#pragma once
// How GoogleTest prints the core's values in a failure: as the user would read them, not as
// bytes. Found by argument-dependent lookup, so every test that compares these types includes
// this header.

#include "core/advisor.h"
#include "core/case.h"
#include "core/chart_data.h"
#include "core/dew_file.h"
#include "core/doubtful.h"
#include "core/numbers.h"

#include <ostream>
#include <string>

namespace kvh::test {

/// The profile's filled rows as "step,temp,time; ...", for failure messages.
inline std::string profileText(const core::ProfileTable& profile) {
    std::string text;
    for (int r = 1; r < profile.rowCount(); ++r) {
        const std::string row =
            profile.cell(r, 1) + "," + profile.cell(r, 2) + "," + profile.cell(r, 3);
        if (row != ",,")
            text += (text.empty() ? "" : "; ") + row;
    }
    return text;
}

} // namespace kvh::test

namespace kvh::core {

/// "Model 7440; Tessel III; in Liquid; Temp. °C; Minutes".
inline void PrintTo(const SetupState& setup, std::ostream* os) {
    *os << setup.summary() << "; " << setup.tempHeader() << "; " << setup.timeHeader();
}

/// The setup, then the filled profile rows.
inline void PrintTo(const Case& c, std::ostream* os) {
    PrintTo(c.setup, os);
    *os << " | " << test::profileText(c.profile);
}

/// "row 2, column 3: \"1,5\" holds a comma, ...".
inline void PrintTo(const UnsavableCell& cell, std::ostream* os) {
    *os << "row " << cell.row << ", column " << cell.col << ": \"" << cell.text << "\" "
        << cell.reason;
}

inline void PrintTo(const ChartPoint& p, std::ostream* os) {
    *os << '(' << plainNumberText(p.x) << ", " << plainNumberText(p.y) << ')';
}

/// "x 0 to 4: 25 to 180".
inline void PrintTo(const BandStretch& s, std::ostream* os) {
    *os << "x " << plainNumberText(s.x0) << " to " << plainNumberText(s.x1) << ": "
        << plainNumberText(s.low) << " to " << plainNumberText(s.high);
}

inline void PrintTo(const DoubtfulCell& cell, std::ostream* os) {
    *os << "row " << cell.row << ", column " << cell.col << ": " << cell.notice << " / "
        << cell.tip;
}

inline void PrintTo(SafeDwell::Kind kind, std::ostream* os) {
    constexpr const char* kNames[] = {"NoDwellRow", "None", "Minutes", "Capped"};
    *os << kNames[static_cast<int>(kind)];
}

inline void PrintTo(const SafeDwell& dwell, std::ostream* os) {
    PrintTo(dwell.kind, os);
    *os << ' ' << dwell.minutes;
}

} // namespace kvh::core
