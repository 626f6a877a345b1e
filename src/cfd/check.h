// The whole check of a design by OpenFOAM, as the command line and the Python module
// run it: the case written (cfd/openfoam_case.h), then, when asked, its three meshes
// solved (cfd/solver_run.h), their exits measured (cfd/exit_flow.h) and judged
// (cfd/check_report.h), and the figures and pictures written into the case folder:
// exit_profile.csv, check.json, mach.png and convergence.png; from the plenum, throat_profile.csv.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "cfd/case_plan.h"
#include "cfd/check_report.h"
#include "cfd/design_case.h"
#include "cfd/exit_flow.h"
#include "cfd/openfoam_case.h"
#include "cfd/solver_run.h"

namespace cfd {

struct CheckRun {
  CaseFacts facts;
  RunOutcome outcome;                // kFinished, unless a step failed, timed out or was interrupted
  std::optional<CheckResult> check;  // when the case was run and every mesh was solved
  std::string json;                  // check.json's text, with the check
  // A wall corrected for its boundary layer is checked beside the uncorrected wall, in
  // the case folder's uncorrected/ (a case of its own, the same conditions and meshes).
  std::optional<CaseFacts> uncorrectedFacts;
  std::optional<CheckResult> uncorrected;
};

// The solved meshes of a case read back: each mesh's exit figures, coarsest first, and
// the finest mesh's flow (for its picture); `settledAt` as RunOutcome::settledAt.
// Throws FieldError naming the mesh's log and where the case is kept when a field
// cannot be read.
struct MeasuredCase {
  std::array<MeshFigures, 3> meshes;
  SolvedFlow fine;
};
MeasuredCase MeasureCase(const std::filesystem::path& caseDir, const CaseFacts& facts, double coreFraction,
                         const std::array<double, 3>& settledAt = {});

// Writes the case and, when `verify`, runs it and judges it (run.coreFraction the
// core); a viscous design's uncorrected wall too, after it. Throws CaseError when the
// case cannot be written, FieldError when a solved field or an output cannot be read or
// written (naming the mesh's log and where the case is kept), report::WriteError when a
// file of the check cannot be written.
// A step that fails, the time limit and Ctrl-C are not thrown: `outcome` says them.
CheckRun CheckDesign(const DesignCase& design, const std::filesystem::path& caseDir, const CaseOptions& options,
                     bool verify, const RunOptions& run);

}  // namespace cfd
