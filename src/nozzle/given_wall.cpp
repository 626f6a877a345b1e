#include "nozzle/given_wall.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "moc/transonic.h"
#include "nozzle/design.h"

namespace nozzle {
namespace {

using State = moc::Point;

// Where the C+ lines, the axis and the wall's end cross the plane x = X, from the axis up.
std::vector<State> AcrossPlane(const moc::MarchedNet& net, double X) {
  std::vector<State> plane;
  const auto cross = [&](const State& p, const State& q) {
    if (p.x <= X && q.x > X) plane.push_back(moc::Between(p, q, (X - p.x) / (q.x - p.x)));
  };
  for (const auto& chain : net.Chains(false)) {
    for (std::size_t k = 1; k < chain.size(); ++k) cross(net.At(chain[k - 1]), net.At(chain[k]));
  }
  std::vector<State> axis;
  for (const auto& row : net.rows) {
    for (const moc::NetPoint& p : row) {
      if (p.onAxis) axis.push_back(p.state);
    }
  }
  std::sort(axis.begin(), axis.end(), [](const State& a, const State& b) { return a.x < b.x; });
  for (std::size_t k = 1; k < axis.size(); ++k) cross(axis[k - 1], axis[k]);
  std::sort(plane.begin(), plane.end(), [](const State& a, const State& b) { return a.y < b.y; });
  return plane;
}

}  // namespace

SampledWall::SampledWall(std::vector<FlowPoint> points) : points_(std::move(points)) {
  if (points_.size() < 2) throw RunError("a wall needs at least two points");
  for (std::size_t i = 1; i < points_.size(); ++i) {
    if (!(points_[i].x > points_[i - 1].x)) throw RunError("the wall's points must increase in x");
  }
  for (const FlowPoint& p : points_) slopes_.push_back(std::tan(p.Teta * gas::Pi_180));
}

namespace {

// The piece [i, i + 1] holding x (the first or last beyond the ends), and t in it.
std::size_t Piece(const std::vector<FlowPoint>& points, double x) {
  const auto above = std::upper_bound(points.begin(), points.end(), x,
                                      [](double value, const FlowPoint& p) { return value < p.x; });
  const std::size_t i = static_cast<std::size_t>(std::max<std::ptrdiff_t>(above - points.begin(), 1)) - 1;
  return std::min(i, points.size() - 2);
}

}  // namespace

double SampledWall::Y(double x) const {
  if (x > points_.back().x) return points_.back().y + (x - points_.back().x) * slopes_.back();
  const std::size_t i = Piece(points_, x);
  const double h = points_[i + 1].x - points_[i].x, t = (x - points_[i].x) / h;
  const double h00 = (1.0 + 2.0 * t) * (1.0 - t) * (1.0 - t), h10 = t * (1.0 - t) * (1.0 - t);
  const double h01 = t * t * (3.0 - 2.0 * t), h11 = t * t * (t - 1.0);
  return h00 * points_[i].y + h10 * h * slopes_[i] + h01 * points_[i + 1].y + h11 * h * slopes_[i + 1];
}

double SampledWall::Angle(double x) const {
  if (x > points_.back().x) return points_.back().Teta * gas::Pi_180;
  const std::size_t i = Piece(points_, x);
  const double h = points_[i + 1].x - points_[i].x, t = (x - points_[i].x) / h;
  const double d00 = 6.0 * t * (t - 1.0), d10 = (1.0 - t) * (1.0 - 3.0 * t);
  const double d01 = -d00, d11 = t * (3.0 * t - 2.0);
  return std::atan((d00 * points_[i].y + d01 * points_[i + 1].y) / h + d10 * slopes_[i] + d11 * slopes_[i + 1]);
}

double PressureRatio(const gas::Gas& gas, double M) {
  return std::pow(gas.StagnationTemperatureRatio(M), -gas.gamma / (gas.gamma - 1.0));
}

std::string ShockText(const moc::Shock& shock) {
  return "characteristics of one family cross at x = " + FixedText(shock.x, 4) + ", y = " + FixedText(shock.y, 4) +
         " (a shock forms)";
}

GivenWallFlow AnalyseGivenWall(const gas::Gas& gas, moc::Flow flow, double R, const moc::WallCurve& wall,
                               double arcEnd, double exitX, int N) {
  GivenWallFlow f;
  f.gas = gas;
  f.flow = flow;
  f.N = N;
  f.exitX = exitX;
  std::string where = "in the throat";
  try {
    const moc::TransonicThroat throat(gas, flow, R);
    f.throat.radius = R;
    f.throat.dischargeCoefficient = throat.DischargeCoefficient();
    f.throat.sonicAxisX = throat.SonicAxisX();
    f.throat.sonicWallX = throat.SonicWallX();
    f.throat.sonicWallY = throat.SonicWallY();
    const moc::UnitProcesses processes(gas, flow);

    // The start line on the circle: the section, or the line leaning upstream.
    where = "in the start line";
    std::vector<State> start = throat.StartLine(N + 1);
    if (start.back().x > arcEnd) {
      const double axisMach = moc::TransonicThroat::kDefaultAxisMach;
      const double margin = kStartLineMarginDegrees * gas::Pi_180;
      const double least = throat.MostLeaningWallX(N + 1, axisMach, margin);
      if (arcEnd < least) {
        throw RunError("the wall leaves the throat's circle at x = " + FixedText(arcEnd, 4) + " (" +
                       FixedText(std::asin(std::min(1.0, arcEnd / R)) / gas::Pi_180, 2) +
                       " degrees), upstream of every start line the transonic series can give (its wall point at x >= " +
                       FixedText(least, 4) + "): this wall needs a larger throat radius or to follow the circle further");
      }
      start = throat.StartLine(N + 1, axisMach, arcEnd, margin);
    }
    f.throat.arcEndX = arcEnd;
    f.throat.arcEndAngle = std::asin(std::min(1.0, arcEnd / R)) / gas::Pi_180;
    f.throat.startLineX = start.front().x;
    f.throat.startLineWallX = start.back().x;
    if (!(exitX > start.back().x)) {
      throw RunError("the exit plane x = " + FixedText(exitX, 4) + " lies upstream of the start line's wall point (x = " +
                     FixedText(start.back().x, 4) + ")");
    }
    double startMass = 0.0;
    for (std::size_t k = 1; k < start.size(); ++k) startMass += processes.MassAcross(start[k - 1], start[k]);
    f.throat.netMass = startMass;

    where = "along the wall";
    moc::MarchSetup setup;
    setup.start = start;
    setup.wall = &wall;
    setup.xEnd = exitX;
    setup.wallEndsAtXEnd = true;
    const moc::MarchedNet net = moc::March(processes, setup);
    f.shock = net.shock;
    const int lastWallRow = net.wallEndRow >= 0 ? net.wallEndRow : static_cast<int>(net.rows.size()) - 1;

    f.wall = ThroatWallUpstream(throat, gas, start.back().x);
    for (int r = 0; r <= lastWallRow; ++r) {
      const auto& row = net.rows[static_cast<std::size_t>(r)];
      if (!row.empty() && row.back().onWall) f.wall.push_back(InDegrees(row.back().state));
    }
    // The lip, found within the inverse wall process's tolerance of x_e, exactly there.
    State lip = net.wallEndRow >= 0 ? net.rows[static_cast<std::size_t>(net.wallEndRow)].back().state : State{};
    lip.x = exitX;
    lip.y = wall.Y(exitX);
    lip.theta = wall.Angle(exitX);
    if (net.wallEndRow >= 0) f.wall.back() = InDegrees(lip);
    f.wallFlowKnown = static_cast<int>(f.wall.size());
    if (net.wallEndRow < 0) {
      // The net stopped short of the lip: the rest of the wall by its shape alone.
      const double from = f.wall.back().x;
      for (int k = 1; k <= N; ++k) {
        const double x = k == N ? exitX : from + (exitX - from) * k / N;
        f.wall.push_back({x, wall.Y(x), wall.Angle(x) / gas::Pi_180, NAN, NAN, NAN});
      }
    }
    for (const bool minus : {true, false}) {
      for (const auto& chain : net.Chains(minus)) {
        if (chain.size() < 2) continue;
        std::vector<FlowPoint> line;
        for (const auto& place : chain) line.push_back(InDegrees(net.At(place)));
        (minus ? f.cMinus : f.cPlus).push_back(std::move(line));
      }
    }

    // The exit plane, when the net has reached past it everywhere: the lip's C- line on
    // the axis, no shock on the way.
    const bool reached = net.wallEndRow >= 0 && !net.shock && !net.rows.empty() &&
                         (net.rows.back().empty() || net.rows.back().front().onAxis);
    if (reached) {
      where = "across the exit plane";
      std::vector<State> plane = AcrossPlane(net, exitX);
      plane.erase(std::remove_if(plane.begin(), plane.end(), [&](const State& s) { return s.y >= lip.y; }),
                  plane.end());
      plane.push_back(lip);
      if (plane.size() < 2 || plane.front().y != 0.0) throw gas::ArithmeticError("the net does not cover the exit plane");
      double mass = 0.0, machMass = 0.0;
      for (std::size_t k = 1; k < plane.size(); ++k) {
        const double dm = processes.MassAcross(plane[k - 1], plane[k]);
        mass += dm;
        machMass += 0.5 * (plane[k - 1].M + plane[k].M) * dm;
      }
      for (const State& s : plane) {
        f.exit.push_back({s.y, s.M, s.theta / gas::Pi_180, PressureRatio(gas, s.M)});
      }
      f.exitMass = mass;
      f.meanExitMach = machMass / mass;
      f.massBalancePercent = 100.0 * std::fabs(mass / startMass - 1.0);
    }
  } catch (const std::logic_error& error) {  // gas::ArithmeticError, moc::ProcessError, moc::ThroatError
    throw RunError(std::string(error.what()) + " " + where);
  } catch (const moc::MarchError& error) {
    throw RunError(std::string(error.what()) + " " + where);
  }
  for (std::size_t i = 1; i < f.wall.size() && f.wallTurnsBackAt == 0; ++i) {
    if (!(f.wall[i].x > f.wall[i - 1].x)) f.wallTurnsBackAt = static_cast<int>(i);
  }
  if (f.wallTurnsBackAt != 0) f.wallWarning = WallWarning(f.wallTurnsBackAt);
  return f;
}

namespace {

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

// The numbers of a line, apart by commas, semicolons, blanks or tabs; false when a
// field is not a number (`bad` the field).
bool Fields(std::string_view line, std::vector<double>& numbers, std::string& bad) {
  numbers.clear();
  std::size_t i = 0;
  const auto separator = [](char c) { return c == ',' || c == ';' || c == ' ' || c == '\t'; };
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t end = i;
    while (end < line.size() && !separator(line[end])) ++end;
    const std::string_view field = line.substr(i, end - i);
    while (end < line.size() && (line[end] == ' ' || line[end] == '\t')) ++end;
    if (end < line.size() && (line[end] == ',' || line[end] == ';')) ++end;
    double v = 0.0;
    const char* first = field.data();
    if (!field.empty() && field.front() == '+') ++first;
    const auto [rest, error] = std::from_chars(first, field.data() + field.size(), v);
    if (field.empty() || error != std::errc() || rest != field.data() + field.size() || !std::isfinite(v)) {
      bad = std::string(field);
      return false;
    }
    numbers.push_back(v);
    i = end;
  }
  return true;
}

}  // namespace

