#include "grid_clipboard.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kvh::core {

namespace {

constexpr std::string_view kTrimmed = " \t\r";

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(kTrimmed);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kTrimmed) - first + 1);
}

/// A field a spreadsheet quoted: the quotes off, doubled quotes inside made single.
std::string unquoted(std::string_view field) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"')
        return std::string(field);
    std::string out;
    field = field.substr(1, field.size() - 2);
    for (size_t i = 0; i < field.size(); ++i) {
        out += field[i];
        if (field[i] == '"' && i + 1 < field.size() && field[i + 1] == '"')
            ++i;
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

/// Whole digits with '.' between groups of three ("1.250"), as a comma-decimal locale writes
/// them; the digits alone, or nothing when the dots do not group thousands.
std::optional<std::string> groupedDigits(std::string_view whole) {
    if (allDigits(whole))
        return std::string(whole);
    std::string digits;
    size_t start = 0;
    for (bool first = true;; first = false) {
        const size_t dot = whole.find('.', start);
        const std::string_view group = whole.substr(start, dot - start);
        if (!allDigits(group) || (first ? group.size() > 3 : group.size() != 3))
            return std::nullopt;
        digits += group;
        if (dot == std::string_view::npos)
            return digits;
        start = dot + 1;
    }
}

/// "150,5" -> "150.5", "-1.250,5" -> "-1250.5"; any other text as it is.
std::string withDecimalPoint(std::string_view field) {
    const size_t comma = field.find(',');
    if (comma == std::string_view::npos || field.find(',', comma + 1) != std::string_view::npos)
        return std::string(field);
    const bool signed_ = !field.empty() && (field[0] == '-' || field[0] == '+');
    const std::string_view whole = field.substr(signed_ ? 1 : 0, comma - (signed_ ? 1 : 0));
    const std::string_view fraction = field.substr(comma + 1);
    const std::optional<std::string> digits = groupedDigits(whole);
    if (!digits || !allDigits(fraction))
        return std::string(field);
    return std::string(field.substr(0, signed_ ? 1 : 0)) + *digits + "." + std::string(fraction);
}

/// Whether a text starts as a number does: a digit, perhaps after a sign or a point.
bool startsNumeric(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    if (i < text.size() && (text[i] == '.' || text[i] == ','))
        ++i;
    return i < text.size() && isDigit(text[i]);
}

char separatorOf(std::string_view text) {
    if (text.find('\t') != std::string_view::npos)
        return '\t';
    return text.find(';') != std::string_view::npos ? ';' : ',';
}

std::vector<std::string> splitFields(std::string_view line, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t end = line.find(separator, start);
        std::string field = unquoted(trimmed(line.substr(start, end - start)));
        fields.push_back(separator == ',' ? std::move(field) : withDecimalPoint(field));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

bool isHeadingLine(const std::vector<std::string>& fields) {
    return fields.size() >= 2 && std::none_of(fields.begin(), fields.end(), [](const auto& f) {
               return f.empty() || startsNumeric(f) || pastedStepText(f).has_value();
           });
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.append(1, '"').append(text).append(1, '"');
    return out;
}

std::string rowPrefix(int row) {
    return "Row " + std::to_string(row) + ": ";
}

/// Writes a pasted step field into row r, or says why it was not used.
void pasteStep(ProfileTable& table, int r, const std::string& field, PasteOutcome& out) {
    const std::optional<std::string> step = pastedStepText(field);
    if (!step) {
        out.notes.push_back(rowPrefix(r) + quoted(field) +
                            " is not a step type (Ramp, Dwell or End); the step stays as it was");
        return;
    }
    const bool start = stepCode(*step) == StepCode::Start;
    if (r == 1) {
        if (!start && !step->empty())
            out.notes.push_back(rowPrefix(r) + quoted(field) +
                                " is not used: row 1 is always the start");
        return;
    }
    if (start) {
        out.notes.push_back(rowPrefix(r) + quoted(field) + " is not used: only row 1 is the start");
        return;
    }
    table.setCell(r, kColStep, *step);
}

/// One field of the block, or the single field spread over the whole target.
const std::string& fieldAt(const PasteBlock& block, bool spread, size_t i, size_t j) {
    return spread ? block.rows[0][0] : block.rows[i][j];
}

} // namespace

CellRange selectedRange(const GridSelection& sel, const ProfileTable& table) {
    const int lastRow = std::max(1, table.rowCount() - 1);
    const auto row = [&](int r) { return std::clamp(r, 1, lastRow); };
    const auto col = [](int c) { return std::clamp(c, kColStep, kColTime); };
    return {row(std::min(sel.row, sel.rowSel)), col(std::min(sel.col, sel.colSel)),
            row(std::max(sel.row, sel.rowSel)), col(std::max(sel.col, sel.colSel))};
}

std::string copyCells(const ProfileTable& table, const CellRange& range) {
    std::string out;
    for (int r = range.top; r <= range.bottom && r < table.rowCount(); ++r) {
        for (int c = range.left; c <= range.right; ++c) {
            if (c > range.left)
                out += '\t';
            const std::string& text = table.cell(r, c);
            // Step texts carry trailing blanks the grid does not show.
            out += c == kColStep ? text.substr(0, text.find_last_not_of(' ') + 1) : text;
        }
        out += '\n';
    }
    return out;
}

bool clearNumbers(ProfileTable& table, const CellRange& range) {
    bool changed = false;
    for (int r = range.top; r <= range.bottom && r < table.rowCount(); ++r)
        for (int c = std::max(range.left, kColTemp); c <= range.right; ++c)
            if (!table.cell(r, c).empty()) {
                table.setCell(r, c, {});
                changed = true;
            }
    return changed;
}

PasteBlock parsePasteText(std::string_view text, long long maxRows) {
    PasteBlock block;
    const char separator = separatorOf(text);
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        const std::string_view line = text.substr(start, end - start);
        start = end == std::string_view::npos       ? text.size()
                : text.compare(end, 2, "\r\n") == 0 ? end + 2
                                                    : end + 1;
        if (static_cast<long long>(block.rows.size()) >= maxRows) {
            ++block.rowsLeftOut;
            continue;
        }
        std::vector<std::string> fields = splitFields(line, separator);
        if (first && isHeadingLine(fields))
            block.headerSkipped = true;
        else
            block.rows.push_back(std::move(fields));
        first = false;
    }
    return block;
}

