#pragma once
// The profile grid and the clipboard, as a spreadsheet user expects them: selected cells go
// out as tab-separated text, and a block of text from a spreadsheet or a text editor comes in
// at the highlighted cell. Row 1 stays the start whatever is pasted over it.

#include "profile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvh::core {

/// A rectangle of data cells: rows top..bottom, columns left..right (1 to 3), both inclusive.
struct CellRange {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;
    bool operator==(const CellRange&) const = default;
};

/// The rectangle a selection covers, its corners in any order, kept to the data rows of
/// `table` and to columns 1 to 3.
CellRange selectedRange(const GridSelection& sel, const ProfileTable& table);

/// The cells of `range` as text for a spreadsheet: one line a row, each ending in "\n",
/// fields separated by tabs, step texts as shown (without their trailing blanks), numbers as
/// they stand.
std::string copyCells(const ProfileTable& table, const CellRange& range);

/// Empties the temperature and time cells of `range` (Delete, and what Cut takes away); the
/// step types stay. Returns whether a cell changed.
bool clearNumbers(ProfileTable& table, const CellRange& range);

/// A pasted text split into rows of fields.
struct PasteBlock {
    /// The rows, each a list of fields: blanks around a field and the quotes a spreadsheet
    /// puts around one are taken off, decimal commas are turned into points.
    std::vector<std::vector<std::string>> rows;
    /// Lines of the text after the last row kept (parsePasteText's limit).
    long long rowsLeftOut = 0;
    /// The first line was a line of column headings and was not kept.
    bool headerSkipped = false;
};

/// Splits a pasted text into rows and fields. Lines end at CR LF, LF or CR; a last empty line
/// is no row. Fields are separated by tabs when the text holds a tab, else by semicolons when
/// it holds one, else by commas. With tabs or semicolons, a number written with a decimal comma
/// ("150,5", "1.250,5") is read with a point ("150.5", "1250.5"). A first line of two or more
/// fields, none of them a number, a step or empty, is taken for column headings and skipped.
/// At most `maxRows` rows are kept; the rest are counted in rowsLeftOut.
PasteBlock parsePasteText(std::string_view text, long long maxRows);

/// The step text a pasted step field stands for: the step texts, their first letters (S, R, D,
/// E) and the words Start, Ramp, Dwell and End, in any case, give the texts the editor writes;
/// an empty field gives "". Anything else is no step.
std::optional<std::string> pastedStepText(std::string_view field);

/// What a paste did beyond the cells it wrote.
struct PasteOutcome {
    int rowsAdded = 0;
    /// Rows of the block beyond the last row a profile may have, which were not pasted.
    long long rowsLeftOut = 0;
    /// Fields that were not used, one note each: `Row 4: "Heat" is not a step type ...`.
    std::vector<std::string> notes;
};

/// Pastes `block` with its first field at the top left cell of `target`: each line into one
/// row from that column on, rows added at the bottom as needed, up to `maxDataRows` data rows.
/// A single field pasted over a larger target fills every cell of it. Step fields go through
/// pastedStepText; a field that names no step, a step other than the start in row 1 and the
/// start in any other row leave the step as it was and are noted; fields beyond the time
/// column are left out and noted once. Numbers go in as they are written.
PasteOutcome pasteBlock(ProfileTable& table, const CellRange& target, const PasteBlock& block,
                        int maxDataRows);

} // namespace kvh::core
