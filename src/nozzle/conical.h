// The conical nozzle: the reference of every bell. A rounded throat, the circle of
// radius of curvature R throat half-heights (round: radii) from the throat section
// x = 0 to its tangent point at the half-angle alpha,
//   x_t = R sin(alpha),  y_t = 1 + R (1 - cos(alpha)),
// then the straight wall (a cone, or for a planar nozzle a wedge) at alpha to the exit
// height of the area ratio epsilon (exit over throat area): y_e = epsilon planar,
// sqrt(epsilon) round, at x_e = x_t + (y_e - y_t) / tan(alpha). Its flow is the direct
// problem's (nozzle/given_wall.h); the exit is not uniform.
#pragma once

#include <cmath>

#include "moc/point.h"
#include "moc/unit_processes.h"
#include "nozzle/given_wall.h"
#include "nozzle/inputs.h"

namespace nozzle {

// The arc and the straight wall beyond its tangent point (continued past the exit, so
// that a C+ line near the lip always meets it), written through the exit point so that
// the wall there is exactly the exit height.
class ConeWall : public moc::WallCurve {
 public:
  ConeWall(double R, double halfAngleRadians, double exitHeight);
  double Y(double x) const override;
  double Angle(double x) const override;
  double XBegin() const override { return 0.0; }
  double XEnd() const override;
  double TangentX() const { return xt_; }
  double TangentY() const { return yt_; }
  double ExitX() const { return xe_; }

 private:
  double R_, alpha_, xt_, yt_, xe_, ye_;
};

// Throws RunError naming what failed: an area ratio whose exit lies on the arc, or
// what the direct problem throws.
GivenWallFlow DesignConical(const DesignInputs& inputs, moc::Flow flow);

}  // namespace nozzle
