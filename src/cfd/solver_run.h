// Running an OpenFOAM case written by WriteCase: its Allrun script (checkMesh, then
// the coarse and the fine stage, each decomposed for `jobs` cores and reconstructed)
// as a child process group, watched every fifth of a second.
//
// Progress goes to `progress` while the solver runs: the stage, its simulated time
// against its end time, the percent of the whole run and the time left (from the
// pace so far); a bar redrawn in place when `terminal`, else one line every
// `lineSeconds`.
//
// The run ends the child processes (SIGTERM to the group, SIGKILL to what is left
// after 5 s) when it passes `timeoutSeconds` (0: no limit) or when SIGINT arrives
// while it runs (the handler is installed for the run only). The case folder is
// always kept.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cfd/openfoam_case.h"

namespace cfd {

// The one-line message when the OpenFOAM programs the run needs (blockMesh,
// checkMesh, rhoCentralFoam, and decomposePar, reconstructPar and mpirun for more
// than one job) are not on the PATH; empty when they are.
std::optional<std::string> MissingOpenFoam(int jobs);

struct RunOptions {
  double timeoutSeconds = 0.0;
  std::ostream* progress = nullptr;
  bool terminal = false;
  double lineSeconds = 5.0;
};

struct RunOutcome {
  enum class Kind { kFinished, kFailed, kTimedOut, kInterrupted };
  Kind kind = Kind::kFinished;
  double lastTime = 0.0;  // the last simulated time the solver reported
  std::string message;    // what failed, the last time and the log file; empty when finished
};

RunOutcome RunCase(const std::filesystem::path& folder, const CaseFacts& facts, const RunOptions& options);

}  // namespace cfd
