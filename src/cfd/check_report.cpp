#include "cfd/check_report.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>
#include <nlohmann/json.hpp>

#include "gas/prandtl_meyer.h"
#include "report/number_text.h"

namespace cfd {
namespace {

std::string Percent(double v) { return report::RoundedText(v, 2) + " %"; }
std::string Mach(double v) { return report::RoundedText(v, 4); }

std::string Mesh(const MeshFigures& m) { return std::to_string(m.nx) + " x " + std::to_string(m.ny); }

// "(monotone, observed order 1.23)" or "(oscillatory: not extrapolated)".
std::string HowConverged(const GridConvergence& g) {
  if (g.kind == GridConvergence::Kind::kMonotone) {
    return "(monotone, observed order " + report::RoundedText(g.order, 2) + ")";
  }
  if (g.kind == GridConvergence::Kind::kConverged) return "(the three meshes agree)";
  std::string text = "(";
  text.append(KindName(g.kind)).append(": not extrapolated, the finest mesh's value)");
  return text;
}

enum class Call { kWithin, kBeyond, kStraddles };

// A figure is within its limit with its whole uncertainty added, beyond it with its
// whole uncertainty taken off, or straddles it.
Call CallOf(double figure, double uncertainty, double limit) {
  if (figure + uncertainty <= limit) return Call::kWithin;
  return figure - uncertainty > limit ? Call::kBeyond : Call::kStraddles;
}

std::string Figure(const GridConvergence& g, double value) {
  return std::string(g.Extrapolated() ? "extrapolated " : "finest mesh ") + Percent(value) + " +- " +
         Percent(g.uncertainty);
}

std::string NextLadder(const std::array<MeshFigures, 3>& meshes, const nozzle::Spelling& spelling) {
  const int next = 2 * meshes[2].nx;
  return "run the next mesh, " + spelling.given(nozzle::Option::kCfdCells, std::to_string(next)) + " (finest " +
         std::to_string(next) + " x " + std::to_string(2 * meshes[2].ny) +
         "), on more cores or a cluster with ./Allrun K in the case";
}

// The verdict beside the net: the wall pressure's and the exit Mach number's largest
// differences against kNetTolerancePercent.
void JudgeBesideNet(CheckResult& c, const nozzle::Spelling& spelling) {
  struct Judged {
    std::string name;
    std::string figure;
    Call call;
  };
  std::vector<Judged> judged;
  for (const auto& [name, g] :
       {std::pair{"the wall pressure", &c.wallPressure}, std::pair{"the exit Mach number", &c.exitMach}}) {
    if (!*g) continue;
    const double value = std::max(0.0, (*g)->extrapolated);
    judged.push_back({name, Figure(**g, value), CallOf(value, (*g)->uncertainty, kNetTolerancePercent)});
  }
  const std::string limit = Percent(kNetTolerancePercent);
  const auto clauses = [&](Call wanted, const std::string& how) {
    std::string text;
    for (const Judged& j : judged) {
      if (j.call == wanted) text += (text.empty() ? "" : " and ") + j.name + " (" + j.figure + ") " + how;
    }
    return text;
  };
  const auto any = [&](Call wanted) {
    return std::any_of(judged.begin(), judged.end(), [&](const Judged& j) { return j.call == wanted; });
  };
  const std::string within = clauses(Call::kWithin, "lies within " + limit + " of the net's");
  if (!any(Call::kBeyond) && !any(Call::kStraddles)) {
    c.verdict = Verdict::kNetConfirmed;
    c.reason = within + ": the characteristics' flow through this wall is confirmed";
  } else if (any(Call::kBeyond)) {
    c.verdict = Verdict::kNetDiffers;
    c.reason = clauses(Call::kBeyond, "differs from the net's by more than " + limit) +
               ": the characteristics' flow through this wall is not the CFD's";
  } else {
    c.verdict = Verdict::kMeshesCannotTell;
    c.reason = "the uncertainty is larger than the effect for " + clauses(Call::kStraddles, "against " + limit) +
               (within.empty() ? "" : "; " + within) + ": " + NextLadder(c.meshes, spelling);
  }
}

}  // namespace

std::string_view VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::kWallGood: return "wall-good";
    case Verdict::kWallCoarse: return "wall-coarse";
    case Verdict::kMeshesCannotTell: return "meshes-cannot-tell";
    case Verdict::kNotSettled: return "not-settled";
    case Verdict::kNetConfirmed: return "net-confirmed";
    case Verdict::kNetDiffers: return "net-differs";
  }
  return {};
}

