#pragma once
// Cells of the profile that the model reads differently from what a user would expect: a text
// that is only partly a number ("4OO" is read as 4), an empty temperature of a step, an empty
// dwell time, and numbers in a row without a step type. The model still reads them by the
// usual rule; these notes tell the user how.

#include "profile.h"

#include <string>
#include <vector>

namespace kvh::core {

/// One doubtful cell and what to tell the user about it.
struct DoubtfulCell {
    int row = 0;
    int col = 0;
    std::string notice; ///< `Row 3, Temp.: "4OO" is read as 4`
    std::string tip;    ///< `Read as 4`, for the cell itself
    bool operator==(const DoubtfulCell&) const = default;
};

/// Every doubtful temperature and time cell of the data rows, row by row, temperature first.
std::vector<DoubtfulCell> findDoubtfulCells(const ProfileTable& table);

/// The doubtful cells of data row `row` alone, appended to `cells` (what one edit can change).
void appendDoubtfulCells(const ProfileTable& table, int row, std::vector<DoubtfulCell>& cells);

/// Whether an empty temperature or time cell (column kColTemp or kColTime) is doubtful in a row
/// of this step: a step's temperature and a dwell's time are read as 0; an end step's or a
/// start's empty time is no time at all. The grid and Open judge by this one rule.
bool emptyIsDoubtful(StepCode step, int col);

/// The note for one number field of a ".dew" profile line (column kColTemp or kColTime), or ""
/// when the field reads cleanly: `Line 9: "4OO" is read as 4`, `Line 9: the time is empty and
/// read as 0`. `field` is judged (an empty one as doubtful: ask emptyIsDoubtful first); `shown` is
/// how the note quotes it (UTF-8, perhaps shortened).
std::string doubtfulFieldNotice(int line, int col, std::string_view field, std::string_view shown);

/// The note for a profile line whose step field starts with no step letter.
std::string unknownStepNotice(int line, std::string_view shown);

} // namespace kvh::core
