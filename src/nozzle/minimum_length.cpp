#include "nozzle/minimum_length.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "gas/isentropic.h"
#include "moc/unit_processes.h"

namespace nozzle {
namespace {

using gas::Divide;
using gas::Finite;

using State = moc::Point;


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

using UnitProcesses = moc::UnitProcesses;

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
    wave.theta = fan[static_cast<std::size_t>(k - 1)];
    at(0, k) = net.WithNu(wave, wave.theta, 0.0);
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
  return {s.x, s.y, s.theta / gas::Pi_180, s.nu / gas::Pi_180, s.M, s.mu / gas::Pi_180};
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

MarchedDesign MarchMinimumLength(const DesignInputs& inputs, moc::Flow flow) {
  MarchedDesign d;
  d.inputs = inputs;
  d.flow = flow;
  const bool round = flow == moc::Flow::kAxisymmetric;
  Place where;
  try {
    d.gas = gas::Gas::WithGamma(inputs.gamma);
    where = {"in the number of waves"};
    if (!(inputs.N >= 2.0 && inputs.N <= 49.0 && inputs.N == std::floor(inputs.N))) {
      throw gas::ArithmeticError("N must be a whole number from 2 to 49");
    }
    const int N = static_cast<int>(inputs.N);
    d.N = N;
    const UnitProcesses net(d.gas, flow);
    const double nuE = d.gas.Nu(inputs.Me) * gas::Pi_180;
    const double teta0 = inputs.Teta0 * gas::Pi_180;
    d.areaRatio = d.gas.AreaRatio(inputs.Me);

    std::vector<State> kernel;
    double kernelTetaMax = NAN;
    const auto wavesBelow = [teta0, round](int waves) { return round && teta0 > 0.0 ? WavesBelowTeta0(waves) : 0; };
    double b = 0.5 * nuE;
    if (round) {
      // TetaMax, from about a quarter of nu(Me).
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
      b = solve(std::min(N, 7), 0.23 * nuE, N > 7 ? 1e-7 : 1e-10);
      if (N > 13) {
        const double b13 = solve(13, b, 1e-7);
        const double limit = b13 + (b13 - b) * 49.0 / (169.0 - 49.0);
        b = limit + (b13 - limit) * (169.0 / (N * N));
      }
      if (N > 7) b = solve(N, b, 1e-10);
    }
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

    // The exit characteristic: exit half-height A/A*, or exit radius sqrt(A/A*).
    const State& start = K(W, W);
    const double exitHeight = round ? std::sqrt(d.areaRatio) : d.areaRatio;
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
          lines[static_cast<std::size_t>(i)].push_back(onExit(exitHeight * i / N));
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
    wall[0].theta = b;
    for (int c = 0; c + 1 < W; ++c) {
      const int n = W - 1 - c;
      const std::vector<State>& line = cPlus[static_cast<std::size_t>(c)];
      double kernelPart = 0.0;
      for (std::size_t k = 1; k < line.size(); ++k) kernelPart += net.MassAcross(line[k - 1], line[k]);
      where = {"at wall point", c + 1.0};
      const moc::StreamlineCrossing crossing = net.Streamline(
          wall.back(), line.back(), kernelPart,
          [&](int i) -> const State& {
            const State& point = ensure(ensure, i, n);
            where = {"at wall point", c + 1.0};
            return point;
          },
          4 * N);
      wall.push_back(crossing.point);
      MarchedDesign::CPlusLine record;
      record.index = d.WaveIndex(c + 1);
      for (const State& p : line) record.points.push_back(InDegrees(p));
      for (int i = 1; i <= crossing.inside; ++i) {
        record.beyond.push_back(InDegrees(lines[static_cast<std::size_t>(i)][static_cast<std::size_t>(n)]));
      }
      d.cPlusLines.push_back(std::move(record));
      d.massBalancePercent = std::max(d.massBalancePercent, 100.0 * std::fabs(crossing.mass - 1.0));
    }

    // The lip: where the wall chord, ending at theta = 0, meets the exit characteristic.
    where = {"at the exit lip"};
    const State from = wall.back();
    const double slope = std::tan(0.5 * from.theta);
    State lip = onExit(0.0);
    lip.x = Divide(Finite((from.y - start.y) + exitSlope * start.x - slope * from.x), exitSlope - slope);
    lip.y = Finite(start.y + exitSlope * (lip.x - start.x));
    wall.push_back(lip);
    const double exitArea = round ? lip.y * lip.y : lip.y;
    d.massBalancePercent = std::max(d.massBalancePercent, 100.0 * std::fabs(exitArea / d.areaRatio - 1.0));
    MarchedDesign::CPlusLine exitLine;
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
