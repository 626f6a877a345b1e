#include "nozzle/rounded_throat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "moc/march.h"
#include "moc/transonic.h"
#include "nozzle/turning_region.h"

namespace nozzle {
namespace {

using State = moc::Point;

constexpr double kLargestArcAngle = 80.0;

struct Marched {
  moc::MarchedNet net;
  std::vector<std::pair<int, int>> last;  // the last C- line from the arc's end A to E: (row, index)
  double miss = 0.0;                      // nu(E) - nu(Me), radians
  std::string failure;                    // a march that failed along too long an arc
};

Marched MarchTo(const moc::UnitProcesses& processes, const std::vector<State>& start, const moc::WallCurve& arc,
                double xa, double nuE) {
  moc::MarchSetup setup;
  setup.start = start;
  setup.wall = &arc;
  setup.xEnd = xa;
  setup.wallEndsAtXEnd = true;
  Marched m;
  try {
    m.net = moc::March(processes, setup);
  } catch (const moc::MarchError& error) {
    // Along an arc so long that the net cannot follow it (a C+ line that no longer
    // meets it): such an arc expands too far, as one whose waves cross.
    m.failure = error.what();
  }
  if (m.net.shock || !m.failure.empty()) {
    // An arc so long that its waves cross before the axis: it expands too far.
    m.miss = INFINITY;
    return m;
  }
  if (m.net.wallEndRow < 0) throw gas::ArithmeticError("the net does not reach the arc's end");
  for (std::size_t r = static_cast<std::size_t>(m.net.wallEndRow); r < m.net.rows.size(); ++r) {
    if (m.net.rows[r].empty()) break;
    m.last.emplace_back(static_cast<int>(r), static_cast<int>(m.net.rows[r].size()) - 1);
  }
  const auto& [row, index] = m.last.back();
  const moc::NetPoint& E = m.net.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)];
  if (!E.onAxis || m.last.size() < 2) throw gas::ArithmeticError("the arc's last C- line does not reach the axis");
  m.miss = E.state.nu - nuE;
  return m;
}

// The axis past the last C- line's foot E of an ideal nozzle, 4 N points: the axis
// of the source flow of half-angle theta_i that carries the net's mass flow m (the
// radial-flow region of Foelsch and of Sivells, here imposed on the axis), then a
// polynomial to Me. The source flow's axis: x(M) = x_0 + r* rho(M), rho the area ratio
// (round: its square root), r* = m / theta_i planar, sqrt(m / (2 (1 - cos theta_i)))
// round, x_0 placing M_E at x_E. From G on, M = M_G + (Me - M_G) (1 - (1 - s)^3),
// s = (x - x_G) / L, L = 3 (Me - M_G) / (dM/dx)_G: it reaches Me at C (s = 1) with
// dM/dx = d2M/dx2 = 0, leaves G with the source's dM/dx, and with its d2M/dx2 too, as
// G is the root of (rho'' / rho') (Me - M_G) = 2/3 (else G = E).
std::vector<State> AxisPast(const moc::UnitProcesses& processes, const State& E, double Me, double nuE, int N,
                            double thetaI, double mass) {
  std::vector<State> axis;
  if (!(Me - E.M > 1e-9 * Me)) return axis;
  const gas::Gas& g = processes.Gas();
  const bool round = processes.Axisymmetric();
  const auto rho = [&](double M) {
    const double a = g.AreaRatio(M);
    return round ? std::sqrt(a) : a;
  };
  const auto rho1 = [&](double M) { return (rho(M * (1.0 + 1e-6)) - rho(M * (1.0 - 1e-6))) / (2e-6 * M); };
  const auto rho2 = [&](double M) {
    return (rho(M * (1.0 + 1e-4)) - 2.0 * rho(M) + rho(M * (1.0 - 1e-4))) / (1e-8 * M * M);
  };
  const double rs = round ? std::sqrt(mass / (2.0 * (1.0 - std::cos(thetaI)))) : mass / thetaI;
  const double x0 = E.x - rs * rho(E.M);
  const auto h = [&](double M) { return rho2(M) / rho1(M) * (Me - M) - 2.0 / 3.0; };
  double MG = E.M;
  if (h(MG) > 0.0) {
    double lo = E.M, hi = Me;
    for (int k = 0; k < 200 && hi - lo > 1e-13 * Me; ++k) (h(0.5 * (lo + hi)) > 0.0 ? lo : hi) = 0.5 * (lo + hi);
    MG = 0.5 * (lo + hi);
  }
  const double xG = x0 + rs * rho(MG);
  const double L = 3.0 * (Me - MG) * rs * rho1(MG);
  const double along = (xG - E.x) + L;
  const int n1 = static_cast<int>(std::lround(4.0 * N * (xG - E.x) / along));
  const int n2 = 4 * N - n1;
  const auto point = [&](double x, double M) {
    State p;
    p.x = x;
    p.M = M;
    p.nu = M == Me ? nuE : g.Nu(M) * gas::Pi_180;
    p.mu = std::asin(1.0 / M);
    return p;
  };
  for (int k = 1; k <= n1; ++k) {
    const double x = E.x + (xG - E.x) * k / n1;
    const double q = (x - x0) / rs;
    axis.push_back(point(x, k == n1 ? MG : g.SupersonicMachOfAreaRatio(round ? q * q : q)));
  }
  for (int k = 1; k <= n2; ++k) {
    const double s = static_cast<double>(k) / n2;
    axis.push_back(point(xG + L * s, k == n2 ? Me : MG + (Me - MG) * (1.0 - std::pow(1.0 - s, 3))));
  }
  return axis;
}

