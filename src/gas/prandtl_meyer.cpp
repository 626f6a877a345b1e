#include "gas/prandtl_meyer.h"

#include <limits>

namespace gas {

Gas Gas::WithGamma(double g) {
  if (!InGasRange(g)) throw ArithmeticError("ratio of specific heats outside 1 < gamma <= 5/3");
  if (gas::IsAir(g)) return kAir;
  Gas gas;
  gas.gamma = g;
  gas.root = std::sqrt((g + 1.0) / (g - 1.0));
  gas.half = (g - 1.0) / 2.0;
  return gas;
}

double Gas::Nu(double M) const { return Nu_f_M(M, *this); }
double Gas::MachOfNu(double nu, double guess) const { return ExactMachFromNu(nu, *this, guess); }

void ThrowNonFinite(double value) {
  throw ArithmeticError(std::isnan(value) ? "invalid operation (not a number)" : "overflow to infinity");
}

double Mu_f_M(double M) {
  const double a = Divide(1.0, M);
  const double s = SquareRoot(1.0 - std::pow(a, 2));
  const double mu = std::atan(Divide(a, s));
  return mu / Pi_180;
}

namespace {

// nu(M) in radians, formed as in Nu_f_M; also hands back b = sqrt(M * M - 1).
double PrandtlMeyerRadians(double M, const Gas& gas, double& b) {
  b = SquareRoot(Finite(M * M) - 1.0);
  return gas.root * std::atan(b / gas.root) - std::atan(b);
}

}  // namespace

double Nu_f_M(double M) { return Nu_f_M(M, kAir); }

double Nu_f_M(double M, const Gas& gas) {
  double b = 0.0;
  return PrandtlMeyerRadians(M, gas, b) / Pi_180;
}

MachIteration IterateMachFromNu(double Nu, int steps) { return IterateMachFromNu(Nu, kAir, steps); }

MachIteration IterateMachFromNu(double Nu, const Gas& gas, int steps) {
  const double target = Finite(Nu * Pi_180);
  double M = std::sqrt(2.5);
  for (int step = 1; step <= steps; ++step) {
    double b = 0.0;
    const double F = PrandtlMeyerRadians(M, gas, b) - target;
    if (std::fabs(F) < kMachIterationTolerance) return {M, step, true};
    const double dF = Divide(Divide(b, M), 1.0 + gas.half * Finite(std::pow(M, 2)));
    M = Finite(M - Divide(F, dF));
  }
  return {M, steps, false};
}

double M_f_Nu(double Nu, const NoticeSink& notice, int steps) {
  const MachIteration result = IterateMachFromNu(Nu, steps);
  if (!result.converged && notice) notice(kNotConvergedNotice);
  return result.M;
}

namespace {

// nu(b) = root atan(b / root) - atan(b), b = sqrt(M^2 - 1), in radians. Below b = 0.1 the
// two arctangents cancel to b^3 and the difference would lose the digits the iteration
// needs: their series, sum over n >= 1 of (-1)^(n+1) b^(2n+1) / (2n + 1) (1 - root^-2n),
// whose terms fall by b^2 each, is summed instead.
double NuOfB(double b, double root) {
  if (b >= 0.1) return root * std::atan(b / root) - std::atan(b);
  const double b2 = b * b, q = 1.0 / (root * root);
  double sum = 0.0, power = b * b2, qn = q, sign = 1.0;
  for (int n = 1; n <= 9; ++n) {
    sum += sign * power / (2 * n + 1) * (1.0 - qn);
    power *= b2;
    qn *= q;
    sign = -sign;
  }
  return sum;
}

}  // namespace

double ExactMachFromNu(double Nu, const Gas& gas, double guess) {
  const double target = Finite(Nu * Pi_180);
  if (!(target >= 0.0) || !(Nu < gas.NuMax())) throw ArithmeticError("Prandtl-Meyer angle outside its range");
  if (target == 0.0) return 1.0;
  const double r2 = gas.root * gas.root;
  double b = guess > 1.0 ? std::sqrt(guess * guess - 1.0) : std::cbrt(3.0 * target / (1.0 - 1.0 / r2));
  for (int step = 0; step < 100; ++step) {
    const double F = NuOfB(b, gas.root) - target;
    const double b2 = b * b;
    const double dF = b2 * (1.0 - 1.0 / r2) / ((1.0 + b2 / r2) * (1.0 + b2));
    double next = b - Divide(F, dF);
    if (!(next > 0.0)) next = 0.5 * b;
    const bool done = std::fabs(next - b) <= 1e-12 * next;  // quadratic: the update just made is exact
    b = Finite(next);
    if (done) return Finite(std::sqrt(1.0 + b * b));
  }
  throw ArithmeticError("the Mach number of a Prandtl-Meyer angle did not converge");
}

}  // namespace gas
