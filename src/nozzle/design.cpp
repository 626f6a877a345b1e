#include "nozzle/design.h"

#include "nozzle/geometry.h"

namespace nozzle {
namespace {

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

  // A centred expansion from a uniform sonic throat: nu equals the turning angle.
  CountedLoop(1.0, N, [&](double k) {
    where = {RunPlace::Step::kFanPoint, 0.0, k};
    const int K = Index(k);
    Teta(0, K) = gas::Finite(result.inputs.Teta0 + (k - 1.0) * result.dTeta);
    Nu(0, K) = Teta(0, K);
    M(0, K) = gas::M_f_Nu(Nu(0, K), notice);
    Mu(0, K) = gas::Mu_f_M(M(0, K));
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
      M(J, K) = gas::M_f_Nu(Nu(J, K), notice);
      Mu(J, K) = gas::Mu_f_M(M(J, K));
    });
  });
}

std::string WallWarning(int wallPoint) {
  const std::string j = std::to_string(wallPoint);
  return "The wall turns back on itself at wall point " + j + ": from wall point " +
         std::to_string(wallPoint - 1) + " to wall point " + j +
         " x must increase and y must not decrease. This contour is not usable; use more waves N.";
}

}  // namespace

DesignResult Design(const DesignInputs& inputs, const gas::NoticeSink& notice) {
  DesignResult result;
  result.inputs = inputs;
  const gas::NoticeSink counted = [&](std::string_view text) {
    ++result.notices;
    if (notice) notice(text);
  };
  RunPlace where;
  try {
    where = {RunPlace::Step::kTetaMax};
    result.TetaMax = gas::Nu_f_M(inputs.Me) / 2.0;
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