std::optional<std::string> pastedStepText(std::string_view field) {
    const std::string word = lowered(trimmed(field));
    if (word.empty())
        return std::string();
    struct Step {
        std::array<std::string_view, 3> names;
        std::string_view text;
    };
    static constexpr std::array<Step, 4> kSteps = {{
        {{"s", "start", "start temp"}, kStartTempText},
        {{"r", "ramp", "ramp to temp"}, kRampText},
        {{"d", "dwell", "dwell at temp"}, kDwellText},
        {{"e", "end", "end temp"}, kEndTempText},
    }};
    for (const Step& step : kSteps)
        if (std::find(step.names.begin(), step.names.end(), word) != step.names.end())
            return std::string(step.text);
    return std::nullopt;
}

PasteOutcome pasteBlock(ProfileTable& table, const CellRange& target, const PasteBlock& block,
                        int maxDataRows) {
    PasteOutcome out;
    if (block.rows.empty())
        return out;
    const bool spread = block.rows.size() == 1 && block.rows[0].size() == 1 &&
                        (target.bottom > target.top || target.right > target.left);
    const size_t rows =
        spread ? static_cast<size_t>(target.bottom - target.top + 1) : block.rows.size();
    bool extraFields = false;
    for (size_t i = 0; i < rows; ++i) {
        const int r = target.top + static_cast<int>(i);
        if (r > maxDataRows && r >= table.rowCount()) {
            out.rowsLeftOut = static_cast<long long>(rows - i);
            break;
        }
        while (r >= table.rowCount()) {
            insertRow(table);
            ++out.rowsAdded;
        }
        const size_t fields =
            spread ? static_cast<size_t>(target.right - target.left + 1) : block.rows[i].size();
        for (size_t j = 0; j < fields; ++j) {
            const int c = target.left + static_cast<int>(j);
            const std::string& field = fieldAt(block, spread, i, j);
            if (c > kColTime)
                extraFields = extraFields || !field.empty();
            else if (c == kColStep)
                pasteStep(table, r, field, out);
            else
                table.setCell(r, c, field);
        }
    }
    out.rowsLeftOut += block.rowsLeftOut;
    if (extraFields)
        out.notes.push_back("Fields after the time column are left out");
    return out;
}

} // namespace kvh::core
