// The results list and the result file of a design with a rounded throat
// (nozzle/rounded_throat.h), in the style of the sharp-cornered ones: the net's points
// along its C+ lines and the wall, each point with its flow angle TETA, Prandtl-Meyer
// angle Nu, Mach number M and place x, y (lengths in throat half-heights or radii).
#pragma once

#include <string>

#include "nozzle/rounded_throat.h"

namespace report {

// LF line ends: "Axisymmetric nozzle" for a round one, the gas when not air,
// "TetaMax  = ..." (the arc's end angle), "Throat radius of curvature R = ...",
// "Discharge coefficient Cd = ...", " ", per C+ line k "C+ line k" and its points, then
// "Wall" and the wall from x = 0 to the lip.
std::string RoundedThroatListText(const nozzle::RoundedThroatDesign& design);

// sonuc.txt (CR LF, UTF-8): the inputs, the throat's radius, TetaMax, one row per
// point of the C+ lines (k i Teta Nu M Mu x y) and one per wall point (i x y Teta M).
std::string RoundedThroatResultFileText(const nozzle::RoundedThroatDesign& design);

}  // namespace report
