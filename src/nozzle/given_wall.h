// The flow through a given wall (the direct problem): a rounded throat, the circle of
// radius of curvature R throat half-heights (round: radii) from the throat section x = 0,
// continued by any divergent wall up to the exit plane x = x_e. Planar or round, any
// perfect gas; lengths in throat half-heights (radii), angles in degrees.
//
// The net is marched (moc/march.h) from the transonic start line of the throat
// (moc/transonic.h: the section through the axis point of Mach 1.05, or, where the wall
// there has already left the circle, the line leaning upstream to the wall point
// nearest the sonic line that keeps both families 10 degrees off it) along the wall to
// the exit lip, and on, free above the lip, until the lip's C- line has reached the
// axis: the exit plane lies inside that net.
//
//   exit profile  the flow across x = x_e from the axis to the lip: where each C+ line
//                 of the net crosses the plane, its state interpolated linearly along
//                 the piece that crosses, with the axis point (between the axis points
//                 on either side) and the lip;
//   wall          the circle up to the start line with the series' flow, then the
//                 net's wall points to the lip; p/p0 along it from M;
//   mass balance  the mass flow across the exit plane over the mass flow across the
//                 start line, which is the throat's (moc::UnitProcesses::MassAcross
//                 on both).
//
// A wall that turns the flow back on itself compresses it: its C- lines converge, and
// where two of them cross a shock forms. The march stops there (moc::Shock): the
// analysis keeps the net up to it, reports where it formed, and has no exit profile
// when it formed upstream of the exit (the flow behind a shock is not isentropic).
//
// Failure contract: a radius outside the series' range, a wall that leaves the
// circle before the start line can reach it, an exit plane upstream of the start line,
// or a unit process that fails throws RunError naming it.
#pragma once

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gas/gas.h"
#include "moc/march.h"
#include "moc/point.h"
#include "moc/unit_processes.h"
#include "nozzle/net.h"
#include "nozzle/rounded_throat.h"
#include "nozzle/spelling.h"

namespace nozzle {

// A point of the exit plane: its height, Mach number, flow angle (degrees) and static
// over stagnation pressure.
struct ExitPoint {
  double y = 0.0;
  double M = 1.0;
  double Teta = 0.0;
  double pressure = 0.0;
};

struct GivenWallFlow {
  gas::Gas gas;
  moc::Flow flow = moc::Flow::kPlanar;
  int N = 0;  // the start line's pieces
  ThroatFigures throat;
  double exitX = 0.0;
  // From x = 0 to the lip; when the net stops short of it (a shock), its first
  // `wallFlowKnown` points carry the net's flow, the rest the wall's shape and angle
  // alone (Nu, M and Mu NaN).
  std::vector<FlowPoint> wall;
  int wallFlowKnown = 0;
  std::vector<std::vector<FlowPoint>> cMinus, cPlus;
  std::vector<ExitPoint> exit;  // from the axis to the lip; empty when a shock forms first
  double exitMass = 0.0;        // over rho* a* A*, as ThroatFigures::netMass
  double meanExitMach = 0.0;    // weighted by the mass flow
  double massBalancePercent = 0.0;
  std::optional<moc::Shock> shock;  // where characteristics of one family crossed
  int wallTurnsBackAt = 0;
  std::string wallWarning;
};

// A wall through sampled points, each with its height and its angle (x increasing):
// between two neighbours the cubic whose ends take both (Hermite), so that the wall is
// smooth in slope and its angle at each point is the one given; past the last point,
// the straight line of its angle (so that a C+ line near the lip meets it).
class SampledWall : public moc::WallCurve {
 public:
  // Throws RunError when the points are fewer than two or not increasing in x.
  explicit SampledWall(std::vector<FlowPoint> points);
  double Y(double x) const override;
  double Angle(double x) const override;
  double XBegin() const override { return points_.front().x; }
  double XEnd() const override { return points_.back().x + 1e3 * (1.0 + std::fabs(points_.back().x)); }

 private:
  std::vector<FlowPoint> points_;
  std::vector<double> slopes_;
};

// `arcEnd` is where `wall` leaves the throat's circle (it must follow the circle from
// x = 0 to there); `N` >= 2 pieces on the start line.
GivenWallFlow AnalyseGivenWall(const gas::Gas& gas, moc::Flow flow, double R, const moc::WallCurve& wall,
                               double arcEnd, double exitX, int N);

// A wall a user gives (the family "given-wall"), as text: a line a point, x and y apart
// by a comma (or blanks, a tab or a semicolon), from the throat section x = 0 on, where
// y = 1; the first line may be the header of the designer's own CSV ("x,y" or "x,r"),
// and blank lines and lines starting with '#' are skipped. Lengths in throat
// half-heights (radii), or in any unit with `scale` of them to the throat half-height
// (radius). Points upstream of x = 0 (a convergent section) are read and left out.
//
// `points` holds the wall from x = 0 in throat half-heights; `radius` the throat's
// radius of curvature from its first two points (the circle through (0, 1) with a
// level tangent there), to six significant digits, NaN where they do not rise; `fault` (empty when none) why the
// text is not such a wall: a line that is not two numbers, fewer than kMinWallPoints
// points from the throat on, x not increasing, a point on or below the axis, no point
// at x = 0, a narrowest point elsewhere, or a throat whose y is not 1 (named with the
// option `scale` as the spelling writes it).
inline constexpr int kMinWallPoints = 5;
struct WallContour {
  std::vector<std::array<double, 2>> points;
  double radius = NAN;
  std::string fault;
};
WallContour ReadWallContour(std::string_view text, double scale, const Spelling& spelling);

// The flow through the given wall of `inputs.givenWall` with the throat radius
// `inputs.throatRadius`: the wall is the sampled one (SampledWall), following the circle
// as far as the points lie on it (within 1e-5) with the circle's angles, and past them
// the cubic spline through the points (clamped to the circle's angle, without
// curvature at the last point); the exit plane at its last point. Throws what
// AnalyseGivenWall throws.
GivenWallFlow DesignGivenWall(const DesignInputs& inputs, moc::Flow flow);

// The text for a shock the net ran into: "characteristics of one family cross at x =
// 3.2101, y = 0.4123 (a shock forms)".
std::string ShockText(const moc::Shock& shock);

// p / p0 of M: (1 + (gamma - 1) / 2 M^2)^(-gamma / (gamma - 1)).
double PressureRatio(const gas::Gas& gas, double M);

}  // namespace nozzle
