#pragma once
// What if: the case run again with one thing changed (the oven, the hottest dwell, a barrier
// that starts warm, the barrier's own values), the profile run back to back with cooling gaps,
// and the spread of the verdict when the barrier and the oven vary at random. Every figure is
// the model's own run on a changed case or on changed barrier values, so it is exact to the
// last digit of a run.

#include "advisor.h"
#include "case.h"
#include "model.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvh::core {

/// What every what-if question shares with the advisor: the margin (degrees Celsius) and where
/// both stages start (display unit), and the barrier as entered (the setup's when not given).
struct WhatIfSettings {
    double marginCelsius = 0.0;
    std::optional<float> stageStart;
    std::optional<BarrierValues> barrier;
};

/// One run's figures as the results page would judge them. Temperatures single precision in
/// the display unit.
struct RunFigures {
    float maxInternal = 0.0f;
    float maxDwell = 0.0f;
    bool pass = false;
    bool warning = false; ///< PASS with the dwell warning
    bool safe = false;    ///< safeWithMargin for the settings' margin
};

// ---- Variations ------------------------------------------------------------------------------

/// Each variation is one run of the whole case with one thing changed; in this order.
enum class Variation {
    AsEntered,
    ProcessPlus,  ///< every step row's temperature + 10 °C (18 °F), added in double
    ProcessMinus, ///< - 10 °C (18 °F)
    DwellLonger,  ///< the hottest dwell's minutes x 1.1, rounded half to even
    DwellShorter, ///< x 0.9
    StartWarm,    ///< both stages start at row 1's temperature (single) + 20 °C (36 °F)
    DeadTimePlus, ///< dead time + 1 minute
    DeadTimeMinus,
    OuterPlus, ///< outer coefficient x 1.1 in double, stored single
    OuterMinus,
    InnerPlus,
    InnerMinus,
};
inline constexpr int kVariationCount = 12;

/// The variation's name in CSV ("as_entered", "process_plus", ...).
std::string_view variationName(Variation v);

struct VariationResult {
    Variation variation = Variation::AsEntered;
    RunFigures figures;
    /// Why the changed case does not run (its figures are then not set).
    std::optional<RunError> error;
};

struct Variations {
    /// As entered first, then the others in enum order; no dwell rows without a dwell step.
    std::vector<VariationResult> rows;
    double limit = 0.0;  ///< display unit
    double margin = 0.0; ///< display unit
    /// Index into `rows` of the variation (not as entered) with the highest maximum; the first
    /// of equal ones. None when no variation ran.
    std::optional<size_t> worst;
};

using VariationsOutcome = std::variant<Variations, RunError>;

/// Every variation of the case; the case as entered must run.
VariationsOutcome runVariations(const Case& c, const WhatIfSettings& settings = {});

/// The variations sorted by how far each moves the maximum from as entered, farthest first
/// (equal moves keep their order); indices into `rows`, as entered and failed runs left out.
std::vector<size_t> tornadoOrder(const Variations& variations);

/// The worst case in words: "PASS as entered; FAIL if the oven runs 10 °C hot".
std::string worstCaseText(const Variations& variations, bool fahrenheit);

// ---- Back-to-back runs -----------------------------------------------------------------------

inline constexpr int kMinBackToBackRuns = 2;
inline constexpr int kMaxBackToBackRuns = 20;
/// The longest gap the search for the shortest safe gap tries, in minutes.
inline constexpr int64_t kMaxGapMinutes = 10'000;

/// The room temperature between runs unless another is given: 25 °C or 77 °F.
double defaultRoomTemp(const SetupState& setup);

struct BackToBack {
    /// Each run: its maximum over its own profile minutes, its maximum through the 20 minutes
    /// after its end, and the verdict those give.
    std::vector<RunFigures> runs;
    /// The shortest whole gap (minutes) for which every run is safe, if one up to
    /// kMaxGapMinutes is (doubling, then bisection; checked: g safe and g - 1 not).
    std::optional<int64_t> shortestSafeGap;
};

using BackToBackOutcome = std::variant<BackToBack, RunError>;

/// The case's profile `runs` times in a row as one case: the data rows repeated, a "Dwell at
/// Temp" row of `gapMinutes` at `room` between copies. The model then carries both stages on
/// through the whole sequence, with its lead-in before the first run only and its 80 minutes
/// after the last only; a gap of 0 leaves the profile repeated by hand.
Case backToBackCase(const Case& c, int runs, int64_t gapMinutes, double room);

/// The runs with this gap, and the shortest safe gap. `room` in the display unit.
BackToBackOutcome runBackToBack(const Case& c, int runs, int64_t gapMinutes, double room,
                                const WhatIfSettings& settings = {});

// ---- Uncertainty -----------------------------------------------------------------------------

inline constexpr int kDefaultUncertaintyRuns = 1000;
inline constexpr int kMaxUncertaintyRuns = 100'000;
/// Most minutes the band holds: a longer run is sampled every few minutes.
inline constexpr int64_t kMaxBandPoints = 4096;

/// Normal deviates of mean 0 and standard deviation 1 from std::mt19937_64, by the polar
/// method with a logarithm of plain double arithmetic: the same numbers on every machine and
/// library for the same seed.
class NormalSource {
public:
    explicit NormalSource(uint64_t seed);
    double normal();
    /// -1, 0 or +1, each as likely.
    int oneOfThree();
    /// Uniform in [0, 1), 53 bits.
    double uniform();

private:
    std::mt19937_64 m_engine; ///< its sequence is fixed by the standard
};

/// The natural logarithm of a positive finite double in plain arithmetic (frexp and a series),
/// identical on every machine; within an ulp or two of std::log.
double portableLog(double x);

struct Uncertainty {
    int runs = 0;
    float p5 = 0.0f, p50 = 0.0f, p95 = 0.0f; ///< percentiles (nearest rank) of the maxima
    double shareAtLimit = 0.0;               ///< share of runs whose maximum reaches the limit
    double standardError = 0.0;              ///< of that share: sqrt(p (1 - p) / n)
    double limit = 0.0;
    int64_t totalMinutes = 0;
    /// The band is sampled at minute indices 0, step, 2 step, ... up to TotalMinutes + 80.
    int64_t bandStep = 1;
    std::vector<float> nominal;  ///< the internal series as entered, at the band's minutes
    std::vector<float> bandLow;  ///< 5th percentile of the internal temperature per minute
    std::vector<float> bandHigh; ///< 95th percentile
};

using UncertaintyOutcome = std::variant<Uncertainty, RunError>;

/// `runs` runs (1 to kMaxUncertaintyRuns), each drawing in this order: the outer and the inner
/// coefficient times 1 + 0.05 z, the dead time plus -1, 0 or +1 (not below 0), and one offset
/// of 3 °C z (5.4 °F z) added to every step row's temperature.
UncertaintyOutcome runUncertainty(const Case& c, int runs, uint64_t seed,
                                  const WhatIfSettings& settings = {});

} // namespace kvh::core
