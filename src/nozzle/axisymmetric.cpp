#include "nozzle/axisymmetric.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "gas/isentropic.h"

namespace nozzle {
namespace {

using gas::Divide;
using gas::Finite;

// A point of the net while it is computed: angles in radians.
struct State {
  double x = 0.0, y = 0.0;
  double teta = 0.0, nu = 0.0;
  double M = 1.0, mu = 0.0;
};

constexpr int kMaxCorrections = 200;
constexpr double kPositionTolerance = 1e-10;  // relative to 1 + |x|
constexpr double kAngleTolerance = 1e-11;      // radians

// The step being computed, to name it when it fails; formed into text only then.
// Waves and C+ lines are named as in the design's record (fractions below Teta0).
struct Place {
  const char* step = "for the gas";
  double a = -1.0, b = -1.0;
  std::string Describe() const {
    std::string text = step;
    if (b >= 0.0) return text.append(" (").append(IndexName(a)).append(", ").append(IndexName(b)).append(")");
    if (a >= 0.0) text.append(" ").append(IndexName(a));
    return text;
  }
};

class UnitProcesses {
 public:
  explicit UnitProcesses(const gas::Gas& gas) : gas_(gas) {}

  State WithNu(State s, double nu, double guessM) const {
    s.nu = nu;
    s.M = gas::ExactMachFromNu(nu / gas::Pi_180, gas_, guessM);
    s.mu = std::asin(1.0 / s.M);
    return s;
  }

  // The point where the C- line through `a` meets the C+ line through `b`.
  // `guess`, when given, is a close solution (of a kernel a little different) to start from.
  State Interior(const State& a, const State& b, const State* guess = nullptr) const {
    State p = guess ? *guess : State{};
    bool first = guess == nullptr;
    double weight = 1.0, lastChange = INFINITY;
    for (int pass = 0; pass < kMaxCorrections; ++pass) {
      // The coefficients of the mean state on each piece; the known end alone first.
      const State& pa = first ? a : p;
      const State& pb = first ? b : p;
      const double tm = 0.5 * (a.teta + pa.teta), mm = 0.5 * (a.mu + pa.mu), ym = 0.5 * (a.y + pa.y);
      const double tp = 0.5 * (b.teta + pb.teta), mp = 0.5 * (b.mu + pb.mu), yp = 0.5 * (b.y + pb.y);
      // The pieces as directions, not slopes: near Mach 1 a C+ line may stand upright.
      const double alpha = tm - mm, beta = tp + mp;
      const double dx = b.x - a.x, dy = b.y - a.y;
      const double det = std::sin(beta - alpha);
      const double t = Divide(dx * std::sin(alpha) - dy * std::cos(alpha), det);  // along C+ from b
      State next;
      next.x = Finite(b.x + t * std::cos(beta));
      next.y = Finite(b.y + t * std::sin(beta));
      // Each relation's term, sin(mu) sin(theta) / (sin(theta -+ mu) y) dy of the mean
      // state, is written as a factor times the sum of the end angles, sin(theta_mean)
      // = sinc(theta_mean) (theta_a + theta_p) / 2, and the two relations are solved
      // for theta_p at once with the factors of the last estimate. Next to the axis,
      // where theta and y are both small, the term is then never a ratio of two small
      // numbers from an estimate that is still off (which made the plain iteration
      // diverge there). At a C+ line's start on the axis (b.y = 0, theta_b = 0) the
      // C+ factor is sin(mu) / sin(theta + mu): its limit, as sin(theta_p / 2) /
      // (y_p / 2) times y_p / 2 tends to theta_p / 2.
      const double r = first ? 0.0 : Factor(mm, tm, tm - mm, ym, next.y - a.y);
      const double q = b.y == 0.0 ? Divide(std::sin(mp), std::sin(tp + mp))
                                  : first ? 0.0 : Factor(mp, tp, tp + mp, yp, next.y - b.y);
      // Predictor: the coefficients of the known ends alone.
      const double sum0 = a.teta + a.nu + (first ? Coefficient(mm, tm, tm - mm, ym) * (next.y - a.y) : r * a.teta);
      const double difference0 =
          b.teta - b.nu - (first && b.y != 0.0 ? Coefficient(mp, tp, tp + mp, yp) * (next.y - b.y) : q * b.teta);
      next.teta = Finite(Divide(sum0 + difference0, 2.0 - r + q));
      const double nu = sum0 + r * next.teta - next.teta;
      next = WithNu(next, Finite(nu), first ? 0.5 * (a.M + b.M) : p.M);
      if (!first) {
        if (Settled(p, next)) return next;
        // Damped once the corrections grow.
        const double change = Change(p, next);
        if (change > lastChange) weight = std::max(weight * 0.5, 1.0 / 64.0);
        lastChange = change;
        if (weight < 1.0) next = Blend(p, next, weight);
      }
      p = next;
      first = false;
    }
    throw gas::ArithmeticError("the interior unit process did not converge");
  }

