#include "cfd/check.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "cfd/convergence_picture.h"
#include "cfd/exit_flow.h"
#include "cfd/mach_picture.h"
#include "report/file_output.h"

namespace cfd {

MeasuredCase MeasureCase(const std::filesystem::path& caseDir, const CaseFacts& facts, double coreFraction,
                         const std::array<double, 3>& settledAt) {
  MeasuredCase measured;
  for (std::size_t m = 0; m < facts.meshes.size(); ++m) {
    const MeshPlan& plan = facts.meshes[m];
    const std::filesystem::path meshFolder = caseDir / plan.name;
    try {
      SolvedFlow flow = ReadSolvedFlow(meshFolder, plan.nx, plan.ny);
      measured.meshes[m] = MeasureMesh(meshFolder, plan, facts.flow, coreFraction, flow, settledAt[m]);
      if (m + 1 == facts.meshes.size()) measured.fine = std::move(flow);
    } catch (const FieldError& error) {
      throw FieldError(std::string(error.what()) + "; log \"" + (meshFolder / "log.rhoCentralFoam").string() +
                       "\"; the case is kept in \"" + caseDir.string() + "\"");
    }
  }
  return measured;
}

namespace {

struct SolvedCase {
  MeasuredCase measured;
  CheckResult check;
};

// Runs the case written in `dir` and judges it, its time counted from `started`; empty
// when a step did not finish (`outcome` says why).
std::optional<SolvedCase> Solve(const std::filesystem::path& dir, const CaseFacts& facts, const RunOptions& run,
                                std::chrono::steady_clock::time_point started, RunOutcome& outcome) {
  outcome = RunCase(dir, facts, run);
  if (outcome.kind != RunOutcome::Kind::kFinished) return std::nullopt;
  SolvedCase solved{MeasureCase(dir, facts, run.coreFraction, outcome.settledAt), {}};
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  solved.check = JudgeCheck(solved.measured.meshes, facts, run.coreFraction, seconds, run.spelling);
  if (facts.flow.plenum) solved.check.throat = CompareThroat(solved.measured.fine, facts.flow);
  return solved;
}

// The figures of a judged case into its folder: exit_profile.csv, check.json, mach.png.
void WriteFigures(const std::filesystem::path& dir, const SolvedCase& solved, const std::string& json,
                  const report::DrawingPlan& plan, const CaseFacts& facts) {
  report::ReplaceFile(dir / "exit_profile.csv", ExitProfileCsv(solved.measured.meshes.back()));
  report::ReplaceFile(dir / "check.json", json);
  if (solved.check.throat) report::ReplaceFile(dir / "throat_profile.csv", ThroatProfileCsv(*solved.check.throat));
  if (const auto& net = solved.measured.meshes.back().net) {
    report::ReplaceFile(dir / "net_profile.csv", NetProfileCsv(*net));
  }
  WriteMachPicture(dir / "mach.png", plan, facts, solved.measured.fine);
}

}  // namespace

CheckRun CheckDesign(const DesignCase& design, const std::filesystem::path& caseDir, const CaseOptions& options,
                     bool verify, const RunOptions& run) {
  const auto started = std::chrono::steady_clock::now();
  if (design.inlet.kind == nozzle::Inlet::Kind::kRoundedThroat && !design.throat) {
    throw CaseError("a rounded throat's case begins in the plenum, and this design has no convergent section");
  }
  CheckRun result;
  result.facts = WriteCase(design, caseDir, options);
  const std::filesystem::path besideDir = caseDir / "uncorrected";
  std::optional<DesignCase> beside;
  if (design.viscous && !design.uncorrectedWall.empty()) {
    beside = UncorrectedCase(design);
    result.uncorrectedFacts = WriteCase(*beside, besideDir, options);
  }
  if (!verify) return result;
  const std::optional<SolvedCase> solved = Solve(caseDir, result.facts, run, started, result.outcome);
  if (!solved) return result;
  result.check = solved->check;
  if (beside) {
    const std::optional<SolvedCase> other =
        Solve(besideDir, *result.uncorrectedFacts, run, std::chrono::steady_clock::now(), result.outcome);
    if (!other) return result;
    result.uncorrected = other->check;
    WriteFigures(besideDir, *other, CheckJson(other->check, *result.uncorrectedFacts, design.inputs), beside->plan,
                 *result.uncorrectedFacts);
  }
  const CheckResult* uncorrected = result.uncorrected ? &*result.uncorrected : nullptr;
  result.json = CheckJson(solved->check, result.facts, design.inputs, uncorrected);
  WriteFigures(caseDir, *solved, result.json, design.plan, result.facts);
  WriteConvergencePicture(caseDir / "convergence.png", solved->check, result.facts, uncorrected);
  if (result.facts.flow.net) WriteNetPicture(caseDir / "net.png", solved->check, result.facts);
  return result;
}

}  // namespace cfd
