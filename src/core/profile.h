#pragma once
// The process profile: a table of text cells (header row 0, label column 0, then step type,
// temperature and time), the step codes, the editing rules behind the grid, and the unit
// conversion of a whole column. The cells are the data; nothing here validates them.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kvh::core {

inline constexpr int kColumnCount = 4;
inline constexpr int kInitialRows = 11;
inline constexpr int kColLabel = 0;
inline constexpr int kColStep = 1;
inline constexpr int kColTemp = 2;
inline constexpr int kColTime = 3;
/// Column widths in twips; the grid is 4780 twips wide, 5030 once rows have been appended.
inline constexpr std::array<int, kColumnCount> kColumnWidths = {500, 2000, 1100, 1100};
inline constexpr int kGridWidth = 4780;
inline constexpr int kGridWidthWide = 5030;

inline constexpr std::string_view kStepTypeHeader = "Step Type";
/// Step texts as start-up and the editor write them (trailing blanks included).
inline constexpr std::string_view kStartTempText = "Start Temp   ";
inline constexpr std::string_view kRampText = "Ramp to Temp";
inline constexpr std::string_view kDwellText = "Dwell at Temp";
inline constexpr std::string_view kEndTempText = "End Temp    ";
/// Step texts as Open writes them (no trailing blanks).
inline constexpr std::string_view kStartTempFileText = "Start Temp";
inline constexpr std::string_view kEndTempFileText = "End Temp";

/// A row's step code: the first character of its step text.
enum class StepCode { None, Start, Ramp, Dwell, End };
StepCode stepCode(std::string_view stepText);

/// Row label of data row i: the number with one leading blank (" 1", " 11").
std::string rowLabel(int row);

/// The profile grid's content. Row 0 holds the headers, column 0 the row labels.
class ProfileTable {
public:
    using Row = std::array<std::string, kColumnCount>;

    /// The table as start-up lays it out: 11 rows, headers, labels, "Start Temp   " in row 1.
    static ProfileTable initial(std::string_view tempHeader, std::string_view timeHeader);

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const std::string& cell(int row, int col) const;
    void setCell(int row, int col, std::string text);
    /// What a run reads of a row, kept as its cells are set: a run reads every row, an edit
    /// changes one, and these few bytes a row stay in the cache where the texts would not.
    struct RowValues {
        StepCode step = StepCode::None; ///< stepCode of the step cell
        double temp = 0.0;              ///< numericValue of the temperature cell
        double time = 0.0;              ///< numericValue of the time cell
        bool operator==(const RowValues&) const = default;
    };
    const RowValues& values(int row) const { return m_values[static_cast<size_t>(row)]; }
    const Row& row(int r) const { return m_rows[static_cast<size_t>(r)]; }

    /// Appends an empty row labelled with its number; returns its index.
    int appendRow();
    /// Sets the row count; new rows are empty (no label), removed rows are dropped.
    void setRowCount(int rows);
    /// Room for `rows` rows, so appending that many moves no row.
    void reserveRows(size_t rows) {
        m_rows.reserve(rows);
        m_values.reserve(rows);
    }
    /// Every cell empty and only the header row left (Open starts from this).
    void clearAll();
    /// Inserts `count` empty, unlabelled rows before row `at` (1 to rowCount()).
    void insertEmptyRows(int at, int count);
    /// Removes rows [first, first + count).
    void removeRows(int first, int count);

    int gridWidthTwips() const { return m_gridWidth; }
    void setGridWidthTwips(int twips) { m_gridWidth = twips; }

    bool operator==(const ProfileTable&) const = default;

private:
    std::vector<Row> m_rows{Row{}};
    std::vector<RowValues> m_values{RowValues{}}; ///< beside m_rows, row for row
    int m_gridWidth = kGridWidth;
};

// ---- Editing rules behind the grid -------------------------------------------------------

/// What the "Clear Row or Column" button clears when pressed.
enum class ClearTarget { None, Row, Column };

/// The button's tag property as the window shows it: "1" row, "0" column, "" never armed.
constexpr std::string_view clearTag(ClearTarget target) {
    return target == ClearTarget::Row ? "1" : target == ClearTarget::Column ? "0" : "";
}

/// The "Clear Row or Column" button: caption, what it was last armed for, enabled.
struct ClearButton {
    std::string caption{"Clear Row or Column"};
    ClearTarget target = ClearTarget::None;
    bool enabled = false;
    bool operator==(const ClearButton&) const = default;
};
inline constexpr std::string_view kClearIdleCaption = "Clear Row or Column";
inline constexpr std::string_view kClearRowCaption = "Clear Entire Row";
inline constexpr std::string_view kClearColumnCaption = "Clear Entire Column";
inline constexpr std::string_view kInsertRowCaption = "Insert a Row";

/// The grid's current cell and the far corner of its selection, after a click.
struct GridSelection {
    int row = 1;
    int col = 1;
    int rowSel = 1;
    int colSel = 1;
};

/// What a click on the grid asks of the view.
enum class ClickOutcome {
    Nothing,    ///< a block selection, or the start row's step cell: only the editor is hidden
    StepCycled, ///< the step type cell was advanced
    OpenEditor, ///< open the overlay editor on the current cell (its text may have been set)
};

/// Arms the clear button for a selection of several cells within one row ("Clear Entire Row")
/// or within one column ("Clear Entire Column"); a single cell or a block leaves it as it was.
/// A gesture that only selects (a row label, a column header, Shift with a click or an arrow)
/// does this and nothing else: selecting never edits.
void armClearButton(ClearButton& clear, const GridSelection& sel);

/// A click on a data cell: arms the clear button for a row or column selection, cycles the step
/// type in column 1, or fills an end step's empty time with "0" before the editor opens.
ClickOutcome gridClick(ProfileTable& table, ClearButton& clear, const GridSelection& sel);

/// The step cycle on a click of row r's Step Type cell: empty/End -> Ramp -> Dwell -> End.
/// A new dwell with an empty temperature takes the row above's temperature. Row 1 never
/// changes. Returns whether anything changed.
bool cycleStep(ProfileTable& table, int row);

/// "Clear Row or Column": clears the row or column of the current cell (the start step in row 1
/// survives) and disarms the button.
void clearRowOrColumn(ProfileTable& table, ClearButton& clear, int currentRow, int currentCol);

/// "Insert a Row": widens the grid and appends a labelled row; returns the new row's index.
int insertRow(ProfileTable& table);
/// Inserts an empty row at `row` (2 to rowCount(): the start row stays row 1), widens the grid
/// and renumbers the labels below. Returns false, changing nothing, for any other row.
bool insertRowAt(ProfileTable& table, int row);
/// Deletes `count` rows from `first` (2 or more: the start row stays) and renumbers the labels
/// below. Returns false, changing nothing, when the rows are not all there.
bool deleteRows(ProfileTable& table, int first, int count);

// ---- Unit conversion ----------------------------------------------------------------------

/// Converts every filled temperature cell into the selected unit, assuming the other unit:
/// to Celsius ((T-32)*5)/9 or to Fahrenheit ((T*9)/5)+32, written "###0.00".
void convertTemperatures(ProfileTable& table, bool toCelsius);
/// Converts every filled time cell: to hours t/60 ("###0.000") or to minutes t*60 ("###0.0").
void convertTimes(ProfileTable& table, bool toHours);

} // namespace kvh::core
