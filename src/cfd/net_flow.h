// A solved mesh beside the characteristics, for a nozzle whose exit is not uniform by
// design (FlowFacts::net):
//   wall  the static over the stagnation pressure p/p0 of the wall's row of cells
//         (p0 the plenum's total pressure), at each of the net's wall points from the
//         throat on;
//   exit  the Mach number of the outlet's cells (MeshFigures::profileMa, averaged over
//         the settled window), at each of the net's exit points.
// The mesh's value at a net point is interpolated linearly between the two cell centres
// on either side of it; a net point beyond the first or the last centre is left out.
// Each row's figure is its largest relative difference, |mesh - net| / net, percent.
// Where the net's characteristics crossed (a shock forms), the mesh's steepest
// compression along its row of cells through that point: the largest d(ln p)/dx between
// neighbouring cells downstream of the throat, per throat half-height (radius), and
// where. A shock, captured over a few cells, steepens as the cells shrink (about
// threefold a mesh: the round cone of R 2, 0.006, 0.51, 1.50); where the flow has none,
// the figure stays small on every mesh.
// The wall's row of cells lies half a cell inside the wall: its difference from the
// wall's own pressure falls with the cell size, as the extrapolation over the meshes
// assumes.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "cfd/case_plan.h"

namespace cfd {

struct SolvedFlow;

struct NetRow {
  std::vector<double> at;          // x along the wall, y across the exit; throat half-heights (radii)
  std::vector<double> mesh, net;
  double largestPercent = NAN;     // NaN: no net point within the cells' centres
  double largestAt = NAN;
};

struct Compression {
  double x = NAN, y = NAN;  // between the two cells
  double steepness = NAN;   // d(ln p)/dx
};

struct NetComparison {
  NetRow wall;  // p / p0
  NetRow exit;  // Mach number; empty when the net stopped before the exit
  Compression compression;  // through the net's shock point; NaN without one
};

// `exitY` (the mesh's unit) and `exitMa`: the outlet cells' centres and Mach numbers.
NetComparison CompareNet(const SolvedFlow& flow, const FlowFacts& facts, const std::vector<double>& exitY,
                         const std::vector<double>& exitMa);

// "row,at,cfd,net" and a line per net point, the wall's (p/p0 at x) first, then the
// exit's (Mach number at y).
std::string NetProfileCsv(const NetComparison& comparison);

}  // namespace cfd
