#include "recovery.h"

#include "dew_file.h"
#include "file_io.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kvh::core {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNoteHeading = "KVHiTemp recovery copy 1";
constexpr std::string_view kStemPrefix = "case-";
constexpr std::string_view kNoteSuffix = ".note";
constexpr std::string_view kLockSuffix = ".lock";
/// What the atomic writer names its temporary files; a program killed while writing leaves
/// one. Another program may be writing one now: only old ones go.
constexpr std::string_view kTemporaryPrefix = ".kvhitemp-";
constexpr std::int64_t kLeftoverSeconds = 600;
/// A note is a few hundred bytes; anything much larger is not one.
constexpr std::size_t kMaxNoteBytes = 64 * 1024;

constexpr const char* kNotANote = "The note is not a recovery note.";
constexpr const char* kNoteLacks = "The note lacks the line ";
constexpr const char* kBadNumber = "The note has a bad number in the line ";
constexpr const char* kBadCaseName = "The note names a case file outside its copy.";
constexpr const char* kCaseDiffers = "The case file is not the one the note describes.";
constexpr const char* kNoCaseFile = "The copy has no case file.";
constexpr const char* kNoMemory = "There is not enough memory.";

std::string escaped(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        if (ch == '\\')
            out += "\\\\";
        else if (ch == '\n')
            out += "\\n";
        else if (ch == '\r')
            out += "\\r";
        else
            out += ch;
    }
    return out;
}

std::string unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

template <class Int> std::string numberText(Int value, int base = 10) {
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, base);
    return std::string(buf, result.ptr);
}

template <class Int> bool readNumber(std::string_view text, Int& value, int base = 10) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

/// The stem a folder entry belongs to, or "" for a file that is no part of a copy.
std::string stemOf(std::string_view name) {
    if (name.substr(0, kStemPrefix.size()) != kStemPrefix)
        return {};
    return std::string(name.substr(0, name.find('.')));
}

/// The value of each key the note needs, in this order.
struct NoteFields {
    std::string_view file, changed, pid, dew, size, checksum;
};

std::variant<NoteFields, std::string> splitNote(std::string_view text) {
    NoteFields fields;
    const std::pair<std::string_view, std::string_view*> keys[] = {
        {"file", &fields.file}, {"changed", &fields.changed}, {"pid", &fields.pid},
        {"case", &fields.dew},  {"size", &fields.size},       {"fnv1a64", &fields.checksum}};
    bool seen[std::size(keys)] = {};
    std::size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (std::exchange(first, false)) {
            if (line != kNoteHeading)
                return std::string(kNotANote);
            continue;
        }
        const std::size_t eq = line.find('=');
        for (std::size_t k = 0; k < std::size(keys) && eq != std::string_view::npos; ++k)
            if (line.substr(0, eq) == keys[k].first) {
                *keys[k].second = line.substr(eq + 1);
                seen[k] = true;
            }
    }
    if (first)
        return std::string(kNotANote);
    for (std::size_t k = 0; k < std::size(keys); ++k)
        if (!seen[k])
            return kNoteLacks + std::string(keys[k].first) + "=.";
    return fields;
}

/// A ".dew" of the copy `stem` with the number that orders it.
struct DewEntry {
    std::string name;
    std::uint64_t number = 0;
};

std::vector<DewEntry> dewFiles(const std::string& folder, const std::string& stem) {
    std::vector<DewEntry> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (stemOf(name) != stem || !endsWith(name, kDewSuffix))
            continue;
        const std::string_view middle = std::string_view(name).substr(
            stem.size() + 1, name.size() - stem.size() - 1 - kDewSuffix.size());
        DewEntry dew{name};
        if (name.size() > stem.size() + kDewSuffix.size() && readNumber(middle, dew.number))
            out.push_back(std::move(dew));
    }
    std::sort(out.begin(), out.end(),
              [](const DewEntry& a, const DewEntry& b) { return a.number < b.number; });
    return out;
}

} // namespace