// The turning region past a marched net's last C- line, with the axis past it for an
// ideal nozzle, and the wall point of the largest angle.
struct Closed {
  TurningRegionInputs turning;
  TurningRegion region;
  State inflection;
};

// thetaI > 0: an ideal nozzle's inflection angle (radians).
Closed Close(const moc::UnitProcesses& processes, const Marched& m, double thetaI, double Me, double nuE,
             double areaRatio, bool round, int N, std::string& where) {
  Closed closed;
  TurningRegionInputs& turning = closed.turning;
  const moc::MarchedNet& net = m.net;
  for (auto place = m.last.rbegin(); place + 1 != m.last.rend(); ++place) turning.last.push_back(net.At(*place));
  turning.from = net.At(m.last.front());
  turning.massTo.assign(turning.last.size(), 0.0);
  for (std::size_t n = 1; n < turning.last.size(); ++n) {
    turning.massTo[n] = turning.massTo[n - 1] + processes.MassAcross(turning.last[n - 1], turning.last[n]);
  }
  turning.massOfWall = turning.massTo.back() + processes.MassAcross(turning.last.back(), turning.from);
  const double exitArea = turning.massOfWall * areaRatio;
  turning.Me = Me;
  turning.nuE = nuE;
  turning.exitHeight = round ? std::sqrt(exitArea) : exitArea;
  turning.N = N;
  if (thetaI > 0.0) turning.axis = AxisPast(processes, net.At(m.last.back()), Me, nuE, N, thetaI, turning.massOfWall);
  where = "in the turning region";
  turning.at = [&where](int i, int n) {
    where = i > 0    ? "at the point of turning line " + std::to_string(i) + " and the C+ line from point " +
                        std::to_string(n) + " of the last C- line"
            : i == 0 ? "at designed wall point " + std::to_string(n)
                     : "at the exit lip";
  };
  closed.region = CloseTurningRegion(processes, turning);
  closed.inflection = *std::max_element(closed.region.wall.begin(), closed.region.wall.end(),
                                        [](const State& a, const State& b) { return a.theta < b.theta; });
  return closed;
}

