#include "dew_file.h"

#include "doubtful.h"
#include "numbers.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvh::core {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string twoButtonValue(const OptionGroup<2>& group) { return group.isSelected(0) ? "0" : "1"; }

/// The first character of a UTF-8 text (one code point), or "" for the empty text.
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
    return text.substr(0, std::min(len, text.size()));
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

std::string shortened(std::string_view field) {
    std::string text = cp1252ToUtf8(field.substr(0, 40));
    return field.size() > 40 ? text + "..." : text;
}

} // namespace

std::string writeDew(const Case& c) {
    const SetupState& s = c.setup;
    std::string out;
    out += "[Setup]";
    out += kCrLf;
    out += "Temp Units = " + twoButtonValue(s.tempUnit()) + kCrLf;
    out += "Time Units = " + twoButtonValue(s.timeUnit()) + kCrLf;
    const int model = s.model().selectedIndex();
    out += "Davar Model = " + (model >= 0 ? std::to_string(model) : std::string()) + kCrLf;
    out += "Tracer Type = " + twoButtonValue(s.tracer()) + kCrLf;
    out += "Environment = " + twoButtonValue(s.environ()) + kCrLf;
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

std::variant<DewParse, DewError> parseDew(std::string_view bytes) {
    if (bytes.size() > kMaxDewFileBytes)
        return DewError{"The file is larger than 16 MiB."};
    DewParse parsed;
    FieldReader reader(bytes);
    while (!reader.atEnd()) {
        const int line = reader.line();
        std::string field(reader.next());
        if (field.empty())
            field = "      ";
        const std::string_view key = std::string_view(field).substr(0, 4);
        const char last = field.back();
        using Group = DewSelect::Group;
        const auto select = [&](Group g) {
            parsed.items.emplace_back(DewSelect{g, last == '0' ? 0 : 1});
        };
        if (key == "Temp") {
            select(Group::TempUnit);
        } else if (key == "Time") {
            select(Group::TimeUnit);
        } else if (key == "Dewe" || key == "Dava") {
            parsed.items.emplace_back(DewSelect{Group::Model, last >= '0' && last <= '9' ? last - '0' : 0});
        } else if (key == "Trac") {
            select(Group::Tracer);
        } else if (key == "Envi") {
            select(Group::Environ);
        } else if (key == "[Dat" || key == "[Set") {
            // section headers carry nothing
        } else {
            DewRow row;
            row.step = stepTextForCode(field[0]);
            if (field[0] != ' ') {
                if (row.step.empty())
                    parsed.notices.push_back(unknownStepNotice(line, shortened(field)));
                std::array<std::string, 2> values;
                for (size_t k = 0; k < values.size(); ++k) {
                    std::string& value = values[k];
                    const int fieldLine = reader.line();
                    if (reader.atEnd())
                        return DewError{"Line " + std::to_string(line) + ": the profile row \"" +
                                        shortened(field) +
                                        "\" ends before its temperature and time."};
                    const std::string_view text = reader.next();
                    const double number = numericValue(text);
                    if (!std::isfinite(number))
                        return DewError{"Line " + std::to_string(line) + ": the number \"" +
                                        shortened(text) + "\" is too large."};
                    value = plainNumberText(number);
                    const int col = k == 0 ? kColTemp : kColTime;
                    std::string notice = doubtfulFieldNotice(fieldLine, col, text, shortened(text));
                    if (!notice.empty())
                        parsed.notices.push_back(std::move(notice));
                }
                row.temp = std::move(values[0]);
                row.time = std::move(values[1]);
                row.hasFields = true;
            }
            parsed.items.emplace_back(std::move(row));
        }
    }
    return parsed;
}

void applyDew(Case& c, const DewParse& parsed) {
    c.profile.clearAll();
    c.profile.reserveRows(std::max<size_t>(parsed.items.size() + 1, kInitialRows));
    SetupState& s = c.setup;
    using Group = DewSelect::Group;
    int fileModel = -1;
    for (const DewItem& item : parsed.items) {
        if (const auto* row = std::get_if<DewRow>(&item)) {
            const int r = c.profile.appendRow();
            c.profile.setCell(r, kColStep, row->step);
            if (row->hasFields) {
                c.profile.setCell(r, kColTemp, row->temp);
                c.profile.setCell(r, kColTime, row->time);
            }
            continue;
        }
        const auto& sel = std::get<DewSelect>(item);
        // Selecting a button deselects the other of its pair: a value other than 0 reads as 1.
        switch (sel.group) {
        case Group::TempUnit:
            c.selectTempUnit(sel.value);
            break;
        case Group::TimeUnit:
            c.selectTimeUnit(sel.value);
            break;
        case Group::Model:
            fileModel = sel.value;
            for (int i = 0; i < kModelCount; ++i) {
                if (i == sel.value)
                    s.selectModel(i);
                else
                    s.deselectModel(i);
            }
            break;
        case Group::Tracer:
            s.selectTracer(sel.value);
            break;
        case Group::Environ:
            s.selectEnviron(sel.value);
            break;
        }
    }
    // The tracer and environment lines follow the model line, and their rules may have put the
    // smallest dewar in its place: the file's barrier is chosen again where it is offered.
    if (fileModel >= 0 && fileModel < kModelCount && s.modelVisible(fileModel))
        s.selectModel(fileModel);
    ProfileTable& t = c.profile;
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

std::variant<std::string, DewError> readFileBytes(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return DewError{std::string("The file cannot be opened: ") + std::strerror(errno) + "."};
    std::string bytes;
    char buf[65536];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (bytes.size() + n > kMaxDewFileBytes) {
            std::fclose(f);
            return DewError{"The file is larger than 16 MiB."};
        }
        bytes.append(buf, n);
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed)
        return DewError{std::string("The file cannot be read: ") + std::strerror(err) + "."};
    return bytes;
}

std::variant<Case, DewError> openDewFile(const std::string& path, const Case& current,
                                         std::vector<std::string>* notices) {
    auto bytes = readFileBytes(path);
    if (auto* error = std::get_if<DewError>(&bytes))
        return *error;
    auto parsed = parseDew(std::get<std::string>(bytes));
    if (auto* error = std::get_if<DewError>(&parsed))
        return *error;
    Case next = current;
    const DewParse& file = std::get<DewParse>(parsed);
    applyDew(next, file);
    if (notices)
        notices->insert(notices->end(), file.notices.begin(), file.notices.end());
    return next;
}

std::string writeFileAtomically(const std::string& path, std::string_view bytes) {
    static unsigned counter = 0;
    const std::string temp =
        path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::strerror(errno);
    const auto fail = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        return std::string(std::strerror(err));
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    // Keep the permissions of a file that is replaced.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        ::fchmod(fd, existing.st_mode & 07777);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return std::strerror(err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return std::strerror(err);
    }
    return {};
}

// ---- Windows Western 8-bit character set -------------------------------------------------------

namespace {
// Code points of bytes 0x80..0x9F; the five unused bytes map to the C1 controls of the same value.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
} // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            appendUtf8(out, kCp1252High[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

std::string utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0;
        size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        } else {
            out += '?';
            ++i;
            continue;
        }
        bool valid = i + len <= utf8.size();
        for (size_t k = 1; valid && k < len; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + k]);
            valid = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (size_t k = 0; k < kCp1252High.size(); ++k)
            if (kCp1252High[k] == cp)
                mapped = static_cast<char>(0x80 + k);
        out += mapped;
    }
    return out;
}

} // namespace kvh::core
