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
/// The traces as the search reads them: the process with gaps carried forward, the measured
/// internal trace with NaN where nothing was measured, from the first measured minute on.
struct Problem {
    std::vector<double> process;
    std::vector<double> internal;
    size_t first = 0; ///< first measured minute; both stages start there
    double start = 0; ///< the measured value there
    int64_t samples = 0;
};

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
    pr.start = pr.first < n ? pr.internal[pr.first] : kNaN;
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

/// A point of the search: both coefficients and the value both stages start at. The logger's
/// first reading carries its noise, and in a slow inner stage that error would stay for hours
/// and pull the coefficients and the dead time, so the start is fitted with them.
struct Point {
    double a = 0, b = 0, start = 0;
};

/// One pass of both stages in double, so that the search sees a smooth surface: calls
/// `visit(i, residual, dIn/da, dIn/db, dIn/dstart)` for every measured minute, i counted from
/// the first measured minute.
template <typename Visit>
void walkStages(const Problem& pr, int deadTime, const Point& x, Visit&& visit) {
    const double a = x.a, b = x.b;
    double mid = x.start, in = x.start;
    double dMidA = 0, dInA = 0, dInB = 0, dMidS = 1, dInS = 1;
    visit(size_t{0}, in - pr.internal[pr.first], 0.0, 0.0, 1.0);
    const size_t n = pr.internal.size();
    for (size_t m = pr.first + 1; m < n; ++m) {
        const double gapOuter = delayed(pr.process, m, deadTime) - mid;
        dMidA = (1 - a) * dMidA + gapOuter;
        dMidS = (1 - a) * dMidS;
        mid += a * gapOuter;
        const double gapInner = mid - in;
        dInA = (1 - b) * dInA + b * dMidA;
        dInB = (1 - b) * dInB + gapInner;
        dInS = (1 - b) * dInS + b * dMidS;
        in += b * gapInner;
        const double y = pr.internal[m];
        if (std::isfinite(y))
            visit(m - pr.first, in - y, dInA, dInB, dInS);
    }
}

/// The least-squares problem for one dead time, in logistic coordinates u = logit(a), so that
/// every step of the search keeps 0 < a, b < 1; the start is free.
struct StagesFunctor : Eigen::DenseFunctor<double> {
    StagesFunctor(const Problem& pr, int deadTime)
        : DenseFunctor(3, static_cast<int>(pr.internal.size() - pr.first)), m_pr(pr),
          m_deadTime(deadTime), m_jac(values(), 3) {}

    static Point point(const InputType& x) { return {logistic(x[0]), logistic(x[1]), x[2]}; }

    int operator()(const InputType& x, ValueType& fvec) {
        const Point p = point(x);
        fvec.setZero();
        m_jac.setZero(); // missing minutes weigh nothing
        const double sa = p.a * (1 - p.a), sb = p.b * (1 - p.b);
        walkStages(m_pr, m_deadTime, p, [&](size_t i, double r, double da, double db, double ds) {
            const auto row = static_cast<Eigen::Index>(i);
            fvec[row] = r;
            m_jac(row, 0) = da * sa;
            m_jac(row, 1) = db * sb;
            m_jac(row, 2) = ds;
        });
        m_at = x;
        return 0;
    }
    int df(const InputType& x, JacobianType& fjac) {
        if (m_at.size() != 3 || m_at != x) {
            ValueType scratch(values());
            (*this)(x, scratch);
        }
        fjac = m_jac;
        return 0;
    }

private:
    const Problem& m_pr;
    int m_deadTime;
    Eigen::MatrixXd m_jac;
    InputType m_at;
};

/// One local search: the point reached and its sum of squares.
struct LocalFit {
    int deadTime = 0;
    Point x;
    double sse = std::numeric_limits<double>::infinity();
};

bool bySse(const LocalFit& l, const LocalFit& r) {
    return l.sse < r.sse;
}

double sumOfSquares(const Problem& pr, int deadTime, const Point& x) {
    double sse = 0;
    walkStages(pr, deadTime, x, [&](size_t, double r, double, double, double) { sse += r * r; });
    return sse;
}

