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

FlowPoint InDegrees(const State& s) {
  return {s.x, s.y, s.theta / gas::Pi_180, s.nu / gas::Pi_180, s.M, s.mu / gas::Pi_180};
}

constexpr double kLargestArcAngle = 80.0;
// The least angle between a leaning start line and either characteristic direction.
constexpr double kStartLineMarginDegrees = 10.0;

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

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

}  // namespace

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
    double hi = arc.XEnd() * (1.0 - 1e-9);
    if (low.net.shock || low.miss > 0.0) {
      // The start line's own domain already expands the axis past Me.
      throw RunError("an arc that ends at the start line's wall point (x = " + Fixed(start.back().x, 4) +
                     ", where the wall has turned " + Fixed(start.back().theta / gas::Pi_180, 2) +
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
          failed.net.shock ? "characteristics of one family cross at x = " + Fixed(failed.net.shock->x, 4) +
                                 ", y = " + Fixed(failed.net.shock->y, 4) + " (a shock forms)"
                           : failed.failure;
      throw RunError("along an arc longer than x = " + Fixed(lo, 4) + " (" +
                     Fixed(std::asin(lo / R) / gas::Pi_180, 2) + " degrees) " + what +
                     ", while the axis is still short of Me by " + Fixed(-fl / gas::Pi_180, 2) +
                     " degrees of Prandtl-Meyer angle: this Me needs another throat radius or number of waves");
    }
    if (!(std::fabs(best.miss) < 1e-6)) throw gas::ArithmeticError("did not converge");
    const moc::MarchedNet& net = best.net;
    const auto at = [&net](const std::pair<int, int>& place) -> const State& {
      return net.rows[static_cast<std::size_t>(place.first)][static_cast<std::size_t>(place.second)].state;
    };
    const State& A = at(best.last.front());
    d.throat.arcEndX = A.x;
    d.throat.arcEndAngle = A.theta / gas::Pi_180;

    d.wall = ThroatWallUpstream(throat, d.gas, start.back().x);
    for (std::size_t r = 0; r <= static_cast<std::size_t>(net.wallEndRow); ++r) {
      if (!net.rows[r].empty() && net.rows[r].back().onWall) d.wall.push_back(InDegrees(net.rows[r].back().state));
    }

    // The turning region past the last C- line, and the wall that closes it.
    where = "in the turning region";
    TurningRegionInputs turning;
    for (auto place = best.last.rbegin(); place + 1 != best.last.rend(); ++place) turning.last.push_back(at(*place));
    turning.from = A;
    turning.massTo.assign(turning.last.size(), 0.0);
    for (std::size_t n = 1; n < turning.last.size(); ++n) {
      turning.massTo[n] = turning.massTo[n - 1] + processes.MassAcross(turning.last[n - 1], turning.last[n]);
    }
    turning.massOfWall = turning.massTo.back() + processes.MassAcross(turning.last.back(), A);
    d.throat.netMass = turning.massOfWall;
    const double exitArea = turning.massOfWall * d.areaRatio;
    turning.Me = inputs.Me;
    turning.nuE = nuE;
    turning.exitHeight = round ? std::sqrt(exitArea) : exitArea;
    turning.N = N;
    turning.at = [&where](int i, int n) {
      where = i > 0    ? "at the point of turning line " + std::to_string(i) + " and the C+ line from point " +
                          std::to_string(n) + " of the last C- line"
              : i == 0 ? "at designed wall point " + std::to_string(n)
                       : "at the exit lip";
    };
    const TurningRegion region = CloseTurningRegion(processes, turning);
    for (std::size_t i = 1; i < region.wall.size(); ++i) d.wall.push_back(InDegrees(region.wall[i]));
    const State& lip = region.wall.back();
    const double lipArea = round ? lip.y * lip.y : lip.y;
    d.massBalancePercent = 100.0 * std::max(region.massMiss, std::fabs(lipArea / exitArea - 1.0));
    d.axisEnd = turning.last.front().x;

    // The lines: the net's chains of each family, the C+ lines that leave the last C-
    // line continued through the turning region to the wall.
    const int W = static_cast<int>(turning.last.size());
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
      if (found != lastIndex.end() && found->second > 0) {
        const int n = found->second;
        const int c = W - n;  // the c-th C+ line crossed by the wall
        for (int i = 1; i <= region.inside[static_cast<std::size_t>(c - 1)]; ++i) {
          line.push_back(InDegrees(region.lines[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(n)]));
        }
        line.push_back(InDegrees(region.wall[static_cast<std::size_t>(c)]));
      }
      if (line.size() >= 2) d.cPlus.push_back(std::move(line));
    }
    for (std::size_t i = 0; i < region.lines.size(); ++i) {
      const std::vector<State>& points = region.lines[i];
      std::vector<FlowPoint> line;
      for (std::size_t n = 0; n < points.size(); ++n) {
        const int m = static_cast<int>(n);
        if (m > 0 && !(m < W && region.inside[static_cast<std::size_t>(W - m - 1)] > static_cast<int>(i))) break;
        line.push_back(InDegrees(points[n]));
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
