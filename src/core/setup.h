#pragma once
// The five option groups of the setup (model, tracer type, environment, temperature unit,
// time unit), the rules by which one choice changes which models are offered, and the
// "setup complete" test and summary.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvh::core {

inline constexpr int kModelCount = 6;

/// Captions of the option buttons, exactly as shown (blanks included).
inline constexpr std::array<std::string_view, kModelCount> kModelCaptions = {
    "7640 2\" by 6\" Vacuum  Dewar", "7520 2\" by 8\" Vacuum Dewar",
    "7440 2\" by 16\" Vacuum Dewar", "7300 3\" by 6\"  SS Canister",
    "7210 TSIII Thermal Pack",       "7105 TSIII 7\" Vacuum Dewar"};
inline constexpr std::array<std::string_view, 2> kTracerCaptions = {"Tessel II or VTX",
                                                                    "Tessel III"};
inline constexpr std::array<std::string_view, 2> kEnvironCaptions = {"Air", "Liquid"};
inline constexpr std::array<std::string_view, 2> kTempUnitCaptions = {"\u00b0 Fahrenheit",
                                                                      "\u00b0 Centigrade  "};
inline constexpr std::array<std::string_view, 2> kTimeUnitCaptions = {"Minutes", "Hours"};

/// On-screen order of the model buttons, top to bottom.
inline constexpr std::array<int, kModelCount> kModelScreenOrder = {0, 1, 2, 3, 5, 4};

inline constexpr std::string_view kModelFrameCaption = "High Temp Thermal Pack Model";
inline constexpr std::string_view kTracerFrameCaption = "Tracer Type";
inline constexpr std::string_view kEnvironFrameCaption = "Process Environment";
inline constexpr std::string_view kTempUnitFrameCaption = "Select Temperature Units";
inline constexpr std::string_view kTimeUnitFrameCaption = "Select Time Units";
inline constexpr std::string_view kSetupNotSpecified = "Setup Not Specified";
/// Why a run is refused while a group has no choice.
inline constexpr std::string_view kSetupNotComplete =
    "Setup not complete! Results cannot be displayed";

/// Caption of a temperature scale: the grid's column and the charts' axes.
constexpr std::string_view tempCaption(bool celsius) {
    return celsius ? "Temp. \u00b0C" : "Temp. \u00b0F";
}

/// A temperature's unit after its number: " °C" or " °F".
constexpr std::string_view unitAfterNumber(bool fahrenheit) {
    return fahrenheit ? " \u00b0F" : " \u00b0C";
}

/// A group of mutually exclusive option buttons: at most one is selected.
template <int N> struct OptionGroup {
    std::array<bool, N> selected{};
    void select(int i) {
        selected.fill(false);
        selected[static_cast<size_t>(i)] = true;
    }
    void deselect(int i) { selected[static_cast<size_t>(i)] = false; }
    bool isSelected(int i) const { return selected[static_cast<size_t>(i)]; }
    /// Index of the selected button, or -1 when none is.
    int selectedIndex() const {
        for (int i = 0; i < N; ++i)
            if (selected[static_cast<size_t>(i)])
                return i;
        return -1;
    }
    bool operator==(const OptionGroup&) const = default;
};

/// The whole setup state. Selecting from code runs the same operation as a click, so Open and
/// the window share these functions.
class SetupState {
public:
    SetupState();

    void selectModel(int i);
    void selectTracer(int i);
    void selectEnviron(int i);
    void selectTempUnit(int i);
    void selectTimeUnit(int i);
    /// Deselecting runs no rule; it only clears the button (Open does it to the models).
    void deselectModel(int i) { m_model.deselect(i); }
    /// Open's line without a value: the group's button cleared and its choice forgotten, no
    /// rule run.
    void clearModel();
    void clearTracer();
    void clearEnviron();

    /// The choice last made in a group, kept while Open merely clears its button.
    std::optional<int16_t> chosenModel() const { return m_chosenModel; }
    std::optional<int16_t> chosenTracer() const { return m_chosenTracer; }
    std::optional<int16_t> chosenEnviron() const { return m_chosenEnviron; }
    /// The choice, or 0 before any.
    int16_t modelIndex() const { return m_chosenModel.value_or(0); }
    int16_t tracerIndex() const { return m_chosenTracer.value_or(0); }
    int16_t environIndex() const { return m_chosenEnviron.value_or(0); }
    /// The frames' tags: the model's code ("7440") and the tracer's and environment's
    /// captions, empty before a choice.
    std::string modelTag() const;
    std::string tracerTag() const;
    std::string environTag() const;

    const OptionGroup<kModelCount>& model() const { return m_model; }
    const OptionGroup<2>& tracer() const { return m_tracer; }
    const OptionGroup<2>& environ() const { return m_environ; }
    const OptionGroup<2>& tempUnit() const { return m_tempUnit; }
    const OptionGroup<2>& timeUnit() const { return m_timeUnit; }
    bool modelVisible(int i) const { return m_modelVisible[static_cast<size_t>(i)]; }

    /// Temperatures are in degrees Celsius exactly when unit button 1 is selected.
    bool celsius() const { return m_tempUnit.isSelected(1); }
    /// Degrees Fahrenheit when unit button 0 is selected (the evaluation asks this way).
    bool fahrenheit() const { return m_tempUnit.isSelected(0); }
    /// Times are in minutes exactly when time button 0 is selected.
    bool minutes() const { return m_timeUnit.isSelected(0); }
    bool hours() const { return m_timeUnit.isSelected(1); }

    /// All three selection tags are set.
    bool complete() const;
    /// "Model 7440; Tessel III; in Liquid", or "Setup Not Specified".
    std::string summary() const;

    /// Header caption of the temperature column: "Temp. °C" or "Temp. °F".
    std::string tempHeader() const;
    /// Header caption of the time column: "Minutes" or "Hours".
    std::string timeHeader() const;

    bool operator==(const SetupState&) const = default;

private:
    std::optional<int16_t> m_chosenModel;
    std::optional<int16_t> m_chosenTracer;
    std::optional<int16_t> m_chosenEnviron;
    OptionGroup<kModelCount> m_model;
    OptionGroup<2> m_tracer;
    OptionGroup<2> m_environ;
    OptionGroup<2> m_tempUnit;
    OptionGroup<2> m_timeUnit;
    std::array<bool, kModelCount> m_modelVisible{true, true, true, true, false, false};
};

} // namespace kvh::core
