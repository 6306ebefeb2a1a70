#include "fit.h"

#include "numbers.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/LevenbergMarquardt>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kvh::core {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
/// Two-sided 95 % point of the normal distribution.
constexpr double kZ95 = 1.959963984540054;
/// A fit whose RMS residual lies above this (degrees Celsius) does not describe the barrier.
constexpr double kPoorRmsCelsius = 2.0;
/// Minutes of the logger's first readings averaged for the stages' start.
constexpr size_t kStartMinutes = 5;

/// The traces as the search reads them: the process with gaps carried forward, the measured
/// internal trace with NaN where nothing was measured, from the first measured minute on.
struct Problem {
    std::vector<double> process;
    std::vector<double> internal;
    size_t first = 0; ///< first measured minute; both stages start there
    double start = 0; ///< the measured value there
    int64_t samples = 0;
};

/// Where both stages start: the logger's first reading, steadied by the readings of the next
/// few minutes (the inside barely moves that soon, and one reading's noise would otherwise
/// stay in the slow inner stage for hours and pull the dead time).
double startValue(const std::vector<double>& internal, size_t first) {
    double sum = 0;
    int count = 0;
    for (size_t m = first; m < internal.size() && m < first + kStartMinutes; ++m)
        if (std::isfinite(internal[m])) {
            sum += internal[m];
            ++count;
        }
    return count > 0 ? sum / count : kNaN;
}

Problem makeProblem(const FitInput& input) {
    Problem pr;
    const size_t n = std::min(input.process.size(), input.internal.size());
    pr.process.assign(input.process.begin(), input.process.begin() + static_cast<long>(n));
    pr.internal.assign(input.internal.begin(), input.internal.begin() + static_cast<long>(n));
    // A gap in the process keeps the last value seen (before the first one: the first one).
    const auto firstSeen = std::find_if(pr.process.begin(), pr.process.end(),
                                        [](double v) { return std::isfinite(v); });
    double last = firstSeen == pr.process.end() ? kNaN : *firstSeen;
    for (double& v : pr.process)
        v = std::isfinite(v) ? (last = v) : last;
    while (pr.first < n && !std::isfinite(pr.internal[pr.first]))
        ++pr.first;
    pr.start = startValue(pr.internal, pr.first);
    for (size_t m = pr.first; m < n; ++m)
        pr.samples += std::isfinite(pr.internal[m]) ? 1 : 0;
    return pr;
}

/// The process temperature the outer stage reads at minute m behind a dead time.
inline double delayed(const std::vector<double>& p, size_t m, int deadTime) {
    return m >= static_cast<size_t>(deadTime) ? p[m - static_cast<size_t>(deadTime)] : p[0];
}

double logistic(double u) {
    return 1.0 / (1.0 + std::exp(-u));
}

double logit(double a) {
    a = std::clamp(a, 1e-9, 1.0 - 1e-9);
    return std::log(a / (1.0 - a));
}

/// Residuals and their derivatives by both coefficients, in double so that the search sees a
/// smooth surface; missing minutes give 0 and weigh nothing.
void residuals(const Problem& pr, int deadTime, double a, double b, Eigen::VectorXd& r,
               Eigen::VectorXd* ja, Eigen::VectorXd* jb) {
    double mid = pr.start, in = pr.start, dMidA = 0, dInA = 0, dInB = 0;
    r[0] = 0;
    if (ja) {
        (*ja)[0] = 0;
        (*jb)[0] = 0;
    }
    const size_t n = pr.internal.size();
    for (size_t m = pr.first + 1, i = 1; m < n; ++m, ++i) {
        const double gapOuter = delayed(pr.process, m, deadTime) - mid;
        dMidA = (1 - a) * dMidA + gapOuter;
        mid += a * gapOuter;
        const double gapInner = mid - in;
        dInA = (1 - b) * dInA + b * dMidA;
        dInB = (1 - b) * dInB + gapInner;
        in += b * gapInner;
        const double y = pr.internal[m];
        const bool seen = std::isfinite(y);
        r[static_cast<long>(i)] = seen ? in - y : 0.0;
        if (ja) {
            (*ja)[static_cast<long>(i)] = seen ? dInA : 0.0;
            (*jb)[static_cast<long>(i)] = seen ? dInB : 0.0;
        }
    }
}

