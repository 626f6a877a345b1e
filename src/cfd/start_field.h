// The start of the coarsest mesh: the design's own flow at every cell centre.
//
// The design's state is known at scattered points (cfd/design_case.h), to which the
// uniform sonic throat section and the uniform exit region are added. A cell takes the inverse-square-distance mean of the Mach
// number and flow angle of its six nearest points; p and T follow isentropically
// (T* = 1, p* = 1, as the fixed sonic inflow), u = M sqrt(T). A case from the plenum adds
// the convergent section's one-dimensional flow (cfd/design_case.h).
//
// The cells are the block's: nx along the axis, growing by GradingAlong from the
// throat to the exit, ny across between the axis and the wall (a polyLine through
// `wall`), numbered i along fastest.
#pragma once

#include <vector>

#include "cfd/case_plan.h"
#include "cfd/design_case.h"

namespace cfd {

struct StartField {
  std::vector<double> p, T, ux, uy;  // one value a cell
};

// From the plenum (facts.plenum), the first `convergentCells` of the nx lie upstream of
// the throat, graded as the case's blockMeshDict grades them.
StartField FromDesign(const DesignCase& design, const FlowFacts& facts, int nx, int ny, int convergentCells = 0);

}  // namespace cfd
