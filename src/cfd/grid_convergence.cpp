#include "cfd/grid_convergence.h"

#include <algorithm>
#include <cmath>

namespace cfd {

GridConvergence EstimateGridConvergence(double f1, double f2, double f3, double r, double formalOrder) {
  const double e21 = f2 - f1;
  const double e32 = f3 - f2;
  GridConvergence g;
  g.extrapolated = f1;
  if (e21 == 0.0 && e32 == 0.0) return g;
  const double bound = 1.25 * std::max(std::fabs(e21), std::fabs(e32));
  if (e21 * e32 < 0.0) {
    g.kind = GridConvergence::Kind::kOscillatory;
    g.uncertainty = bound;
    return g;
  }
  if (std::fabs(e32) <= std::fabs(e21)) {
    g.kind = GridConvergence::Kind::kDivergent;
    g.uncertainty = bound;
    return g;
  }
  g.kind = GridConvergence::Kind::kMonotone;
  if (e21 == 0.0) {  // the two finer meshes agree exactly: nothing left to extrapolate
    g.order = formalOrder;
    return g;
  }
  g.order = std::log(e32 / e21) / std::log(r);
  const double rp = std::pow(r, g.order);
  const double rq = std::pow(r, std::min(g.order, formalOrder));
  g.extrapolated = (rp * f1 - f2) / (rp - 1.0);
  g.uncertainty = 1.25 * std::fabs(e21) / (rq - 1.0);
  return g;
}

std::string_view KindName(GridConvergence::Kind kind) {
  switch (kind) {
    case GridConvergence::Kind::kConverged: return "converged";
    case GridConvergence::Kind::kMonotone: return "monotone";
    case GridConvergence::Kind::kOscillatory: return "oscillatory";
    case GridConvergence::Kind::kDivergent: return "divergent";
  }
  return {};
}

}  // namespace cfd
