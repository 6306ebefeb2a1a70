// Any text as a cell: reading, formatting and the strict axis conversion must not crash, and
// the plain text of a number must read back to the same number.

#include "core/numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvh::core;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = numericValue(text);
    if (std::isnan(value))
        std::abort();
    for (const Pattern p : {Pattern::Whole, Pattern::OneDec, Pattern::TwoDec, Pattern::ThreeDec})
        (void)formatPattern(value, p);
    if (std::isfinite(value)) {
        const std::string plain = plainNumberText(value);
        const double back = numericValue(plain);
        if (std::fabs(back - value) > std::fabs(value) * 1e-14)
            std::abort();
    }
    (void)parseStrictSingle(text);
    (void)roundHalfEven(value);
    return 0;
}
