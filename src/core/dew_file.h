#pragma once
// The ".dew" model file: an INI-like text of five setup keys and the profile rows, CR LF line
// ends, bytes in the Windows Western 8-bit character set. The reader parses the whole file
// before anything is applied, so a refused file changes nothing.

#include "case.h"
// The file reading and saving and the 8-bit codec the format is written with, for its users.
#include "cp1252.h"
#include "file_io.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvh::core {

/// Files larger than this are refused without reading them.
inline constexpr std::size_t kMaxDewFileBytes = 16u * 1024u * 1024u;
/// Files with more profile rows are refused before the rows are stored. A row Open reads is
/// written back in well under 100 bytes, so every case Open makes can be saved and read again.
inline constexpr int kMaxProfileRows = 100'000;

/// The ending of a case file's name, and the pattern that finds the cases of a folder.
inline constexpr std::string_view kDewSuffix = ".dew";
inline constexpr std::string_view kDewPattern = "*.dew";

/// Whether `name` ends in ".dew" in any mix of case ("ANNEAL.DEW" is a case file too).
bool hasDewSuffix(std::string_view name);

inline constexpr std::string_view kDewFilter =
    "High Temp Dewar file '*.dew'|*.dew|All Files '*.*'|*.*";

/// The exact bytes Save writes for a case. A group with no choice is written with nothing
/// after "= " (the two unit groups always have one).
std::string writeDew(const Case& c);

/// A cell of a row Save writes that would not come back from Open as it stands: the fields of
/// the format end at a comma or a line end, and Open refuses a number beyond double range.
struct UnsavableCell {
    int row = 0;
    int col = 0;
    std::string text;   ///< the cell's text
    std::string reason; ///< "holds a comma", ...
    bool operator==(const UnsavableCell&) const = default;
};

/// Every such cell, in row and column order.
std::vector<UnsavableCell> unsavableCells(const Case& c);

/// The message that refuses Save for these cells, naming each (the first few when there are
/// many); "" when there is none.
std::string unsavableCellsMessage(const Case& c);

/// One instruction of a parsed file, applied in file order.
struct DewSelect {
    enum class Group { TempUnit, TimeUnit, Model, Tracer, Environ } group;
    /// 0/1 for the two-button groups, 0..9 for the model; kNone for a model, tracer or
    /// environment line with nothing but blanks after its "=": the group stays unchosen.
    int value;
    static constexpr int kNone = -1;
};
struct DewRow {
    std::string step; ///< "Start Temp", "Ramp to Temp", "Dwell at Temp", "End Temp" or ""
    std::string temp; ///< plain number text, or "" when the row has no fields (an empty line)
    std::string time;
    bool hasFields = false;
};
using DewItem = std::variant<DewSelect, DewRow>;

struct DewParse {
    std::vector<DewItem> items;
    /// Profile fields the reader took only in part, or found empty, and lines without a step
    /// letter: `Line 9: "4OO" is read as 4`. The file still opens.
    std::vector<std::string> notices;
};
struct DewError {
    std::string reason;
    bool noMemory = false; ///< the file could not be read for a lack of memory
};

/// Parses file bytes without touching any case. A UTF-8 byte-order mark at the start is skipped.
std::variant<DewParse, DewError> parseDew(std::string_view bytes);

/// Applies a parsed file to a case exactly as Open does: the setup starts again as at start-up
/// (no model, tracer or environment; degrees Celsius and minutes) and the table is emptied
/// and rebuilt, the selections run in file order with their rules, then at least 11 rows, the
/// wide grid from 12 rows, labels and headers. A file therefore reads the same whatever case
/// it replaces.
void applyDew(Case& c, const DewParse& parsed);

/// Opens a ".dew" file into a copy of `current`: all or nothing, a lack of memory included.
/// The reader's notices, if asked for, are appended to `notices`.
std::variant<Case, DewError> openDewFile(const std::string& path, const Case& current,
                                         std::vector<std::string>* notices = nullptr);

/// Saves a case atomically. A case Open would refuse or read back otherwise (too many rows, too
/// many bytes, unsavable cells) is not written. Returns an empty string on success, else the
/// reason.
std::string saveDewFile(const std::string& path, const Case& c);

} // namespace kvh::core
