// The results list and the result file of an axisymmetric design, in the style of the
// planar ones and each labelled as axisymmetric (every other output reads the design's
// record, nozzle/design_record.h). Lengths in throat radii; y is the radius.
//
// There are no Riemann invariants in round flow, so the lists carry no K- and K+:
// each point shows its flow angle TETA, Prandtl-Meyer angle Nu, Mach number M (and
// Mach angle Mu in the result file) and its place x, y.
#pragma once

#include <string>
#include <vector>

#include "nozzle/minimum_length.h"

namespace report {

// The results list, LF line ends:
//   "Axisymmetric nozzle", for another gas than air "Gamma  = 1.2",
//   "TetaMax  = 8.47", " ",
//   per C+ line j = 1..N: "C+ line j", its kernel points from the axis, its points
//   beyond the kernel, "TETA = ...   Nu = ...   M = ...   x = ...   y = ..." each,
//   then "Wall" and the wall points from the throat corner to the exit lip.
std::string AxisymmetricListText(const nozzle::MarchedDesign& design);

// The result file (sonuc.txt, CR LF line ends, UTF-8): " Eksenel simetrik lüle" first,
// the inputs, TetaMax, one row per net point (j k i Teta Nu M Mu x y, points beyond
// the kernel with k = N + the turning line) and one row per wall point (i x y Teta M).
std::string AxisymmetricResultFileText(const nozzle::MarchedDesign& design);

// A point of a list, "TETA = ...   Nu = ...   M = ...   x = ...   y = ..." and LF.
std::string ListPointLine(const nozzle::FlowPoint& p);
// The result file's rows of a marched net's C+ lines (CR LF): the head " k  i Teta   Nu
// M   Mu   x   y", then one row a point, k the line's number from 1, i the point's
// number over all the lines.
std::string CPlusLineRowsText(const std::vector<std::vector<nozzle::FlowPoint>>& lines);
// The result file's wall table (CR LF): a blank line, "Duvar koordinatları", a blank
// line, its head, a blank line and one row a wall point (i x y Teta M).
std::string WallCoordinatesText(const std::vector<nozzle::FlowPoint>& wall);

}  // namespace report
