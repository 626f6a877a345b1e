// The results list and the result file of the flow through a given wall
// (nozzle/given_wall.h): the net along its C+ lines, the wall with its pressure, and
// the exit plane's flow (lengths in throat half-heights or radii, angles in degrees,
// p/p0 the static over the stagnation pressure).
#pragma once

#include <string>

#include "nozzle/given_wall.h"

namespace report {

// LF line ends: "Axisymmetric nozzle" for a round one, the gas when not air,
// "TetaMax  = ..." (the largest wall angle), "Throat radius of curvature R = ...",
// "Discharge coefficient Cd = ...", "Exit plane x = ...", the mean exit Mach number and
// the mass balance (or where a shock formed), " ", per C+ line k "C+ line k" and its
// points, "Wall" and each wall point with its "p/p0" (a point beyond the net's reach
// with its place alone), then "Exit" and one line a point of the exit plane.
std::string GivenWallListText(const nozzle::GivenWallFlow& flow);

// sonuc.txt (CR LF, UTF-8): the throat's radius, TetaMax, one row a point of the C+
// lines (k i Teta Nu M Mu x y), the wall (i x y Teta M p/p0) and the exit plane
// (i y M Teta p/p0).
std::string GivenWallResultFileText(const nozzle::GivenWallFlow& flow);

}  // namespace report
