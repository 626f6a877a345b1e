#include "cfd/check.h"

#include <array>
#include <chrono>
#include <utility>

#include "cfd/convergence_picture.h"
#include "cfd/exit_flow.h"
#include "cfd/mach_picture.h"
#include "report/file_output.h"

namespace cfd {

MeasuredCase MeasureCase(const std::filesystem::path& caseDir, const CaseFacts& facts, double coreFraction) {
  MeasuredCase measured;
  for (std::size_t m = 0; m < facts.meshes.size(); ++m) {
    const MeshPlan& plan = facts.meshes[m];
    const std::filesystem::path meshFolder = caseDir / plan.name;
    try {
      SolvedFlow flow = ReadSolvedFlow(meshFolder, plan.nx, plan.ny);
      measured.meshes[m] = MeasureMesh(meshFolder, plan, facts.flow, coreFraction, flow);
      if (m + 1 == facts.meshes.size()) measured.fine = std::move(flow);
    } catch (const FieldError& error) {
      throw FieldError(std::string(error.what()) + "; log \"" + (meshFolder / "log.rhoCentralFoam").string() +
                       "\"; the case is kept in \"" + caseDir.string() + "\"");
    }
  }
  return measured;
}

CheckRun CheckDesign(const DesignCase& design, const std::filesystem::path& caseDir, const CaseOptions& options,
                     bool verify, const RunOptions& run) {
  const auto started = std::chrono::steady_clock::now();
  CheckRun result;
  result.facts = WriteCase(design, caseDir, options);
  const std::filesystem::path besideDir = caseDir / "uncorrected";
  std::optional<DesignCase> beside;
  if (design.viscous && !design.uncorrectedWall.empty()) {
    beside = UncorrectedCase(design);
    result.uncorrectedFacts = WriteCase(*beside, besideDir, options);
  }
  if (!verify) return result;
  const CaseFacts& facts = result.facts;
  result.outcome = RunCase(caseDir, facts, run);
  if (result.outcome.kind != RunOutcome::Kind::kFinished) return result;

  const MeasuredCase measured = MeasureCase(caseDir, facts, run.coreFraction);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const CheckResult& check = result.check.emplace(JudgeCheck(measured.meshes, facts, run.coreFraction, seconds));
  if (beside) {
    const auto besideStarted = std::chrono::steady_clock::now();
    result.outcome = RunCase(besideDir, *result.uncorrectedFacts, run);
    if (result.outcome.kind != RunOutcome::Kind::kFinished) return result;
    const MeasuredCase other = MeasureCase(besideDir, *result.uncorrectedFacts, run.coreFraction);
    const double besideSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - besideStarted).count();
    const CheckResult& uncorrected = result.uncorrected.emplace(
        JudgeCheck(other.meshes, *result.uncorrectedFacts, run.coreFraction, besideSeconds));
    report::ReplaceFile(besideDir / "exit_profile.csv", ExitProfileCsv(other.meshes.back()));
    report::ReplaceFile(besideDir / "check.json", CheckJson(uncorrected, *result.uncorrectedFacts, design.inputs));
    WriteMachPicture(besideDir / "mach.png", beside->plan, *result.uncorrectedFacts, other.fine);
  }
  const CheckResult* uncorrected = result.uncorrected ? &*result.uncorrected : nullptr;
  result.json = CheckJson(check, facts, design.inputs, uncorrected);
  report::ReplaceFile(caseDir / "exit_profile.csv", ExitProfileCsv(measured.meshes.back()));
  report::ReplaceFile(caseDir / "check.json", result.json);
  WriteMachPicture(caseDir / "mach.png", design.plan, facts, measured.fine);
  WriteConvergencePicture(caseDir / "convergence.png", check, facts, uncorrected);
  return result;
}

}  // namespace cfd
