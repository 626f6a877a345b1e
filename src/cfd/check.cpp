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
  if (!verify) return result;
  const CaseFacts& facts = result.facts;
  result.outcome = RunCase(caseDir, facts, run);
  if (result.outcome.kind != RunOutcome::Kind::kFinished) return result;

  const MeasuredCase measured = MeasureCase(caseDir, facts, run.coreFraction);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const CheckResult& check = result.check.emplace(JudgeCheck(measured.meshes, facts, run.coreFraction, seconds));
  result.json = CheckJson(check, facts, design.inputs);
  report::ReplaceFile(caseDir / "exit_profile.csv", ExitProfileCsv(measured.meshes.back()));
  report::ReplaceFile(caseDir / "check.json", result.json);
  WriteMachPicture(caseDir / "mach.png", design.plan, facts, measured.fine);
  WriteConvergencePicture(caseDir / "convergence.png", check, facts);
  return result;
}

}  // namespace cfd
