#include "cfd/solver_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <regex>

#include "cfd/openfoam_case.h"
#include "nozzle/design.h"
#include "nozzle/design_record.h"
#include "support/golden.h"
#include "support/processes.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempFolder;

bool OpenFoamInstalled() { return !cfd::MissingOpenFoam(1).has_value(); }

cfd::CaseFacts SmallCase(const fs::path& dir) {
  cfd::CaseOptions options;
  options.cellsAlong = 40;
  options.cellsAcross = 10;
  return cfd::WriteCase(nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0})), dir, options);
}

void Replace(const fs::path& file, const std::regex& what, const std::string& with) {
  const std::string text = std::regex_replace(ReadBytes(file), what, with, std::regex_constants::format_first_only);
  std::ofstream(file, std::ios::binary) << text;
}

TEST(SolverRun, NamesTheDebianPackageWhenOpenFoamIsNotOnThePath) {
  const std::string path = std::getenv("PATH");
  TempFolder empty;
  ::setenv("PATH", empty.path().c_str(), 1);
  const std::optional<std::string> missing = cfd::MissingOpenFoam(2);
  ::setenv("PATH", path.c_str(), 1);
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(*missing, "OpenFOAM is not installed (blockMesh not found): install the Debian package openfoam "
                      "(apt-get install openfoam)");
}

// The coarse mesh runs as written; the medium one is driven far past its stable
// Courant number and fails: the message names it, its iteration and its log.
TEST(SolverRun, ReportsACrashedSolverWithItsMeshIterationAndLogAndKeepsTheCase) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  const cfd::CaseFacts facts = SmallCase(dir);
  Replace(dir / "medium" / "system" / "controlDict", std::regex("maxCo +0.2;"), "maxCo 40;");
  const cfd::RunOutcome outcome = cfd::RunCase(dir, facts, {});
  EXPECT_EQ(outcome.kind, cfd::RunOutcome::Kind::kFailed);
  EXPECT_NE(outcome.message.find("rhoCentralFoam failed at iteration "), std::string::npos) << outcome.message;
  EXPECT_NE(outcome.message.find(" on the medium mesh 20 x 5; log \"" +
                                 (dir / "medium" / "log.rhoCentralFoam").string() + "\"; the case is kept in"),
            std::string::npos)
      << outcome.message;
  EXPECT_TRUE(fs::exists(dir / "coarse" / "log.rhoCentralFoam"));  // the coarse mesh had run
  EXPECT_EQ(testing_support::ProcessesWorkingIn(dir), std::vector<std::string>{});
}

TEST(SolverRun, ReportsAMeshThatCheckMeshRejectsBeforeAnySolverRuns) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  const cfd::CaseFacts facts = SmallCase(dir);
  // The fine mesh's first wall point moved far downstream: the wall runs back and cells turn inside out.
  Replace(dir / "fine" / "system" / "blockMeshDict", std::regex("polyLine 3 2\n    \\(\n        \\([0-9.e-]+ "),
          "polyLine 3 2\n    (\n        (6 ");
  const cfd::RunOutcome outcome = cfd::RunCase(dir, facts, {});
  EXPECT_EQ(outcome.kind, cfd::RunOutcome::Kind::kFailed);
  EXPECT_EQ(outcome.message, "checkMesh rejected the fine mesh; log \"" + (dir / "fine" / "log.checkMesh").string() +
                                 "\"; the case is kept in \"" + dir.string() + "\"");
  EXPECT_FALSE(fs::exists(dir / "coarse" / "log.rhoCentralFoam"));
}

TEST(SolverRun, EndsEverySolverProcessAtTheTimeLimit) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  // A ladder whose meshes are made in a second and whose run lasts minutes, every mesh
  // on two ranks (the coarse one has 50 x 52 cells): mpirun's ranks end as well.
  cfd::CaseOptions options;
  options.jobs = 2;
  options.cellsAlong = 200;
  options.cellsAcross = 208;
  const cfd::CaseFacts facts = cfd::WriteCase(nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0})), dir, options);
  cfd::RunOptions run;
  run.timeoutSeconds = 8.0;
  const cfd::RunOutcome outcome = cfd::RunCase(dir, facts, run);
  EXPECT_EQ(outcome.kind, cfd::RunOutcome::Kind::kTimedOut);
  EXPECT_NE(outcome.message.find("the run passed its time limit of 8 s at iteration "), std::string::npos)
      << outcome.message;
  EXPECT_GT(outcome.lastTime, 0.0) << "the solver had started";
  EXPECT_EQ(testing_support::ProcessesWorkingIn(dir), std::vector<std::string>{});
}

}  // namespace
