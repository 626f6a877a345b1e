// Mach angle and Prandtl-Meyer functions of a perfect gas with the ratio of specific
// heats g, 1 < g <= 5/3 (gas/gas.h): the window's own, Mu_f_M, Nu_f_M and M_f_Nu, for
// air, and the same relations for any Gas, which its members Nu and MachOfNu use:
//
//   mu(M) = arcsin(1 / M)
//   nu(M) = sqrt((g+1)/(g-1)) * atan(sqrt((g-1)/(g+1) * (M^2 - 1))) - atan(sqrt(M^2 - 1))
//
// Angles cross every interface in degrees; the trigonometry runs in radians.
// Each function is evaluated in one fixed order of operations (given below),
// and results agree to the last bit with that order: the characteristic net
// is sensitive to it and the printed digits are compared in tests.
//
// Failure contract: an operation whose result is undefined or not finite
// (square root of a negative number, division by exactly zero, overflow to
// infinity, a NaN operand) throws gas::ArithmeticError naming the operation;
// no function ever returns NaN or infinity.
#pragma once

#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "gas/gas.h"

namespace gas {

class ArithmeticError : public std::domain_error {
 public:
  using std::domain_error::domain_error;
};

// The arithmetic of the design run, checked: each throws ArithmeticError with
// "division by zero", "square root of a negative number", "overflow to infinity"
// or "invalid operation (not a number)" in place of a non-finite result.
// They sit on the hot path of the run, hence inline, with the throw kept out of line.
[[noreturn]] void ThrowNonFinite(double value);

inline double Finite(double value) {
  if (!std::isfinite(value)) ThrowNonFinite(value);
  return value;
}

inline double Divide(double numerator, double denominator) {
  if (denominator == 0.0) throw ArithmeticError("division by zero");
  return Finite(numerator / denominator);
}

inline double SquareRoot(double value) {
  if (value < 0.0) throw ArithmeticError("square root of a negative number");
  return Finite(std::sqrt(Finite(value)));
}

// Mach angle in degrees, for M > 1 (0 < mu < 90):
// a = 1 / M; s = sqrt(1 - a^2); mu = atan(a / s) / Pi_180.
// Throws for |M| <= 1 and M = 0.
double Mu_f_M(double M);

// Prandtl-Meyer angle in degrees, for M >= 1 (0 <= nu < nu_max):
// b = sqrt(M * M - 1); nu = (root * atan(b / root) - atan(b)) / Pi_180, root = Sqr6
// for air. Nu_f_M(1) = 0 exactly. Throws for |M| < 1.
double Nu_f_M(double M);
double Nu_f_M(double M, const Gas& gas);

// The text of the notice shown when M_f_Nu does not converge.
inline constexpr std::string_view kNotConvergedNotice = "iterasyon adımda yakınsamadı";

// Called with kNotConvergedNotice when M_f_Nu ran all its steps without converging;
// the caller shows it (a modal box in the window, standard error on the command line).
using NoticeSink = std::function<void(std::string_view)>;

inline constexpr int kMachIterationSteps = 50;
inline constexpr double kMachIterationTolerance = 1e-5;  // on |nu(M) - target|, radians

// Mach number (>= 1) whose Prandtl-Meyer angle is Nu degrees, 0 <= Nu < nu_max.
// Newton's method on F(M) = nu(M) - Nu * Pi_180 in radians, from M = sqrt(2.5):
// each step evaluates F and stops at the first iterate with |F| < 1e-5 (no further
// update); otherwise M -= F / F', F' = (b / M) / (1 + half * M^2), half = 0.2 for
// air. For every gas 1 < g <= 5/3 and every target nu(M) with 1 <= M <= 1e150 the
// start and the cap suffice: on a dense grid of M (1,000 points a decade) it reached
// the tolerance within 19 evaluations for air, 30 for g = 1 + 1e-7 and 44 for the
// double next above 1 (tests/gas checks the grid). After 50 updates
// without success it calls `notice` once and returns the 50th update unevaluated.
// Results therefore differ from the exact inverse by up to a few 1e-5.
// Throws once an iterate falls below 1 (negative targets) or grows to infinity
// (targets above nu_max).
double M_f_Nu(double Nu, const NoticeSink& notice = {}, int steps = kMachIterationSteps);

// The same iteration, telling how it ended: `evaluations` counts the residuals
// formed (1 to `steps`), `converged` is false when the last update was returned.
struct MachIteration {
  double M;
  int evaluations;
  bool converged;
};
MachIteration IterateMachFromNu(double Nu, int steps = kMachIterationSteps);
MachIteration IterateMachFromNu(double Nu, const Gas& gas, int steps = kMachIterationSteps);


// The exact inverse of nu for the axisymmetric net, whose unit processes iterate
// until their states stop changing and so need more than M_f_Nu's 1e-5: the Mach
// number whose Prandtl-Meyer angle is Nu degrees (0 <= Nu < nu_max of the gas), by
// Newton's method on b = sqrt(M^2 - 1) from `guess` (a Mach number; the leading
// term b = (3 nu / (1 - 1 / root^2))^(1/3) of small angles when it is not above 1).
// Below b = 0.1 nu(b) is summed as its series, so that angles down to the smallest
// doubles keep their digits. Stops after the update that changes b by less than 1e-12
// of it (the convergence is quadratic, so that update lands on b to rounding); throws
// ArithmeticError when Nu lies outside the range or 100 updates do not get there.
double ExactMachFromNu(double Nu, const Gas& gas, double guess = 0.0);

}  // namespace gas