/// Levenberg-Marquardt by Eigen from one point, run until it settles.
LocalFit polish(const Problem& pr, int deadTime, const Point& from) {
    StagesFunctor functor(pr, deadTime);
    Eigen::LevenbergMarquardt<StagesFunctor> lm(functor);
    lm.setMaxfev(200);
    lm.setXtol(1e-12);
    lm.setFtol(1e-14);
    Eigen::VectorXd x(3);
    x << logit(from.a), logit(from.b), from.start;
    lm.minimize(x);
    LocalFit fit{deadTime, StagesFunctor::point(x), 0};
    fit.sse = sumOfSquares(pr, deadTime, fit.x);
    return std::isfinite(fit.sse) ? fit : LocalFit{};
}

/// The sum of squares with the normal equations of a Gauss-Newton step, in one pass that
/// stores nothing (the sweep over dead times runs it many times).
struct Normal {
    double sse = 0;
    Eigen::Matrix3d jtj = Eigen::Matrix3d::Zero();
    Eigen::Vector3d jtr = Eigen::Vector3d::Zero();
};

Normal normalEquations(const Problem& pr, int deadTime, const Point& x) {
    Normal n;
    double aa = 0, ab = 0, as = 0, bb = 0, bs = 0, ss = 0, ar = 0, br = 0, sr = 0;
    walkStages(pr, deadTime, x, [&](size_t, double r, double da, double db, double ds) {
        n.sse += r * r;
        aa += da * da;
        ab += da * db;
        as += da * ds;
        bb += db * db;
        bs += db * ds;
        ss += ds * ds;
        ar += da * r;
        br += db * r;
        sr += ds * r;
    });
    n.jtj << aa, ab, as, ab, bb, bs, as, bs, ss;
    n.jtr << ar, br, sr;
    return n;
}

/// Levenberg-Marquardt on the normal equations for one dead time, until the point stops
/// moving: the sweep over dead times ranks them by settled fits only. A coefficient that
/// stands at 1 with the slope pointing beyond stays there while the others move.
LocalFit settle(const Problem& pr, int deadTime, const Point& from) {
    Point x = from;
    Normal n = normalEquations(pr, deadTime, x);
    if (!std::isfinite(n.sse))
        return {};
    double lambda = 1e-4;
    for (int k = 0; k < 200 && lambda < 1e8; ++k) {
        Eigen::Matrix3d m = n.jtj;
        m.diagonal() *= 1 + lambda;
        Eigen::Vector3d g = n.jtr;
        const std::array<bool, 2> atTop{x.a >= 1 && g[0] < 0, x.b >= 1 && g[1] < 0};
        for (int i = 0; i < 2; ++i)
            if (atTop[static_cast<size_t>(i)]) {
                m.row(i).setZero();
                m.col(i).setZero();
                m(i, i) = 1;
                g[i] = 0;
            }
        const Eigen::Vector3d step = m.ldlt().solve(-g);
        // Settled when a full Gauss-Newton step would take off less than a thousandth of
        // one sample's share of the sum of squares (far below what tells dead times apart).
        const double tiny = 1e-3 * n.sse / static_cast<double>(pr.samples);
        if (lambda <= 1e-3 && -0.5 * g.dot(step) <= tiny)
            break;
        // Both coefficients stay inside (0, 1]: a step may at most halve or double them.
        const Point trial{std::clamp(x.a + step[0], 0.5 * x.a, std::min(1.0, 2 * x.a)),
                          std::clamp(x.b + step[1], 0.5 * x.b, std::min(1.0, 2 * x.b)),
                          x.start + step[2]};
        const Normal next = normalEquations(pr, deadTime, trial);
        if (!(next.sse < n.sse)) {
            lambda *= 10;
            continue;
        }
        const bool settled = n.sse - next.sse <= 1e-3 * tiny;
        x = trial;
        n = next;
        lambda = std::max(lambda * 0.1, 1e-9);
        if (settled)
            break;
    }
    return {deadTime, x, n.sse};
}

/// The table's coefficients as a start, with stand-ins where the table holds none.
Point tableStart(const Problem& pr, const BarrierCoefficients& table) {
    return {table.outer > 0 ? table.outer : 0.1, table.inner > 0 ? table.inner : 0.01, pr.start};
}

/// The best of several local searches at one dead time: from the given point, the table's
/// values and a few spread starts (the surface has a ridge where both stages are equal).
LocalFit multiStart(const Problem& pr, int deadTime, const BarrierCoefficients& table,
                    const Point& given) {
    const Point t = tableStart(pr, table);
    const std::array<Point, 4> starts{{given, t, {0.5, 0.02, pr.start}, {0.05, 0.002, pr.start}}};
    LocalFit best;
    for (const Point& s : starts)
        best = std::min(best, settle(pr, deadTime, s), bySse);
    return best;
}