  // The point where the C- line through `a` reaches the axis (theta = 0, y = 0).
  // There the term sin(theta) / y of the compatibility relation is 0 / 0; its limit is
  // d(theta)/dy, and with theta odd in y the mean of the piece from `a` to the axis,
  // formed with theta and y halved as every mean here, is sin(theta_a / 2) / (y_a / 2):
  // the slope theta_a / y_a to second order. No coefficient is ever taken on the axis alone.
  State Axis(const State& a, const State* guess = nullptr) const {
    State p = guess ? *guess : State{};
    bool first = guess == nullptr;
    for (int pass = 0; pass < kMaxCorrections; ++pass) {
      const State& pa = first ? a : p;
      const double tm = 0.5 * (a.teta + pa.teta), mm = 0.5 * (a.mu + pa.mu), ym = 0.5 * (a.y + pa.y);
      const double alpha = tm - mm;
      State next;
      next.x = Finite(a.x - Divide(a.y * std::cos(alpha), std::sin(alpha)));
      next.y = 0.0;
      next.teta = 0.0;
      const double cMinus = Coefficient(mm, tm, tm - mm, ym);
      next = WithNu(next, Finite(a.teta + a.nu - cMinus * a.y), first ? a.M : p.M);
      if (!first && Settled(p, next)) return next;
      p = next;
      first = false;
    }
    throw gas::ArithmeticError("the axis unit process did not converge");
  }

 private:
  // The factor f of a piece's term f (theta_end + theta_p): sin(mu) sinc(theta) /
  // (sin(direction) y) dy / 2 of its mean state.
  static double Factor(double mu, double teta, double direction, double y, double dy) {
    const double sinc = teta == 0.0 ? 1.0 : std::sin(teta) / teta;
    return Divide(std::sin(mu) * sinc * 0.5 * dy, std::sin(direction) * y);
  }

  // sin(mu) sin(theta) / (sin(direction) y) of a mean state.
  static double Coefficient(double mu, double teta, double direction, double y) {
    return Divide(std::sin(mu) * std::sin(teta), std::sin(direction) * y);
  }

  static double Change(const State& p, const State& q) {
    return std::max({std::fabs(q.x - p.x) / (1.0 + std::fabs(q.x)), std::fabs(q.y - p.y) / (1.0 + std::fabs(q.y)),
                     std::fabs(q.teta - p.teta), std::fabs(q.nu - p.nu)});
  }

  State Blend(const State& p, const State& q, double weight) const {
    State s;
    s.x = p.x + weight * (q.x - p.x);
    s.y = p.y + weight * (q.y - p.y);
    s.teta = p.teta + weight * (q.teta - p.teta);
    return WithNu(s, p.nu + weight * (q.nu - p.nu), q.M);
  }

