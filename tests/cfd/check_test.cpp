// The check of a design by OpenFOAM, end to end through nozzle-cli processes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "cfd/check.h"
#include "support/golden.h"
#include "support/processes.h"
#include "support/solved_mesh.h"
#include "support/temp_folder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempFolder;

bool OpenFoamInstalled() { return std::system("command -v rhoCentralFoam >/dev/null") == 0; }

pid_t Start(const fs::path& folder, std::vector<std::string> args) {
  args.insert(args.begin(), NOZZLE_CLI_PATH);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, (folder / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (folder / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int Finish(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

nlohmann::json Check(const fs::path& caseDir) { return nlohmann::json::parse(ReadBytes(caseDir / "check.json")); }

// The three solved meshes of a case, read back by hand-made folders: each mesh's
// figures in order, the finest mesh's flow kept for its picture, and a mesh whose
// field is missing named with its log.
TEST(MeasureCase, ReadsEveryMeshAndKeepsTheFinestsFlow) {
  TempFolder folder;
  cfd::CaseFacts facts;
  facts.flow = {4.0, 1.0, 2.4, gas::kAir, false};
  facts.meshes = cfd::MeshLadder(32, 8, 2.4);
  for (std::size_t m = 0; m < 3; ++m) {
    const cfd::MeshPlan& plan = facts.meshes[m];
    testing_support::WriteSolvedMesh(folder.path() / plan.name, plan.nx,
                                     std::vector<double>(static_cast<std::size_t>(plan.ny), 2.3 + 0.05 * static_cast<double>(m)), 1.0);
  }
  const cfd::MeasuredCase measured = cfd::MeasureCase(folder.path(), facts, 0.8);
  EXPECT_EQ(measured.fine.nx, 32);
  EXPECT_EQ(measured.fine.Ma.size(), 32u * 8u);
  for (std::size_t m = 0; m < 3; ++m) {
    EXPECT_EQ(measured.meshes[m].nx, facts.meshes[m].nx);
    EXPECT_NEAR(measured.meshes[m].mean, 2.3 + 0.05 * static_cast<double>(m), 1e-12);
  }
  fs::remove(folder.path() / "medium" / "100" / "T");
  try {
    cfd::MeasureCase(folder.path(), facts, 0.8);
    FAIL() << "a missing field was read";
  } catch (const cfd::FieldError& e) {
    EXPECT_NE(std::string(e.what()).find("medium/log.rhoCentralFoam\"; the case is kept in"), std::string::npos)
        << e.what();
  }
}

// The whole check on a small ladder (16 x 4, 32 x 8, 64 x 16 cells): the three meshes
// run in order, the figures and pictures are written and a verdict is reached. The
// check's goals on the default meshes are measured by bench/cfd_check.
TEST(CfdCheck, ChecksADesignOnThreeMeshesAndTellsFewWavesFromMany) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path many = folder.path() / "n49";
  ASSERT_EQ(Finish(Start(folder.path(), {"--n", "49", "--dir", folder.path().string(), "--openfoam", many.string(),
                                         "--verify", "--cfd-cells", "64", "--cfd-core", "0.5"})),
            0)
      << ReadBytes(folder.path() / "err");
  const std::string out = ReadBytes(folder.path() / "out");
  EXPECT_NE(out.find("\nMesh 16 x 4: mean = "), std::string::npos) << out;
  EXPECT_NE(out.find("\nMesh 64 x 16: mean = "), std::string::npos) << out;
  EXPECT_NE(out.find("\nVerdict: "), std::string::npos) << out;
  const nlohmann::json check = Check(many);
  // So few cells flicker too much for the verdict to be sure of the settling; the
  // settling itself is tested on histories (exit_flow_test), the goals on real meshes.
  const std::string verdict = check["verdict"];
  EXPECT_TRUE(verdict == "wall-good" || verdict == "wall-coarse" || verdict == "meshes-cannot-tell" ||
              verdict == "not-settled")
      << verdict;
  ASSERT_EQ(check["meshes"].size(), 3u);
  EXPECT_EQ(check["core_fraction"], 0.5);
  EXPECT_NE(out.find("Core spread (y <= 0.5 of the exit half-height)"), std::string::npos) << out;
  EXPECT_EQ(check["meshes"][2]["cells_across"], 16);
  EXPECT_GT(check["meshes"][2]["iterations"].get<int>(), check["meshes"][0]["iterations"].get<int>());
  for (const char* mesh : {"coarse", "medium", "fine"}) EXPECT_TRUE(fs::exists(many / mesh / "case.foam")) << mesh;
  for (const char* png : {"mach.png", "convergence.png"}) {
    EXPECT_EQ(ReadBytes(many / png).rfind("\x89PNG\r\n", 0), 0u) << png;
  }
  EXPECT_EQ(ReadBytes(many / "exit_profile.csv").rfind("y,Ma\n", 0), 0u);
  EXPECT_TRUE(fs::exists(folder.path() / "sonuc.txt"));

  // Few waves, on a ladder whose finest mesh (104 x 26) runs on all cores: decomposed,
  // stopped once settled and reconstructed.
  const fs::path few = folder.path() / "n4";
  ASSERT_EQ(Finish(Start(folder.path(), {"--n", "4", "--dir", folder.path().string(), "--openfoam", few.string(),
                                         "--verify", "--cfd-cells", "104"})),
            0)
      << ReadBytes(folder.path() / "err");
  if (cfd::AvailableCores() > 1) {
    EXPECT_TRUE(fs::exists(few / "fine" / "processor1")) << "the finest mesh ran on ranks";
  }
  const double fewCore = Check(few)["meshes"][2]["core_spread_percent"];
  const double manyCore = check["meshes"][2]["core_spread_percent"];
  EXPECT_GT(fewCore, 2.0 * manyCore) << ReadBytes(folder.path() / "out");
}

// A round nozzle runs the same check on its wedge, on the smallest ladder.
TEST(CfdCheck, ChecksARoundNozzleOnItsWedge) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "round";
  ASSERT_EQ(Finish(Start(folder.path(), {"--axisymmetric", "--n", "13", "--dir", folder.path().string(),
                                         "--openfoam", dir.string(), "--verify", "--cfd-cells", "32"})),
            0)
      << ReadBytes(folder.path() / "err");
  const std::string out = ReadBytes(folder.path() / "out");
  EXPECT_NE(out.find(", axisymmetric (5 degree wedge)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\nMesh 32 x 8: mean = "), std::string::npos) << out;
  const nlohmann::json check = Check(dir);
  EXPECT_EQ(check["design"]["axisymmetric"], true);
  ASSERT_EQ(check["meshes"].size(), 3u);
  // The exit mean of the finest mesh, weighted by the mass flow through rings, lies near Me.
  EXPECT_NEAR(check["meshes"][2]["mean"].get<double>(), 2.4, 0.1);
  for (const char* png : {"mach.png", "convergence.png"}) {
    EXPECT_EQ(ReadBytes(dir / png).rfind("\x89PNG\r\n", 0), 0u) << png;
  }
}

// An ideal nozzle is checked from the plenum, on the smallest ladder: its discharge
// coefficient beside the series', and its throat's sonic points and Mach numbers beside
// the series' (throat_profile.csv). How close they come is measured on real meshes
// (docs/validation.md); so coarse a ladder only has to come near.
TEST(CfdCheck, ChecksARoundedThroatFromThePlenum) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "ideal";
  ASSERT_EQ(Finish(Start(folder.path(), {"--family", "ideal", "--throat-radius", "2", "--n", "15", "--dir",
                                         folder.path().string(), "--openfoam", dir.string(), "--verify",
                                         "--cfd-cells", "32"})),
            0)
      << ReadBytes(folder.path() / "err");
  const std::string out = ReadBytes(folder.path() / "out");
  EXPECT_NE(out.find("\nDischarge coefficient Cd, extrapolated = "), std::string::npos) << out;
  EXPECT_NE(out.find("\nSonic point on the axis: x = "), std::string::npos) << out;
  const nlohmann::json check = Check(dir);
  EXPECT_EQ(check["design"]["throat_radius"], 2.0);
  EXPECT_NEAR(check["discharge_coefficient"]["theory"].get<double>(), 0.995721, 5e-7);
  EXPECT_NEAR(check["discharge_coefficient"]["cfd"].get<double>(), 0.995721, 0.03);
  for (const nlohmann::json& mesh : check["meshes"]) {
    EXPECT_NEAR(mesh["discharge_coefficient"].get<double>(), 0.995721, 0.03);
  }
  EXPECT_NEAR(check["sonic_points"]["axis"]["series"].get<double>(), 0.1684, 0.05);
  const std::string throat = ReadBytes(dir / "throat_profile.csv");
  EXPECT_EQ(throat.rfind("row,x,y,Ma_cfd,Ma_series\naxis,", 0), 0u) << throat;
  EXPECT_NE(throat.find("\nwall,"), std::string::npos);
}

// A cone's exit is not uniform: its check compares the CFD's wall pressure and exit
// Mach number with the characteristics' at the net's points, and judges the net by them.
TEST(CfdCheck, ChecksAConeAgainstItsCharacteristics) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "cone";
  ASSERT_EQ(Finish(Start(folder.path(), {"--family", "conical", "--area-ratio", "4", "--throat-radius", "2", "--n",
                                         "15", "--dir", folder.path().string(), "--openfoam", dir.string(),
                                         "--verify", "--cfd-cells", "32"})),
            0)
      << ReadBytes(folder.path() / "err");
  const std::string out = ReadBytes(folder.path() / "out");
  EXPECT_NE(out.find("\nWall pressure p/p0 beside the net's: largest difference, extrapolated = "), std::string::npos)
      << out;
  EXPECT_NE(out.find("\nExit Mach number beside the net's: largest difference, extrapolated = "), std::string::npos);
  const nlohmann::json check = Check(dir);
  const std::string verdict = check["verdict"];
  EXPECT_TRUE(verdict == "net-confirmed" || verdict == "net-differs" || verdict == "meshes-cannot-tell") << verdict;
  EXPECT_TRUE(check["net"]["shock"].is_null());
  // Measured on 8 x 2 to 32 x 8 cells: the wall 40 %, 17 %, 11 % (at the wave that the
  // throat's arc sends off the axis back to the wall), the exit 4.6 %, 3.7 %, 1.5 %:
  // each falls with the cell size.
  double wall = INFINITY, exit = INFINITY;
  for (const nlohmann::json& mesh : check["meshes"]) {
    EXPECT_LT(mesh["wall_pressure_difference_percent"].get<double>(), wall);
    EXPECT_LT(mesh["exit_mach_difference_percent"].get<double>(), exit);
    wall = mesh["wall_pressure_difference_percent"];
    exit = mesh["exit_mach_difference_percent"];
  }
  EXPECT_LT(exit, 5.0);
  const std::string profile = ReadBytes(dir / "net_profile.csv");
  EXPECT_EQ(profile.rfind("row,at,cfd,net\nwall,", 0), 0u) << profile;
  EXPECT_NE(profile.find("\nexit,"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir / "net.png").rfind("\x89PNG\r\n", 0), 0u);
}

