// The check of a design by OpenFOAM, end to end through nozzle-cli processes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "support/golden.h"
#include "support/processes.h"
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

// The labelled values of the check's report: "label = value".
std::map<std::string, double> ReportValues(const std::string& out) {
  std::map<std::string, double> values;
  std::istringstream lines(out.substr(out.find("CFD check:")));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find(" = ");
    if (at != std::string::npos) values[line.substr(0, at)] = std::atof(line.c_str() + at + 3);
  }
  return values;
}

TEST(CfdCheck, FortyNineWavesGiveUniformExitFlowAndTwoWavesAClearlyLargerSpread) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path fine = folder.path() / "n49";
  ASSERT_EQ(Finish(Start(folder.path(),
                         {"--n", "49", "--dir", folder.path().string(), "--openfoam", fine.string(), "--verify"})),
            0)
      << ReadBytes(folder.path() / "err");
  const std::string out = ReadBytes(folder.path() / "out");
  auto good = ReportValues(out);
  // Goal: mean within 0.3 % of Me = 2.4, spread at most 2 %, axis overshoot at most 1 %.
  EXPECT_LE(std::abs(good["Deviation of the mean from Me"]), 0.3) << out;
  EXPECT_LE(good["Spread across the exit (greatest - least) / Me"], 2.0) << out;
  EXPECT_LE(good["Axis overshoot over Me"], 1.0) << out;
  EXPECT_NE(out.find("Steady exit (mean changed by less than 0.1 % over the last flow-through time) = yes"),
            std::string::npos)
      << out;
  EXPECT_EQ(ReadBytes(fine / "exit_profile.csv").rfind("y,Ma\n", 0), 0u);
  EXPECT_EQ(ReadBytes(fine / "mach.png").rfind("\x89PNG\r\n", 0), 0u);
  EXPECT_TRUE(fs::exists(folder.path() / "sonuc.txt"));

  const fs::path coarse = folder.path() / "n2";
  ASSERT_EQ(Finish(Start(folder.path(), {"--n", "2", "--dir", folder.path().string(), "--openfoam",
                                         coarse.string(), "--verify"})),
            0)
      << ReadBytes(folder.path() / "err");
  auto two = ReportValues(ReadBytes(folder.path() / "out"));
  EXPECT_GT(two["Spread across the exit (greatest - least) / Me"],
            2.0 * good["Spread across the exit (greatest - least) / Me"])
      << ReadBytes(folder.path() / "out");
}

TEST(CfdCheck, CtrlCEndsTheSolverKeepsTheCaseAndExitsWith130) {
  if (!OpenFoamInstalled()) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  const pid_t pid = Start(folder.path(), {"--n", "7", "--dir", folder.path().string(), "--openfoam", dir.string(),
                                          "--verify", "--cfd-jobs", "2"});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (ReadBytes(dir / "coarse" / "log.rhoCentralFoam").find("\nTime = ") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ::kill(pid, SIGINT);
  EXPECT_EQ(Finish(pid), 130);
  const std::string err = ReadBytes(folder.path() / "err");
  EXPECT_NE(err.find("nozzle-cli: the run was interrupted at simulated time "), std::string::npos) << err;
  EXPECT_TRUE(fs::exists(dir / "system" / "blockMeshDict"));
  EXPECT_TRUE(fs::exists(folder.path() / "sonuc.txt"));
  EXPECT_EQ(testing_support::ProcessesWorkingIn(dir), std::vector<std::string>{});
}

}  // namespace
