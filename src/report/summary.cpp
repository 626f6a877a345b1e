#include "report/summary.h"

#include <cmath>

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
  const bool massBalance = !f.shock;  // a net stopped by a shock has no exit to balance
  if (round && massBalance) text += "Mass balance = " + RoundedText(f.massBalancePercent) + " %\n";
  if (const nozzle::ThroatFigures& t = f.throat; t.radius > 0.0) {
    if (!round && massBalance) text += "Mass balance = " + RoundedText(f.massBalancePercent) + " %\n";
    text += "Throat radius of curvature R = " + ShortestText(t.radius) + "\n";
    text += "Discharge coefficient Cd = " + RoundedText(t.dischargeCoefficient, 6) + "\n";
    text += "Mass flow of the net = " + RoundedText(t.netMass, 6) + "\n";
    text += "Sonic point on the axis x = " + RoundedText(t.sonicAxisX, 4) + "\n";
    text += "Sonic point on the wall x = " + RoundedText(t.sonicWallX, 4) + ", y = " + RoundedText(t.sonicWallY, 4) +
            "\n";
    text += "Start line from x = " + RoundedText(t.startLineX, 4) + " on the axis to x = " +
            RoundedText(t.startLineWallX, 4) + " on the wall\n";
    text += "End of the throat arc x = " + RoundedText(t.arcEndX) + "\n";
    if (!design.convergent.empty()) {
      const nozzle::FlowPoint& inlet = design.convergent.front();
      text += "Convergent section from x = " + RoundedText(inlet.x) + ", inlet " + (round ? "radius" : "half-height") +
              " y = " + RoundedText(inlet.y) + ", wall at " + RoundedText(-inlet.Teta) + " degrees\n";
    }
    if (t.inflectionX > 0.0) {
      text += "Inflection point x = " + RoundedText(t.inflectionX) + ", y = " + RoundedText(t.inflectionY) +
              ", wall angle " + RoundedText(t.inflectionAngle) + "\n";
    }
  }
  if (!design.exitProfile.empty()) {
    const nozzle::ExitPoint& axis = design.exitProfile.front();
    const nozzle::ExitPoint& lip = design.exitProfile.back();
    text += "Mean exit Mach number = " + RoundedText(f.meanExitMach) + " (weighted by the mass flow)\n";
    text += "Exit Mach number on the axis = " + RoundedText(axis.M) + ", at the lip = " + RoundedText(lip.M) + "\n";
    text += "Exit flow angle at the lip = " + RoundedText(lip.Teta) + "\n";
  }
  if (f.shock) text += "Shock: " + nozzle::ShockText(*f.shock) + "; the net stops there\n";
  // The thrust: always for an exit the direct problem found, for a uniform one with an
  // ambient pressure.
  if (const auto& t = f.thrust; t && (!design.exitProfile.empty() || !std::isnan(t->ambient))) {
    text += "Thrust coefficient Cf = " + RoundedText(t->coefficient, 4) + " in vacuum (one-dimensional " +
            RoundedText(t->ideal, 4) + ")\n";
    text += "Divergence efficiency = " + RoundedText(t->divergenceEfficiency, 5) + "\n";
    if (!std::isnan(t->ambient)) {
      text += "Thrust coefficient at pa/p0 = " + RoundedText(t->ambient, 6) + ": Cf = " +
              RoundedText(t->coefficientAmbient, 4) + " (one-dimensional " + RoundedText(t->idealAmbient, 4) + ")\n";
    }
  }
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
