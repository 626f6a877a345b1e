#include "report/summary.h"

#include "report/number_text.h"

namespace report {

std::string SummaryText(const nozzle::DesignRecord& design) {
  const nozzle::DesignFacts& f = design.facts;
  const bool round = design.IsAxisymmetric();
  std::string text = round ? "Axisymmetric nozzle\n" : "";
  if (!design.gas.IsAir()) text += "Ratio of specific heats G = " + ShortestText(design.gas.gamma) + "\n";
  text += "TetaMax = " + RoundedText(f.TetaMax) + "\n";
  if (round) {
    text += "Largest wall angle = " + RoundedText(f.largestWallAngle) + " at x = " + RoundedText(f.largestWallAngleX) + "\n";
  }
  text += "Nozzle length x = " + RoundedText(f.length) + "\n";
  text += (round ? "Exit radius y = " : "Exit half-height y = ") + RoundedText(f.exitHeight) + "\n";
  text += "Isentropic area ratio A/A* = " + RoundedText(f.areaRatio) + "\n";
  text += (round ? "Deviation of y^2 from A/A* = " : "Deviation of y from A/A* = ") +
          RoundedText(f.areaDeviationPercent) + " %\n";
  if (round) text += "Mass balance = " + RoundedText(f.massBalancePercent) + " %\n";
  if (const auto& c = design.correction) {
    const std::string height = round ? "radius" : "half-height";
    text += "Throat Reynolds number Re* = " + RoundedText(c->ReStar, 0) + "\n";
    text += "Boundary layer: ";
    if (!c->turbulent) {
      text += "laminar\n";
    } else if (c->transitionX <= 0.0) {
      text += "turbulent\n";
    } else {
      text += "laminar, turbulent from x = " + RoundedText(c->transitionX * 1e3) + " mm\n";
    }
    text += "Displacement thickness at the exit = " + RoundedText(c->exitDeltaStar * 1e3) + " mm (" +
            RoundedText(c->exitDeltaStarShare) + " % of the exit " + height + ")\n";
    text += "Corrected exit " + height + " y = " + RoundedText(c->correctedExitHeight) + "\n";
    text += "Exit Mach number of the uncorrected wall = " + RoundedText(c->uncorrectedExitMach) + "\n";
  }
  return text;
}

}  // namespace report
