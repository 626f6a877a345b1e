// The flow through a rounded throat as a solved mesh has it, beside the transonic
// series' (moc/transonic.h): the Mach number of the cells along the axis (the first
// row) and along the wall (the last row) from kThroatReach throat half-heights (radii)
// upstream of the throat to as far downstream, each cell's beside the series' at its
// centre, and where each row turns sonic (linear between the cells on either side;
// NaN when it does not within the reach). A cell where the series has no flow (far
// from the throat of a small radius its speed passes the gas's limit) is left out.
#pragma once

#include <string>
#include <vector>

#include "cfd/case_plan.h"
#include "cfd/exit_flow.h"

namespace cfd {

inline constexpr double kThroatReach = 1.0;

struct ThroatRow {
  std::vector<double> x, y;    // the cells' centres, throat half-heights (radii)
  std::vector<double> mesh, series;  // the Mach numbers
  double meshSonicX = NAN, seriesSonicX = NAN;
};

struct ThroatFlow {
  ThroatRow axis, wall;
};

// `flow`: a mesh of a case from the plenum (facts.plenum).
ThroatFlow CompareThroat(const SolvedFlow& flow, const FlowFacts& facts);

// "row,x,y,Ma_cfd,Ma_series" and a line per cell, the axis's row first.
std::string ThroatProfileCsv(const ThroatFlow& throat);

}  // namespace cfd
