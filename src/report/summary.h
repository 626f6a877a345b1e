// A short accuracy report for engineers: how far the exit of a design lies from the
// isentropic area ratio of its exit Mach number (gas/isentropic.h), which the method
// of characteristics approaches as the number of waves grows. For a planar nozzle the
// exit-to-throat area ratio is the exit half-height in throat half-heights, for a
// round one the exit radius squared in throat radii.
#pragma once

#include <string>

#include "nozzle/design_record.h"

namespace report {

// One labelled value a line, LF line ends. A planar nozzle (the gas's line only for
// a gas other than air):
//   Ratio of specific heats G = 1.2
//   TetaMax = 18.373
//   Nozzle length x = 8.074
//   Exit half-height y = 2.399
//   Isentropic area ratio A/A* = 2.403
//   Deviation of y from A/A* = -0.191 %
// A round one:
//   Axisymmetric nozzle
//   Ratio of specific heats G = 1.2
//   TetaMax = 8.333                         (the last wave at the corner)
//   Largest wall angle = 11.5 at x = 0.59   (the flow angle of the steepest wall point)
//   Nozzle length x = 5.157
//   Exit radius y = 1.55
//   Isentropic area ratio A/A* = 2.403
//   Deviation of y^2 from A/A* = -0.032 %
//   Mass balance = 0.037 %                  (nozzle/design_record.h)
// A design with a wall corrected for the boundary layer adds (lengths of the layer in
// mm, the exit's in throat half-heights or radii):
//   Throat Reynolds number Re* = 18963        (rho* a* h / mu*)
//   Boundary layer: laminar, turbulent from x = 32.392 mm
//   Displacement thickness at the exit = 0.801 mm (3.337 % of the exit half-height)
//   Corrected exit half-height y = 2.48
//   Exit Mach number of the uncorrected wall = 2.362
// A rounded throat adds its figures (the radius, Cd, the net's mass flow, the sonic
// points, the start line, the arc's end); a nozzle whose exit is not uniform by design
// (conical) the mean exit Mach number weighted by the mass flow, the exit Mach number on
// the axis and at the lip and the lip's flow angle, or the shock that stopped its net
// (and then no mass balance).
std::string SummaryText(const nozzle::DesignRecord& design);

}  // namespace report