/// The least-squares problem for one dead time, in logistic coordinates u = logit(a), so that
/// every step of the search keeps 0 < a, b < 1.
struct StagesFunctor : Eigen::DenseFunctor<double> {
    StagesFunctor(const Problem& pr, int deadTime)
        : DenseFunctor(2, static_cast<int>(pr.internal.size() - pr.first)), m_pr(pr),
          m_deadTime(deadTime), m_ja(values()), m_jb(values()) {}

    int operator()(const InputType& x, ValueType& fvec) {
        residuals(m_pr, m_deadTime, logistic(x[0]), logistic(x[1]), fvec, &m_ja, &m_jb);
        m_at = x;
        return 0;
    }
    int df(const InputType& x, JacobianType& fjac) {
        if (m_at.size() != 2 || m_at != x) {
            ValueType scratch(values());
            (*this)(x, scratch);
        }
        const double a = logistic(x[0]), b = logistic(x[1]);
        fjac.resize(values(), 2);
        fjac.col(0) = m_ja * (a * (1 - a));
        fjac.col(1) = m_jb * (b * (1 - b));
        return 0;
    }

private:
    const Problem& m_pr;
    int m_deadTime;
    Eigen::VectorXd m_ja, m_jb;
    InputType m_at;
};

/// One local search: the coefficients reached and their sum of squares.
struct LocalFit {
    int deadTime = 0;
    double a = 0, b = 0;
    double sse = std::numeric_limits<double>::infinity();
};

LocalFit searchFrom(const Problem& pr, int deadTime, double a, double b, int maxEvaluations) {
    StagesFunctor functor(pr, deadTime);
    Eigen::LevenbergMarquardt<StagesFunctor> lm(functor);
    lm.setMaxfev(maxEvaluations);
    lm.setXtol(1e-10);
    lm.setFtol(1e-12);
    Eigen::VectorXd x(2);
    x << logit(a), logit(b);
    lm.minimize(x);
    LocalFit fit{deadTime, logistic(x[0]), logistic(x[1]), 0};
    Eigen::VectorXd r(functor.values());
    residuals(pr, deadTime, fit.a, fit.b, r, nullptr, nullptr);
    fit.sse = r.squaredNorm();
    return std::isfinite(fit.sse) ? fit : LocalFit{};
}

/// The sum of squares with the normal equations of a Gauss-Newton step, in one pass that
/// stores nothing (the sweep over dead times runs it many times).
struct Normal {
    double sse = 0, aa = 0, ab = 0, bb = 0, ar = 0, br = 0;
};

Normal normalEquations(const Problem& pr, int deadTime, double a, double b) {
    double mid = pr.start, in = pr.start, dMidA = 0, dInA = 0, dInB = 0;
    Normal n;
    const size_t count = pr.internal.size();
    for (size_t m = pr.first + 1; m < count; ++m) {
        const double gapOuter = delayed(pr.process, m, deadTime) - mid;
        dMidA = (1 - a) * dMidA + gapOuter;
        mid += a * gapOuter;
        const double gapInner = mid - in;
        dInA = (1 - b) * dInA + b * dMidA;
        dInB = (1 - b) * dInB + gapInner;
        in += b * gapInner;
        const double y = pr.internal[m];
        if (!std::isfinite(y))
            continue;
        const double r = in - y;
        n.sse += r * r;
        n.aa += dInA * dInA;
        n.ab += dInA * dInB;
        n.bb += dInB * dInB;
        n.ar += dInA * r;
        n.br += dInB * r;
    }
    return n;
}