  static bool Settled(const State& p, const State& q) {
    return std::fabs(q.x - p.x) <= kPositionTolerance * (1.0 + std::fabs(q.x)) &&
           std::fabs(q.y - p.y) <= kPositionTolerance * (1.0 + std::fabs(q.y)) &&
           std::fabs(q.teta - p.teta) <= kAngleTolerance && std::fabs(q.nu - p.nu) <= kAngleTolerance;
  }

  const gas::Gas& gas_;
};

// The kernel of the fan waves `fan` (their angles at the corner, radians, rising; the
// first `below` of them below Teta0), (W + 1) x (W + 1) for W waves, (j, k) at
// j * (W + 1) + k. `previous`, when not empty, is the kernel of another fan with as
// many waves: each point starts from its own there.
std::vector<State> Kernel(const UnitProcesses& net, const std::vector<double>& fan, int below, Place& where,
                          const std::vector<State>& previous = {}) {
  const int W = static_cast<int>(fan.size());
  const auto name = [below](int k) { return WaveIndex(k, below); };
  const auto guess = [&previous, W](int j, int k) {
    return previous.empty() ? nullptr : &previous[static_cast<std::size_t>(j * (W + 1) + k)];
  };
  std::vector<State> points(static_cast<std::size_t>((W + 1) * (W + 1)));
  const auto at = [&points, W](int j, int k) -> State& { return points[static_cast<std::size_t>(j * (W + 1) + k)]; };
  for (int k = 1; k <= W; ++k) {
    where = {"at fan wave", name(k)};
    State wave;
    wave.y = 1.0;
    wave.teta = fan[static_cast<std::size_t>(k - 1)];
    at(0, k) = net.WithNu(wave, wave.teta, 0.0);
  }
  for (int j = 1; j <= W; ++j) {
    where = {"at axis point", name(j)};
    at(j, j) = net.Axis(at(j - 1, j), guess(j, j));
    for (int k = j + 1; k <= W; ++k) {
      where = {"at net point", name(j), name(k)};
      at(j, k) = net.Interior(at(j - 1, k), at(j, k - 1), guess(j, k));
    }
  }
  return points;
}

// The fan at the corner: `below` waves between the sonic line and Teta0, at Teta0 times
// the ninth power of k / (below + 1), then N waves from Teta0 to tetaMax in equal steps.
// Near Mach 1 nu grows as b^3 (b = sqrt(M^2 - 1)) and a wave reaches the axis about b
// downstream of the throat, so these waves' axis points crowd towards the throat as the
// cube of k / (below + 1): their C+ lines then cover the wall from the corner to C+ line
// 1 with points that crowd towards the corner, where the wall turns fastest.
std::vector<double> Fan(int below, int N, double teta0, double tetaMax) {
  std::vector<double> fan;
  for (int k = 1; k <= below; ++k) fan.push_back(teta0 * std::pow(static_cast<double>(k) / (below + 1), 9));
  for (int k = 0; k < N; ++k) fan.push_back(teta0 + k * (tetaMax - teta0) / (N - 1));
  return fan;
}

FlowPoint InDegrees(const State& s) {
  return {s.x, s.y, s.teta / gas::Pi_180, s.nu / gas::Pi_180, s.M, s.mu / gas::Pi_180};
}

State Between(const State& a, const State& b, double t) {
  State s;
  s.x = a.x + t * (b.x - a.x);
  s.y = a.y + t * (b.y - a.y);
  s.teta = a.teta + t * (b.teta - a.teta);
  s.nu = a.nu + t * (b.nu - a.nu);
  s.M = a.M + t * (b.M - a.M);
  s.mu = a.mu + t * (b.mu - a.mu);
  return s;
}

// The mass flow across the piece from a to b over the throat's, pi rho* a* (radius 1):
// 2 integral of y rho V / (rho* a*) (cos(theta) dy - sin(theta) dx), by the trapezoidal rule.
double MassAcross(const State& a, const State& b, double g) {
  const double fa = a.y / gas::AreaRatio(a.M, g), fb = b.y / gas::AreaRatio(b.M, g);
  return (b.y - a.y) * (fa * std::cos(a.teta) + fb * std::cos(b.teta)) -
         (b.x - a.x) * (fa * std::sin(a.teta) + fb * std::sin(b.teta));
}

// The root of miss(TetaMax) = nu(W, W) - nu(Me) above teta0 and below 90 degrees, by
// the secant method from `guess` until a step or the miss is below `tolerance`
// (relative, radians), kept inside the bracket it has found (a bisection
// when a step would leave it). A kernel that fails counts as one that expands too far.
template <class Miss>
double SolveTetaMax(Miss miss, double guess, double teta0, double tolerance) {
  double lo = teta0, hi = 0.5 * gas::Pi;
  const auto evaluate = [&](double t) {
    double f = INFINITY;
    try {
      f = miss(t);
    } catch (const gas::ArithmeticError&) {
    }
    if (f < 0.0) lo = t;
    if (f > 0.0) hi = t;
    return f;
  };
  double x0 = std::clamp(guess, lo + 0.5 * (hi - lo) * 1e-3, hi * 0.999);
  double f0 = evaluate(x0);
  double x1 = std::isfinite(f0) ? x0 * (1.0 + 1e-4) : 0.5 * (lo + x0);
  double f1 = evaluate(x1);
  for (int step = 0; step < 100; ++step) {
    if (f1 == 0.0) return x1;
    double x2 = std::isfinite(f0) && std::isfinite(f1) && f1 != f0 ? x1 - f1 * (x1 - x0) / (f1 - f0) : NAN;
    if (!(x2 > lo && x2 < hi)) x2 = 0.5 * (lo + hi);
    const double f2 = evaluate(x2);
    if (std::fabs(x2 - x1) <= tolerance * x2 || std::fabs(f2) <= tolerance) return x2;
    if (hi - lo <= tolerance * hi) return x2;
    x0 = x1;
    f0 = f1;
    x1 = x2;
    f1 = f2;
  }
  throw gas::ArithmeticError("the largest wall angle did not converge");
}

}  // namespace

AxisymmetricDesign DesignAxisymmetric(const DesignInputs& inputs) {
  AxisymmetricDesign d;
  d.inputs = inputs;
  Place where;
  try {
    d.gas = gas::Gas::WithGamma(inputs.gamma);
    where = {"in the number of waves"};
    if (!(inputs.N >= 2.0 && inputs.N <= 49.0 && inputs.N == std::floor(inputs.N))) {
      throw gas::ArithmeticError("N must be a whole number from 2 to 49");
    }
    const int N = static_cast<int>(inputs.N);
    d.N = N;
    const UnitProcesses net(d.gas);
    const double g = d.gas.gamma;
    const double nuE = gas::Nu_f_M(inputs.Me, d.gas) * gas::Pi_180;
    const double teta0 = inputs.Teta0 * gas::Pi_180;
    d.areaRatio = gas::AreaRatio(inputs.Me, g);

    // TetaMax, from about a quarter of nu(Me).
    std::vector<State> kernel;
    double kernelTetaMax = NAN;
    const auto wavesBelow = [teta0](int waves) { return teta0 > 0.0 ? WavesBelowTeta0(waves) : 0; };
    const auto solve = [&](int waves, double guess, double tolerance) {
      kernel.clear();
      const int below = wavesBelow(waves);
      return SolveTetaMax([&](double tetaMax) {
        kernel = Kernel(net, Fan(below, waves, teta0, tetaMax), below, where, kernel);
        kernelTetaMax = tetaMax;
        return kernel.back().nu - nuE;
      }, guess, teta0, tolerance);
    };
    where = {"in TetaMax"};
    // Its error falls as 1 / N^2: solved roughly for 7 and 13 waves (cheap), their
    // extrapolation to N starts the last solve close to the root.
    double b = solve(std::min(N, 7), 0.23 * nuE, N > 7 ? 1e-7 : 1e-10);
    if (N > 13) {
      const double b13 = solve(13, b, 1e-7);
      const double limit = b13 + (b13 - b) * 49.0 / (169.0 - 49.0);
      b = limit + (b13 - limit) * (169.0 / (N * N));
    }
    if (N > 7) b = solve(N, b, 1e-10);
    const int S = d.below = wavesBelow(N);
    const int W = d.W = S + N;
    if (kernelTetaMax != b) kernel = Kernel(net, Fan(S, N, teta0, b), S, where);
    if (!(std::fabs(kernel.back().nu - nuE) <= 1e-9)) {
      where = {"in TetaMax"};
      throw gas::ArithmeticError("no corner angle above Teta0 brings the axis to Me (a smaller Teta0 may)");
    }
    d.TetaMax = b / gas::Pi_180;
    const auto K = [&kernel, W](int j, int k) -> const State& {
      return kernel[static_cast<std::size_t>(j * (W + 1) + k)];
    };
    d.kernel.resize(kernel.size());
    for (std::size_t i = 0; i < kernel.size(); ++i) d.kernel[i] = InDegrees(kernel[i]);

    // C+ line j from the axis point of wave j to the last wave; those of the waves below
    // Teta0 reach the wall between the corner and C+ line 1.
    std::vector<std::vector<State>> cPlus;
    for (int j = 1; j <= W; ++j) {
      std::vector<State> line;
      for (int k = j; k <= W; ++k) line.push_back(K(j, k));
      cPlus.push_back(std::move(line));
    }
    // Line 0 of the turning region: the last wave, its point on C+ line c at n = W - 1 - c.
    std::vector<std::vector<State>> lines(1);
    for (int n = 0; n < W; ++n) lines[0].push_back(cPlus[static_cast<std::size_t>(W - 1 - n)].back());
    const State corner = K(0, W);

    // The exit characteristic.
    const State& start = K(W, W);
    const double exitRadius = std::sqrt(d.areaRatio);
    const double muE = std::asin(1.0 / inputs.Me);
    const double exitSlope = std::tan(muE);
    const auto onExit = [&](double y) {
      State s;
      s.x = start.x + y / exitSlope;
      s.y = y;
      s.nu = nuE;
      s.M = inputs.Me;
      s.mu = muE;
      return s;
    };
    // Turning line i's point on C+ line W - 1 - n, computed when first asked for
    // (with those it rests on).
    const auto ensure = [&](auto&& self, int i, int n) -> const State& {
      if (static_cast<int>(lines.size()) <= i) lines.resize(static_cast<std::size_t>(i + 1));
      while (static_cast<int>(lines[static_cast<std::size_t>(i)].size()) <= n) {
        const int m = static_cast<int>(lines[static_cast<std::size_t>(i)].size());
        if (m == 0) {
          lines[static_cast<std::size_t>(i)].push_back(onExit(exitRadius * i / N));
          continue;
        }
        const State upstream = self(self, i - 1, m);
        where = {"at the point of turning line and C+ line", static_cast<double>(i), d.WaveIndex(W - m)};
        const State downstream = lines[static_cast<std::size_t>(i)][static_cast<std::size_t>(m - 1)];
        lines[static_cast<std::size_t>(i)].push_back(net.Interior(downstream, upstream));
      }
      return lines[static_cast<std::size_t>(i)][static_cast<std::size_t>(n)];
    };

    // A wall point on every C+ line but the exit characteristic, from the corner on.
    std::vector<State> wall{corner};
    wall[0].teta = b;
    const auto height = [](const State& from, double slope, const State& q) {
      return (q.y - from.y) - slope * (q.x - from.x);
    };
    for (int c = 0; c + 1 < W; ++c) {
      const int n = W - 1 - c;
      const std::vector<State>& line = cPlus[static_cast<std::size_t>(c)];
      const State from = wall.back();
      double kernelPart = 0.0;
      for (std::size_t k = 1; k < line.size(); ++k) kernelPart += MassAcross(line[k - 1], line[k], g);
      double wallTeta = from.teta;
      State point;
      double mass = 0.0;
      int inside = 0;
      bool placed = false;
      for (int pass = 0; pass < kMaxCorrections && !placed; ++pass) {
        where = {"at wall point", c + 1.0};
        const double slope = std::tan(0.5 * (from.teta + wallTeta));
        State below = line.back();
        if (height(from, slope, below) >= 0.0) throw gas::ArithmeticError("the wall cuts into the kernel");
        mass = kernelPart;
        int i = 1;
        for (;; ++i) {
          if (i > 4 * N) throw gas::ArithmeticError("the wall does not meet its C+ line");
          const State above = ensure(ensure, i, n);
          where = {"at wall point", c + 1.0};
          const double ha = height(from, slope, above);
          if (ha >= 0.0) {
            const double hb = height(from, slope, below);
            point = Between(below, above, Divide(hb, hb - ha));
            break;
          }
          mass += MassAcross(below, above, g);
          below = above;
        }
        mass += MassAcross(below, point, g);
        inside = i - 1;
        placed = pass > 0 && std::fabs(point.teta - wallTeta) <= kAngleTolerance;
        wallTeta = point.teta;
      }
      if (!placed) throw gas::ArithmeticError("the wall point did not converge");
      wall.push_back(point);
      AxisymmetricDesign::CPlusLine record;
      record.index = d.WaveIndex(c + 1);
      for (const State& p : line) record.points.push_back(InDegrees(p));
      for (int i = 1; i <= inside; ++i) {
        record.beyond.push_back(InDegrees(lines[static_cast<std::size_t>(i)][static_cast<std::size_t>(n)]));
      }
      d.cPlusLines.push_back(std::move(record));
      d.massBalancePercent = std::max(d.massBalancePercent, 100.0 * std::fabs(mass - 1.0));
    }

    // The lip: where the wall chord, ending at theta = 0, meets the exit characteristic.
    where = {"at the exit lip"};
    const State from = wall.back();
    const double slope = std::tan(0.5 * from.teta);
    State lip = onExit(0.0);
    lip.x = Divide(Finite((from.y - start.y) + exitSlope * start.x - slope * from.x), exitSlope - slope);
    lip.y = Finite(start.y + exitSlope * (lip.x - start.x));
    wall.push_back(lip);
    d.massBalancePercent = std::max(d.massBalancePercent, 100.0 * std::fabs(lip.y * lip.y / d.areaRatio - 1.0));
    AxisymmetricDesign::CPlusLine exitLine;
    exitLine.index = d.WaveIndex(W);
    for (const State& p : cPlus.back()) exitLine.points.push_back(InDegrees(p));
    d.cPlusLines.push_back(std::move(exitLine));
    for (std::size_t i = 1; i < lines.size(); ++i) {
      std::vector<FlowPoint> line;
      for (const State& s : lines[i]) line.push_back(InDegrees(s));
      d.turning.push_back(std::move(line));
    }
    for (const State& s : wall) d.wall.push_back(InDegrees(s));
  } catch (const std::logic_error& error) {
    throw RunError(std::string(error.what()) + " " + where.Describe());
  }
  for (std::size_t i = 1; i < d.wall.size() && d.wallTurnsBackAt == 0; ++i) {
    if (!(d.wall[i].x > d.wall[i - 1].x && d.wall[i].y >= d.wall[i - 1].y)) d.wallTurnsBackAt = static_cast<int>(i);
  }
  if (d.wallTurnsBackAt != 0) d.wallWarning = WallWarning(d.wallTurnsBackAt);
  return d;
}

}  // namespace nozzle
