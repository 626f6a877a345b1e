// The minimum-length nozzle with a rounded throat: the throat's wall is the circle of
// radius of curvature R (throat half-heights, for a round nozzle throat radii) from
// the throat section x = 0 to the arc's end at x_a, where the designed wall takes over
// and cancels the waves the arc sent, so that the exit is uniform and parallel at Me.
// Planar or round, any perfect gas. Lengths in throat half-heights (radii), angles in
// degrees.
//
// The construction:
//   1. The transonic flow of the throat (moc/transonic.h, the series recast in 1/(R+1))
//      gives the initial-value line: the section through the axis point of Mach 1.05,
//      N + 1 points from the axis to the wall; where the wall has there already
//      turned further than the design's arc may (small radii), the straight line from
//      that axis point leaning upstream to the wall point nearest the sonic line that
//      keeps both families of characteristics 10 degrees off it.
//   2. The net is marched from it along the arc (moc/march.h) up to x_a, the wall's
//      exact end point there found by the inverse wall process; beyond it the flow is
//      left free, so the net's last rows trace the C- line from the arc's end to the
//      axis, where it arrives at a point E.
//   3. x_a is the root of nu(E) = nu(Me), by the method of false position (Illinois)
//      within the bracket from the start line's wall point to the arc angle of 80
//      degrees: the arc expands the flow as long as it has to and no longer.
//   4. Past the last C- line, the turning region and the streamline wall from the arc's
//      end (nozzle/turning_region.h). The wall encloses the mass flow the net carries
//      across its last C- line, so the exit height is that mass times A/A* (round: its
//      square root); the throat's discharge coefficient Cd is the same mass as the
//      series' field carries (the difference is the start line's truncation error).
//
// The ideal nozzle (inputs.ideal), the gradual expansion of wind tunnels, after the
// axis-distribution method of Sivells (AEDC-TR-78-63, 1978) with the radial-flow
// region of Foelsch (J. Aeronaut. Sci. 16, 1949): the wall is the throat's arc and then
// a streamline; its largest angle, at the inflection point, is theta_i.
//   1. The start line leans as far upstream as it may (the shortest arc), so that the
//      smallest inflection angles are reached.
//   2. Past E the axis is given (nozzle/turning_region.h): first the axis of the source
//      flow of half-angle theta_i that carries the net's mass flow, its apex placed so
//      that it passes through E's Mach number at E, then a polynomial that reaches Me
//      with dM/dx and d2M/dx2 both 0 and leaves the source flow with the same first and
//      second derivatives (AxisPast in the .cpp). The turning region, now bounded below
//      by that axis and the exit characteristic from its end, is the region's flow; the
//      wall is again the streamline of the net's mass flow, so the exit is uniform and
//      parallel at Me and its area is that mass times A/A*.
//   3. x_a is the root of (the wall's largest angle) = theta_i, by false position
//      between the shortest arc and the minimum-length nozzle's. The angles admitted
//      lie between the largest angle past the shortest arc and the minimum-length
//      nozzle's arc angle; theta_i = 0 takes the middle. Where the first exceeds the
//      second (small R, round), the throat admits no ideal nozzle.
// At the inflection point the wall is a streamline of a smooth flow: its angle and its
// curvature (0 there) are continuous. At E the axis's dM/dx jumps from the net's to the
// source flow's, and at x_a the wall's curvature from 1/R to the streamline's.
//
// As R falls the arc shortens and the design tends towards the sharp-cornered one of
// the same Me; the series holds down to R = 1 (round) or 1.5 (planar), which the
// throat refuses below (moc::TransonicThroat::MinRadius).
//
// The record's wall: the arc from x = 0 to the start line (with the series' states),
// the net's wall points along the arc to x_a, then the designed wall to the lip.
//
// Failure contract: a radius outside the series' range, an exit Mach number the start
// line already passes (the arc cannot be shorter than the start line), an inflection
// angle outside the range admitted, a march that fails or forms a shock, or no arc end
// up to 80 degrees that brings the axis to Me throws RunError naming it. A wall that turns back carries the usual warning.
#pragma once

#include <string>
#include <vector>

#include "gas/gas.h"
#include "moc/point.h"
#include "moc/transonic.h"
#include "nozzle/design.h"
#include "nozzle/net.h"

namespace nozzle {

// The throat of a design: radius 0 is the sharp corner (and then only `radius` has a
// meaning).
struct ThroatFigures {
  double radius = 0.0;
  double dischargeCoefficient = 1.0;  // the series' mass flow over the one-dimensional
  double netMass = 1.0;               // the mass flow the net carries, over the same
  double sonicAxisX = 0.0;            // the sonic line on the axis
  double sonicWallX = 0.0, sonicWallY = 1.0;
  double startLineX = 0.0;            // the initial-value line's axis point
  double startLineWallX = 0.0;        // and its wall point (upstream of it when it leans)
  double arcEndX = 0.0, arcEndAngle = 0.0;
  // An ideal nozzle's inflection point, the wall's largest angle (x = 0: none).
  double inflectionX = 0.0, inflectionY = 0.0, inflectionAngle = 0.0;
};

struct RoundedThroatDesign {
  DesignInputs inputs;
  gas::Gas gas;
  moc::Flow flow = moc::Flow::kPlanar;
  ThroatFigures throat;
  double areaRatio = 0.0;
  double tetaMax = 0.0;         // the wall's largest angle, degrees: the arc's end, or the inflection point's
  std::vector<FlowPoint> wall;  // from x = 0 to the lip
  // The net's characteristics as polylines, each in the order of the march: the C-
  // lines from the wall (or the start line) to the axis, the C+ lines from the axis (or
  // the start line) to the wall, and the turning lines from the exit characteristic up
  // to the wall.
  std::vector<std::vector<FlowPoint>> cMinus, cPlus, turning;
  double axisEnd = 0.0;            // x of E
  double massBalancePercent = 0.0; // the largest |mass / the net's - 1| over the lines crossed and the exit
  int wallTurnsBackAt = 0;
  std::string wallWarning;
};

RoundedThroatDesign DesignRoundedThroat(const DesignInputs& inputs, moc::Flow flow);

// What the marched designs share: a net point's state in the record's units (angles in
// degrees), a number with `decimals` fixed decimals for messages, and the least angle
// between a leaning start line and either characteristic direction.
FlowPoint InDegrees(const moc::Point& s);
std::string FixedText(double value, int decimals);
inline constexpr double kStartLineMarginDegrees = 10.0;

// The throat's wall from x = 0 up to (not including) the start line's wall point at x:
// five points of the circle with the series' flow (Mach 1 where it is subsonic).
std::vector<FlowPoint> ThroatWallUpstream(const moc::TransonicThroat& throat, const gas::Gas& gas, double x);

}  // namespace nozzle