/// A few damped Gauss-Newton passes for one dead time: enough to rank the dead times, not to
/// report (the best ones are searched again properly).
LocalFit quickFit(const Problem& pr, int deadTime, double a, double b, int passes) {
    LocalFit best{deadTime, a, b, std::numeric_limits<double>::infinity()};
    double lambda = 1e-3;
    for (int k = 0; k < passes; ++k) {
        const Normal n = normalEquations(pr, deadTime, a, b);
        if (n.sse < best.sse) {
            best = {deadTime, a, b, n.sse};
            lambda *= 0.3;
        } else {
            a = best.a; // the step made it worse: back, with more damping
            b = best.b;
            lambda *= 10;
            continue;
        }
        const double maa = n.aa * (1 + lambda), mbb = n.bb * (1 + lambda);
        const double det = maa * mbb - n.ab * n.ab;
        if (!(det > 0))
            break;
        a = std::clamp(a - (mbb * n.ar - n.ab * n.br) / det, 0.5 * a, std::min(1.0, 2 * a));
        b = std::clamp(b - (maa * n.br - n.ab * n.ar) / det, 0.5 * b, std::min(1.0, 2 * b));
    }
    return best;
}

/// Every dead time, each search started where its neighbour ended (the surface moves little
/// from one minute to the next), out from the table's dead time both ways.
std::array<LocalFit, kFitMaxDeadTime + 1> sweepDeadTimes(const Problem& pr,
                                                         const BarrierCoefficients& table) {
    std::array<LocalFit, kFitMaxDeadTime + 1> fits{};
    const int d0 = std::clamp(static_cast<int>(roundHalfEven(table.deadTime)), 0, kFitMaxDeadTime);
    const double a0 = table.outer > 0 ? table.outer : 0.1;
    const double b0 = table.inner > 0 ? table.inner : 0.01;
    fits[static_cast<size_t>(d0)] = searchFrom(pr, d0, a0, b0, 40);
    for (int step : {1, -1}) {
        LocalFit last = fits[static_cast<size_t>(d0)];
        for (int d = d0 + step; d >= 0 && d <= kFitMaxDeadTime; d += step) {
            // The neighbour's end can lie in the wrong one of the surface's valleys (the
            // stages near equal, far from the truth): the table's values are tried as well.
            const LocalFit warm = quickFit(pr, d, last.a, last.b, 3);
            const LocalFit fresh = quickFit(pr, d, a0, b0, 2);
            last = fresh.sse < warm.sse ? fresh : warm;
            fits[static_cast<size_t>(d)] = last;
        }
    }
    return fits;
}

/// The sweep's most promising dead times searched again by Levenberg-Marquardt, and the best
/// of them once more from the table's values and from spread starts.
LocalFit refine(const Problem& pr, const BarrierCoefficients& table,
                std::array<LocalFit, kFitMaxDeadTime + 1> sweep) {
    std::sort(sweep.begin(), sweep.end(),
              [](const LocalFit& l, const LocalFit& r) { return l.sse < r.sse; });
    LocalFit best = sweep[0];
    for (size_t k = 0; k < 3; ++k) {
        const LocalFit fit = searchFrom(pr, sweep[k].deadTime, sweep[k].a, sweep[k].b, 40);
        if (fit.sse < best.sse)
            best = fit;
    }
    const double a0 = table.outer > 0 ? table.outer : 0.1;
    const double b0 = table.inner > 0 ? table.inner : 0.01;
    const std::array<std::array<double, 2>, 3> starts{{{a0, b0}, {0.5, 0.02}, {0.05, 0.002}}};
    for (const auto& s : starts) {
        const LocalFit fit = searchFrom(pr, best.deadTime, s[0], s[1], 60);
        if (fit.sse < best.sse)
            best = fit;
    }
    return best;
}

