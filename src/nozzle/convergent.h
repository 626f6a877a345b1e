// The convergent section upstream of a rounded throat, from the inlet (the plenum's
// face) to the throat section x = 0: the circle of radius of curvature R_u (throat
// half-heights, round: radii) through the throat point (0, 1) with a level tangent,
// back to its tangent point at the convergent angle beta,
//   x_t = -R_u sin(beta),  y_t = 1 + R_u (1 - cos(beta)),
// then the straight wall (round: a cone, planar: a wedge) at beta out to the inlet
// height of the contraction C (inlet area over throat area): y_i = C planar, sqrt(C)
// round, at x_i = x_t - (y_i - y_t) / tan(beta); where the arc reaches the inlet height
// before the convergent angle (a small contraction, a large radius), the section is
// the arc alone, up to that height. The transonic series that starts the
// characteristics assumes the circle of the throat radius R on both sides of the
// throat, so R_u defaults to R.
//
// The wall's points carry the angle of the wall (negative: it converges) and the
// one-dimensional subsonic Mach number of the area there; Nu 0 and Mu 90 degrees.
#pragma once

#include <vector>

#include "nozzle/net.h"

namespace nozzle {

inline constexpr int kUpstreamArcPoints = 12;

// The height where the upstream arc reaches the convergent angle: the inlet must lie
// above it.
double ArcTangentHeight(double upstreamRadius, double convergentAngleDegrees);

// From the inlet to the last arc point before x = 0 (x = 0 itself is the wall's first
// point): kUpstreamArcPoints points along the straight wall from the inlet (so that a
// spline through them keeps to it), the tangent point and kUpstreamArcPoints - 1
// points of the arc; or the arc alone from the inlet.
std::vector<FlowPoint> ConvergentWall(double upstreamRadius, double contraction, double convergentAngleDegrees,
                                      bool round, double gamma);

}  // namespace nozzle