/// Every dead time, each settled from where its neighbour ended (the surface moves little from
/// one minute to the next), out from the table's dead time both ways.
std::array<LocalFit, kFitMaxDeadTime + 1> sweepDeadTimes(const Problem& pr,
                                                         const BarrierCoefficients& table) {
    std::array<LocalFit, kFitMaxDeadTime + 1> fits{};
    const int d0 = std::clamp(static_cast<int>(roundHalfEven(table.deadTime)), 0, kFitMaxDeadTime);
    fits[static_cast<size_t>(d0)] = multiStart(pr, d0, table, tableStart(pr, table));
    for (int step : {1, -1}) {
        LocalFit last = fits[static_cast<size_t>(d0)];
        for (int d = d0 + step; d >= 0 && d <= kFitMaxDeadTime; d += step) {
            const LocalFit fit = settle(pr, d, last.x);
            if (std::isfinite(fit.sse))
                last = fit;
            fits[static_cast<size_t>(d)] = fit;
        }
    }
    return fits;
}

/// The dead time with the least settled sum of squares searched again from spread starts,
/// its neighbours from its point and the table's (a neighbour reached along the sweep may sit
/// in a poorer valley), and the best polished by Eigen's Levenberg-Marquardt.
LocalFit refine(const Problem& pr, const BarrierCoefficients& table,
                const std::array<LocalFit, kFitMaxDeadTime + 1>& sweep) {
    LocalFit best = *std::min_element(sweep.begin(), sweep.end(), bySse);
    best = std::min(best, multiStart(pr, best.deadTime, table, best.x), bySse);
    const LocalFit centre = best;
    for (int d = std::max(0, centre.deadTime - 2);
         d <= std::min(kFitMaxDeadTime, centre.deadTime + 2); ++d)
        for (const Point& from : {centre.x, tableStart(pr, table)})
            best = std::min(best, settle(pr, d, from), bySse);
    return std::min(best, polish(pr, best.deadTime, best.x), bySse);
}

/// Approximate 95 % intervals for a and b: s^2 (J'J)^-1 with J by the coefficients and the
/// start, the start's share taken out.
std::array<FitInterval, 2> intervals(const Problem& pr, const LocalFit& fit) {
    const Normal n = normalEquations(pr, fit.deadTime, fit.x);
    const double dof = static_cast<double>(std::max<int64_t>(1, pr.samples - 4));
    const double s2 = n.sse / dof;
    const Eigen::FullPivLU<Eigen::Matrix3d> lu(n.jtj);
    const double inf = std::numeric_limits<double>::infinity();
    double va = inf, vb = inf;
    if (lu.isInvertible()) {
        const Eigen::Matrix3d cov = lu.inverse() * s2;
        va = cov(0, 0) >= 0 ? cov(0, 0) : inf;
        vb = cov(1, 1) >= 0 ? cov(1, 1) : inf;
    }
    const double ha = kZ95 * std::sqrt(va), hb = kZ95 * std::sqrt(vb);
    return {{{fit.x.a - ha, fit.x.a + ha}, {fit.x.b - hb, fit.x.b + hb}}};
}

/// RMS and largest residual of the program's own single-precision run.
void residualFigures(const Problem& pr, BarrierFit& fit) {
    // Minute m of the run reads the process at m - D counted from the recording's start.
    std::vector<double> shifted(pr.internal.size() - pr.first);
    for (size_t i = 0; i < shifted.size(); ++i)
        shifted[i] = delayed(pr.process, pr.first + i, static_cast<int>(fit.fitted.deadTime));
    const std::vector<float> in = stagesOnTrace(shifted, 0, fit.fitted.outer, fit.fitted.inner,
                                                static_cast<float>(fit.start));
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
    reordered = tableOuterLarger ? best.x.a < best.x.b : best.x.a > best.x.b;
    if (reordered) {
        std::swap(best.x.a, best.x.b);
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
    fit.fitted = {static_cast<float>(best.deadTime), static_cast<float>(best.x.a),
                  static_cast<float>(best.x.b)};
    fit.start = best.x.start;
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
