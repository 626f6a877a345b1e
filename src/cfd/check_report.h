// The verdict of a check on three meshes, and its report: labelled lines for a
// person, check.json for scripts.
//
// The grid-convergence figures (cfd/grid_convergence.h, r = 2) are taken of the
// mass-flow-weighted exit mean and of the core spread. The verdict separates the
// wall's error from the mesh's:
//   not-settled          a mesh's exit had not settled: no figure can be trusted;
// Both figures are judged alike, the core spread against 1 % of Me and the mean's
// miss of Me against 0.5 %: a figure is within its limit when it is with its whole
// uncertainty added, beyond it when it is with its whole uncertainty taken off, and
// otherwise straddles it.
//   wall-good            both figures within their limits;
//   wall-coarse          either beyond its limit: the wall needs more waves;
//   meshes-cannot-tell   neither beyond, one or both straddling: a finer mesh decides
//                        (the reason names the figure that straddles).
// A nozzle whose exit is not uniform by design (FlowFacts::net) is judged by how far the
// CFD's flow lies from the characteristics' (cfd/net_flow.h): the largest difference of
// the wall pressure p/p0 and, where the net reached the exit, of the exit Mach number,
// each extrapolated over the meshes and judged alike against kNetTolerancePercent:
//   net-confirmed        both within;
//   net-differs          either beyond: the characteristics' flow is not the CFD's;
//   meshes-cannot-tell   as above.
// Oscillatory or divergent convergence is not extrapolated: the finest mesh's value
// stands with the band of the three meshes as its uncertainty.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "cfd/case_plan.h"
#include "nozzle/spelling.h"
#include "cfd/exit_flow.h"
#include "cfd/grid_convergence.h"
#include "cfd/throat_flow.h"
#include "nozzle/design.h"

namespace cfd {

inline constexpr double kCoreTolerancePercent = 1.0;
inline constexpr double kMeanTolerancePercent = 0.5;
inline constexpr double kNetTolerancePercent = 0.5;

enum class Verdict { kWallGood, kWallCoarse, kMeshesCannotTell, kNotSettled, kNetConfirmed, kNetDiffers };

// "wall-good", "wall-coarse", "meshes-cannot-tell", "not-settled", "net-confirmed",
// "net-differs".
std::string_view VerdictName(Verdict verdict);

struct CheckResult {
  double coreFraction = 0.8;
  std::array<MeshFigures, 3> meshes;  // coarsest first
  GridConvergence mean;               // of the exit mean, Mach number
  GridConvergence core;               // of the core spread, percent of Me
  double deviationPercent = 0.0;      // (extrapolated mean - Me) / Me
  double meanUncertaintyPercent = 0.0;  // the mean's uncertainty in percent of the extrapolated mean
  Verdict verdict = Verdict::kNotSettled;
  std::string reason;  // one sentence that says why
  double seconds = 0.0;
  // A case from the plenum: the discharge coefficient's grid convergence, beside the
  // transonic series' (FlowFacts::plenum).
  std::optional<GridConvergence> discharge;
  std::optional<ThroatFlow> throat;  // the finest mesh's throat beside the series'
  // Beside the net (FlowFacts::net): the grid convergence of the largest differences,
  // percent; the exit's empty when the net stopped before the exit.
  std::optional<GridConvergence> wallPressure, exitMach;
};

// The reason names the ladder to run next as `spelling` spells the option.
CheckResult JudgeCheck(const std::array<MeshFigures, 3>& meshes, const CaseFacts& facts, double coreFraction,
                       double seconds, const nozzle::Spelling& spelling);

// The block of labelled lines, a line per mesh, ending with the verdict and the wall time.
std::string CheckReport(const CheckResult& check, const CaseFacts& facts);

// A viscous check's uncorrected wall beside the corrected one: its extrapolated core mean
// and spread, its verdict, and what the correction changed.
std::string UncorrectedReport(const CheckResult& corrected, const CheckResult& uncorrected);

// check.json: design, meshes, extrapolated, verdict, seconds (README lists the keys);
// from the plenum, discharge_coefficient (cfd, uncertainty, theory, difference_percent,
// convergence, order), sonic_points (x on the axis and along the wall's row of cells,
// cfd and series) and each mesh's discharge_coefficient and mass_balance_percent;
// beside the net, "net" (wall_pressure and exit_mach: difference_percent, uncertainty,
// convergence, order, at; shock: x, y and the finest mesh's cfd_steepest_compression
// (x, y, steepness), or null) and each mesh's
// wall_pressure_difference_percent and exit_mach_difference_percent;
// a viscous case adds "viscous" (Re*, the layer, the estimated and the computed exit
// displacement thickness) and, with its uncorrected wall, "uncorrected".
std::string CheckJson(const CheckResult& check, const CaseFacts& facts, const nozzle::DesignInputs& inputs,
                      const CheckResult* uncorrected = nullptr);

}  // namespace cfd