// The arc's end of an ideal nozzle: the root of (the wall's largest angle) - theta_i by
// false position (Illinois), between the shortest arc the net resolves (x = lo) and the
// minimum-length nozzle's (`longest`), whose largest angles bound the angles admitted;
// theta_i = 0 takes the middle of that range.
Marched IdealArc(const moc::UnitProcesses& processes, const std::vector<State>& start, const moc::WallCurve& arc,
                 double lo, Marched longest, const DesignInputs& inputs, double nuE, double areaRatio, bool round,
                 int N, double& thetaI, std::string& where) {
  double target = inputs.inflectionAngle * gas::Pi_180;
  const auto largest = [&](const Marched& m) {
    if (!std::isfinite(m.miss)) throw gas::ArithmeticError(m.failure.empty() ? "the net forms a shock" : m.failure);
    return Close(processes, m, target, inputs.Me, nuE, areaRatio, round, N, where).inflection.theta;
  };
  const double thetaHigh = longest.net.At(longest.last.front()).theta;
  Marched shortest = MarchTo(processes, start, arc, lo, nuE);
  double thetaLow = NAN;  // the largest angle past the shortest arc, with the source flow of target
  if (target == 0.0) {
    // The least angle admitted: the largest angle past the shortest arc when the
    // source flow's angle is that angle too (a fixed point, found by iteration).
    target = shortest.net.At(shortest.last.front()).theta;
    for (int k = 0; k < 20; ++k) {
      const double next = largest(shortest);
      const bool settled = std::fabs(next - target) < 1e-6;
      target = next;
      if (settled) break;
    }
    // The middle of the range; where the wall past the shortest arc turns further than
    // that (the largest angle need not grow as slowly as the source flow's angle), the
    // angles nearer the minimum-length nozzle's.
    const double least = target;
    double turned = NAN;
    std::string failure;
    for (const double f : {0.5, 0.75, 0.875, 0.9375}) {
      target = least + f * (thetaHigh - least);
      try {
        turned = largest(shortest);
      } catch (const std::logic_error& error) {  // the region past the arc fails at this angle
        turned = NAN;
        failure = error.what();
        continue;
      }
      if (target > turned && target < thetaHigh) break;
    }
    if (std::isnan(turned)) throw gas::ArithmeticError(failure);
    if (!(target > turned && target < thetaHigh)) {
      throw InputRefusal("this throat and Me admit no ideal nozzle: past the shortest arc the wall turns further "
                         "(to " +
                         FixedText(std::max(least, turned) / gas::Pi_180, 2) +
                         " degrees) than the source flow's angle, "
                         "up to the minimum-length nozzle's arc (" +
                         FixedText(thetaHigh / gas::Pi_180, 2) + " degrees): a larger throat radius");
    }
    thetaLow = turned;
  } else {
    thetaLow = largest(shortest);
  }
  where = "in the inflection angle";
  if (!(target > thetaLow && target < thetaHigh)) {
    throw InputRefusal("an inflection angle of " + FixedText(target / gas::Pi_180, 2) +
                       " degrees lies outside the range this throat and Me admit: above " +
                       FixedText(thetaLow / gas::Pi_180, 2) + " (the wall's largest angle past the shortest arc) and below " +
                       FixedText(thetaHigh / gas::Pi_180, 2) + " degrees (the minimum-length nozzle's arc)");
  }
  thetaI = target;
  double xl = lo, xh = longest.net.At(longest.last.front()).x;
  double fl = thetaLow - target, fh = thetaHigh - target;
  Marched best = std::move(shortest);
  double bestMiss = std::fabs(fl);
  int side = 0;
  for (int step = 0; step < 100 && bestMiss > 1e-9 && xh - xl > 1e-13 * (1.0 + xh); ++step) {
    const double x = std::clamp(xh - fh * (xh - xl) / (fh - fl), xl + 1e-3 * (xh - xl), xh - 1e-3 * (xh - xl));
    Marched m = MarchTo(processes, start, arc, x, nuE);
    double f = 0.0;
    try {
      f = largest(m) - target;
    } catch (const std::logic_error&) {
      // A net that forms a shock, or a region past it that fails: an arc too long.
      xh = x;
      side = 0;
      continue;
    }
    if (f < 0.0) {
      xl = x;
      fl = f;
      if (side == -1) fh *= 0.5;
      side = -1;
    } else {
      xh = x;
      fh = f;
      if (side == 1) fl *= 0.5;
      side = 1;
    }
    if (std::fabs(f) < bestMiss) {
      bestMiss = std::fabs(f);
      best = std::move(m);
    }
  }
  // The largest angle jumps a little where the arc's end passes a wall point of the net.
  if (!(bestMiss < 1e-3 * gas::Pi_180)) throw gas::ArithmeticError("the inflection angle did not converge");
  return best;
}

}  // namespace

FlowPoint InDegrees(const moc::Point& s) {
  return {s.x, s.y, s.theta / gas::Pi_180, s.nu / gas::Pi_180, s.M, s.mu / gas::Pi_180};
}