// A wall corrected for a turbulent layer: OpenFOAM takes the viscous case (Sutherland's
// law, no-slip wall, k-omega SST with wall functions) on every mesh, and its uncorrected
// wall beside it; the report and check.json say both, with the layer's figures.
TEST(CfdCheck, ChecksACorrectedWallInViscousFlowBesideItsUncorrectedWall) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "viscous";
  ASSERT_EQ(Finish(Start(folder.path(), {"--p0", "5bar", "--t0", "300", "--scale", "25mm", "--dir",
                                         folder.path().string(), "--openfoam", dir.string(), "--verify",
                                         "--cfd-cells", "32", "--cfd-jobs", "1"})),
            0)
      << ReadBytes(folder.path() / "err");
  const std::string out = ReadBytes(folder.path() / "out");
  EXPECT_NE(out.find("CFD check: rhoCentralFoam, turbulent (RANS, k-omega SST, wall functions), Re* = 1823407"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\nUncorrected wall, same conditions: core mean extrapolated = "), std::string::npos) << out;
  const nlohmann::json check = Check(dir);
  EXPECT_EQ(check["viscous"]["turbulent"], true);
  EXPECT_GT(check["viscous"]["exit_delta_star_computed"].get<double>(), 0.0);
  EXPECT_EQ(check["uncorrected"]["verdict"], Check(dir / "uncorrected")["verdict"]);
  EXPECT_EQ(ReadBytes(dir / "convergence.png").rfind("\x89PNG\r\n", 0), 0u);
}

TEST(CfdCheck, CtrlCEndsTheSolverKeepsTheCaseAndExitsWith130) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  const pid_t pid = Start(folder.path(), {"--n", "7", "--dir", folder.path().string(), "--openfoam", dir.string(),
                                          "--verify", "--cfd-jobs", "2", "--cfd-cells", "32"});
  // The smallest ladder, and time enough for a slow machine shared with other tests:
  // the coarse mesh has to end before the medium one can be interrupted.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
  while (ReadBytes(dir / "medium" / "log.rhoCentralFoam").find("\nTime = ") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ::kill(pid, SIGINT);
  EXPECT_EQ(Finish(pid), 130);
  const std::string err = ReadBytes(folder.path() / "err");
  EXPECT_NE(err.find("nozzle-cli: the run was interrupted at iteration "), std::string::npos) << err;
  EXPECT_NE(err.find(" on the medium mesh 16 x 4; log "), std::string::npos) << err;
  EXPECT_TRUE(fs::exists(dir / "fine" / "system" / "blockMeshDict"));
  EXPECT_TRUE(fs::exists(folder.path() / "sonuc.txt"));
  EXPECT_EQ(testing_support::ProcessesWorkingIn(dir), std::vector<std::string>{});
}

}  // namespace
