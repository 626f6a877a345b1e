#include "cfd/solver_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "cfd/exit_flow.h"
#include "report/file_output.h"
#include "report/number_text.h"

extern char** environ;

namespace cfd {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t interrupted = 0;
extern "C" void OnInterrupt(int) { interrupted = 1; }

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && ::access((fs::path(folder) / program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

// The last "Time = t" the solver wrote into its log, 0 when none yet.
double LastSimulatedTime(const fs::path& log) {
  std::ifstream file(log, std::ios::binary | std::ios::ate);
  if (!file) return 0.0;
  const std::streamoff size = file.tellg();
  const std::streamoff from = std::max<std::streamoff>(0, size - 8192);
  file.seekg(from);
  std::string tail(static_cast<std::size_t>(size - from), '\0');
  file.read(tail.data(), static_cast<std::streamsize>(tail.size()));
  const std::size_t at = tail.rfind("\nTime = ");
  return at == std::string::npos ? 0.0 : std::atof(tail.c_str() + at + 8);
}

// The step Allrun reports as failed ("failed: <what>"), empty when none.
std::string FailedStep(const fs::path& log) {
  std::ifstream file(log);
  std::string line, failed;
  while (std::getline(file, line)) {
    if (line.rfind("failed: ", 0) == 0) failed = line.substr(8);
  }
  return failed;
}

std::string Duration(double seconds) {
  const long s = std::lround(seconds);
  return s >= 60 ? std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s" : std::to_string(s) + " s";
}

// Where the run is: the last mesh whose solver has started, and its iteration.
struct Stage {
  int mesh = -1;         // index into CaseFacts::meshes, -1 before the first solver starts
  double iteration = 0.0;
};

Stage CurrentStage(const fs::path& folder, const CaseFacts& facts) {
  Stage stage;
  for (int m = static_cast<int>(facts.meshes.size()) - 1; m >= 0; --m) {
    const fs::path log = folder / facts.meshes[static_cast<std::size_t>(m)].name / "log.rhoCentralFoam";
    if (fs::exists(log)) return {m, LastSimulatedTime(log)};
  }
  return stage;
}

std::string MeshName(const MeshPlan& mesh) {
  return mesh.name + " mesh " + std::to_string(mesh.nx) + " x " + std::to_string(mesh.ny);
}

class Progress {
 public:
  // `limits`: each mesh's iterations at most, as far as the run has extended them.
  Progress(const RunOptions& options, const CaseFacts& facts, const std::array<int, 3>& limits)
      : options_(options), facts_(facts), limits_(limits) {}

  // The last line: the final state when the run finished; on a terminal, the end of the bar.
  void End(const Stage& stage, bool finished) {
    if (finished) {
      Show(stage, true);
    } else if (options_.terminal && started_) {
      *options_.progress << "\n";
    }
  }

  // A mesh that ended early: its work is what it ran.
  void Ended(int mesh, double iterations) { ran_[static_cast<std::size_t>(mesh)] = iterations; }

  void Show(const Stage& stage, bool last = false) {
    if (options_.progress == nullptr || stage.mesh < 0) return;
    const auto now = Clock::now();
    // Work in cell iterations: what ran, against that plus the most that is left.
    double done = 0.0, left = 0.0;
    for (std::size_t m = 0; m < facts_.meshes.size(); ++m) {
      const MeshPlan& mesh = facts_.meshes[m];
      const double cells = static_cast<double>(mesh.nx) * mesh.ny;
      const int current = stage.mesh;
      if (static_cast<int>(m) < current) {
        done += cells * (ran_[m] > 0.0 ? ran_[m] : limits_[m]);
      } else if (static_cast<int>(m) == current) {
        done += cells * stage.iteration;
        left += cells * std::max(0.0, limits_[m] - stage.iteration);
      } else {
        left += cells * limits_[m];
      }
    }
    const double fraction = last ? 1.0 : done / std::max(1.0, done + left);
    if (!started_) {
      started_ = true;
      start_ = now;
      startWork_ = fraction;
    }
    if (!last && !options_.terminal && now - shown_ < std::chrono::duration<double>(options_.lineSeconds)) return;
    shown_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double pace = (fraction - startWork_) / std::max(elapsed, 1e-9);
    const MeshPlan& mesh = facts_.meshes[static_cast<std::size_t>(stage.mesh)];
    std::string line = MeshName(mesh) + ": iteration " + report::RoundedText(stage.iteration, 0) + " of at most " +
                       std::to_string(limits_[static_cast<std::size_t>(stage.mesh)]) + ", " +
                       std::to_string(static_cast<int>(100.0 * fraction)) + " %";
    if (!last && pace > 0.0 && elapsed > 2.0) line += ", at most " + Duration((1.0 - fraction) / pace) + " left";
    std::ostream& out = *options_.progress;
    if (options_.terminal) {
      const int filled = static_cast<int>(30.0 * fraction);
      out << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(30 - filled), '.') << "] " << line << "   ";
      if (last) out << "\n";
    } else {
      out << line << "\n";
    }
    out.flush();
  }

 private:
  const RunOptions& options_;
  const CaseFacts& facts_;
  const std::array<int, 3>& limits_;
  bool started_ = false;
  Clock::time_point start_, shown_;
  double startWork_ = 0.0;
  std::array<double, 3> ran_{};
};

// Sets top-level entries of a mesh's controlDict, which its solver reads again when
// it changes (runTimeModifiable). False when an entry is missing or the dictionary
// cannot be rewritten.
bool SetControls(const fs::path& meshFolder, const std::vector<std::pair<std::string, std::string>>& entries) {
  const fs::path dict = meshFolder / "system" / "controlDict";
  std::ifstream in(dict, std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  for (const auto& [key, value] : entries) {
    const std::string line = "\n" + key + std::string(16 - key.size(), ' ');
    const std::size_t at = text.find(line);
    const std::size_t end = at == std::string::npos ? at : text.find(';', at);
    if (end == std::string::npos) return false;
    text.replace(at + line.size(), end - at - line.size(), value);
  }
  try {
    report::ReplaceFile(dict, text);
  } catch (const report::WriteError&) {
    return false;
  }
  return true;
}

// Asks the solver to write and stop at its next iteration. If it cannot, the run goes
// on to its most iterations, which only costs time.
void StopNow(const fs::path& meshFolder) { SetControls(meshFolder, {{"stopAt", "writeNow"}}); }

// Asks the solver to write and stop at iteration `at`, before its endTime `last`: at
// the next iteration that is a multiple of `at` (stopAt nextWrite, writeInterval
// `at`), with endTime moved to such a multiple, so that a solver that reads the order
// only once past `at` still stops where it writes.
bool StopAt(const fs::path& meshFolder, int at, int last) {
  return SetControls(meshFolder, {{"stopAt", "nextWrite"},
                                  {"writeInterval", std::to_string(at)},
                                  {"endTime", std::to_string(last / at * at)}});
}

// Lets a solver that has not settled run on to `to` iterations: its endTime, and the
// time it writes at, move there.
bool ExtendRun(const fs::path& meshFolder, int to) {
  return SetControls(meshFolder, {{"endTime", std::to_string(to)}, {"writeInterval", std::to_string(to)}});
}

// The iterations a settled mesh runs past the one it settled at, so that its solver,
// told to stop there, reads the order in time: about half a second of the solver's on
// 2 cores, by the mesh's cells (from 300 iterations on the smallest meshes to 60 on
// the largest), against the 0.2 s between the check's looks. Where the order comes too
// late, the solver is stopped at once instead. The stop then depends on the flow
// alone, not on when the check looked: each mesh hands the next the same start, and
// a check run again gives the same figures.
int StopMargin(const MeshPlan& mesh) {
  const double cells = static_cast<double>(mesh.nx) * std::max(1, mesh.ny);
  return std::clamp(static_cast<int>(std::lround(6e5 / cells / kProfileEvery)) * kProfileEvery, 60, 300);
}

// SIGTERM to the group, which mpirun passes on to its ranks (they live in a session
// of their own); then the group's members are given 5 s to end before SIGKILL.
void EndGroup(pid_t group) {
  ::kill(-group, SIGTERM);
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  int status = 0;
  bool reaped = false;
  while (Clock::now() < deadline) {
    if (!reaped && ::waitpid(group, &status, WNOHANG) == group) reaped = true;
    if (reaped && ::kill(-group, 0) != 0) return;  // no member left
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(-group, SIGKILL);
  if (!reaped) ::waitpid(group, &status, 0);
}

}  // namespace

std::optional<std::string> MissingOpenFoam(int jobs) {
  std::vector<std::string> programs{"blockMesh", "checkMesh", "rhoCentralFoam"};
  if (jobs > 1) programs.insert(programs.end(), {"decomposePar", "reconstructPar", "mpirun"});
  for (const std::string& program : programs) {
    if (!OnPath(program)) {
      return "OpenFOAM is not installed (" + program +
             " not found): install the Debian package openfoam (apt-get install openfoam)";
    }
  }
  return std::nullopt;
}

RunOutcome RunCase(const fs::path& folder, const CaseFacts& facts, const RunOptions& options) {
  const fs::path allrunLog = folder / "log.Allrun";
  std::string script = (folder / "Allrun").string();
  std::string sh = "/bin/sh";
  std::string jobs = std::to_string(facts.jobs);
  std::vector<char*> argv{sh.data(), script.data(), jobs.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, allrunLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);

  interrupted = 0;
  struct sigaction handler {}, previous {};
  handler.sa_handler = OnInterrupt;
  sigemptyset(&handler.sa_mask);
  ::sigaction(SIGINT, &handler, &previous);

  pid_t child = 0;
  const int failed = posix_spawn(&child, sh.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  RunOutcome outcome;
  if (failed != 0) {
    ::sigaction(SIGINT, &previous, nullptr);
    outcome.kind = RunOutcome::Kind::kFailed;
    outcome.message = "cannot start \"" + script + "\"";
    return outcome;
  }

  std::array<int, 3> limits{};
  for (std::size_t m = 0; m < limits.size(); ++m) limits[m] = facts.meshes[m].maxIterations;
  Progress progress(options, facts, limits);
  Stage stage;
  const auto start = Clock::now();
  std::array<bool, 3> extended{};
  std::array<double, 3> settledAt{}, judged{};  // settledAt 0: not settled yet
  std::array<int, 3> stopsAt{};
  std::vector<ExitHistoryReader> histories;
  for (const MeshPlan& mesh : facts.meshes) histories.emplace_back(folder / mesh.name);
  int status = 0;
  bool ended = false;
  while (!ended) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Stage now = CurrentStage(folder, facts);
    if (now.mesh > stage.mesh && stage.mesh >= 0) progress.Ended(stage.mesh, stage.iteration);
    stage = now;
    progress.Show(stage);
    // A mesh whose solver has started may run on up to its cap, and is stopped a
    // margin past the iteration at which its exit settled.
    if (options.stopWhenSettled && stage.mesh >= 0) {
      const auto m = static_cast<std::size_t>(stage.mesh);
      const MeshPlan& mesh = facts.meshes[m];
      const fs::path meshFolder = folder / mesh.name;
      if (!extended[m]) {
        extended[m] = true;
        if (ExtendRun(meshFolder, mesh.capIterations)) limits[m] = mesh.capIterations;
      }
      if (settledAt[m] == 0.0) {
        // Judged row by row, in order: the mesh settles at the first row whose window
        // is steady, however many rows came since the look before.
        const ExitHistory history = histories[m].Read();
        const double through = history.meanIterations.empty() ? 0.0 : history.meanIterations.back();
        for (const double row : history.profileIterations) {
          if (row <= judged[m]) continue;
          if (row > through) break;
          judged[m] = row;
          if (row < mesh.minIterations) continue;
          const Steadiness steady = JudgeSteadiness(history, mesh.window, mesh.minIterations, facts.flow.designMach,
                                                  options.coreFraction, mesh.coreDriftPercent, row);
          if (!steady.settled) continue;
          settledAt[m] = steady.end;
          const int at = static_cast<int>(steady.end) + StopMargin(mesh);
          if (at >= limits[m]) break;  // it ends there anyway, and writes
          if (stage.iteration < at && StopAt(meshFolder, at, limits[m])) {
            stopsAt[m] = at;
          } else {
            StopNow(meshFolder);
          }
          break;
        }
      } else if (stopsAt[m] > 0 && stage.iteration > stopsAt[m]) {
        StopNow(meshFolder);  // it read the order too late, and would run on to the next multiple
        stopsAt[m] = 0;
      }
    }
    if (::waitpid(child, &status, WNOHANG) == child) {
      ended = true;
    } else if (interrupted != 0) {
      EndGroup(child);
      outcome.kind = RunOutcome::Kind::kInterrupted;
      ended = true;
    } else if (options.timeoutSeconds > 0.0 &&
               std::chrono::duration<double>(Clock::now() - start).count() > options.timeoutSeconds) {
      EndGroup(child);
      outcome.kind = RunOutcome::Kind::kTimedOut;
      ended = true;
    }
  }
  ::sigaction(SIGINT, &previous, nullptr);
  stage = CurrentStage(folder, facts);
  outcome.lastTime = stage.iteration;
  outcome.settledAt = settledAt;

  const MeshPlan* mesh = stage.mesh >= 0 ? &facts.meshes[static_cast<std::size_t>(stage.mesh)] : nullptr;
  const fs::path solverLog = mesh ? folder / mesh->name / "log.rhoCentralFoam" : folder / "log.Allrun";
  const std::string at = mesh ? " at iteration " + report::RoundedText(stage.iteration, 0) + " of at most " +
                                    std::to_string(limits[static_cast<std::size_t>(stage.mesh)]) + " on the " +
                                    MeshName(*mesh)
                              : std::string(" before the solver started");
  const std::string kept = "; the case is kept in \"" + folder.string() + "\"";
  if (outcome.kind == RunOutcome::Kind::kInterrupted) {
    outcome.message = "the run was interrupted" + at + "; log \"" + solverLog.string() + "\"" + kept;
  } else if (outcome.kind == RunOutcome::Kind::kTimedOut) {
    outcome.message = "the run passed its time limit of " + report::RoundedText(options.timeoutSeconds, 3) + " s" +
                      at + "; log \"" + solverLog.string() + "\"" + kept;
  } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    const std::string step = FailedStep(allrunLog);
    outcome.kind = RunOutcome::Kind::kFailed;
    const std::size_t slash = step.rfind('/');
    const std::string name = slash == std::string::npos ? step : step.substr(slash + 1);
    const std::string where = slash == std::string::npos ? std::string() : step.substr(0, slash);
    const fs::path log = folder / where / ("log." + name.substr(0, name.find(' ')));
    if (name.rfind("checkMesh", 0) == 0) {
      outcome.message = "checkMesh rejected the " + where + " mesh; log \"" + log.lexically_normal().string() + "\"" +
                        kept;
    } else if (step.empty()) {
      outcome.message = "the run failed; log \"" + allrunLog.string() + "\"" + kept;
    } else {
      outcome.message = name + " failed" + (name == "rhoCentralFoam" ? at : " on the " + where + " mesh") +
                        "; log \"" + log.lexically_normal().string() + "\"" + kept;
    }
  }
  progress.End(stage, outcome.kind == RunOutcome::Kind::kFinished);
  return outcome;
}

}  // namespace cfd