std::string FixedText(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::vector<FlowPoint> ThroatWallUpstream(const moc::TransonicThroat& throat, const gas::Gas& gas, double x) {
  std::vector<FlowPoint> wall;
  for (int k = 0; k < 5; ++k) {
    State s;
    s.x = x * k / 5.0;
    s.y = throat.WallY(s.x);
    s.theta = throat.WallAngle(s.x);
    s.M = throat.MachAt(s.x, s.y);
    if (s.M > 1.0) {
      s.mu = std::asin(1.0 / s.M);
      s.nu = gas.Nu(s.M) * gas::Pi_180;
    } else {
      s.M = 1.0;
      s.mu = 0.5 * gas::Pi;
    }
    wall.push_back(InDegrees(s));
  }
  return wall;
}

RoundedThroatDesign DesignRoundedThroat(const DesignInputs& inputs, moc::Flow flow) {
  RoundedThroatDesign d;
  d.inputs = inputs;
  d.flow = flow;
  const bool round = flow == moc::Flow::kAxisymmetric;
  std::string where = "for the gas";
  try {
    d.gas = gas::Gas::WithGamma(inputs.gamma);
    where = "in the number of waves";
    const int N = WaveCount(inputs.N);
    where = "in the throat";
    const moc::TransonicThroat throat(d.gas, flow, inputs.throatRadius);
    const double R = throat.Radius();
    d.throat.radius = R;
    d.throat.dischargeCoefficient = throat.DischargeCoefficient();
    d.throat.sonicAxisX = throat.SonicAxisX();
    d.throat.sonicWallX = throat.SonicWallX();
    d.throat.sonicWallY = throat.SonicWallY();
    const moc::UnitProcesses processes(d.gas, flow);
    const double nuE = d.gas.Nu(inputs.Me) * gas::Pi_180;
    d.areaRatio = d.gas.AreaRatio(inputs.Me);
    const double arcEnd = R * std::sin(kLargestArcAngle * gas::Pi_180);
    const auto arcFrom = [&](const std::vector<State>& line) { return moc::ThroatArc(R, line.back().x, arcEnd); };

    // The arc's end: false position (Illinois) on nu(E) - nu(Me), which grows with x_a,
    // from the shortest arc, which ends at the start line's wall point. When even that
    // expands the axis past Me, the start line leans upstream to a wall point nearer
    // the sonic line.
    where = "in the arc's end";
    std::vector<State> start = throat.StartLine(N + 1);
    if (inputs.ideal) {
      // The most leaning start line: the shortest arc, and so the smallest inflection angle.
      const double axisMach = moc::TransonicThroat::kDefaultAxisMach;
      const double margin = kStartLineMarginDegrees * gas::Pi_180;
      start = throat.StartLine(N + 1, axisMach, throat.MostLeaningWallX(N + 1, axisMach, margin), margin);
    }
    // The shortest arc the net resolves ends halfway between the start line's wall
    // point and the net's first wall point after it (nearer either, the end point's C-
    // line would run along a line of the net).
    const auto shortestEnd = [&](const std::vector<State>& line) {
      const moc::ThroatArc wall = arcFrom(line);
      moc::MarchSetup setup;
      setup.start = line;
      setup.wall = &wall;
      setup.xEnd = line.back().x;
      const moc::MarchedNet first = moc::March(processes, setup);
      return 0.5 * (line.back().x + first.rows.back().back().state.x);
    };
    double lo = shortestEnd(start);
    Marched low = MarchTo(processes, start, arcFrom(start), lo, nuE);
    if (!low.failure.empty()) throw gas::ArithmeticError(low.failure);
    if (low.net.shock || low.miss > 0.0) {
      const double axisMach = moc::TransonicThroat::kDefaultAxisMach;
      const double margin = kStartLineMarginDegrees * gas::Pi_180;
      start = throat.StartLine(N + 1, axisMach, throat.MostLeaningWallX(N + 1, axisMach, margin), margin);
      lo = shortestEnd(start);
      low = MarchTo(processes, start, arcFrom(start), lo, nuE);
      if (!low.failure.empty()) throw gas::ArithmeticError(low.failure);
    }
    d.throat.startLineX = start.front().x;
    d.throat.startLineWallX = start.back().x;
    const moc::ThroatArc arc = arcFrom(start);
    const double shortest = lo;
    double hi = arc.XEnd() * (1.0 - 1e-9);
    if (low.net.shock || low.miss > 0.0) {
      // The start line's own domain already expands the axis past Me.
      throw RunError("an arc that ends at the start line's wall point (x = " + FixedText(start.back().x, 4) +
                     ", where the wall has turned " + FixedText(start.back().theta / gas::Pi_180, 2) +
                     " degrees) already expands the flow on the axis past Me: this throat radius needs a higher Me, "
                     "or this Me a larger radius");
    }
    double guess = std::min(R * std::sin(0.5 * nuE), 0.5 * (lo + hi));
    Marched high = MarchTo(processes, start, arc, std::max(guess, lo + 1e-6 * R), nuE);
    double fl = low.miss, fh = high.miss;
    if (fh < 0.0) {
      lo = std::max(guess, lo + 1e-6 * R);
      fl = fh;
      high = MarchTo(processes, start, arc, hi, nuE);
      fh = high.miss;
      if (fh < 0.0) {
        throw gas::ArithmeticError("no arc up to " + std::to_string(static_cast<int>(kLargestArcAngle)) +
                                   " degrees brings the axis to Me");
      }
    } else {
      hi = std::max(guess, lo + 1e-6 * R);
    }
    Marched best = std::fabs(fl) < std::fabs(fh) ? low : high;
    Marched failed = std::isfinite(fh) ? Marched{} : high;
    int side = 0;
    for (int step = 0; step < 200 && std::fabs(best.miss) > 1e-12 && hi - lo > 1e-14 * R; ++step) {
      const double secant = std::isfinite(fh) ? hi - fh * (hi - lo) / (fh - fl) : 0.5 * (lo + hi);
      const double x = std::clamp(secant, lo + 1e-3 * (hi - lo), hi - 1e-3 * (hi - lo));
      Marched m = MarchTo(processes, start, arc, x, nuE);
      if (m.miss < 0.0) {
        lo = x;
        fl = m.miss;
        if (side == -1) fh *= 0.5;
        side = -1;
      } else {
        hi = x;
        fh = m.miss;
        if (side == 1) fl *= 0.5;
        side = 1;
      }
      if (!std::isfinite(m.miss)) {
        failed = std::move(m);
      } else if (std::fabs(m.miss) < std::fabs(best.miss)) {
        best = std::move(m);
      }
    }
    // The root lies where the net's rows change (the arc's end passing a wall point):
    // the miss left is the net's truncation error there, not the iteration's.
    if (!(std::fabs(best.miss) < 1e-6) && !std::isfinite(fh)) {
      // Past some arc length the net itself fails before the axis has reached Me.
      const std::string what =
          failed.net.shock ? "characteristics of one family cross at x = " + FixedText(failed.net.shock->x, 4) +
                                 ", y = " + FixedText(failed.net.shock->y, 4) + " (a shock forms)"
                           : failed.failure;
      throw RunError("along an arc longer than x = " + FixedText(lo, 4) + " (" +
                     FixedText(std::asin(lo / R) / gas::Pi_180, 2) + " degrees) " + what +
                     ", while the axis is still short of Me by " + FixedText(-fl / gas::Pi_180, 2) +
                     " degrees of Prandtl-Meyer angle: this Me needs another throat radius or number of waves");
    }
    if (!(std::fabs(best.miss) < 1e-6)) throw gas::ArithmeticError("did not converge");
    double thetaI = 0.0;
    if (inputs.ideal) {
      best = IdealArc(processes, start, arc, shortest, std::move(best), inputs, nuE, d.areaRatio, round, N, thetaI,
                      where);
    }
    Closed closed = Close(processes, best, thetaI, inputs.Me, nuE, d.areaRatio, round, N, where);
    const moc::MarchedNet& net = best.net;
    const auto at = [&net](const std::pair<int, int>& place) -> const State& { return net.At(place); };
    const State& A = at(best.last.front());
    d.throat.arcEndX = A.x;
    d.throat.arcEndAngle = A.theta / gas::Pi_180;
    d.tetaMax = d.throat.arcEndAngle;
    if (inputs.ideal) {
      d.throat.inflectionAngle = closed.inflection.theta / gas::Pi_180;
      d.throat.inflectionX = closed.inflection.x;
      d.throat.inflectionY = closed.inflection.y;
      d.tetaMax = closed.inflection.theta / gas::Pi_180;
    }

    d.wall = ThroatWallUpstream(throat, d.gas, start.back().x);
    for (std::size_t r = 0; r <= static_cast<std::size_t>(net.wallEndRow); ++r) {
      if (!net.rows[r].empty() && net.rows[r].back().onWall) d.wall.push_back(InDegrees(net.rows[r].back().state));
    }
    const TurningRegion& region = closed.region;
    const TurningRegionInputs& turning = closed.turning;
    d.throat.netMass = turning.massOfWall;
    for (std::size_t i = 1; i < region.wall.size(); ++i) d.wall.push_back(InDegrees(region.wall[i]));
    const State& lip = region.wall.back();
    const double exitArea = turning.massOfWall * d.areaRatio;
    const double lipArea = round ? lip.y * lip.y : lip.y;
    d.massBalancePercent = 100.0 * std::max(region.massMiss, std::fabs(lipArea / exitArea - 1.0));
    d.axisEnd = turning.axis.empty() ? turning.last.front().x : turning.axis.back().x;

    // The lines: the net's chains of each family, the C+ lines that leave the last C-
    // line (and the axis past it) continued through the turning region to the wall.
    const int W = static_cast<int>(turning.last.size());
    const int K = region.K;
    // The turning points below the wall on C+ line c, and whether point m of turning
    // line i (1, 2, ...) is one of them.
    const auto insideOf = [&](int c) {
      const int crossed = W - c;
      return crossed >= 1 && crossed <= static_cast<int>(region.inside.size())
                 ? region.inside[static_cast<std::size_t>(crossed - 1)]
                 : -1;
    };
    const auto lineOf = [&](int i, int m) -> const State& {
      return region.lines[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(m)];
    };
    const auto extend = [&](std::vector<FlowPoint>& line, int c) {
      const int first = std::max(0, -c);
      const int inside = insideOf(c);
      if (inside < 0) return;
      for (int j = 1; j <= inside; ++j) line.push_back(InDegrees(lineOf(first + j, PointOn(first + j, c, K))));
      line.push_back(InDegrees(region.wall[static_cast<std::size_t>(W - c)]));
    };
    std::map<std::pair<int, int>, int> lastIndex;  // (row, index) of last[n] -> n
    for (int n = 0; n < W; ++n) lastIndex[best.last[static_cast<std::size_t>(W - n)]] = n;
    for (const auto& chain : net.Chains(true)) {
      if (chain.size() < 2) continue;
      std::vector<FlowPoint> line;
      for (const auto& place : chain) line.push_back(InDegrees(at(place)));
      d.cMinus.push_back(std::move(line));
    }
    for (const auto& chain : net.Chains(false)) {
      std::vector<FlowPoint> line;
      for (const auto& place : chain) line.push_back(InDegrees(at(place)));
      const auto found = lastIndex.find(chain.back());
      if (found != lastIndex.end() && (found->second > 0 || K > 0)) extend(line, found->second);
      if (line.size() >= 2) d.cPlus.push_back(std::move(line));
    }
    for (int k = 0; k + 1 < K; ++k) {
      std::vector<FlowPoint> line{InDegrees(turning.axis[static_cast<std::size_t>(k)])};
      extend(line, -(k + 1));
      if (line.size() >= 2) d.cPlus.push_back(std::move(line));
    }
    for (int i = 1; i <= static_cast<int>(region.lines.size()); ++i) {
      const std::vector<State>& points = region.lines[static_cast<std::size_t>(i - 1)];
      std::vector<FlowPoint> line;
      for (int m = 0; m < static_cast<int>(points.size()); ++m) {
        const int c = PlusLineOf(i, m, K);
        if (m > 0 && !(i - std::max(0, -c) <= insideOf(c))) break;
        line.push_back(InDegrees(points[static_cast<std::size_t>(m)]));
      }
      if (line.size() >= 2 && line.front().y <= lip.y) d.turning.push_back(std::move(line));
    }
  } catch (const std::logic_error& error) {  // gas::ArithmeticError, moc::ProcessError, moc::ThroatError
    throw RunError(std::string(error.what()) + " " + where);
  } catch (const moc::MarchError& error) {
    throw RunError(std::string(error.what()) + " " + where);
  }
  for (std::size_t i = 1; i < d.wall.size() && d.wallTurnsBackAt == 0; ++i) {
    if (!(d.wall[i].x > d.wall[i - 1].x && d.wall[i].y >= d.wall[i - 1].y)) d.wallTurnsBackAt = static_cast<int>(i);
  }
  if (d.wallTurnsBackAt != 0) d.wallWarning = WallWarning(d.wallTurnsBackAt);
  return d;
}

}  // namespace nozzle