/// Approximate 95 % intervals for a and b: s^2 (J'J)^-1 with J by the coefficients themselves.
std::array<FitInterval, 2> intervals(const Problem& pr, const LocalFit& fit) {
    const auto n = static_cast<long>(pr.internal.size() - pr.first);
    Eigen::VectorXd r(n), ja(n), jb(n);
    residuals(pr, fit.deadTime, fit.a, fit.b, r, &ja, &jb);
    Eigen::Matrix2d jtj;
    jtj << ja.dot(ja), ja.dot(jb), ja.dot(jb), jb.dot(jb);
    const double dof = static_cast<double>(std::max<int64_t>(1, pr.samples - 3));
    const double s2 = r.squaredNorm() / dof;
    const double det = jtj.determinant();
    const double inf = std::numeric_limits<double>::infinity();
    const double va = det > 0 ? s2 * jtj(1, 1) / det : inf;
    const double vb = det > 0 ? s2 * jtj(0, 0) / det : inf;
    const double ha = kZ95 * std::sqrt(va), hb = kZ95 * std::sqrt(vb);
    return {{{fit.a - ha, fit.a + ha}, {fit.b - hb, fit.b + hb}}};
}

/// RMS and largest residual of the program's own single-precision run.
void residualFigures(const Problem& pr, BarrierFit& fit) {
    // Minute m of the run reads the process at m - D counted from the recording's start.
    std::vector<double> shifted(pr.internal.size() - pr.first);
    for (size_t i = 0; i < shifted.size(); ++i)
        shifted[i] = delayed(pr.process, pr.first + i, static_cast<int>(fit.fitted.deadTime));
    const std::vector<float> in =
        stagesOnTrace(shifted, 0, fit.fitted.outer, fit.fitted.inner, static_cast<float>(pr.start));
    double sum = 0, largest = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        const double y = pr.internal[pr.first + i];
        if (!std::isfinite(y))
            continue;
        const double d = static_cast<double>(in[i]) - y;
        sum += d * d;
        largest = std::max(largest, std::abs(d));
    }
    fit.rms = pr.samples > 0 ? std::sqrt(sum / static_cast<double>(pr.samples)) : 0;
    fit.maxResidual = largest;
}

double range(const std::vector<double>& v, size_t from) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (size_t i = from; i < v.size(); ++i)
        if (std::isfinite(v[i])) {
            lo = std::min(lo, v[i]);
            hi = std::max(hi, v[i]);
        }
    return hi >= lo ? hi - lo : 0;
}

/// A logger that stops reading at its top: its highest value held flat for a quarter of an
/// hour while the process stays well above it.
bool saturated(const Problem& pr, double degreesPerCelsius) {
    double top = -std::numeric_limits<double>::infinity();
    for (double y : pr.internal)
        if (std::isfinite(y))
            top = std::max(top, y);
    int64_t run = 0;
    for (size_t m = pr.first; m < pr.internal.size(); ++m) {
        const double y = pr.internal[m];
        const bool flatTop = std::isfinite(y) && top - y <= 0.1 * degreesPerCelsius &&
                             pr.process[m] - y > 10 * degreesPerCelsius;
        run = flatTop ? run + 1 : 0;
        if (run >= 15)
            return true;
    }
    return false;
}

/// Why the recording cannot settle the barrier, before any search (empty when it can).
std::string precondition(const Problem& pr, double degreesPerCelsius) {
    if (pr.samples < kFitMinSamples)
        return "too short: " + std::to_string(pr.samples) + " measured minutes, at least " +
               std::to_string(kFitMinSamples) + " are needed";
    if (range(pr.process, pr.first) < 5 * degreesPerCelsius)
        return "no heating: the process temperature hardly changes";
    if (range(pr.internal, pr.first) < 1 * degreesPerCelsius)
        return "no heating: the logger's temperature hardly changes";
    if (saturated(pr, degreesPerCelsius))
        return "logger saturated: its reading stays flat at its top while the process is hotter";
    return {};
}

/// Poor by the fit's own figures (empty when good).
std::string judge(const BarrierFit& fit, double degreesPerCelsius) {
    if (fit.rms > kPoorRmsCelsius * degreesPerCelsius)
        return "the model does not follow the recording: RMS residual " +
               formatPattern(fit.rms, Pattern::TwoDec) + " degrees";
    const auto wide = [](const FitInterval& i, double value) { return !(i.high - i.low <= value); };
    if (wide(fit.outer, fit.fitted.outer))
        return "the recording does not settle the outer coefficient: its interval is wider "
               "than its value";
    if (wide(fit.inner, fit.fitted.inner))
        return "the recording does not settle the inner coefficient: its interval is wider "
               "than its value";
    return {};
}