std::uint64_t recoveryChecksum(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char ch : bytes) {
        hash ^= static_cast<unsigned char>(ch);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string writeRecoveryNote(const RecoveryNote& note) {
    std::string out(kNoteHeading);
    out += "\nfile=" + escaped(note.casePath);
    out += "\nchanged=" + numberText(note.changed);
    out += "\npid=" + numberText(note.pid);
    out += "\ncase=" + escaped(note.dewName);
    out += "\nsize=" + numberText(note.dewSize);
    out += "\nfnv1a64=" + numberText(note.dewChecksum, 16) + "\n";
    return out;
}

std::variant<RecoveryNote, std::string> parseRecoveryNote(std::string_view text) {
    auto split = splitNote(text);
    if (auto* reason = std::get_if<std::string>(&split))
        return *reason;
    const NoteFields& f = std::get<NoteFields>(split);
    RecoveryNote note;
    note.casePath = unescaped(f.file);
    note.dewName = unescaped(f.dew);
    if (!readNumber(f.changed, note.changed))
        return kBadNumber + std::string("changed=.");
    if (!readNumber(f.pid, note.pid))
        return kBadNumber + std::string("pid=.");
    if (!readNumber(f.size, note.dewSize))
        return kBadNumber + std::string("size=.");
    if (!readNumber(f.checksum, note.dewChecksum, 16))
        return kBadNumber + std::string("fnv1a64=.");
    return note;
}

std::string RecoveryFolder::stemFor(std::int64_t pid, std::int64_t startMs) {
    return std::string(kStemPrefix) + numberText(pid) + "-" + numberText(startMs);
}

std::string RecoveryFolder::lockPath(const std::string& stem) const {
    return path(stem + std::string(kLockSuffix));
}

std::string RecoveryFolder::notePath(const std::string& stem) const {
    return path(stem + std::string(kNoteSuffix));
}

std::string RecoveryFolder::create() const {
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    if (ec)
        return ec.message();
    ::chmod(m_folder.c_str(), 0700); // the user's unsaved work is nobody else's business
    return {};
}

std::string RecoveryFolder::write(const std::string& stem, const Case& c,
                                  const RecoveryNote& about) try {
    return write(stem, writeDew(c), about);
} catch (const std::bad_alloc&) {
    return kNoMemory;
}

std::string RecoveryFolder::write(const std::string& stem, std::string_view bytes,
                                  const RecoveryNote& about) try {
    RecoveryNote note = about;
    do
        note.dewName = stem + "." + numberText(++m_written) + std::string(kDewSuffix);
    while (::access(path(note.dewName).c_str(), F_OK) == 0);
    note.dewSize = bytes.size();
    note.dewChecksum = recoveryChecksum(bytes);
    const std::string noteText = writeRecoveryNote(note);
    if (dewFiles(m_folder, stem).empty()) {
        // A first copy: the note goes first, so a case is never on disk without the name of
        // its file; a note whose case never arrived is no copy (stems() leaves it out).
        if (std::string error = writeFileAtomically(notePath(stem), noteText); !error.empty())
            return error;
        if (std::string error = writeFileAtomically(path(note.dewName), bytes); !error.empty()) {
            ::unlink(notePath(stem).c_str());
            return error;
        }
        return {};
    }
    // Later copies: the new case first, then the note that names it; until then the note
    // still describes the previous case, which is still there.
    if (std::string error = writeFileAtomically(path(note.dewName), bytes); !error.empty())
        return error;
    if (std::string error = writeFileAtomically(notePath(stem), noteText); !error.empty()) {
        ::unlink(path(note.dewName).c_str());
        return error;
    }
    for (const DewEntry& old : dewFiles(m_folder, stem))
        if (old.name != note.dewName)
            ::unlink(path(old.name).c_str());
    return {};
} catch (const std::bad_alloc&) {
    return kNoMemory;
}

void RecoveryFolder::remove(const std::string& stem) const {
    // The note first: what is left without it is never taken for a whole copy.
    ::unlink(notePath(stem).c_str());
    for (const DewEntry& dew : dewFiles(m_folder, stem))
        ::unlink(path(dew.name).c_str());
}

void RecoveryFolder::removeLeftovers(std::int64_t now) const {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_folder, ec)) {
        const std::string name = entry.path().filename().string();
        struct stat st {};
        if (name.rfind(kTemporaryPrefix, 0) == 0 && ::lstat(entry.path().c_str(), &st) == 0 &&
            S_ISREG(st.st_mode) && now - st.st_mtime > kLeftoverSeconds)
            ::unlink(entry.path().c_str());
    }
}

void RecoveryFolder::removeLock(const std::string& stem) const {
    ::unlink(lockPath(stem).c_str());
}

std::vector<std::string> RecoveryFolder::stems(std::vector<std::string>* lockOnly) const {
    std::vector<std::string> copies;
    std::vector<std::string> locks;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_folder, ec)) {
        const std::string name = entry.path().filename().string();
        const std::string stem = stemOf(name);
        if (stem.empty())
            continue;
        if (endsWith(name, kLockSuffix))
            locks.push_back(stem);
        else if (endsWith(name, kDewSuffix)) // a note alone: its first case never arrived
            copies.push_back(stem);
    }
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());
    if (lockOnly) {
        lockOnly->clear();
        for (const std::string& stem : locks)
            if (!std::binary_search(copies.begin(), copies.end(), stem))
                lockOnly->push_back(stem);
        std::sort(lockOnly->begin(), lockOnly->end());
    }
    return copies;
}

RecoveryRead RecoveryFolder::read(const std::string& stem, const Case& base) const try {
    RecoveryNote note;
    bool noted = false;
    auto noteBytes = readFileBytes(notePath(stem), kMaxNoteBytes);
    if (const auto* bytes = std::get_if<std::string>(&noteBytes)) {
        auto parsed = parseRecoveryNote(*bytes);
        if (auto* reason = std::get_if<std::string>(&parsed))
            return DamagedCopy{*reason};
        note = std::get<RecoveryNote>(parsed);
        noted = true;
        if (stemOf(note.dewName) != stem || note.dewName.find('/') != std::string::npos)
            return DamagedCopy{kBadCaseName};
    } else if (::access(notePath(stem).c_str(), F_OK) == 0) {
        return DamagedCopy{std::get<FileError>(noteBytes).reason};
    } else {
        // Stopped between the first ".dew" and its note: that ".dew" is whole all the same.
        const std::vector<DewEntry> dews = dewFiles(m_folder, stem);
        if (dews.empty())
            return DamagedCopy{kNoCaseFile};
        note.dewName = dews.back().name;
        struct stat st {};
        if (::stat(path(note.dewName).c_str(), &st) == 0)
            note.changed = st.st_mtime;
    }
    auto dewBytes = readFileBytes(path(note.dewName), kMaxDewFileBytes);
    if (const auto* error = std::get_if<FileError>(&dewBytes))
        return DamagedCopy{error->reason};
    const std::string& bytes = std::get<std::string>(dewBytes);
    if (noted && (bytes.size() != note.dewSize || recoveryChecksum(bytes) != note.dewChecksum))
        return DamagedCopy{kCaseDiffers};
    auto parsed = parseDew(bytes);
    if (const auto* error = std::get_if<DewError>(&parsed))
        return DamagedCopy{error->reason};
    RecoveredCase out{base, std::move(note)};
    applyDew(out.theCase, std::get<DewParse>(parsed));
    return out;
} catch (const std::bad_alloc&) {
    return DamagedCopy{kNoMemory};
}

} // namespace kvh::core
