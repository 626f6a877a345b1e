// Running an OpenFOAM case written by WriteCase: its Allrun script (blockMesh and
// checkMesh on every mesh, then the coarse, medium and fine solutions, each
// decomposed for `jobs` cores and reconstructed) as a child process group, watched
// every fifth of a second.
//
// At every look the rows of the exit histories written since the look before are
// judged one by one (cfd/exit_flow.h, JudgeSteadiness, as the exit stood at each row).
// At the first settled row the solver is asked to write and stop a fixed margin of
// iterations later (stopAt nextWrite in its controlDict), so that a mesh takes the
// iterations it needs, not its whole budget (`stopWhenSettled`), and where it stops
// depends on the flow alone, not on when the check looked: the solver is
// deterministic, so a check run again on the same number of cores gives the same
// figures. A solver that reads the order too late is stopped at once (stopAt
// writeNow).
//
// Progress goes to `progress` while the solver runs: the mesh, its iteration against
// its most, the percent of the most work and at most how long is left (from the
// pace so far); a bar redrawn in place when `terminal`, else one line every
// `lineSeconds`.
//
// The run ends the child processes (SIGTERM to the group, SIGKILL to what is left
// after 5 s) when it passes `timeoutSeconds` (0: no limit) or when SIGINT arrives
// while it runs (the handler is installed for the run only). The case folder is
// always kept.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cfd/case_plan.h"
#include "nozzle/spelling.h"

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
  bool stopWhenSettled = true;
  double coreFraction = 0.8;  // of the exit, for the steadiness of its core
  // How the front end spells its options, for the verdict's advice (nozzle/spelling.h).
  nozzle::Spelling spelling = nozzle::KeySpelling();
};

struct RunOutcome {
  enum class Kind { kFinished, kFailed, kTimedOut, kInterrupted };
  Kind kind = Kind::kFinished;
  double lastTime = 0.0;  // the last iteration the solver reported
  // Each mesh's iteration at which its exit was found settled and its run stopped; 0
  // when it ran to its end.
  std::array<double, 3> settledAt{};
  std::string message;    // what failed, the last time and the log file; empty when finished
};

RunOutcome RunCase(const std::filesystem::path& folder, const CaseFacts& facts, const RunOptions& options);

}  // namespace cfd
