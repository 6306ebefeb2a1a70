#include "doubtful.h"

#include "numbers.h"
#include "shown_text.h"

namespace kvh::core {

namespace {

std::string columnName(int col) {
    return col == kColTemp ? "Temp." : "Time";
}
std::string fieldName(int col) {
    return col == kColTemp ? "temperature" : "time";
}
std::string quoted(std::string_view text) {
    return '"' + escapeControls(text) + '"';
}
std::string readAs(std::string_view text) {
    return plainNumberText(numericValue(text));
}

/// Why a cell is doubtful; "" when it is not. `tip` receives the cell's own short note.
std::string cellReason(const ProfileTable& table, int r, int col, std::string& tip) {
    const std::string& text = table.cell(r, col);
    const StepCode code = stepCode(table.cell(r, kColStep));
    const bool blank = isBlankText(text);
    if (code == StepCode::None && numericValue(text) != 0) {
        tip = col == kColTime ? "The row has no step type: it is skipped, but its time counts"
                              : "Not used: the row has no step type";
        return quoted(text) + (col == kColTime ? " counts as time, but the row has no step type"
                                               : " is not used: the row has no step type");
    }
    if (blank) {
        if (!emptyIsDoubtful(code, col))
            return {};
        tip = "Empty: read as 0";
        return "empty, read as 0";
    }
    if (readsWhole(text))
        return {};
    tip = "Read as " + readAs(text);
    return quoted(text) + " is read as " + readAs(text);
}

} // namespace

bool emptyIsDoubtful(StepCode step, int col) {
    return step != StepCode::None && (col == kColTemp || step == StepCode::Dwell);
}

void appendDoubtfulCells(const ProfileTable& table, int r, std::vector<DoubtfulCell>& cells) {
    for (const int col : {kColTemp, kColTime}) {
        std::string tip;
        const std::string reason = cellReason(table, r, col, tip);
        if (!reason.empty())
            cells.push_back(
                {r, col, "Row " + std::to_string(r) + ", " + columnName(col) + ": " + reason, tip});
    }
}

std::vector<DoubtfulCell> findDoubtfulCells(const ProfileTable& table) {
    std::vector<DoubtfulCell> cells;
    for (int r = 1; r < table.rowCount(); ++r)
        appendDoubtfulCells(table, r, cells);
    return cells;
}

std::string doubtfulFieldNotice(int line, int col, std::string_view field, std::string_view shown) {
    const std::string prefix = "Line " + std::to_string(line) + ": ";
    if (isBlankText(field))
        return prefix + "the " + fieldName(col) + " is empty and read as 0";
    if (readsWhole(field))
        return {};
    return prefix + quoted(shown) + " is read as " + readAs(field);
}

std::string unknownStepNotice(int line, std::string_view shown) {
    return "Line " + std::to_string(line) + ": " + quoted(shown) +
           " has no step type (S, R, D or E); the row is kept without one and skipped";
}

} // namespace kvh::core
