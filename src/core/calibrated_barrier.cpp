#include "calibrated_barrier.h"

#include "numbers.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <limits>
#include <variant>
#include <vector>

namespace kvh::core {

namespace {

using Json = nlohmann::json;

/// Identifies the file's kind; a reader refuses any other.
constexpr const char* kFormat = "kvhitemp-calibrated-barrier";
constexpr int kVersion = 1;

/// A single value as the shortest decimal that reads back to it, so "0.05" and not
/// "0.05000000074505806" stands in the file.
Json singleNumber(float value) {
    if (value == std::floor(value) && std::abs(value) < 1e9f)
        return static_cast<int64_t>(value); // a dead time of 12 minutes reads "12"
    const std::string text = roundTripText(value);
    double d = 0;
    std::from_chars(text.data(), text.data() + text.size(), d);
    return d;
}

/// A figure that may be unbounded (an interval the fit could not close) is written as null.
Json figure(double value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

std::string_view modelCode(int index) {
    return kModelCaptions[static_cast<size_t>(index)].substr(0, 4);
}

template <std::size_t N>
int indexOf(const std::array<std::string_view, N>& names, std::string_view name) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

int modelIndexOf(std::string_view code) {
    for (int i = 0; i < kModelCount; ++i)
        if (modelCode(i) == code)
            return i;
    return -1;
}

Json coefficientsJson(const BarrierCoefficients& c) {
    return {{"dead_time", singleNumber(c.deadTime)},
            {"outer", singleNumber(c.outer)},
            {"inner", singleNumber(c.inner)}};
}

/// Reading: every failure throws this sentence, caught once at the top.
struct Refusal {
    std::string why;
};

const Json& member(const Json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end())
        throw Refusal{std::string("it has no \"") + key + "\""};
    return *it;
}

std::string text(const Json& object, const char* key) {
    const Json& v = member(object, key);
    if (!v.is_string())
        throw Refusal{std::string("\"") + key + "\" is not a text"};
    return v.get<std::string>();
}

double number(const Json& object, const char* key) {
    const Json& v = member(object, key);
    if (!v.is_number() || !std::isfinite(v.get<double>()))
        throw Refusal{std::string("\"") + key + "\" is not a number"};
    return v.get<double>();
}

/// An optional figure: absent or null reads as `missing`.
double optionalFigure(const Json& object, const char* key, double missing) {
    const auto it = object.find(key);
    return it != object.end() && it->is_number() ? it->get<double>() : missing;
}

BarrierCoefficients readCoefficients(const Json& object) {
    const double d = number(object, "dead_time"), a = number(object, "outer"),
                 b = number(object, "inner");
    if (d < 0 || d > kFitMaxDeadTime || d != std::floor(d))
        throw Refusal{"the dead time is not a whole number of minutes from 0 to 60"};
    if (!(a > 0 && a <= 1) || !(b > 0 && b <= 1))
        throw Refusal{"a coefficient lies outside 0 to 1"};
    return {static_cast<float>(d), static_cast<float>(a), static_cast<float>(b)};
}

void readSetup(const Json& root, CalibratedBarrier& barrier) {
    barrier.modelIndex = modelIndexOf(text(root, "model"));
    barrier.tracerIndex = indexOf(kTracerCaptions, text(root, "tracer"));
    barrier.environIndex = indexOf(kEnvironCaptions, text(root, "environment"));
    if (barrier.modelIndex < 0)
        throw Refusal{"it names no known model"};
    if (barrier.tracerIndex < 0)
        throw Refusal{"it names no known tracer type"};
    if (barrier.environIndex < 0)
        throw Refusal{"it names no known environment"};
}

void readFitFigures(const Json& root, BarrierFit& fit) {
    const auto it = root.find("fit");
    if (it == root.end() || !it->is_object())
        return;
    const Json& f = *it;
    const double inf = std::numeric_limits<double>::infinity();
    fit.rms = optionalFigure(f, "rms", 0);
    fit.maxResidual = optionalFigure(f, "max_residual", 0);
    fit.samples = static_cast<int64_t>(optionalFigure(f, "samples", 0));
    fit.outer = {optionalFigure(f, "outer_low", -inf), optionalFigure(f, "outer_high", inf)};
    fit.inner = {optionalFigure(f, "inner_low", -inf), optionalFigure(f, "inner_high", inf)};
    fit.poor = f.value("poor", false);
    fit.reason = f.value("reason", std::string());
    if (const auto t = f.find("table"); t != f.end() && t->is_object())
        fit.table = readCoefficients(*t);
}

CalibratedBarrier readBarrier(const Json& root) {
    if (!root.is_object() || root.value("format", std::string()) != kFormat)
        throw Refusal{"it is not a calibrated barrier"};
    if (root.value("version", 0) > kVersion)
        throw Refusal{"it was written by a newer version of the program"};
    CalibratedBarrier barrier;
    barrier.name = text(root, "name");
    if (trimBlanks(barrier.name).empty())
        throw Refusal{"its name is empty"};
    readSetup(root, barrier);
    barrier.fit.fitted = readCoefficients(root);
    readFitFigures(root, barrier.fit);
    barrier.recording = root.value("recording", std::string());
    barrier.date = root.value("date", std::string());
    return barrier;
}

/// Writes a value as JSON, two blanks to a level, keys in order. Numbers are the shortest
/// text that reads back to the same double (std::to_chars, the same in every locale); texts
/// are escaped by the JSON library, invalid UTF-8 replaced rather than refused.
void writeJson(const Json& value, int depth, std::string& out) {
    const std::string indent(static_cast<size_t>(2 * (depth + 1)), ' ');
    const auto closing = [&](char bracket) {
        out += '\n';
        out.append(static_cast<size_t>(2 * depth), ' ');
        out += bracket;
    };
    if (value.is_object() && !value.empty()) {
        out += '{';
        const char* comma = "\n";
        for (const auto& [key, item] : value.items()) {
            out += comma + indent + Json(key).dump(-1, ' ', false, Json::error_handler_t::replace) +
                   ": ";
            writeJson(item, depth + 1, out);
            comma = ",\n";
        }
        closing('}');
    } else if (value.is_array() && !value.empty()) {
        out += '[';
        const char* comma = "\n";
        for (const Json& item : value) {
            out += comma + indent;
            writeJson(item, depth + 1, out);
            comma = ",\n";
        }
        closing(']');
    } else if (value.is_number_float()) {
        char buffer[32];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value.get<double>());
        out.append(buffer, ec == std::errc() ? end : buffer);
    } else {
        out += value.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
}

/// The JSON library's reader with numbers that have a fraction or an exponent converted by
/// std::from_chars from their own text, not by the library (which reads them through the C
/// locale). Builds the same tree the library's own reader would.
class LocaleFreeReader : public nlohmann::json_sax<Json> {
public:
    bool null() override { return put(nullptr); }
    bool boolean(bool value) override { return put(value); }
    bool number_integer(number_integer_t value) override { return put(value); }
    bool number_unsigned(number_unsigned_t value) override { return put(value); }
    bool number_float(number_float_t, const string_t& token) override {
        // The library hands the token with the C locale's decimal point in place of '.': every
        // character but digits, signs and the exponent's letter is that point.
        std::string text = token;
        for (char& ch : text)
            if (!((ch >= '0' && ch <= '9') || ch == '-' || ch == '+' || ch == 'e' || ch == 'E'))
                ch = '.';
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
            m_error = "the number " + text + " is out of range";
            return false;
        }
        return put(value);
    }
    bool string(string_t& value) override { return put(std::move(value)); }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override { return open(Json::object()); }
    bool key(string_t& value) override {
        m_key = std::move(value);
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(Json::array()); }
    bool end_array() override { return close(); }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& e) override {
        // 406: a number beyond the range of double.
        m_error = e.id == 406 ? "a number in it is out of range" : "it is not valid JSON";
        return false;
    }

