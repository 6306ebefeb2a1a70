// Any bytes as a ".dew" file, run and written as the series and comparison CSV: every record
// has its header's number of fields, every number reads back to the single it was written
// from, and a file name of any bytes comes back from its quoted field.

#include "core/comparison_csv.h"
#include "core/dew_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Record = std::vector<std::string>;

/// Splits CSV text (LF records, fields quoted with doubled quotes) into records.
std::vector<Record> readCsv(std::string_view text) {
    std::vector<Record> records;
    Record record;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch != '"')
                field += ch;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                quoted = false;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',' || ch == '\n') {
            record.push_back(std::move(field));
            field.clear();
            if (ch == '\n') {
                records.push_back(std::move(record));
                record.clear();
            }
        } else {
            field += ch;
        }
    }
    if (quoted || !field.empty() || !record.empty())
        std::abort(); // the last record ends with a line feed
    return records;
}

/// The text of a single must read back to the same single (NaN to NaN).
void checkSingle(const std::string& text, float value) {
    float back = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
    if (ec != std::errc() || end != text.data() + text.size())
        std::abort();
    if (std::isnan(value) ? !std::isnan(back) : std::memcmp(&back, &value, sizeof back) != 0)
        std::abort();
}

void checkSeries(const kvh::core::RunResult& run) {
    const std::vector<Record> records = readCsv(kvh::core::seriesCsv(run));
    if (records.size() != static_cast<size_t>(run.totalMinutes + kvh::core::kTail) + 2)
        std::abort();
    for (size_t i = 1; i < records.size(); ++i) {
        const Record& r = records[i];
        if (r.size() != 4 || r[0] != std::to_string(i - 1))
            std::abort();
        checkSingle(r[1], run.process[i - 1]);
        checkSingle(r[2], run.intermediate[i - 1]);
        checkSingle(r[3], run.internal[i - 1]);
    }
}

void checkComparison(kvh::core::Comparison& comparison, std::string_view file, uint8_t dwell) {
    using kvh::core::SafeDwell;
    // The dwell search runs the model dozens of times; its texts are taken from the input.
    for (kvh::core::BarrierResult& b : comparison.barriers)
        b.safeDwell = SafeDwell{static_cast<SafeDwell::Kind>(dwell % 4), dwell * 1000003LL};
    const std::vector<Record> table = readCsv(kvh::core::comparisonCsv(comparison));
    const std::vector<Record> rows = readCsv(kvh::core::comparisonCsvRows(comparison, file));
    if (table.size() != comparison.barriers.size() + 1 || rows.size() + 1 != table.size())
        std::abort();
    for (size_t i = 0; i < rows.size(); ++i) {
        const kvh::core::BarrierResult& b = comparison.barriers[i];
        // model ... minutes_to_peak, then the unit and the limit in it
        if (table[i + 1].size() != 10 || rows[i].size() != 11 || rows[i][0] != file)
            std::abort();
        if (table[i + 1][8] != (comparison.fahrenheit ? "F" : "C"))
            std::abort();
        if (!std::equal(table[i + 1].begin(), table[i + 1].end(), rows[i].begin() + 1))
            std::abort();
        checkSingle(table[i + 1][1], b.maxInternal);
        checkSingle(table[i + 1][2], b.maxDwell);
        checkSingle(table[i + 1][6], b.peakAfterEnd);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kvh::core;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto parsed = parseDew(bytes);
    if (!std::holds_alternative<DewParse>(parsed))
        return 0;
    Case c;
    applyDew(c, std::get<DewParse>(parsed));
    // Long profiles cost time, not coverage.
    const auto total = totalMinutes(c);
    if (!std::holds_alternative<int64_t>(total) || std::get<int64_t>(total) > 1000)
        return 0;
    RunOutcome outcome = runModel(c);
    if (const auto* run = std::get_if<RunResult>(&outcome))
        checkSeries(*run);
    if (!comparable(c.setup))
        return 0;
    ComparisonOutcome compared = compareBarriers(c, false);
    if (auto* comparison = std::get_if<Comparison>(&compared))
        checkComparison(*comparison, bytes.substr(0, 40), size > 0 ? data[size - 1] : 0);
    return 0;
}
