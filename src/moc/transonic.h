// The transonic flow in a rounded throat, and the initial-value line it hands to the
// march of the characteristics.
//
// The throat: a wall of radius of curvature R throat half-heights (planar) or radii
// (round) at its narrowest section x = 0, y = 1, continued as the circle
//   y_w(x) = 1 + R - sqrt(R^2 - x^2),
// steady irrotational flow of a perfect gas of ratio of specific heats gamma. Lengths in
// throat half-heights (radii), velocities over the critical speed a*, angles in
// radians.
//
// The series (Hall, Q. J. Mech. Appl. Math. 15 (1962) 487-508): with eps = 1 / R,
// delta = 0 planar, 1 round, and the stretched axial distance
//   z = x sqrt((1 + delta) R / (gamma + 1)),
// the velocity components are
//   u = 1 + e1 u1(z, y) + e2 u2(z, y) + e3 u3(z, y)
//   v = sqrt((gamma + 1) eps / (1 + delta)) [e1 v1(z, y) + e2 v2(z, y) + e3 v3(z, y)]
// with polynomials u_n (even in y) and v_n (odd in y) found order by order from the gas
// dynamic equation, irrotationality and tangency at the wall, whose coefficients are
// polynomials in gamma (transonic.cpp holds them; scripts/derive-throat-series derives
// them and checks that the mass flow is the same across every section to eps^4). The
// first order is Sauer's (NACA TM 1147, 1947): u1 = z + y^2 / 2 - (1 + delta) / (2 (3 + delta)).
//
//   kHall           e_n = eps^n: Hall's series in powers of 1 / R. Good for R above
//                   about 2; its terms grow without bound as R falls towards 1.
//   kKliegelLevine  Hall's series recast in powers of 1 / S, S = R + 1 (Kliegel and
//                   Levine, AIAA J. 7 (1969) 1375-1378), by the substitution
//                   1 / R = 1 / S + 1 / S^2 + 1 / S^3 truncated at the third order
//                   (as in Sivells, AEDC-TR-78-63, 1978): e1 = 1/S + 1/S^2 + 1/S^3,
//                   e2 = 1/S^2 + 2/S^3, e3 = 1/S^3. Realistic down to R about 0.6, and
//                   the default.
//
// Range: MinRadius(flow, series) <= R <= kMaxRadius, where the mass flow the series
// carries through its start line stays within about 0.5 % of its throat's for gammas
// from 1.1 to 5/3 (about 0.2 % in air) and the series still has a sonic point on the
// wall: the recast series for a round throat from R = 1, for a planar one from 1.5;
// Hall's from 1.5. Below it the truncated series no longer describes a throat (at
// R = 0.75 round, 1.25 planar, its wall is nowhere sonic); a radius outside the range is
// refused with ThroatError, never iterated on.
//
// The discharge coefficient is the mass flow through the throat section over the
// one-dimensional flow's, rho* a* A*: the integral of rho u / (rho* a*) from the axis
// to the wall at x = 0 (round: 2 y rho u dy), by Gauss-Legendre quadrature of order 16
// (the integrand is smooth; order 32 agrees to 1e-15). It is the mass flow that the
// series' field carries, and so the one the march from its start line carries.
//
// The initial-value line: the straight section x = xs normal to the axis through the
// axis point of Mach number `axisMach` (default 1.05, a little past the axis's sonic
// point, where the series is accurate and every point of the section is supersonic:
// the sonic line bends upstream towards the wall). Its points carry the series' flow
// angle and Mach number. Such a section is not a characteristic while the Mach angle
// and the flow angle stay away from a right angle together, which the line checks.
//
// Failure contract: a radius or gamma outside the range, or an axis Mach number of the
// start line outside (1, 1.5], throws ThroatError naming it. Every root is found by
// bisection within a bracket with a fixed number of steps; a bracket that holds no root
// (a field that is not sonic where a throat must be) throws ThroatError naming what
// was sought. No iteration is unbounded.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "gas/gas.h"
#include "moc/point.h"
#include "moc/unit_processes.h"

namespace moc {

class ThroatError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

enum class ThroatSeries { kHall, kKliegelLevine };

class TransonicThroat {
 public:
  static constexpr double kMaxRadius = 100.0;
  static double MinRadius(Flow flow, ThroatSeries series) {
    return series == ThroatSeries::kKliegelLevine && flow == Flow::kAxisymmetric ? 1.0 : 1.5;
  }
  static constexpr double kDefaultAxisMach = 1.05;

  TransonicThroat(const gas::Gas& gas, Flow flow, double R, ThroatSeries series = ThroatSeries::kKliegelLevine);

  struct Velocity {
    double u = 1.0, v = 0.0;
  };
  Velocity VelocityAt(double x, double y) const;
  double MachAt(double x, double y) const;

  double WallY(double x) const;
  double WallAngle(double x) const;  // radians

  double DischargeCoefficient() const { return cd_; }
  // The mass flow through the section at x (from the axis to the wall) over rho* a* A*:
  // the discharge coefficient at x = 0, the same at every x for the exact flow.
  double MassFlowAt(double x) const;
  // Where the sonic line (q = a*) meets the axis, and the wall: x, and the wall's y.
  double SonicAxisX() const { return sonicAxisX_; }
  double SonicWallX() const { return sonicWallX_; }
  double SonicWallY() const { return WallY(sonicWallX_); }
  // The sonic line's x at height y, 0 <= y <= its wall point's height.
  double SonicX(double y) const;

  // The initial-value line: `points` >= 2 points on the section through the axis point
  // of Mach number axisMach, from the axis to the wall, equally spaced.
  double StartLineX(double axisMach = kDefaultAxisMach) const;
  std::vector<Point> StartLine(int points, double axisMach = kDefaultAxisMach) const;
  // A start line leaning upstream: the straight line from the same axis point to the
  // wall at x = wallX (<= the section's x), points equally spaced along it. It must be
  // crossed by both families: at each point the line's direction lies at least
  // `margin` (radians) outside the Mach cone theta -+ mu, else ThroatError.
  std::vector<Point> StartLine(int points, double axisMach, double wallX, double margin) const;
  // The most upstream wall end of such a line whose every point keeps the margin (its
  // `points` points checked), or the section's own x when even the section does not.
  double MostLeaningWallX(int points, double axisMach, double margin) const;

  double Radius() const { return R_; }
  bool Axisymmetric() const { return delta_ == 1; }
  ThroatSeries Series() const { return series_; }

 private:
  double Mach(const Velocity& w) const;
  double MassFlux(double x, double y) const;

  gas::Gas gas_;
  int delta_;
  double R_;
  ThroatSeries series_;
  double zScale_ = 0.0;  // z = x zScale_
  double vScale_ = 0.0;  // v = vScale_ [e1 v1 + ...]
  double e_[3] = {0.0, 0.0, 0.0};
  double uCoefficients_[32] = {};  // [i * 8 + j]: the coefficient of z^i y^j
  double vCoefficients_[32] = {};
  double cd_ = 0.0, sonicAxisX_ = 0.0, sonicWallX_ = 0.0;
};

// The throat's circle as a wall for the march, from x = begin to x = end (both within
// the circle's reach, |x| < R).
class ThroatArc : public WallCurve {
 public:
  ThroatArc(double R, double begin, double end) : R_(R), begin_(begin), end_(end) {}
  double Y(double x) const override;
  double Angle(double x) const override;
  double XBegin() const override { return begin_; }
  double XEnd() const override { return end_; }

 private:
  double R_, begin_, end_;
};

}  // namespace moc
