// A ready-to-run OpenFOAM case that checks a design on three meshes: the inviscid
// flow through the half nozzle above the axis (cfd/case_files.h says what each
// mesh's folder holds).
//
// The mesh ladder: coarse/, medium/ and fine/, each twice as fine as the one before
// in each direction (refinement ratio 2), the finest nx x ny (by default
// DefaultCellsAlong x a quarter of them).
// coarse/ starts from the design's own flow (cfd/start_field.h); medium/ from the
// settled result of the mesh before (mapFields), and so does fine/ of a viscous case;
// fine/ of an inviscid case from medium + (medium - coarse) / 2, both results mapped
// onto it (extrapolate.awk at the case's root): its start's error is the smaller, and
// it settles sooner. Each runs with
// local time stepping until its exit has settled (the check ends it early, see
// cfd/solver_run.h) or up to its most iterations; a case run by its Allrun alone
// takes them all.
//
// Why so many iterations: a change leaves the nozzle with the speed u - a of the
// waves that run against the flow, which is small where the flow is near-sonic:
// behind the throat in every design, and through the whole nozzle of a low Mach
// number. The budgets grow with the cells along the axis, as the iterations such a
// wave needs to cross the mesh do, and with (Me + 1) / (Me - 1).
//
// Allrun runs it all on `jobs` cores with the Debian package alone
// (WM_PROJECT_DIR=/usr/share/openfoam; mpirun -np K ... -parallel): blockMesh and
// checkMesh on every mesh first, then the three solutions in order; `./Allrun K`
// takes it to K cores. Each mesh folder holds an empty case.foam for ParaView.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cfd/case_plan.h"
#include "cfd/design_case.h"
#include "nozzle/spelling.h"

namespace cfd {

struct CaseOptions {
  int cellsAlong = 400;  // of the finest mesh
  int cellsAcross = 100;
  double maxCourant = 0.2;  // 0.5 ends in negative temperatures behind the corner
  int jobs = 1;
  double metresPerHalfHeight = 1.0;
};

// The finest mesh's cells along the axis unless the user says: kShortNozzleCells for a
// nozzle up to kShortNozzleLength throat half-heights long, kLongNozzleCells beyond. On
// the shorter ladder the nozzles up to that length get the verdicts and figures of a
// 400 x 100 finest mesh; a longer nozzle's cells grow longer along it, and the shorter
// ladder leaves some without a verdict (meshes-cannot-tell), which the longer one
// decides (docs/validation.md has the figures).
inline constexpr double kShortNozzleLength = 8.5;
inline constexpr int kShortNozzleCells = 256;
inline constexpr int kLongNozzleCells = 320;
int DefaultCellsAlong(double length);

// Whether `folder` may take a new case: it does not exist, or is an empty folder.
bool CaseFolderIsFree(const std::filesystem::path& folder);

// The processor cores this machine offers (at least 1).
int AvailableCores();

// The ladder of a finest mesh of cellsAlong x cellsAcross cells, for exit Mach number Me,
// its cells `aspect` times as long as high at the throat (CellAspect).
// Each mesh runs its least iterations and 4 windows more (its controlDict's endTime,
// what ./Allrun alone runs), on the wedge of a round design 8: the flow on the axis,
// where the waves of the whole section meet, rings for longer (the 200 x 50 wedge of
// Me 2.4 swung by 0.3 % of Me for 7,000 iterations before it settled). Under the check
// a mesh that has not settled by then runs on, up to four times as many windows past
// its least iterations (capIterations).
std::array<MeshPlan, 3> MeshLadder(int cellsAlong, int cellsAcross, double Me, bool axisymmetric = false,
                                   double aspect = 1.0);

// Empty when the three meshes of a finest mesh of cellsAlong x cellsAcross fit this
// machine: the solver's memory (about 3 kB a cell of the finest mesh) within the
// memory available, the case's files (about 1.5 kB a cell of all three meshes, with
// their decomposed copies) within the free space of the file system that is to hold
// `folder`. Else the message, with the figures.
std::optional<std::string> MeshesDoNotFit(int cellsAlong, int cellsAcross, const std::filesystem::path& folder,
                                          const nozzle::Spelling& spelling);

// The options of a ladder whose finest mesh has `cellsAlong` cells along the axis and a
// quarter of them across (at least 2), run on `jobs` cores (0: all this machine offers).
CaseOptions LadderOptions(int cellsAlong, int jobs, double metresPerHalfHeight);

// Why the case of `options` may not go into `folder`, each reason a sentence: the folder
// exists and is not empty; the meshes outgrow the machine (MeshesDoNotFit). Empty when
// it may.
std::vector<std::string> CaseRefusals(const std::filesystem::path& folder, const CaseOptions& options,
                                      const nozzle::Spelling& spelling);

// Writes the case into `folder`, which must not exist or be empty (else CaseError,
// nothing touched). A design whose wall turns back on itself has no valid mesh:
// CaseError with the wall warning. A file that cannot be written: CaseError naming it.
CaseFacts WriteCase(const DesignCase& design, const std::filesystem::path& folder, const CaseOptions& options);
CaseFacts WriteCase(const nozzle::DesignRecord& design, const std::filesystem::path& folder, const CaseOptions& options);

}  // namespace cfd