/// Puts the coefficients in the table's order (the stages can be swapped without changing the
/// internal curve).
void orderAsTable(LocalFit& best, std::array<FitInterval, 2>& ci, const BarrierCoefficients& t,
                  bool& reordered) {
    const bool tableOuterLarger = t.outer >= t.inner;
    reordered = tableOuterLarger ? best.a < best.b : best.a > best.b;
    if (reordered) {
        std::swap(best.a, best.b);
        std::swap(ci[0], ci[1]);
    }
}

} // namespace

std::vector<float> stagesOnTrace(const std::vector<double>& process, int deadTime, float outer,
                                 float inner, float start) {
    std::vector<float> in(process.size());
    if (process.empty())
        return in;
    const double a = outer, b = inner;
    double mid = start, inside = start;
    in[0] = start;
    for (size_t m = 1; m < process.size(); ++m) {
        const auto q = static_cast<float>(delayed(process, m, deadTime));
        mid = static_cast<float>((q - mid) * a + mid);
        inside = static_cast<float>((mid - inside) * b + inside);
        in[m] = static_cast<float>(inside);
    }
    return in;
}

BarrierFit fitBarrier(const FitInput& input) {
    const Problem pr = makeProblem(input);
    const double unit = input.fahrenheit ? 1.8 : 1.0;
    BarrierFit fit;
    fit.table = input.table;
    fit.fitted = input.table;
    fit.samples = pr.samples;
    fit.reason = precondition(pr, unit);
    if (pr.samples < 3 || !std::isfinite(pr.process.empty() ? kNaN : pr.process[0])) {
        fit.poor = true;
        if (fit.reason.empty())
            fit.reason = "no process temperature";
        return fit;
    }
    LocalFit best = refine(pr, input.table, sweepDeadTimes(pr, input.table));
    auto ci = intervals(pr, best);
    orderAsTable(best, ci, input.table, fit.reordered);
    fit.fitted = {static_cast<float>(best.deadTime), static_cast<float>(best.a),
                  static_cast<float>(best.b)};
    fit.outer = ci[0];
    fit.inner = ci[1];
    residualFigures(pr, fit);
    if (fit.reason.empty())
        fit.reason = judge(fit, unit);
    fit.poor = !fit.reason.empty();
    return fit;
}

double changePercent(double table, double fitted) {
    return table != 0 ? (fitted - table) / table * 100 : kNaN;
}

namespace {

std::string cell(double value, Pattern pattern) {
    return std::isfinite(value) ? formatPattern(value, pattern) : std::string();
}

std::string coefficientCell(double value) {
    return std::isfinite(value) ? plainNumberText(roundHalfEven(value * 1e7) / 1e7) : std::string();
}

std::string coefficientRow(const char* name, float table, float fitted, const FitInterval& i) {
    return std::string(name) + "," + roundTripText(table) + "," + roundTripText(fitted) + "," +
           cell(changePercent(table, fitted), Pattern::TwoDec) + "," + coefficientCell(i.low) +
           "," + coefficientCell(i.high) + "\n";
}

} // namespace

std::string fitCsv(const BarrierFit& fit) {
    std::string csv = "parameter,table,fitted,change_percent,low,high\n";
    csv += "dead_time," + roundTripText(fit.table.deadTime) + "," +
           roundTripText(fit.fitted.deadTime) + "," +
           cell(changePercent(fit.table.deadTime, fit.fitted.deadTime), Pattern::TwoDec) + ",,\n";
    csv += coefficientRow("outer", fit.table.outer, fit.fitted.outer, fit.outer);
    csv += coefficientRow("inner", fit.table.inner, fit.fitted.inner, fit.inner);
    csv += "rms,," + formatPattern(fit.rms, Pattern::ThreeDec) + ",,,\n";
    csv += "max_residual,," + formatPattern(fit.maxResidual, Pattern::ThreeDec) + ",,,\n";
    csv += "samples,," + std::to_string(fit.samples) + ",,,\n";
    return csv;
}

} // namespace kvh::core
