#include "dew_file.h"

#include "cp1252.h"
#include "doubtful.h"
#include "file_io.h"
#include "numbers.h"
#include "shown_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <optional>
#include <utility>

namespace kvh::core {

namespace {

constexpr const char* kCrLf = "\r\n";
/// The lines before the profile rows: the two section headers and the five setup keys.
constexpr int kSetupLines = 7;
constexpr const char* kTooLarge = "The file is larger than 16 MiB.";
constexpr const char* kTooManyRows = "The file holds more than 100,000 profile rows.";
constexpr const char* kCaseTooLarge =
    "The case takes more than 16 MiB as a file, which Open refuses.";
constexpr const char* kCaseTooManyRows =
    "The case has more than 100,000 profile rows, which Open refuses.";
constexpr const char* kNoMemory = "There is not enough memory.";

std::string twoButtonValue(const OptionGroup<2>& group) {
    return group.isSelected(0) ? "0" : "1";
}

/// A setup choice as Save writes it: its index, or nothing when no button is chosen.
template <int N> std::string choiceValue(const OptionGroup<N>& group) {
    const int i = group.selectedIndex();
    return i >= 0 ? std::to_string(i) : std::string();
}

/// Whether a key line holds nothing after its "=" but blanks: "Tracer Type = ".
bool valueIsBlank(std::string_view field) {
    const size_t equals = field.find('=');
    return equals != std::string_view::npos &&
           field.find_first_not_of(" \t", equals + 1) == std::string_view::npos;
}

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

constexpr const char* kUnsavableIntro =
    "These cells would not open again as they stand; correct them, then save:";
/// Cells named one by one in the refusal; the rest are counted.
constexpr size_t kUnsavableListed = 20;

/// Why a temperature or time cell cannot be written as one field Open reads back, or null.
const char* fieldFault(std::string_view text, double value) {
    if (text.find(',') != std::string_view::npos)
        return "holds a comma, which the file would take as the end of the field";
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return "holds a line break, which the file would take as the end of the line";
    if (!std::isfinite(value))
        return "holds a number too large for the file to read back";
    return nullptr;
}

/// Why a step text's first character, the one Save writes, would not come back, or null.
const char* stepFault(char first) {
    switch (first) {
    case ' ':
        return "begins with a blank, which the file would drop";
    case ',':
        return "begins with a comma, which the file would take as the end of the field";
    case '\r':
    case '\n':
        return "begins with a line break, which the file would take as the end of the line";
    default:
        return nullptr;
    }
}

/// A cell's text in a message: line breaks shown as \r and \n, long texts cut (between two
/// UTF-8 characters).
std::string shownCellText(std::string_view text) {
    size_t cut = std::min<size_t>(text.size(), 40);
    while (cut < text.size() && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    std::string shown;
    for (const char ch : text.substr(0, cut))
        shown += ch == '\r'   ? std::string("\\r")
                 : ch == '\n' ? std::string("\\n")
                              : std::string(1, ch);
    return cut < text.size() ? shown + "..." : shown;
}

std::string columnName(const ProfileTable& t, int col) {
    constexpr std::array<const char*, kColumnCount> kNames = {"Label", "Step Type", "Temperature",
                                                              "Time"};
    const std::string& header = t.cell(0, col);
    return header.empty() ? kNames[static_cast<size_t>(col)] : header;
}

/// The first character of a UTF-8 text (one code point), or "" for the empty text. Only
/// continuation bytes join the lead byte, so a broken sequence never takes a comma or a line
/// end along into the file.
std::string firstCharacter(const std::string& text) {
    if (text.empty())
        return {};
    size_t len = 1;
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead >= 0xF0)
        len = 4;
    else if (lead >= 0xE0)
        len = 3;
    else if (lead >= 0xC0)
        len = 2;
    size_t end = 1;
    while (end < std::min(len, text.size()) &&
           (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return text.substr(0, end);
}

/// Reads the file as a sequence of fields: a field ends at a comma or a line end (CR LF, LF
/// or CR), blanks at its start are skipped, an empty line is one empty field.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    int line() const { return m_line; }

    std::string_view next() {
        while (m_pos < m_bytes.size() && m_bytes[m_pos] == ' ')
            ++m_pos;
        const size_t start = m_pos;
        while (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && m_bytes[m_pos] != '\r' &&
               m_bytes[m_pos] != '\n')
            ++m_pos;
        const std::string_view field = m_bytes.substr(start, m_pos - start);
        if (m_pos < m_bytes.size()) {
            const char end = m_bytes[m_pos++];
            if (end == '\r' && m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
                ++m_pos;
            if (end != ',')
                ++m_line;
        }
        return field;
    }

private:
    std::string_view m_bytes;
    size_t m_pos = 0;
    int m_line = 1;
};

std::string stepTextForCode(char code) {
    switch (code) {
    case 'S':
        return std::string(kStartTempFileText);
    case 'R':
        return std::string(kRampText);
    case 'D':
        return std::string(kDwellText);
    case 'E':
        return std::string(kEndTempFileText);
    default:
        return {};
    }
}

/// Lines as the reader counts them: CR LF, LF and a lone CR each end one.
std::ptrdiff_t lineCount(std::string_view bytes) {
    std::ptrdiff_t lines = std::count(bytes.begin(), bytes.end(), '\n');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            ++lines;
    return lines;
}

std::string shortened(std::string_view field) {
    // Control characters and the bytes the character set leaves unused would vanish from a
    // notice (or cut it, a NUL): they are shown escaped.
    std::string text = escapeControls(cp1252ToUtf8(field.substr(0, 40)));
    return field.size() > 40 ? text + "..." : text;
}

} // namespace

bool hasDewSuffix(std::string_view name) {
    if (name.size() < kDewSuffix.size())
        return false;
    const std::string_view end = name.substr(name.size() - kDewSuffix.size());
    return std::equal(end.begin(), end.end(), kDewSuffix.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

std::string writeDew(const Case& c) {
    const SetupState& s = c.setup;
    std::string out;
    out += "[Setup]";
    out += kCrLf;
    out += "Temp Units = " + twoButtonValue(s.tempUnit()) + kCrLf;
    out += "Time Units = " + twoButtonValue(s.timeUnit()) + kCrLf;
    // "Davar Model": the key's spelling belongs to the file format, not a typing slip.
    out += "Davar Model = " + choiceValue(s.model()) + kCrLf;
    out += "Tracer Type = " + choiceValue(s.tracer()) + kCrLf;
    out += "Environment = " + choiceValue(s.environ()) + kCrLf;
    out += "[Data]";
    out += kCrLf;
    const ProfileTable& t = c.profile;
    for (int r = 1; r < t.rowCount(); ++r) {
        const std::string& step = t.cell(r, kColStep);
        if (step.empty())
            continue;
        out += firstCharacter(step) + "," + t.cell(r, kColTemp) + "," + t.cell(r, kColTime) + kCrLf;
    }
    return utf8ToCp1252(out);
}

std::vector<UnsavableCell> unsavableCells(const Case& c) {
    std::vector<UnsavableCell> cells;
    const ProfileTable& t = c.profile;
    for (int r = 1; r < t.rowCount(); ++r) {
        const std::string& step = t.cell(r, kColStep);
        if (step.empty())
            continue;
        if (const char* why = stepFault(step[0]))
            cells.push_back({r, kColStep, step, why});
        const ProfileTable::RowValues& values = t.values(r);
        for (const auto& [col, value] :
             {std::pair{kColTemp, values.temp}, std::pair{kColTime, values.time}})
            if (const char* why = fieldFault(t.cell(r, col), value))
                cells.push_back({r, col, t.cell(r, col), why});
    }
    return cells;
}

std::string unsavableCellsMessage(const Case& c) {
    const std::vector<UnsavableCell> cells = unsavableCells(c);
    if (cells.empty())
        return {};
    std::string text = kUnsavableIntro;
    for (size_t i = 0; i < std::min(cells.size(), kUnsavableListed); ++i) {
        const UnsavableCell& cell = cells[i];
        text += "\nRow " + std::to_string(cell.row) + ", " + columnName(c.profile, cell.col) +
                ": \"" + shownCellText(cell.text) + "\" " + cell.reason + ".";
    }
    if (cells.size() > kUnsavableListed)
        text += "\n... and " + std::to_string(cells.size() - kUnsavableListed) + " more.";
    return text;
}

namespace {

using Group = DewSelect::Group;

/// The setup line `field` stands for, or nothing for a profile row. Only the first four
/// characters name the key; a section header carries nothing (`isHeader`).
std::optional<DewSelect> setupLine(std::string_view field, bool& isHeader) {
    const std::string_view key = field.substr(0, 4);
    const char last = field.back();
    // Selecting a button deselects the other of its pair: a value other than 0 reads as 1.
    const int pairValue = last == '0' ? 0 : 1;
    // A setup choice saved before it was made: the group stays unchosen.
    const auto choice = [&] { return valueIsBlank(field) ? DewSelect::kNone : pairValue; };
    isHeader = key == "[Dat" || key == "[Set";
    if (key == "Temp")
        return DewSelect{Group::TempUnit, pairValue};
    if (key == "Time")
        return DewSelect{Group::TimeUnit, pairValue};
    // The model key's spelling, "Davar Model", belongs to the file format; a key beginning
    // "Dewe" is read as the same key.
    if (key == "Dewe" || key == "Dava")
        return DewSelect{Group::Model, valueIsBlank(field)          ? DewSelect::kNone
                                       : last >= '0' && last <= '9' ? last - '0'
                                                                    : 0};
    if (key == "Trac")
        return DewSelect{Group::Tracer, choice()};
    if (key == "Envi")
        return DewSelect{Group::Environ, choice()};
    return std::nullopt;
}

/// Reads the temperature and time fields of the profile row that began with `field` on
/// `line`, noting doubtful ones; the refusal when the file ends first or a number is too large.
std::optional<DewError> readRowFields(FieldReader& reader, int line, std::string_view field,
                                      DewRow& row, std::vector<std::string>& notices) {
    std::array<std::string, 2> values;
    for (size_t k = 0; k < values.size(); ++k) {
        const int fieldLine = reader.line();
        if (reader.atEnd())
            return DewError{"Line " + std::to_string(line) + ": the profile row \"" +
                            shortened(field) + "\" ends before its temperature and time."};
        const std::string_view text = reader.next();
        const double number = numericValue(text);
        if (!std::isfinite(number))
            return DewError{"Line " + std::to_string(line) + ": the number \"" + shortened(text) +
                            "\" is too large."};
        values[k] = plainNumberText(number);
        // The grid's rule: an end step's empty time, as Save writes it, is fine.
        const int col = k == 0 ? kColTemp : kColTime;
        if (isBlankText(text) ? emptyIsDoubtful(stepCode(row.step), col) : !readsWhole(text))
            notices.push_back(doubtfulFieldNotice(fieldLine, col, text, shortened(text)));
    }
    row.temp = std::move(values[0]);
    row.time = std::move(values[1]);
    row.hasFields = true;
    return std::nullopt;
}

/// The profile row that began with `field` on `line`: a row whose first field begins with a
/// blank (an empty line among them) has no fields to read.
std::variant<DewRow, DewError> readRow(FieldReader& reader, int line, std::string_view field,
                                       std::vector<std::string>& notices) {
    DewRow row;
    row.step = stepTextForCode(field[0]);
    if (field[0] == ' ')
        return row;
    if (row.step.empty())
        notices.push_back(unknownStepNotice(line, shortened(field)));
    if (auto error = readRowFields(reader, line, field, row, notices))
        return std::move(*error);
    return row;
}

} // namespace

std::variant<DewParse, DewError> parseDew(std::string_view bytes) {
    if (bytes.size() > kMaxDewFileBytes)
        return DewError{kTooLarge};
    // Editors may begin a file with one; it would hide the first key.
    if (bytes.starts_with(kUtf8ByteOrderMark))
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    DewParse parsed;
    // One item a line at most: reserving them spares the moves of a growing list.
    const auto lines = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    parsed.items.reserve(std::min<size_t>(lines + 1, kMaxProfileRows + 16));
    int rows = 0;
    FieldReader reader(bytes);
    while (!reader.atEnd()) {
        const int line = reader.line();
        std::string_view field = reader.next();
        if (field.empty())
            field = "      ";
        bool isHeader = false;
        if (std::optional<DewSelect> select = setupLine(field, isHeader)) {
            parsed.items.emplace_back(*select);
            continue;
        }
        if (isHeader)
            continue;
        if (++rows > kMaxProfileRows)
            return DewError{kTooManyRows};
        auto row = readRow(reader, line, field, parsed.notices);
        if (auto* error = std::get_if<DewError>(&row))
            return std::move(*error);
        parsed.items.emplace_back(std::move(std::get<DewRow>(row)));
    }
    return parsed;
}

namespace {

/// Chooses button `value` of the group, or none for kNone.
void applySelect(Case& c, const DewSelect& sel) {
    SetupState& s = c.setup;
    const bool none = sel.value == DewSelect::kNone;
    switch (sel.group) {
    case Group::TempUnit:
        c.selectTempUnit(sel.value);
        break;
    case Group::TimeUnit:
        c.selectTimeUnit(sel.value);
        break;
    case Group::Model:
        if (none) {
            s.clearModel();
            break;
        }
        for (int i = 0; i < kModelCount; ++i) {
            if (i == sel.value)
                s.selectModel(i);
            else
                s.deselectModel(i);
        }
        break;
    case Group::Tracer:
        none ? s.clearTracer() : s.selectTracer(sel.value);
        break;
    case Group::Environ:
        none ? s.clearEnviron() : s.selectEnviron(sel.value);
        break;
    }
}

void appendRow(ProfileTable& t, const DewRow& row) {
    const int r = t.appendRow();
    t.setCell(r, kColStep, row.step);
    if (row.hasFields) {
        t.setCell(r, kColTemp, row.temp);
        t.setCell(r, kColTime, row.time);
    }
}

/// The table as a case shows it: at least the initial rows, each labelled, the wide grid once
/// rows were added, the headers for the units chosen.
void completeTable(ProfileTable& t, const SetupState& s) {
    const int labelled = t.rowCount(); // appendRow labels the rows it adds
    if (t.rowCount() < kInitialRows)
        t.setRowCount(kInitialRows);
    if (t.rowCount() >= kInitialRows + 1)
        t.setGridWidthTwips(kGridWidthWide);
    for (int r = std::max(labelled, 1); r < t.rowCount(); ++r)
        t.setCell(r, kColLabel, rowLabel(r));
    t.setCell(0, kColStep, std::string(kStepTypeHeader));
    t.setCell(0, kColTemp, s.tempHeader());
    t.setCell(0, kColTime, s.timeHeader());
}

} // namespace

void applyDew(Case& c, const DewParse& parsed) {
    c.profile.clearAll();
    c.profile.reserveRows(std::max<size_t>(parsed.items.size() + 1, kInitialRows));
    c.setup = SetupState{};
    SetupState& s = c.setup;
    std::optional<int> fileModel; // the last model line's value
    for (const DewItem& item : parsed.items) {
        if (const auto* row = std::get_if<DewRow>(&item)) {
            appendRow(c.profile, *row);
            continue;
        }
        const auto& sel = std::get<DewSelect>(item);
        if (sel.group == Group::Model)
            fileModel = sel.value;
        applySelect(c, sel);
    }
    // The tracer and environment lines follow the model line, and their rules may have put the
    // smallest dewar in its place: the file's barrier is chosen again where it is offered, and
    // a model saved unchosen stays unchosen.
    if (fileModel == DewSelect::kNone)
        s.clearModel();
    else if (fileModel && *fileModel < kModelCount && s.modelVisible(*fileModel))
        s.selectModel(*fileModel);
    completeTable(c.profile, s);
}

std::variant<Case, DewError> openDewFile(const std::string& path, const Case& current,
                                         std::vector<std::string>* notices) try {
    auto bytes = readFileBytes(path, kMaxDewFileBytes);
    if (auto* error = std::get_if<FileError>(&bytes))
        return DewError{error->reason};
    auto parsed = parseDew(std::get<std::string>(bytes));
    if (auto* error = std::get_if<DewError>(&parsed))
        return *error;
    Case next = current;
    const DewParse& file = std::get<DewParse>(parsed);
    applyDew(next, file);
    if (notices)
        notices->insert(notices->end(), file.notices.begin(), file.notices.end());
    return next;
} catch (const std::bad_alloc&) {
    return DewError{kNoMemory, true};
}

std::string saveDewFile(const std::string& path, const Case& c) try {
    if (std::string refusal = unsavableCellsMessage(c); !refusal.empty())
        return refusal;
    const std::string bytes = writeDew(c);
    if (lineCount(bytes) - kSetupLines > kMaxProfileRows)
        return kCaseTooManyRows;
    if (bytes.size() > kMaxDewFileBytes)
        return kCaseTooLarge;
    return writeFileAtomically(path, bytes);
} catch (const std::bad_alloc&) {
    return kNoMemory;
}

} // namespace kvh::core
