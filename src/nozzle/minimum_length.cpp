#include "nozzle/minimum_length.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "gas/isentropic.h"
#include "moc/unit_processes.h"
#include "nozzle/turning_region.h"

namespace nozzle {
namespace {


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

MarchedDesign MarchMinimumLength(const DesignInputs& inputs, moc::Flow flow, moc::Tolerances tolerances) {
  MarchedDesign d;
  d.inputs = inputs;
  d.flow = flow;
  const bool round = flow == moc::Flow::kAxisymmetric;
  Place where;
  try {
    d.gas = gas::Gas::WithGamma(inputs.gamma);
    where = {"in the number of waves"};
    const int N = WaveCount(inputs.N);
    d.N = N;
    const UnitProcesses net(d.gas, flow, tolerances);
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
    // The turning region beyond the last wave, and the wall that closes it.
    TurningRegionInputs turning;
    for (int n = 0; n < W; ++n) turning.last.push_back(cPlus[static_cast<std::size_t>(W - 1 - n)].back());
    turning.from = K(0, W);
    turning.from.theta = b;
    turning.massTo.assign(static_cast<std::size_t>(W), 0.0);
    for (int c = 0; c + 1 < W; ++c) {
      const std::vector<State>& line = cPlus[static_cast<std::size_t>(c)];
      double kernelPart = 0.0;
      for (std::size_t k = 1; k < line.size(); ++k) kernelPart += net.MassAcross(line[k - 1], line[k]);
      turning.massTo[static_cast<std::size_t>(W - 1 - c)] = kernelPart;
    }
    turning.Me = inputs.Me;
    turning.nuE = nuE;
    turning.exitHeight = round ? std::sqrt(d.areaRatio) : d.areaRatio;  // exit radius sqrt(A/A*), half-height A/A*
    turning.N = N;
    turning.at = [&](int i, int n) {
      if (i > 0) where = {"at the point of turning line and C+ line", static_cast<double>(i), d.WaveIndex(W - n)};
      else if (i == 0) where = {"at wall point", static_cast<double>(n)};
      else where = {"at the exit lip"};
    };
    const TurningRegion region = CloseTurningRegion(net, turning);
    const std::vector<State>& wall = region.wall;
    for (int c = 0; c + 1 < W; ++c) {
      const int n = W - 1 - c;
      MarchedDesign::CPlusLine record;
      record.index = d.WaveIndex(c + 1);
      for (const State& p : cPlus[static_cast<std::size_t>(c)]) record.points.push_back(InDegrees(p));
      for (int i = 1; i <= region.inside[static_cast<std::size_t>(c)]; ++i) {
        record.beyond.push_back(InDegrees(region.lines[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(n)]));
      }
      d.cPlusLines.push_back(std::move(record));
    }
    d.massBalancePercent = 100.0 * region.massMiss;
    const State& lip = wall.back();
    const double exitArea = round ? lip.y * lip.y : lip.y;
    d.massBalancePercent = std::max(d.massBalancePercent, 100.0 * std::fabs(exitArea / d.areaRatio - 1.0));
    MarchedDesign::CPlusLine exitLine;
    exitLine.index = d.WaveIndex(W);
    for (const State& p : cPlus.back()) exitLine.points.push_back(InDegrees(p));
    d.cPlusLines.push_back(std::move(exitLine));
    for (const std::vector<State>& line : region.lines) {
      std::vector<FlowPoint> points;
      for (const State& s : line) points.push_back(InDegrees(s));
      d.turning.push_back(std::move(points));
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
