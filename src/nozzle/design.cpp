#include "nozzle/design.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "nozzle/geometry.h"

namespace nozzle {
namespace {

// M = M_f_Nu(Nu) and Mu = Mu_f_M(M) are pure functions of Nu, and a run asks for few
// distinct Nu: Nu(j, k) depends on j + k up to rounding (224 distinct targets among
// the 1,274 points of N = 49). Each distinct target, told by its exact bits, is
// iterated once; a target that did not converge passes the notice on at every call.
class MachOfNu {
 public:
  struct State {
    double M, Mu;
  };

  // Room for every fan and net point the record can hold (the loops stop at index 50
  // before any more), at a load of at most 2/3: a free slot is always found.
  MachOfNu(double N, const gas::Gas& gas, const gas::NoticeSink& notice) : gas_(gas), notice_(notice) {
    const double n = std::min(N, kIndexMax + 1.0);
    const double points = n + n * (n + 1.0) / 2.0;
    slots_.assign(std::bit_ceil(static_cast<std::size_t>(1.5 * points + 1.0)), Slot{kEmpty, {0.0, 0.0}, false});
  }

  State operator()(double Nu) {
    const std::uint64_t key = std::bit_cast<std::uint64_t>(Nu);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 40) & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.key == key) {
        if (!slot.converged && notice_) notice_(gas::kNotConvergedNotice);
        return slot.state;
      }
      if (slot.key == kEmpty) {
        const gas::MachIteration iteration = gas::IterateMachFromNu(Nu, gas_);
        if (!iteration.converged && notice_) notice_(gas::kNotConvergedNotice);
        slot = {key, {iteration.M, gas::Mu_f_M(iteration.M)}, iteration.converged};
        return slot.state;
      }
    }
  }

 private:
  // A NaN pattern: targets are finite, so no key ever has these bits.
  static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
  struct Slot {
    std::uint64_t key;
    State state;
    bool converged;
  };
  const gas::Gas& gas_;
  const gas::NoticeSink& notice_;
  std::vector<Slot> slots_;
};

// The fan at the throat corner and the flow state of the net, each point complete
// before the next.
void LayFanAndNet(DesignResult& result, RunPlace& where, const gas::NoticeSink& notice) {
  Net& net = result.net;
  Table& Teta = net.Teta;
  Table& Nu = net.Nu;
  Table& M = net.M;
  Table& Mu = net.Mu;
  Column& Kminus = net.Kminus;
  Column& Kplus = net.Kplus;
  const double N = result.inputs.N;
  MachOfNu machOfNu(N, result.gas, notice);

  // A centred expansion from a uniform sonic throat: nu equals the turning angle.
  CountedLoop(1.0, N, [&](double k) {
    where = {RunPlace::Step::kFanPoint, 0.0, k};
    const int K = Index(k);
    Teta(0, K) = gas::Finite(result.inputs.Teta0 + (k - 1.0) * result.dTeta);
    Nu(0, K) = Teta(0, K);
    const MachOfNu::State state = machOfNu(Nu(0, K));
    M(0, K) = state.M;
    Mu(0, K) = state.Mu;
    Kminus(K) = gas::Finite(Teta(0, K) + Nu(0, K));
  });
  // Reflection at the axis, where theta = 0: K+ = -nu = -K-.
  CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    Kplus(J) = -Kminus(J);
  });
  CountedLoop(1.0, N, [&](double j) {
    CountedLoop(j, N, [&](double k) {
      where = {RunPlace::Step::kNetPoint, j, k};
      const int J = Index(j);
      const int K = Index(k);
      Teta(J, K) = gas::Finite((Kminus(K) + Kplus(J)) / 2.0);
      Nu(J, K) = gas::Finite((Kminus(K) - Kplus(J)) / 2.0);
      const MachOfNu::State state = machOfNu(Nu(J, K));
      M(J, K) = state.M;
      Mu(J, K) = state.Mu;
    });
  });
}

}  // namespace

int WaveCount(double N) {
  if (!(N >= 2.0 && N <= 49.0 && N == std::floor(N))) {
    throw gas::ArithmeticError("N must be a whole number from 2 to 49");
  }
  return static_cast<int>(N);
}

std::string WallWarning(int wallPoint) {
  const std::string j = std::to_string(wallPoint);
  return "The wall turns back on itself at wall point " + j + ": from wall point " +
         std::to_string(wallPoint - 1) + " to wall point " + j +
         " x must increase and y must not decrease. This contour is not usable; use more waves N.";
}

DesignResult Design(const DesignInputs& inputs, const gas::NoticeSink& notice) {
  DesignResult result;
  result.inputs = inputs;
  const gas::NoticeSink counted = [&](std::string_view text) {
    ++result.notices;
    if (notice) notice(text);
  };
  RunPlace where;
  try {
    where = {RunPlace::Step::kGas};
    result.gas = gas::Gas::WithGamma(inputs.gamma);
    where = {RunPlace::Step::kTetaMax};
    result.TetaMax = result.gas.Nu(inputs.Me) / 2.0;
    where = {RunPlace::Step::kDTeta};
    result.dTeta = gas::Divide(gas::Finite(result.TetaMax - inputs.Teta0), inputs.N - 1.0);
    // Below one wave nothing is laid and the net has no extent to draw.
    where = {RunPlace::Step::kFan};
    if (!(inputs.N >= 1.0)) throw gas::ArithmeticError("no wave is laid for N below 1");

    LayFanAndNet(result, where, counted);
    PlaceNet(result.net, inputs.N, where);
  } catch (const std::logic_error& error) {
    throw RunError(std::string(error.what()) + " " + where.Describe());
  }
  result.wallTurnsBackAt = FirstNonMonotoneWallPoint(result.net, inputs.N);
  if (result.wallTurnsBackAt != 0) result.wallWarning = WallWarning(result.wallTurnsBackAt);
  return result;
}

}  // namespace nozzle
