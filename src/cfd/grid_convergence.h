// Discretisation error of a figure computed on three meshes refined by a constant
// ratio r, by the procedure of Celik et al., "Procedure for Estimation and Reporting
// of Uncertainty Due to Discretization in CFD Applications", J. Fluids Eng. 130
// (2008), built on Roache's Grid Convergence Index:
//
//   e21 = f2 - f1, e32 = f3 - f2      (f1 on the finest mesh, f3 on the coarsest)
//   monotone when e32 / e21 > 0 and |e32| > |e21|; then
//   observed order   p     = ln(e32 / e21) / ln r
//   extrapolated     f_ext = (r^p f1 - f2) / (r^p - 1)      (Richardson)
//   uncertainty      U     = 1.25 |f1 - f2| / (r^q - 1)   (the fine-mesh GCI, in the
//                                                           figure's own unit)
// with q = min(p, formalOrder): an observed order above the scheme's formal order
// is not trusted to shrink the error faster than the scheme can (Roache), which
// keeps U on the safe side. Oscillatory convergence (e32 / e21 < 0) and divergence
// (|e32| <= |e21|, e21 != 0) are reported as such and never extrapolated: f_ext is
// then f1 and U is 1.25 times the largest difference between the meshes. Three
// equal values have converged: f_ext = f1, U = 0.
#pragma once

#include <string_view>

namespace cfd {

struct GridConvergence {
  enum class Kind { kConverged, kMonotone, kOscillatory, kDivergent };
  Kind kind = Kind::kConverged;
  double order = 0.0;         // observed p; 0 unless monotone
  double extrapolated = 0.0;  // f_ext
  double uncertainty = 0.0;   // U >= 0, in the unit of f
  bool Extrapolated() const { return kind == Kind::kMonotone; }
};

// f1 finest, f3 coarsest; r > 1; formalOrder > 0 (2 for the project's scheme).
GridConvergence EstimateGridConvergence(double f1, double f2, double f3, double r = 2.0, double formalOrder = 2.0);

// "converged", "monotone", "oscillatory" or "divergent".
std::string_view KindName(GridConvergence::Kind kind);

}  // namespace cfd