    Json take() { return std::move(m_root); }
    const std::string& error() const { return m_error; }

private:
    /// Places a value in the object or array being read, or as the whole document.
    Json* place(Json&& value) {
        if (m_open.empty()) {
            m_root = std::move(value);
            return &m_root;
        }
        Json& parent = *m_open.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        Json& slot = parent[m_key];
        slot = std::move(value);
        return &slot;
    }
    bool put(Json&& value) {
        place(std::move(value));
        return true;
    }
    bool open(Json&& container) {
        m_open.push_back(place(std::move(container)));
        return true;
    }
    bool close() {
        m_open.pop_back();
        return true;
    }

    Json m_root;
    std::vector<Json*> m_open;
    std::string m_key;
    std::string m_error;
};

/// The tree of a JSON text, or why it is none.
std::variant<Json, std::string> readJson(std::string_view text) {
    LocaleFreeReader reader;
    bool ok = false;
    try {
        ok = Json::sax_parse(text, &reader);
    } catch (const Json::exception&) {
        ok = false;
    }
    if (!ok)
        return reader.error().empty() ? std::string("it is not valid JSON") : reader.error();
    return reader.take();
}

} // namespace

bool matchesSetup(const CalibratedBarrier& barrier, const SetupState& setup) {
    return setup.complete() && setup.modelIndex() == barrier.modelIndex &&
           setup.tracerIndex() == barrier.tracerIndex &&
           setup.environIndex() == barrier.environIndex;
}