CheckResult JudgeCheck(const std::array<MeshFigures, 3>& meshes, const CaseFacts& facts, double coreFraction,
                       double seconds, const nozzle::Spelling& spelling) {
  const double Me = facts.flow.designMach;
  CheckResult c;
  c.coreFraction = coreFraction;
  c.meshes = meshes;
  c.seconds = seconds;
  c.mean = EstimateGridConvergence(meshes[2].mean, meshes[1].mean, meshes[0].mean);
  c.core = EstimateGridConvergence(meshes[2].coreSpreadPercent, meshes[1].coreSpreadPercent,
                                   meshes[0].coreSpreadPercent);
  if (facts.flow.plenum) {
    c.discharge = EstimateGridConvergence(meshes[2].dischargeCoefficient, meshes[1].dischargeCoefficient,
                                          meshes[0].dischargeCoefficient);
  }
  if (facts.flow.net) {
    const auto largest = [&meshes](NetRow NetComparison::*row, std::size_t m) {
      return meshes[m].net ? ((*meshes[m].net).*row).largestPercent : NAN;
    };
    for (const auto& [row, figure] :
         {std::pair{&NetComparison::wall, &c.wallPressure}, std::pair{&NetComparison::exit, &c.exitMach}}) {
      if (std::isnan(largest(row, 2))) continue;
      *figure = EstimateGridConvergence(largest(row, 2), largest(row, 1), largest(row, 0));
    }
  }
  c.deviationPercent = 100.0 * (c.mean.extrapolated - Me) / Me;
  c.meanUncertaintyPercent = 100.0 * c.mean.uncertainty / c.mean.extrapolated;
  const double uncertaintyOfMe = 100.0 * c.mean.uncertainty / Me;

  std::string unsettled, settled;
  const MeshFigures* finestSettled = nullptr;
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const MeshFigures& m = meshes[i];
    const MeshPlan& plan = facts.meshes[i];
    if (m.steadiness.settled) {
      settled += (settled.empty() ? "" : ", ") + Mesh(m);
      finestSettled = &m;
    } else if (unsettled.empty()) {
      unsettled = "the exit of the " + Mesh(m) + " mesh had not settled within the " + std::to_string(m.iterations) +
                  " iterations it ran (its cap " + std::to_string(plan.capIterations) + "; over the last " +
                  std::to_string(plan.window) + " its mean drifted by " + Percent(m.steadiness.meanDriftPercent) +
                  " of Me, a cell of the core by " + Percent(m.steadiness.coreDriftPercent) + " against " +
                  Percent(plan.coreDriftPercent) + ", an exit cell by " + Percent(m.steadiness.cellDriftPercent) +
                  "), so nothing is extrapolated; to settle it, run it longer (its endTime in " + plan.name +
                  "/system/controlDict, then ./Allrun in the case)";
      // The coarsest mesh drops out of a ladder twice as fine, the finest out of one half as fine.
      const auto ladder = [&spelling](int cells) {
        return spelling.given(nozzle::Option::kCfdCells, std::to_string(cells));
      };
      if (i == 0) unsettled += " or check the ladder above it, " + ladder(2 * meshes[2].nx);
      if (i == 2) unsettled += " or check the ladder below it, " + ladder(meshes[2].nx / 2);
    }
  }
  if (!unsettled.empty()) {
    c.verdict = Verdict::kNotSettled;
    c.reason = unsettled;
    if (finestSettled == nullptr) {
      c.reason += "; no mesh settled: no figure can be trusted";
    } else {
      const MeshFigures& m = *finestSettled;
      c.reason += "; what stands: the " + settled + (settled.find(',') == std::string::npos ? " mesh" : " meshes") +
                  " settled, and the finest of them on its own, without an uncertainty, gives ";
      if (m.net) {
        c.reason += "the wall pressure within " + Percent(m.net->wall.largestPercent) + " of the net's" +
                    (std::isnan(m.net->exit.largestPercent)
                         ? std::string()
                         : " and the exit Mach number within " + Percent(m.net->exit.largestPercent));
      } else {
        c.reason += "the mean " + Mach(m.mean) + " (" + Percent(100.0 * (m.mean - Me) / Me) +
                    " from Me) and the core spread " + Percent(m.coreSpreadPercent) + " of Me";
      }
    }
    return c;
  }
  if (facts.flow.net) {
    JudgeBesideNet(c, spelling);
    return c;
  }
  const double core = std::max(0.0, c.core.extrapolated);
  const double miss = std::fabs(c.deviationPercent);
  const std::string coreFigure = std::string(c.core.Extrapolated() ? "extrapolated " : "finest mesh ") +
                                 Percent(core) + " +- " + Percent(c.core.uncertainty);
  const std::string meanFigure = std::string(c.mean.Extrapolated() ? "extrapolated " : "finest mesh ") +
                                 Percent(c.deviationPercent) + " +- " + Percent(uncertaintyOfMe);
  const std::string coreLimit = report::RoundedText(kCoreTolerancePercent, 2) + " %";
  const std::string meanLimit = report::RoundedText(kMeanTolerancePercent, 2) + " %";
  // Each figure is judged alike: within its limit with its whole uncertainty added,
  // beyond it with its whole uncertainty taken off, or straddling it.
  const Call coreCall = CallOf(core, c.core.uncertainty, kCoreTolerancePercent);
  const Call meanCall = CallOf(miss, uncertaintyOfMe, kMeanTolerancePercent);
  // The clauses of the figures that got the call `wanted`, joined by "and".
  const auto clauses = [&](Call wanted, const std::string& coreText, const std::string& meanText) {
    std::string text = coreCall == wanted ? coreText : "";
    if (meanCall == wanted) text += (text.empty() ? "" : " and ") + meanText;
    return text;
  };
  const std::string within =
      clauses(Call::kWithin, "the core spread (" + coreFigure + " of Me) is within " + coreLimit,
              "the mean lies at Me (" + meanFigure + ", within " + meanLimit + ")");
  if (coreCall == Call::kWithin && meanCall == Call::kWithin) {
    c.verdict = Verdict::kWallGood;
    c.reason = within;
  } else if (coreCall == Call::kBeyond || meanCall == Call::kBeyond) {
    c.verdict = Verdict::kWallCoarse;
    c.reason = clauses(Call::kBeyond, "the core is not uniform (spread " + coreFigure + " of Me, over " + coreLimit + ")",
                       "the mean misses Me (" + meanFigure + ", beyond " + meanLimit + ")") +
               ": the wall needs more waves";
  } else {
    c.verdict = Verdict::kMeshesCannotTell;
    const std::string straddling =
        clauses(Call::kStraddles, "the core spread (" + coreFigure + " of Me against " + coreLimit + ")",
                "the mean (" + meanFigure + " from Me against " + meanLimit + ")");
    c.reason = "the uncertainty is larger than the effect for " + straddling + (within.empty() ? "" : "; " + within) +
               ": " + NextLadder(meshes, spelling);
  }
  return c;
}