WallContour ReadWallContour(std::string_view text, double scale, const Spelling& spelling) {
  WallContour c;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // the byte-order mark spreadsheets write
  std::vector<std::array<double, 2>> all;
  int lineNumber = 0;
  bool first = true;
  std::vector<double> numbers;
  std::string bad;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] == '#') continue;
    line.remove_prefix(start);
    const bool header = line == "x,y" || line == "x,r";
    const bool wasFirst = first;
    first = false;
    if (header && wasFirst) continue;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (!Fields(line, numbers, bad)) {
      c.fault = where + "\"" + bad + "\" is not a number";
      return c;
    }
    if (numbers.size() != 2) {
      c.fault = where + "it holds " + std::to_string(numbers.size()) + " numbers, not the two x and y";
      return c;
    }
    const std::array<double, 2> p{numbers[0] / scale, numbers[1] / scale};
    if (!all.empty() && !(p[0] > all.back()[0])) {
      c.fault = where + "x = " + Number(numbers[0]) + " does not increase (the line before has x = " +
                Number(all.back()[0] * scale) + ")";
      return c;
    }
    if (!(p[1] > 0.0)) {
      c.fault = where + "y = " + Number(numbers[1]) + " reaches the axis";
      return c;
    }
    all.push_back(p);
  }
  const auto throat = std::find_if(all.begin(), all.end(), [](const auto& p) { return p[0] == 0.0; });
  if (throat == all.end()) {
    c.fault = "it has no point at the throat section, x = 0";
    return c;
  }
  const auto narrowest =
      std::min_element(all.begin(), all.end(), [](const auto& a, const auto& b) { return a[1] < b[1]; });
  if ((*narrowest)[1] < (*throat)[1]) {
    c.fault = "its narrowest point is at x = " + Number((*narrowest)[0] * scale) + " (y = " +
              Number((*narrowest)[1] * scale) + "), not at the throat section x = 0";
    return c;
  }
  if (std::fabs((*throat)[1] - 1.0) > 1e-6) {
    c.fault = "its throat (x = 0) has y = " + Number((*throat)[1] * scale) +
              ": a wall in throat half-heights (radii) has y = 1 there; for one in a unit, give " +
              spelling.name(Option::kScale) + " with the throat's half-height (radius) in it";
    return c;
  }
  c.points.assign(throat, all.end());
  c.points.front()[1] = 1.0;
  if (c.points.size() < static_cast<std::size_t>(kMinWallPoints)) {
    c.fault = "a wall needs at least " + std::to_string(kMinWallPoints) + " points from the throat on; this one has " +
              std::to_string(c.points.size());
    c.points.clear();
    return c;
  }
  const double x1 = c.points[1][0], rise = c.points[1][1] - 1.0;
  if (rise > 0.0) {
    c.radius = std::strtod(Number((x1 * x1 + rise * rise) / (2.0 * rise)).c_str(), nullptr);
  }
  return c;
}