std::string calibratedBarrierJson(const CalibratedBarrier& barrier) {
    const BarrierFit& fit = barrier.fit;
    Json root = {{"format", kFormat}, {"version", kVersion}, {"name", barrier.name}};
    root["model"] = std::string(modelCode(barrier.modelIndex));
    root["tracer"] = std::string(kTracerCaptions[static_cast<size_t>(barrier.tracerIndex)]);
    root["environment"] = std::string(kEnvironCaptions[static_cast<size_t>(barrier.environIndex)]);
    root.update(coefficientsJson(fit.fitted));
    root["fit"] = {{"table", coefficientsJson(fit.table)},
                   {"rms", figure(fit.rms)},
                   {"max_residual", figure(fit.maxResidual)},
                   {"samples", fit.samples},
                   {"outer_low", figure(fit.outer.low)},
                   {"outer_high", figure(fit.outer.high)},
                   {"inner_low", figure(fit.inner.low)},
                   {"inner_high", figure(fit.inner.high)},
                   {"poor", fit.poor},
                   {"reason", fit.reason}};
    root["recording"] = barrier.recording;
    root["date"] = barrier.date;
    std::string out;
    writeJson(root, 0, out);
    return out + "\n";
}

std::variant<CalibratedBarrier, std::string> parseCalibratedBarrier(std::string_view text) {
    auto parsed = readJson(text);
    if (const auto* why = std::get_if<std::string>(&parsed))
        return "The file is not a calibrated barrier: " + *why + ".";
    try {
        return readBarrier(std::get<Json>(parsed));
    } catch (const Refusal& refusal) {
        return "The file is not a calibrated barrier: " + refusal.why + ".";
    } catch (const Json::exception&) {
        return std::string("The file is not a calibrated barrier: a field has the wrong type.");
    }
}

std::string calibratedBarrierFileName(std::string_view name) {
    std::string stem;
    for (const char ch : name) {
        const bool keep = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                          (ch >= '0' && ch <= '9') || ch == '-' || ch == '_';
        stem += keep ? ch : '_';
    }
    if (stem.empty())
        stem = "barrier";
    return stem + ".json";
}

std::string describeCalibratedBarrier(const CalibratedBarrier& barrier) {
    const BarrierCoefficients c = barrier.coefficients();
    return barrier.name + " (D " + roundTripText(c.deadTime) + " min, outer " +
           roundTripText(c.outer) + ", inner " + roundTripText(c.inner) + ")";
}

std::variant<CalibratedRun, RunError> runCalibrated(const Case& c,
                                                    const CalibratedBarrier& barrier) {
    RunOutcome outcome = runModelWith(c, barrier.coefficients());
    if (auto* error = std::get_if<RunError>(&outcome))
        return *error;
    CalibratedRun calibrated;
    calibrated.run = std::move(std::get<RunResult>(outcome));
    calibrated.evaluation = evaluate(calibrated.run, c.setup);
    calibrated.peak = peakAfterEnd(calibrated.run, barrier.coefficients());
    calibrated.safeDwell = findSafeDwell(c, barrier.coefficients());
    return calibrated;
}

namespace {

std::string percentText(double table, double fitted) {
    const double change = changePercent(table, fitted);
    if (!std::isfinite(change))
        return "no table value";
    return (change > 0 ? "+" : "") + formatPattern(change, Pattern::TwoDec) + " %";
}

std::string intervalText(const FitInterval& interval) {
    if (!std::isfinite(interval.low) || !std::isfinite(interval.high))
        return "95 % interval open";
    return "95 % interval " + plainNumberText(roundHalfEven(interval.low * 1e6) / 1e6) + " to " +
           plainNumberText(roundHalfEven(interval.high * 1e6) / 1e6);
}

std::string coefficientLine(const char* name, float table, float fitted,
                            const FitInterval& interval) {
    return std::string(name) + roundTripText(fitted) + " per minute (table " +
           roundTripText(table) + ", " + percentText(table, fitted) + "), " +
           intervalText(interval);
}

} // namespace

std::vector<std::string> fitReportLines(const BarrierFit& fit) {
    std::vector<std::string> lines;
    lines.push_back("Dead time: " + roundTripText(fit.fitted.deadTime) + " minutes (table " +
                    roundTripText(fit.table.deadTime) + ", " +
                    percentText(fit.table.deadTime, fit.fitted.deadTime) + ")");
    lines.push_back(
        coefficientLine("Outer coefficient: ", fit.table.outer, fit.fitted.outer, fit.outer));
    lines.push_back(
        coefficientLine("Inner coefficient: ", fit.table.inner, fit.fitted.inner, fit.inner));
    lines.push_back("RMS residual: " + formatPattern(fit.rms, Pattern::TwoDec) +
                    ", largest residual: " + formatPattern(fit.maxResidual, Pattern::TwoDec) +
                    ", samples: " + std::to_string(fit.samples));
    lines.push_back(fit.poor ? "Poor fit: " + fit.reason + "." : std::string("Good fit."));
    lines.push_back(kStageOrderNote);
    return lines;
}

} // namespace kvh::core
