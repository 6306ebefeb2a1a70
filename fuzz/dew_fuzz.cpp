// Any bytes as a ".dew" file: parsing, applying, saving again and running the model must
// neither crash nor read out of bounds, and a parsed file must survive a save and reopen.

#include "core/dew_file.h"
#include "core/model.h"
#include "core/report.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvh::core;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto parsed = parseDew(bytes);
    if (!std::holds_alternative<DewParse>(parsed))
        return 0;
    Case c;
    applyDew(c, std::get<DewParse>(parsed));
    const std::string saved = writeDew(c);
    auto again = parseDew(saved);
    if (!std::holds_alternative<DewParse>(again))
        std::abort(); // what Save writes, Open must read
    Case reopened;
    applyDew(reopened, std::get<DewParse>(again));
    // With Tessel III in air and a model chosen, the rules change nothing: the file comes back.
    if (writeDew(reopened) != saved && c.setup.tracer().isSelected(1) &&
        c.setup.environ().isSelected(0) && c.setup.model().selectedIndex() >= 0)
        std::abort();
    const RunOutcome outcome = runModel(c);
    if (const auto* run = std::get_if<RunResult>(&outcome)) {
        const Evaluation e = evaluate(*run, c.setup);
        (void)buildReportText(c, {e.summary, e.verdict});
    }
    return 0;
}
