// Cells typed in any way, then Save and Open: the case comes back with the same steps, numbers
// and setup, or Save refuses it and names the cells. The input is a few setup clicks, then the
// cells' texts (step type, temperature, time, row after row) separated by 0xFF bytes.

#include "core/dew_file.h"
#include "dew_round_trip.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using namespace kvh::core;

/// The setup as the window's clicks leave it: each of the first bytes is one click.
void clickSetup(SetupState& s, std::string_view clicks) {
    for (const char click : clicks) {
        const int value = static_cast<unsigned char>(click) >> 2;
        switch (click & 3) {
        case 0:
            s.selectTracer(value & 1);
            break;
        case 1:
            s.selectEnviron(value & 1);
            break;
        case 2:
            if (s.modelVisible(value % kModelCount))
                s.selectModel(value % kModelCount);
            break;
        default:
            s.selectTempUnit(value & 1);
            s.selectTimeUnit((value >> 1) & 1);
            break;
        }
    }
}

/// A one-letter step cell stands for the step text the editor writes.
std::string stepText(std::string_view cell) {
    if (cell.size() == 1) {
        switch (cell[0]) {
        case 'S':
            return std::string(kStartTempText);
        case 'R':
            return std::string(kRampText);
        case 'D':
            return std::string(kDwellText);
        case 'E':
            return std::string(kEndTempText);
        default:
            break;
        }
    }
    return std::string(cell);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.empty())
        return 0;
    const size_t clicks = static_cast<unsigned char>(bytes[0]) % 8;
    bytes.remove_prefix(1);
    Case c;
    clickSetup(c.setup, bytes.substr(0, clicks));
    c.selectTempUnit(c.setup.celsius() ? 1 : 0); // the headers follow the units
    c.selectTimeUnit(c.setup.minutes() ? 0 : 1);
    bytes.remove_prefix(std::min(clicks, bytes.size()));
    int cell = 0;
    while (true) {
        const size_t end = bytes.find('\xff');
        const std::string_view text = bytes.substr(0, end);
        const int row = 1 + cell / 3, col = kColStep + cell % 3;
        if (row >= c.profile.rowCount())
            c.profile.appendRow();
        c.profile.setCell(row, col, col == kColStep ? stepText(text) : std::string(text));
        ++cell;
        if (end == std::string_view::npos)
            break;
        bytes.remove_prefix(end + 1);
    }
    if (const std::string fault = kvh::test::dewRoundTripFault(c); !fault.empty()) {
        std::fputs((fault + '\n').c_str(), stderr);
        std::abort();
    }
    return 0;
}