std::string CheckReport(const CheckResult& c, const CaseFacts& facts) {
  const std::optional<ViscousFlow>& viscous = facts.flow.viscous;
  const std::string flow =
      !viscous ? "inviscid"
               : std::string(viscous->turbulent ? "turbulent (RANS, k-omega SST, wall functions)" : "laminar") +
                     ", Re* = " + report::RoundedText(viscous->reStar, 0) +
                     ", Sutherland's law, wall " +
                     (viscous->wallT > 0.0 ? "at T / T* = " + report::RoundedText(viscous->wallT, 3) : "adiabatic");
  std::string text = "CFD check: rhoCentralFoam, " + flow + ", local time stepping, 3 meshes (refinement ratio 2), " +
                     std::to_string(facts.jobs) + " core" + (facts.jobs > 1 ? "s" : "") +
                     (facts.flow.gas.IsAir() ? std::string()
                                             : ", gamma = " + report::ShortestText(facts.flow.gas.gamma)) +
                     (facts.flow.axisymmetric ? ", axisymmetric (5 degree wedge)" : "") + "\n";
  for (const MeshFigures& m : c.meshes) {
    text += "Mesh " + Mesh(m) + ": mean = " + Mach(m.mean) + ", least = " + Mach(m.least) +
            ", greatest = " + Mach(m.greatest) + ", core spread = " + Percent(m.coreSpreadPercent) +
            ", spread = " + Percent(m.spreadPercent) + ", axis greatest = " + Mach(m.axisGreatest) +
            ", settled = " + (m.steadiness.settled ? "yes" : "no") + ", " + std::to_string(m.iterations) +
            " iterations, " + report::RoundedText(m.seconds, 0) + " s\n";
  }
  text += std::string(viscous ? "Exit Mach number, mean of the core (outside the wall's layer), extrapolated = "
                               : "Exit Mach number, mass-flow-weighted mean, extrapolated = ") +
          Mach(c.mean.extrapolated) + " " + HowConverged(c.mean) + "\n";
  text += "Uncertainty of the mean (fine-mesh GCI) = " + Percent(c.meanUncertaintyPercent) + "\n";
  text += "Deviation of the extrapolated mean from Me = " + Percent(c.deviationPercent) + "\n";
  text += "Core spread (y <= " + report::RoundedText(c.coreFraction, 3) + " of the " + facts.flow.ExitSizeName() +
          ") / Me, extrapolated = " + Percent(std::max(0.0, c.core.extrapolated)) + " " + HowConverged(c.core) + "\n";
  text += "Uncertainty of the core spread = " + Percent(c.core.uncertainty) + "\n";
  if (c.discharge) {
    const double theory = facts.flow.plenum->dischargeCoefficient;
    text += "Discharge coefficient Cd, extrapolated = " + report::RoundedText(c.discharge->extrapolated, 5) + " +- " +
            report::RoundedText(c.discharge->uncertainty, 5) + " " + HowConverged(*c.discharge) + "; the series' " +
            report::RoundedText(theory, 5) + " (" + Percent(100.0 * (c.discharge->extrapolated - theory) / theory) +
            " from it); by mesh";
    for (const MeshFigures& m : c.meshes) text += " " + report::RoundedText(m.dischargeCoefficient, 5);
    text += "\n";
  }
  if (const std::optional<ThroatFlow>& t = c.throat) {
    const auto x = [](double v) { return std::isnan(v) ? std::string("none") : "x = " + report::RoundedText(v, 4); };
    text += "Sonic point on the axis: " + x(t->axis.meshSonicX) + " (the series' " + x(t->axis.seriesSonicX) +
            "); along the cells next to the wall: " + x(t->wall.meshSonicX) + " (the series' " +
            x(t->wall.seriesSonicX) + ")\n";
  }
  for (const auto& [name, g, row] :
       {std::tuple{"Wall pressure p/p0 beside the net's: largest difference", &c.wallPressure, &NetComparison::wall},
        std::tuple{"Exit Mach number beside the net's: largest difference", &c.exitMach, &NetComparison::exit}}) {
    if (!*g) continue;
    const NetRow& fine = (*c.meshes.back().net).*row;
    text += std::string(name) + ", extrapolated = " + Percent(std::max(0.0, (*g)->extrapolated)) + " +- " +
            Percent((*g)->uncertainty) + " " + HowConverged(**g) + "; by mesh";
    for (const MeshFigures& m : c.meshes) text += " " + Percent(((*m.net).*row).largestPercent);
    text += "; on the finest at " + (row == &NetComparison::wall ? std::string("x = ") : std::string("y = ")) +
            report::RoundedText(fine.largestAt, 4) + ", over " + std::to_string(fine.at.size()) +
            " points of the net\n";
  }
  if (facts.flow.net && facts.flow.net->shock) {
    text += "The net stops where a shock forms, at x = " + report::RoundedText((*facts.flow.net->shock)[0], 4) +
            ", y = " + report::RoundedText((*facts.flow.net->shock)[1], 4) + ": the wall is compared upstream of it" +
            (facts.flow.net->exitMach.empty() ? ", the exit not at all" : "");
    const Compression& steepest = c.meshes.back().net->compression;
    if (!std::isnan(steepest.x)) {
      text += "; the steepest compression along the cells through that point, d(ln p)/dx by mesh";
      for (const MeshFigures& m : c.meshes) text += " " + report::RoundedText(m.net->compression.steepness, 3);
      text += ", on the finest at x = " + report::RoundedText(steepest.x, 4) + ", y = " +
              report::RoundedText(steepest.y, 4) + " (a captured shock steepens as the cells shrink)";
    }
    text += "\n";
  }
  if (viscous) {
    const double unit = facts.metresPerHalfHeight;
    text += "Displacement thickness at the exit: estimated " + report::RoundedText(viscous->exitDeltaStar, 4) +
            ", computed on the " + Mesh(c.meshes.back()) + " mesh " +
            report::RoundedText(c.meshes.back().exitDeltaStar / unit, 4) + " (throat " +
            (facts.flow.axisymmetric ? "radii" : "half-heights") + ")\n";
  }
  text += "Verdict: " + std::string(VerdictName(c.verdict)) + ": " + c.reason + "\n";
  text += "Wall time of the check = " + report::RoundedText(c.seconds, 0) + " s\n";
  return text;
}