GivenWallFlow DesignGivenWall(const DesignInputs& inputs, moc::Flow flow) {
  const std::vector<std::array<double, 2>>& p = inputs.givenWall;
  const double R = inputs.throatRadius;
  const moc::ThroatArc circle(R, 0.0, R);
  // The points on the throat's circle take its angle; past them the slopes are those of
  // the cubic spline through the points (continuous in curvature), clamped to the
  // circle's angle at its last point and free of curvature at the lip: a spline keeps
  // the wall from the wiggles of curvature a slope from each point's neighbours alone
  // would give it, which the net reads as compressions.
  const std::size_t n = p.size();
  std::vector<double> slope(n, 0.0);
  double arcEnd = 0.0;
  std::size_t last = 0;  // the last point on the circle
  for (std::size_t i = 0; i < n && p[i][0] < R && std::fabs(p[i][1] - circle.Y(p[i][0])) <= 1e-5; ++i) {
    arcEnd = p[i][0];
    slope[i] = std::tan(circle.Angle(p[i][0]));
    last = i;
  }
  if (last + 1 < n) {
    // The spline's slope equations, a tridiagonal system in slope[last + 1 .. n - 1]:
    //   h_k m_{k-1} + 2 (h_{k-1} + h_k) m_k + h_{k-1} m_{k+1} = 3 (h_k d_{k-1} + h_{k-1} d_k),
    //   m_{n-2} + 2 m_{n-1} = 3 d_{n-2} (no curvature at the lip).
    const auto h = [&](std::size_t k) { return p[k + 1][0] - p[k][0]; };
    const auto d = [&](std::size_t k) { return (p[k + 1][1] - p[k][1]) / h(k); };
    std::vector<double> lower(n, 0.0), diagonal(n, 1.0), upper(n, 0.0), right(n, 0.0);
    for (std::size_t k = last + 1; k + 1 < n; ++k) {
      lower[k] = h(k);
      diagonal[k] = 2.0 * (h(k - 1) + h(k));
      upper[k] = h(k - 1);
      right[k] = 3.0 * (h(k) * d(k - 1) + h(k - 1) * d(k));
    }
    lower[n - 1] = 1.0;
    diagonal[n - 1] = 2.0;
    right[n - 1] = 3.0 * d(n - 2);
    right[last + 1] -= lower[last + 1] * slope[last];  // the clamped slope, known
    for (std::size_t k = last + 2; k < n; ++k) {       // forward elimination
      const double w = lower[k] / diagonal[k - 1];
      diagonal[k] -= w * upper[k - 1];
      right[k] -= w * right[k - 1];
    }
    slope[n - 1] = right[n - 1] / diagonal[n - 1];
    for (std::size_t k = n - 1; k-- > last + 1;) slope[k] = (right[k] - upper[k] * slope[k + 1]) / diagonal[k];
  }
  std::vector<FlowPoint> points;
  for (std::size_t i = 0; i < n; ++i) {
    FlowPoint q;
    q.x = p[i][0];
    q.y = p[i][1];
    q.Teta = std::atan(slope[i]) / gas::Pi_180;
    points.push_back(q);
  }
  const SampledWall wall(points);
  return AnalyseGivenWall(gas::Gas::WithGamma(inputs.gamma), flow, R, wall, arcEnd, points.back().x,
                          WaveCount(inputs.N));
}

}  // namespace nozzle
