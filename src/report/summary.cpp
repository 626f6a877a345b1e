#include "report/summary.h"

#include <cmath>

#include "gas/prandtl_meyer.h"
#include "report/number_text.h"

namespace report {

double IsentropicAreaRatio(double M, double g) { return gas::AreaRatio(M, g); }

DesignSummary Summarize(const nozzle::DesignResult& result) {
  const double N = result.inputs.N;
  const int lip = nozzle::Index(N);
  const int wall = nozzle::Index(N + 1.0);
  DesignSummary summary{};
  summary.gamma = result.gas.gamma;
  summary.TetaMax = result.TetaMax;
  summary.length = result.net.x(lip, wall);
  summary.exitHalfHeight = result.net.y(lip, wall);
  summary.areaRatio = IsentropicAreaRatio(result.inputs.Me, result.gas.gamma);
  summary.deviationPercent = (summary.exitHalfHeight - summary.areaRatio) / summary.areaRatio * 100.0;
  return summary;
}

std::string SummaryText(const DesignSummary& summary) {
  const std::string gas =
      gas::IsAir(summary.gamma) ? std::string() : "Ratio of specific heats G = " + ShortestText(summary.gamma) + "\n";
  return gas + "TetaMax = " + RoundedText(summary.TetaMax) + "\n" +
         "Nozzle length x = " + RoundedText(summary.length) + "\n" +
         "Exit half-height y = " + RoundedText(summary.exitHalfHeight) + "\n" +
         "Isentropic area ratio A/A* = " + RoundedText(summary.areaRatio) + "\n" +
         "Deviation of y from A/A* = " + RoundedText(summary.deviationPercent) + " %\n";
}

}  // namespace report