std::string UncorrectedReport(const CheckResult& corrected, const CheckResult& uncorrected) {
  std::string text = "Uncorrected wall, same conditions: core mean extrapolated = " +
                     Mach(uncorrected.mean.extrapolated) + " (" + Percent(uncorrected.deviationPercent) +
                     " from Me), core spread = " + Percent(std::max(0.0, uncorrected.core.extrapolated)) +
                     ", verdict " + std::string(VerdictName(uncorrected.verdict)) + "\n";
  text += "What the correction bought: core mean " + Percent(uncorrected.deviationPercent) + " -> " +
          Percent(corrected.deviationPercent) + " from Me, core spread " +
          Percent(std::max(0.0, uncorrected.core.extrapolated)) + " -> " +
          Percent(std::max(0.0, corrected.core.extrapolated)) + "\n";
  text += "Wall time with the uncorrected wall = " + report::RoundedText(corrected.seconds + uncorrected.seconds, 0) +
          " s\n";
  return text;
}

std::string CheckJson(const CheckResult& c, const CaseFacts& facts, const nozzle::DesignInputs& inputs,
                      const CheckResult* uncorrected) {
  using json = nlohmann::ordered_json;
  json meshes = json::array();
  for (const MeshFigures& m : c.meshes) {
    meshes.push_back(json{{"cells_along", m.nx},
                      {"cells_across", m.ny},
                      {"mean", m.mean},
                      {"least", m.least},
                      {"greatest", m.greatest},
                      {"core_spread_percent", m.coreSpreadPercent},
                      {"spread_percent", m.spreadPercent},
                      {"axis_greatest", m.axisGreatest},
                      {"steady", m.steadiness.settled},
                      {"mean_drift_percent", m.steadiness.meanDriftPercent},
                      {"core_drift_percent", m.steadiness.coreDriftPercent},
                      {"cell_drift_percent", m.steadiness.cellDriftPercent},
                      {"iterations", m.iterations},
                      {"seconds", m.seconds}});
    if (m.net) {
      const auto figure = [](double v) { return std::isnan(v) ? json(nullptr) : json(v); };
      meshes.back()["wall_pressure_difference_percent"] = figure(m.net->wall.largestPercent);
      meshes.back()["exit_mach_difference_percent"] = figure(m.net->exit.largestPercent);
    }
    if (facts.flow.plenum) {
      meshes.back()["discharge_coefficient"] = m.dischargeCoefficient;
      meshes.back()["mass_balance_percent"] = m.steadiness.massBalancePercent;
    }
  }
  const auto order = [](const GridConvergence& g) { return g.Extrapolated() ? json(g.order) : json(nullptr); };
  json design = {{"Me", inputs.Me}, {"Teta0", inputs.Teta0}, {"N", inputs.N}, {"gamma", inputs.gamma}};
  if (facts.flow.axisymmetric) design["axisymmetric"] = true;
  if (facts.flow.plenum) design["throat_radius"] = facts.flow.plenum->throatRadius;
  json doc = {
      {"design", design},
      {"core_fraction", c.coreFraction},
      {"jobs", facts.jobs},
      {"meshes", meshes},
      {"extrapolated",
       {{"mean", c.mean.extrapolated},
        {"mean_gci_percent", c.meanUncertaintyPercent},
        {"deviation_percent", c.deviationPercent},
        {"core_spread_percent", std::max(0.0, c.core.extrapolated)},
        {"core_spread_gci_percent", c.core.uncertainty},
        {"order_mean", order(c.mean)},
        {"order_core", order(c.core)},
        {"convergence_mean", KindName(c.mean.kind)},
        {"convergence_core", KindName(c.core.kind)}}},
      {"verdict", VerdictName(c.verdict)},
      {"reason", c.reason},
      {"seconds", c.seconds}};
  if (c.discharge) {
    const double theory = facts.flow.plenum->dischargeCoefficient;
    doc["discharge_coefficient"] = {{"cfd", c.discharge->extrapolated},
                                    {"uncertainty", c.discharge->uncertainty},
                                    {"theory", theory},
                                    {"difference_percent", 100.0 * (c.discharge->extrapolated - theory) / theory},
                                    {"convergence", KindName(c.discharge->kind)},
                                    {"order", order(*c.discharge)}};
  }
  if (const std::optional<ThroatFlow>& t = c.throat) {
    const auto x = [](double v) { return std::isnan(v) ? json(nullptr) : json(v); };
    doc["sonic_points"] = {{"axis", {{"cfd", x(t->axis.meshSonicX)}, {"series", x(t->axis.seriesSonicX)}}},
                           {"wall_row", {{"cfd", x(t->wall.meshSonicX)}, {"series", x(t->wall.seriesSonicX)}}}};
  }
  if (const std::optional<NetFlow>& net = facts.flow.net) {
    json beside = json::object();
    for (const auto& [name, g, row] : {std::tuple{"wall_pressure", &c.wallPressure, &NetComparison::wall},
                                       std::tuple{"exit_mach", &c.exitMach, &NetComparison::exit}}) {
      if (!*g) {
        beside[name] = nullptr;
        continue;
      }
      beside[name] = {{"difference_percent", std::max(0.0, (*g)->extrapolated)},
                      {"uncertainty", (*g)->uncertainty},
                      {"convergence", KindName((*g)->kind)},
                      {"order", order(**g)},
                      {"at", ((*c.meshes.back().net).*row).largestAt}};
    }
    if (net->shock) {
      const Compression& steepest = c.meshes.back().net->compression;
      const auto figure = [](double v) { return std::isnan(v) ? json(nullptr) : json(v); };
      beside["shock"] = {{"x", (*net->shock)[0]},
                         {"y", (*net->shock)[1]},
                         {"cfd_steepest_compression",
                          {{"x", figure(steepest.x)},
                           {"y", figure(steepest.y)},
                           {"steepness", figure(steepest.steepness)}}}};
    } else {
      beside["shock"] = nullptr;
    }
    doc["net"] = beside;
  }
  if (const std::optional<ViscousFlow>& v = facts.flow.viscous) {
    doc["viscous"] = {{"re_star", v->reStar},
                      {"turbulent", v->turbulent},
                      {"wall_temperature_over_t_star", v->wallT > 0.0 ? json(v->wallT) : json("adiabatic")},
                      {"across_grading", v->acrossGrading},
                      {"exit_delta_star_estimated", v->exitDeltaStar},
                      {"exit_delta_star_computed", c.meshes.back().exitDeltaStar / facts.metresPerHalfHeight}};
  }
  if (uncorrected != nullptr) {
    doc["uncorrected"] = {{"mean", uncorrected->mean.extrapolated},
                          {"deviation_percent", uncorrected->deviationPercent},
                          {"core_spread_percent", std::max(0.0, uncorrected->core.extrapolated)},
                          {"verdict", VerdictName(uncorrected->verdict)},
                          {"seconds", uncorrected->seconds}};
  }
  return doc.dump(2) + "\n";
}

}  // namespace cfd
