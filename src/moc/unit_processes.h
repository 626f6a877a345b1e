// The unit processes of the method of characteristics (moc/point.h for the relations):
// each finds one new point of the net from known points, with the same predictor and
// correctors for planar and axisymmetric flow, the radius term switched by the flow.
//
//   Interior  the point where the C- line through a meets the C+ line through b;
//   Axis      the point where the C- line through a reaches the axis (theta = 0, y = 0);
//   OnWall    the point where the C+ line through b meets a given wall y = w(x),
//             the flow there tangent to the wall;
//   Streamline (a designed wall) the point where the streamline from a known wall
//             point crosses a characteristic given by its points: the chord from the
//             wall point, inclined at the mean of the flow angles at its ends, meets
//             the characteristic's polyline, the state interpolated along it.
//
// Each piece of a characteristic between two points is straight, inclined at the mean
// of the direction angles at its ends; each relation's coefficient is taken at the
// mean of the piece's ends. Next to the axis the term sin(theta) / y of the relations
// is written as a factor times the sum of the end angles, so that it is never a ratio
// of two small numbers from an estimate that is still off; on the axis itself its
// limit is taken (the slope theta / y of the piece to second order).
//
// Failure contract: a process that does not settle within Tolerances::maxCorrections
// throws ProcessError ("the interior unit process did not converge", ...); a
// Prandtl-Meyer angle outside the gas's range, a division by zero or a non-finite
// value throws gas::ArithmeticError naming the operation. The caller names the point.
#pragma once

#include <functional>

#include "gas/prandtl_meyer.h"
#include "moc/point.h"

namespace moc {

// A wall given as a curve y = Y(x), with its angle dY/dx as an angle (radians), for x
// inside the curve's range [XBegin, XEnd].
class WallCurve {
 public:
  virtual ~WallCurve() = default;
  virtual double Y(double x) const = 0;
  virtual double Angle(double x) const = 0;
  virtual double XBegin() const = 0;
  virtual double XEnd() const = 0;
};

// The point of a characteristic's polyline that the streamline from `from` crosses,
// the mass flow between the characteristic's start and it (see MassAcross), and how
// many of the points after `first` lie below the streamline.
struct StreamlineCrossing {
  Point point;
  double mass = 0.0;
  int inside = 0;
};

class UnitProcesses {
 public:
  UnitProcesses(const gas::Gas& gas, Flow flow, Tolerances tolerances = {})
      : gas_(gas), axisymmetric_(flow == Flow::kAxisymmetric), tolerances_(tolerances) {}

  // s with the Prandtl-Meyer angle nu (radians) and its Mach number (found exactly,
  // gas::ExactMachFromNu, from guessM) and Mach angle.
  Point WithNu(Point s, double nu, double guessM) const;

  // `guess`, when given, is a close solution (of a net a little different) to start from.
  Point Interior(const Point& a, const Point& b, const Point* guess = nullptr) const;
  Point Axis(const Point& a, const Point* guess = nullptr) const;
  // `b` lies below the wall, upstream of the point sought. Throws ProcessError when the
  // C+ line leaves the wall's range of x before it meets the wall.
  Point OnWall(const Point& b, const WallCurve& wall) const;
  // The wall point at x (the inverse wall process): the C+ line that reaches it leaves
  // the piece from the wall point `a` to the net point `b` below the wall, whose
  // C+ line meets the wall past x; its foot is found by bisection along the piece (60
  // halvings), its state interpolated there. Throws ProcessError when x does not lie
  // between the wall points of a's and b's C+ lines.
  Point OnWallAt(const Point& a, const Point& b, const WallCurve& wall, double x) const;

  // The streamline from `from` across a characteristic: `first` is its point that
  // lies below the streamline, with `massToFirst` the mass flow between its start and
  // `first`; next(i), i = 1, 2, ..., maxPoints, gives its following points. Throws
  // ProcessError when `first` is not below the streamline ("the wall cuts into the
  // kernel"), when no point up to maxPoints is above it ("the wall does not meet its
  // C+ line") or when the crossing does not settle ("the wall point did not converge").
  StreamlineCrossing Streamline(const Point& from, const Point& first, double massToFirst,
                                const std::function<const Point&(int)>& next, int maxPoints) const;

  // The mass flow across the straight piece from a to b, trapezoidal rule, over the
  // throat's: a planar throat of half-height 1 (rho* a* per unit depth) or a round
  // one of radius 1 (pi rho* a*):
  //   planar:        integral of rho V / (rho* a*) (cos(theta) dy - sin(theta) dx)
  //   axisymmetric:  2 integral of y rho V / (rho* a*) (cos(theta) dy - sin(theta) dx)
  // where rho V / (rho* a*) = 1 / (A / A*) of the local Mach number.
  double MassAcross(const Point& a, const Point& b) const;

  bool Axisymmetric() const { return axisymmetric_; }
  const gas::Gas& Gas() const { return gas_; }
  const Tolerances& Tolerance() const { return tolerances_; }

 private:
  const gas::Gas& gas_;
  bool axisymmetric_;
  Tolerances tolerances_;
};

// The point a fraction t of the way from a to b, every member interpolated linearly.
Point Between(const Point& a, const Point& b, double t);

}  // namespace moc
