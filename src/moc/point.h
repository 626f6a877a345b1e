// The method of characteristics for steady, irrotational, supersonic flow of a perfect
// gas, planar or axisymmetric in one code path: the net point, the tolerances of the
// unit processes and the errors they raise.
//
// Along the two characteristics through a point (theta the flow angle, nu the
// Prandtl-Meyer angle, mu = arcsin(1 / M) the Mach angle, all in radians; y the
// distance from the axis or the plane of symmetry; delta = 0 planar, 1 axisymmetric):
//
//   C-: dy/dx = tan(theta - mu),  d(theta + nu) =  delta sin(mu) sin(theta) / sin(theta - mu) dy / y
//   C+: dy/dx = tan(theta + mu),  d(theta - nu) = -delta sin(mu) sin(theta) / sin(theta + mu) dy / y
//
// (Zucrow and Hoffman, Gas Dynamics, vol. 2 (Wiley 1977), ch. 16, eqs. 16.30-16.33;
// Anderson, Modern Compressible Flow, 3rd ed., sec. 11.9). For delta = 0 the
// right-hand sides vanish and theta +- nu are the Riemann invariants, carried
// unchanged along their lines.
#pragma once

#include <stdexcept>
#include <string>

#include "gas/prandtl_meyer.h"

namespace moc {

enum class Flow { kPlanar, kAxisymmetric };

// A point of the net: its place (lengths in any unit; x downstream, y from the axis)
// and its flow state in radians. M and mu always belong to nu.
struct Point {
  double x = 0.0, y = 0.0;
  double theta = 0.0, nu = 0.0;
  double M = 1.0, mu = 0.0;
};

// A unit process solves its two relations by a predictor (the coefficients of the
// known end points) and correctors (the coefficients of the mean of both ends of each
// piece) until the new point's place and state stop changing: each correction below
// `position` (relative to 1 + |x| or 1 + |y|) and `angle` (radians). The process is
// of second order in the step.
//
// `machOfNu` is the inverse of nu the processes take, nu in degrees: none (the
// default) is the exact one, gas::ExactMachFromNu, to rounding; the window's net
// inverts nu by its own iteration, which stops within 1e-5 (gas::M_f_Nu).
struct Tolerances {
  int maxCorrections = 200;
  double position = 1e-10;
  double angle = 1e-11;
  double (*machOfNu)(double nuDegrees, const gas::Gas& gas, double guessM) = nullptr;
};

// A unit process that did not converge, an arithmetic fault inside one (a
// gas::ArithmeticError, of which this is one), or a state outside the gas's range.
// The processes name what failed; the march and the nozzles that use them add where.
class ProcessError : public gas::ArithmeticError {
 public:
  using gas::ArithmeticError::ArithmeticError;
};

}  // namespace moc
