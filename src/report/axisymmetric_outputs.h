// The outputs of an axisymmetric design, in the style of the planar ones and each
// labelled as axisymmetric. Lengths in throat radii; y is the radius.
//
// There are no Riemann invariants in round flow, so the lists carry no K- and K+:
// each point shows its flow angle TETA, Prandtl-Meyer angle Nu, Mach number M (and
// Mach angle Mu in the result file) and its place x, y.
#pragma once

#include <string>
#include <vector>

#include "nozzle/axisymmetric.h"
#include "report/contour.h"
#include "report/drawing_plan.h"

namespace report {

// "Nozzle Designer: axisymmetric nozzle" and, for a gas other than air,
// ", ratio of specific heats gamma = 1.2": the comment of the SVG and DXF files.
std::string AxisymmetricNote(const nozzle::AxisymmetricDesign& design);

// The results list, LF line ends:
//   "Axisymmetric nozzle", for another gas than air "Gamma  = 1.2",
//   "TetaMax  = 8.47", " ",
//   per C+ line j = 1..N: "C+ line j", its kernel points from the axis, its points
//   beyond the kernel, "TETA = ...   Nu = ...   M = ...   x = ...   y = ..." each,
//   then "Wall" and the wall points from the throat corner to the exit lip.
std::string AxisymmetricListText(const nozzle::AxisymmetricDesign& design);

// The result file (sonuc.txt, CR LF line ends, UTF-8): " Eksenel simetrik lüle" first,
// the inputs, TetaMax, one row per net point (j k i Teta Nu M Mu x y, points beyond
// the kernel with k = N + the turning line) and one row per wall point (i x y Teta M).
std::string AxisymmetricResultFileText(const nozzle::AxisymmetricDesign& design);

// The drawing, mirrored about the axis as the planar one: the wall (black), the C-
// lines (red above, blue below) and the C+ lines (blue above, red below) of the
// kernel and of the turning region, and the exit characteristic as a C+ line.
DrawingPlan MakeDrawingPlan(const nozzle::AxisymmetricDesign& design);

// The wall from the throat corner to the exit lip, multiplied by `factor`.
std::vector<ContourPoint> WallPoints(const nozzle::AxisymmetricDesign& design, double factor = 1.0);

// "x,r", then one line per wall point: a radius profile.
std::string WallContourCsv(const nozzle::AxisymmetricDesign& design, const LengthScale& scale = {});

// The profile to revolve about the x axis, AutoCAD R12 ASCII DXF, 999 comments first
// (AxisymmetricNote, and how to revolve it): the wall as one POLYLINE (layer WALL),
// the throat section and the exit section from the axis to the wall as LINEs
// (layer WALL), the axis as a LINE (layer AXIS).
std::string NozzleOutlineDxf(const nozzle::AxisymmetricDesign& design, const LengthScale& scale = {});

// The summary, one labelled value a line, LF line ends:
//   Axisymmetric nozzle
//   Ratio of specific heats G = 1.2      (only for a gas other than air)
//   TetaMax = 8.333                      (the last wave at the corner)
//   Largest wall angle = 11.5 at x = 0.59   (the flow angle of the steepest wall point)
//   Nozzle length x = 5.157
//   Exit radius y = 1.55
//   Isentropic area ratio A/A* = 2.403
//   Deviation of y^2 from A/A* = -0.032 %
//   Mass balance = 0.037 %               (largest |mass flow / throat's - 1| of the wall's C+ lines and the exit)
std::string AxisymmetricSummaryText(const nozzle::AxisymmetricDesign& design);

}  // namespace report
