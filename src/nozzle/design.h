// The design run: from the exit Mach number Me, the first wave angle Teta0 (degrees)
// and the number of waves N to the complete characteristic net and wall of a
// minimum-length planar nozzle, for a perfect gas of ratio of specific heats
// gamma (air, 1.4, in the window; gas/prandtl_meyer.h for what depends on it).
//
//   TetaMax = nu(Me) / 2                      wall angle at the throat corner
//   dTeta   = (TetaMax - Teta0) / (N - 1)     step between fan waves
//   fan wave k = 1..N: Teta = Nu = Teta0 + (k - 1) dTeta, Kminus(k) = Teta + Nu
//   reflection at the axis: Kplus(j) = -Kminus(j)
//   net point (j, k): Teta = (Kminus(k) + Kplus(j)) / 2, Nu = (Kminus(k) - Kplus(j)) / 2
//   every M = M_f_Nu(Nu), Mu = Mu_f_M(M); then the coordinates (nozzle/geometry.h).
//
// The run touches no window, list or file: it returns the result, which the window
// and the command line present afterwards. N is a real number; the loops run over
// the whole numbers up to N and every index is rounded half to even (nozzle/net.h).
//
// Failure contract: a divisor of exactly zero, the square root of a negative number,
// an index outside 0..50, a non-finite value, N below 1 (no wave, nothing to
// draw) or gamma outside 1 < gamma <= 5/3 throws RunError naming what failed and
// where, for example "division by zero at wall point 1"; no partial result is returned. Valid inputs
// (nozzle/inputs.h) never fail.
#pragma once

#include <stdexcept>
#include <string>

#include "gas/prandtl_meyer.h"
#include "nozzle/inputs.h"
#include "nozzle/net.h"

namespace nozzle {

class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A refusal of the inputs that only the run can tell (an inflection angle outside the
// range a throat admits): the front ends treat it as a rejected input.
class InputRefusal : public RunError {
 public:
  using RunError::RunError;
};

struct DesignResult {
  DesignInputs inputs;
  gas::Gas gas;  // of inputs.gamma
  double TetaMax = 0.0;
  double dTeta = 0.0;
  Net net;
  int notices = 0;          // non-convergence notices of M_f_Nu passed to the sink
  int wallTurnsBackAt = 0;  // first wall point that is not monotone, 0 when none
  std::string wallWarning;  // the warning to show for it, empty when none
};

DesignResult Design(const DesignInputs& inputs, const gas::NoticeSink& notice = {});

// The warning for a wall whose point `wallPoint` is the first that does not lie
// downstream of the one before and not nearer the axis.
std::string WallWarning(int wallPoint);

// N as the number of waves of a marched design; throws gas::ArithmeticError ("N must be
// a whole number from 2 to 49") for any other.
int WaveCount(double N);

}  // namespace nozzle
