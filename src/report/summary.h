// A short accuracy report for engineers: how far the exit half-height of a design
// lies from the isentropic area ratio of its exit Mach number.
//
// For a planar nozzle the exit-to-throat area ratio is the exit half-height in throat
// half-heights; for a perfect gas with ratio of specific heats g (1.4 for air)
//   A/A* = (1 / M) ((2 / (g + 1)) (1 + (g - 1) / 2 M^2))^((g + 1) / (2 (g - 1))),
// and the method of characteristics approaches it as the number of waves grows.
#pragma once

#include <string>

#include "nozzle/design.h"

namespace report {

// A/A* of Mach number M >= 1 in a gas of ratio of specific heats g.
double IsentropicAreaRatio(double M, double g = 1.4);

struct DesignSummary {
  double gamma;
  double TetaMax;
  double length;          // x of the exit lip
  double exitHalfHeight;  // y of the exit lip
  double areaRatio;       // A/A* of Me
  double deviationPercent;
};

DesignSummary Summarize(const nozzle::DesignResult& result);

// One labelled value a line, LF line ends (the first only for a gas other than air):
//   Ratio of specific heats G = 1.2
//   TetaMax = 18.373
//   Nozzle length x = 8.074
//   Exit half-height y = 2.399
//   Isentropic area ratio A/A* = 2.403
//   Deviation of y from A/A* = -0.174 %
std::string SummaryText(const DesignSummary& summary);

}  // namespace report
