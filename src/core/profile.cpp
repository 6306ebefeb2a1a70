#include "profile.h"

#include "numbers.h"

namespace kvh::core {

StepCode stepCode(std::string_view stepText) {
    if (stepText.empty())
        return StepCode::None;
    switch (stepText.front()) {
    case 'S':
        return StepCode::Start;
    case 'R':
        return StepCode::Ramp;
    case 'D':
        return StepCode::Dwell;
    case 'E':
        return StepCode::End;
    default:
        return StepCode::None;
    }
}

std::string rowLabel(int row) {
    std::string label(1, ' ');
    label += std::to_string(row);
    return label;
}

ProfileTable ProfileTable::initial(std::string_view tempHeader, std::string_view timeHeader) {
    ProfileTable t;
    t.setRowCount(kInitialRows);
    t.m_gridWidth = kGridWidth;
    for (int r = 1; r < kInitialRows; ++r)
        t.setCell(r, kColLabel, rowLabel(r));
    t.setCell(0, kColStep, std::string(kStepTypeHeader));
    t.setCell(0, kColTemp, std::string(tempHeader));
    t.setCell(0, kColTime, std::string(timeHeader));
    t.setCell(1, kColStep, std::string(kStartTempText));
    return t;
}

const std::string& ProfileTable::cell(int row, int col) const {
    return m_rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
}

void ProfileTable::setCell(int row, int col, std::string text) {
    std::string& cell = m_rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(col));
    cell = std::move(text);
    RowValues& values = m_values[static_cast<size_t>(row)];
    if (col == kColStep)
        values.step = stepCode(cell);
    else if (col == kColTemp)
        values.temp = numericValue(cell);
    else if (col == kColTime)
        values.time = numericValue(cell);
}

int ProfileTable::appendRow() {
    m_rows.emplace_back();
    m_values.emplace_back();
    const int r = rowCount() - 1;
    m_rows.back()[kColLabel] = rowLabel(r);
    return r;
}

void ProfileTable::setRowCount(int rows) {
    const auto count = static_cast<size_t>(rows < 1 ? 1 : rows);
    m_rows.resize(count);
    m_values.resize(count);
}

void ProfileTable::clearAll() {
    m_rows.assign(1, Row{});
    m_values.assign(1, RowValues{});
}

void ProfileTable::insertEmptyRows(int at, int count) {
    m_rows.insert(m_rows.begin() + at, static_cast<size_t>(count), Row{});
    m_values.insert(m_values.begin() + at, static_cast<size_t>(count), RowValues{});
}

void ProfileTable::removeRows(int first, int count) {
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + first + count);
    m_values.erase(m_values.begin() + first, m_values.begin() + first + count);
}

// ---- Editing ---------------------------------------------------------------------------------

void armClearButton(ClearButton& clear, const GridSelection& sel) {
    const bool severalCols = sel.colSel != sel.col;
    const bool severalRows = sel.rowSel != sel.row;
    if (severalCols && !severalRows)
        clear = {std::string(kClearRowCaption), ClearTarget::Row, true};
    else if (severalRows && !severalCols)
        clear = {std::string(kClearColumnCaption), ClearTarget::Column, true};
}

ClickOutcome gridClick(ProfileTable& table, ClearButton& clear, const GridSelection& sel) {
    if (sel.colSel != sel.col && sel.rowSel != sel.row)
        return ClickOutcome::Nothing; // a block
    armClearButton(clear, sel);
    if (sel.row < 1 || sel.row >= table.rowCount() || sel.col < kColStep)
        return ClickOutcome::Nothing;
    if (sel.col == kColStep)
        return cycleStep(table, sel.row) ? ClickOutcome::StepCycled : ClickOutcome::Nothing;
    // An end step's empty time means "no time": it opens as 0.
    const std::string& step = table.cell(sel.row, kColStep);
    if (sel.col == kColTime && sel.row >= 2 && step.starts_with("End") &&
        table.cell(sel.row, kColTime).empty())
        table.setCell(sel.row, kColTime, "0");
    return ClickOutcome::OpenEditor;
}

bool cycleStep(ProfileTable& table, int row) {
    if (row < 2 || row >= table.rowCount())
        return false;
    const std::string step = table.cell(row, kColStep);
    if (step.empty() || step.starts_with("End")) {
        table.setCell(row, kColStep, std::string(kRampText));
    } else if (step == kRampText) {
        table.setCell(row, kColStep, std::string(kDwellText));
        // A dwell holds the temperature the ramp above reached, unless one was entered.
        if (table.cell(row, kColTemp).empty())
            table.setCell(row, kColTemp, table.cell(row - 1, kColTemp));
    } else {
        table.setCell(row, kColStep, std::string(kEndTempText));
    }
    return true;
}

void clearRowOrColumn(ProfileTable& table, ClearButton& clear, int currentRow, int currentCol) {
    if (clear.target == ClearTarget::Column) {
        if (currentCol >= kColStep && currentCol < kColumnCount) {
            const int first = currentCol == kColStep ? 2 : 1; // the start step survives
            for (int r = first; r < table.rowCount(); ++r)
                table.setCell(r, currentCol, std::string());
        }
    } else if (currentRow >= 1 && currentRow < table.rowCount()) {
        const int firstCol = currentRow == 1 ? kColTemp : kColStep;
        for (int c = firstCol; c < kColumnCount; ++c)
            table.setCell(currentRow, c, std::string());
    }
    clear.caption = std::string(kClearIdleCaption);
    clear.enabled = false;
}

int insertRow(ProfileTable& table) {
    table.setGridWidthTwips(kGridWidthWide);
    return table.appendRow();
}

namespace {

void relabelFrom(ProfileTable& table, int first) {
    for (int r = first; r < table.rowCount(); ++r)
        table.setCell(r, kColLabel, rowLabel(r));
}

} // namespace

bool insertRowAt(ProfileTable& table, int row) {
    if (row < 2 || row > table.rowCount())
        return false;
    table.insertEmptyRows(row, 1);
    table.setGridWidthTwips(kGridWidthWide);
    relabelFrom(table, row);
    return true;
}

bool deleteRows(ProfileTable& table, int first, int count) {
    if (first < 2 || count < 1 || first + count > table.rowCount())
        return false;
    table.removeRows(first, count);
    relabelFrom(table, first);
    return true;
}

// ---- Unit conversion ---------------------------------------------------------------------------

void convertTemperatures(ProfileTable& table, bool toCelsius) {
    for (int r = 1; r < table.rowCount(); ++r) {
        const std::string& text = table.cell(r, kColTemp);
        if (text.empty())
            continue;
        const double t = numericValue(text);
        const double v = toCelsius ? ((t - 32.0) * 5.0) / 9.0 : ((t * 9.0) / 5.0) + 32.0;
        table.setCell(r, kColTemp, formatPattern(v, Pattern::TwoDec));
    }
}

void convertTimes(ProfileTable& table, bool toHours) {
    for (int r = 1; r < table.rowCount(); ++r) {
        const std::string& text = table.cell(r, kColTime);
        if (text.empty())
            continue;
        const double t = numericValue(text);
        table.setCell(r, kColTime,
                      toHours ? formatPattern(t / 60.0, Pattern::ThreeDec)
                              : formatPattern(t * 60.0, Pattern::OneDec));
    }
}

} // namespace kvh::core
