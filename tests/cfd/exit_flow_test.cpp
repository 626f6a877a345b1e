#include "cfd/exit_flow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "support/solved_mesh.h"
#include "support/temp_folder.h"

namespace {

// Histories of a run of `iterations`: the mean every 10 iterations and three exit
// cells every 20, each value `at(iteration)` plus a flicker of +-`flicker`.
cfd::ExitHistory History(int iterations, double (*at)(double), double flicker) {
  cfd::ExitHistory h;
  for (int i = 10; i <= iterations; i += 10) {
    const double wobble = flicker * std::sin(0.7 * i);
    h.meanIterations.push_back(i);
    h.means.push_back(at(i) + 0.1 * wobble);
    if (i % 20 == 0) {
      h.profileIterations.push_back(i);
      h.profiles.push_back({at(i), at(i), at(i) - 0.05 + wobble});
    }
  }
  return h;
}

double Settled(double) { return 2.4; }
double Drifting(double i) { return 2.4 - 0.05 * std::exp(-i / 10000.0); }  // a slow swing's tail
double Arriving(double i) { return i < 1500 ? 2.39 : 2.395; }              // a change reaching the exit

TEST(Steadiness, CountsAFlickeringExitAsSettledButNotADriftingOne) {
  // The cells next to the wall flicker by 0.5 % of Me for good: settled on average.
  const cfd::Steadiness flickering = cfd::JudgeSteadiness(History(3000, Settled, 0.012), 1000, 1000, 2.4, 0.5);
  EXPECT_TRUE(flickering.known);
  EXPECT_TRUE(flickering.settled) << flickering.meanDriftPercent << " " << flickering.cellDriftPercent;
  const cfd::Steadiness drifting = cfd::JudgeSteadiness(History(3000, Drifting, 0.0), 1000, 1000, 2.4, 0.5);
  EXPECT_FALSE(drifting.settled);
  EXPECT_NEAR(drifting.meanDriftPercent, 100 * 0.05 * (std::exp(-0.2245) - std::exp(-0.2745)) / 2.4, 2e-3);
}

TEST(Steadiness, WaitsForTheWholeMeshToReachTheExitAndForAWholeWindow) {
  EXPECT_FALSE(cfd::JudgeSteadiness(History(1400, Arriving, 0.0), 1000, 2500, 2.4, 0.5).settled);  // too early
  // The step lies in the window.
  EXPECT_FALSE(cfd::JudgeSteadiness(History(2000, Arriving, 0.0), 1000, 1000, 2.4, 0.5).settled);
  EXPECT_TRUE(cfd::JudgeSteadiness(History(2600, Arriving, 0.0), 1000, 2500, 2.4, 0.5).settled);
  EXPECT_FALSE(cfd::JudgeSteadiness(History(800, Settled, 0.0), 1000, 0, 2.4, 0.5).known);  // shorter than a window
}

// The check judges the rows one by one as they come, so a run stops where its exit
// settled, however late the check looked.
TEST(Steadiness, JudgesTheExitAsItStoodAtAnEarlierIteration) {
  const cfd::ExitHistory longer = History(4000, Arriving, 0.0);
  const cfd::Steadiness atStep = cfd::JudgeSteadiness(longer, 1000, 1000, 2.4, 0.5, 0.05, 2010);
  EXPECT_EQ(atStep.end, 2000);
  EXPECT_FALSE(atStep.settled);
  const cfd::Steadiness at2600 = cfd::JudgeSteadiness(longer, 1000, 1000, 2.4, 0.5, 0.05, 2600);
  const cfd::Steadiness cut = cfd::JudgeSteadiness(History(2600, Arriving, 0.0), 1000, 1000, 2.4, 0.5, 0.05);
  EXPECT_TRUE(at2600.settled);
  EXPECT_EQ(at2600.end, cut.end);
  EXPECT_EQ(at2600.coreDriftPercent, cut.coreDriftPercent);
  EXPECT_FALSE(cfd::JudgeSteadiness(longer, 1000, 0, 2.4, 0.5, 0.05, 5).known);  // before the first row
}

// A hand-made exit of three cells, y from 0 to 3, Mach 2.0, 2.4 and 2.8, uniform mass
// flow per area. Planar faces weigh alike: the mean is 2.4. A round exit's faces are
// rings whose area grows with the radius (0.5, 1.5, 2.5): (2.0 * 0.5 + 2.4 * 1.5 +
// 2.8 * 2.5) / 4.5 = 2.5778.
TEST(ExitFigures, ReadTheFieldsAndWeighARoundExitByItsRings) {
  testing_support::TempFolder folder;
  testing_support::WriteSolvedMesh(folder.path(), 2, {2.0, 2.4, 2.8}, 3.0);
  const cfd::SolvedFlow flow = cfd::ReadSolvedFlow(folder.path(), 2, 3);
  EXPECT_EQ(flow.time, 100.0);
  EXPECT_EQ(flow.Ma, (std::vector<double>{1.5, 2.0, 1.5, 2.4, 1.5, 2.8}));
  EXPECT_EQ(flow.Ux, std::vector<double>(6, 2.0));
  EXPECT_EQ(flow.pointY.back(), 3.0);

  const cfd::MeshPlan plan{"fine", 2, 3, 100, 400, 50, 20, 0.05};
  cfd::FlowFacts planar{4.0, 3.0, 2.4, gas::kAir, false};
  EXPECT_NEAR(cfd::MeasureMesh(folder.path(), plan, planar, 0.8, flow).mean, 2.4, 1e-12);
  cfd::FlowFacts round = planar;
  round.axisymmetric = true;
  EXPECT_NEAR(cfd::MeasureMesh(folder.path(), plan, round, 0.8, flow).mean, 11.6 / 4.5, 1e-12);
}

// The core is the cells whose centres lie up to the fraction of the exit half-height:
// at 0.5 the two lower cells (centres 0.5 and 1.5), at 0.9 all three.
TEST(ExitFigures, JudgeTheCoreUpToItsFraction) {
  testing_support::TempFolder folder;
  testing_support::WriteSolvedMesh(folder.path(), 2, {2.0, 2.4, 2.8}, 3.0);
  const cfd::SolvedFlow flow = cfd::ReadSolvedFlow(folder.path(), 2, 3);
  const cfd::MeshPlan plan{"fine", 2, 3, 100, 400, 50, 20, 0.05};
  const cfd::FlowFacts facts{4.0, 3.0, 2.4, gas::kAir, false};
  EXPECT_NEAR(cfd::MeasureMesh(folder.path(), plan, facts, 0.5, flow).coreSpreadPercent, 100.0 * 0.4 / 2.4, 1e-9);
  EXPECT_NEAR(cfd::MeasureMesh(folder.path(), plan, facts, 0.9, flow).coreSpreadPercent, 100.0 * 0.8 / 2.4, 1e-9);
  // A core below the first centre is that first cell alone.
  const cfd::MeshFigures first = cfd::MeasureMesh(folder.path(), plan, facts, 0.05, flow);
  EXPECT_EQ(first.coreLeast, 2.0);
  EXPECT_EQ(first.coreGreatest, 2.0);
  EXPECT_EQ(first.coreSpreadPercent, 0.0);
}

// A viscous exit: four exit cells of height 1, the top one in the wall's layer at half
// the mass flux. The mean is the core's (centres 0.5, 1.5, 2.5 below 0.8 x 4), weighed by
// area (times the radius for a round exit); delta* is the top cell's missing half,
// for a round exit times its ring's radius over the exit radius, 3.5 / 4.
TEST(ExitFigures, TakeAViscousExitsCoreMeanAndItsDisplacementThickness) {
  testing_support::TempFolder folder;
  testing_support::WriteSolvedMesh(folder.path(), 1, {2.0, 2.2, 2.4, 1.0}, 4.0);
  cfd::SolvedFlow flow = cfd::ReadSolvedFlow(folder.path(), 1, 4);
  flow.Ux = {2.0, 2.0, 2.0, 1.0};
  const cfd::MeshPlan plan{"fine", 1, 4, 100, 400, 50, 20, 0.05};
  cfd::FlowFacts facts{4.0, 4.0, 2.4, gas::kAir, false, cfd::ViscousFlow{}};
  const cfd::MeshFigures planar = cfd::MeasureMesh(folder.path(), plan, facts, 0.8, flow);
  EXPECT_NEAR(planar.mean, 2.2, 1e-12);
  EXPECT_NEAR(planar.exitDeltaStar, 0.5, 1e-12);
  facts.axisymmetric = true;
  const cfd::MeshFigures round = cfd::MeasureMesh(folder.path(), plan, facts, 0.8, flow);
  EXPECT_NEAR(round.mean, (0.5 * 2.0 + 1.5 * 2.2 + 2.5 * 2.4) / 4.5, 1e-12);
  EXPECT_NEAR(round.exitDeltaStar, 0.5 * 3.5 / 4.0, 1e-12);

  // The layer's edge is the greatest mass flux in the upper half of the exit (here the
  // fifth of six cells), not a greater one nearer the axis nor the first of the upper
  // half: delta* is the sixth cell's missing half alone.
  testing_support::WriteSolvedMesh(folder.path(), 1, {2.3, 2.2, 2.1, 2.0, 2.05, 1.0}, 6.0);
  cfd::SolvedFlow six = cfd::ReadSolvedFlow(folder.path(), 1, 6);
  six.Ux = {2.3, 2.2, 2.1, 1.9, 2.0, 1.0};
  const cfd::MeshPlan sixCells{"fine", 1, 6, 100, 400, 50, 20, 0.05};
  facts.axisymmetric = false;
  EXPECT_NEAR(cfd::MeasureMesh(folder.path(), sixCells, facts, 0.8, six).exitDeltaStar, 0.5, 1e-12);
}

// The check stops a run once its exit has settled, and the solver runs on for a few
// iterations before it reads the stop: the mesh is judged as it was when it settled,
// not by the rows it wrote after (here a jump of 0.01 in its last 100 iterations).
TEST(ExitFigures, JudgeAStoppedRunAsItWasWhenItSettled) {
  testing_support::TempFolder folder;
  testing_support::WriteSolvedMesh(folder.path(), 2, {2.0, 2.4, 2.8}, 3.0);
  const std::filesystem::path means = folder.path() / "postProcessing" / "exitMach" / "0";
  const std::filesystem::path profiles = folder.path() / "postProcessing" / "exitProfile" / "0";
  std::filesystem::create_directories(means);
  std::filesystem::create_directories(profiles);
  std::ofstream meanRows(means / "surfaceFieldValue.dat"), profileRows(profiles / "Ma");
  meanRows << "# Time weightedAverage(Ma)\n";
  for (int i = 10; i <= 2100; i += 10) {
    const double jump = i > 2000 ? 0.01 : 0.0;
    meanRows << i << " " << 2.4 + jump << "\n";
    if (i % 20 == 0) profileRows << i << " " << 2.0 + jump << " " << 2.4 + jump << " " << 2.8 << "\n";
  }
  meanRows.close();
  profileRows.close();
  const cfd::SolvedFlow flow = cfd::ReadSolvedFlow(folder.path(), 2, 3);
  const cfd::MeshPlan plan{"fine", 2, 3, 3000, 6000, 1000, 1000, 0.05};
  const cfd::FlowFacts facts{4.0, 3.0, 2.4, gas::kAir, false};
  const cfd::MeshFigures stopped = cfd::MeasureMesh(folder.path(), plan, facts, 0.8, flow, 2000.0);
  EXPECT_TRUE(stopped.steadiness.settled);
  EXPECT_EQ(stopped.steadiness.end, 2000.0);
  EXPECT_NEAR(stopped.mean, 2.4, 1e-12);
  EXPECT_FALSE(cfd::MeasureMesh(folder.path(), plan, facts, 0.8, flow).steadiness.settled);
}

// A case from the plenum settles its mass flow too: a steady exit whose outlet passes
// 0.5 % less than its inlet takes in has not settled. The discharge coefficient is the
// inlet's mass flow over rho* a* A* of the slab's throat, gamma x 1 x 0.1.
TEST(ExitFigures, FromThePlenumSettleTheMassFlowAndGiveTheDischargeCoefficient) {
  testing_support::TempFolder folder;
  testing_support::WriteSolvedMesh(folder.path(), 2, {2.4, 2.4, 2.4}, 3.0);
  const auto write = [&folder](const char* name, const char* rows) {
    const std::filesystem::path dir = folder.path() / "postProcessing" / name / "0";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / (std::string(name) == "exitProfile" ? "Ma" : "surfaceFieldValue.dat")) << rows;
  };
  std::string means, profiles, in, balanced, short_;
  for (int i = 10; i <= 2000; i += 10) {
    const std::string at = std::to_string(i);
    means += at + " 2.4\n";
    if (i % 20 == 0) profiles += at + " 2.4 2.4 2.4\n";
    in += at + " -0.1393\n";
    balanced += at + " 0.1393\n";
    short_ += at + " 0.1386\n";
  }
  write("exitMach", means.c_str());
  write("exitProfile", profiles.c_str());
  write("inletMass", in.c_str());
  write("outletMass", balanced.c_str());
  const cfd::SolvedFlow flow = cfd::ReadSolvedFlow(folder.path(), 2, 3);
  const cfd::MeshPlan plan{"fine", 2, 3, 3000, 6000, 1000, 1000, 0.05};
  const cfd::FlowFacts facts{4.0, 3.0, 2.4, gas::kAir, false};
  const cfd::MeshFigures settled = cfd::MeasureMesh(folder.path(), plan, facts, 0.8, flow);
  EXPECT_TRUE(settled.steadiness.settled);
  EXPECT_NEAR(settled.steadiness.massBalancePercent, 0.0, 1e-9);
  EXPECT_NEAR(settled.dischargeCoefficient, 0.1393 / 0.14, 1e-12);
  write("outletMass", short_.c_str());
  const cfd::MeshFigures leaking = cfd::MeasureMesh(folder.path(), plan, facts, 0.8, flow);
  EXPECT_FALSE(leaking.steadiness.settled);
  EXPECT_NEAR(leaking.steadiness.massBalancePercent, 100.0 * 0.0007 / 0.1386, 1e-9);
  EXPECT_TRUE(std::isnan(cfd::MeasureMesh(folder.path() / "nowhere", plan, facts, 0.8, flow).dischargeCoefficient));
}

// While the solver runs, each look reads only what was appended: a row still being
// written waits for its line end, a file written anew is read from its start, and a
// later start-time folder's rows follow the earlier one's.
TEST(ExitFigures, FollowTheHistoriesAsTheSolverWritesThem) {
  testing_support::TempFolder folder;
  const std::filesystem::path means = folder.path() / "postProcessing" / "exitMach" / "0";
  const std::filesystem::path profiles = folder.path() / "postProcessing" / "exitProfile" / "0";
  std::filesystem::create_directories(means);
  std::filesystem::create_directories(profiles);
  const auto append = [](const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::app) << text;
  };
  append(means / "surfaceFieldValue.dat", "# Time weightedAverage(Ma)\n10 2.39\n20 2.3");
  append(profiles / "Ma", "# Time 0 1\n20\t2.0\t2.4\n");
  cfd::ExitHistoryReader reader(folder.path());
  cfd::ExitHistory h = reader.Read();
  EXPECT_EQ(h.means, std::vector<double>{2.39});
  ASSERT_EQ(h.profiles.size(), 1u);
  EXPECT_EQ(h.profiles[0], (std::vector<double>{2.0, 2.4}));

  append(means / "surfaceFieldValue.dat", "95\n30 2.398\n");
  h = reader.Read();
  EXPECT_EQ(h.meanIterations, (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(h.means, (std::vector<double>{2.39, 2.395, 2.398}));

  std::ofstream(profiles / "Ma") << "20 2.1 2.5\n";  // written anew, shorter
  const std::filesystem::path restart = folder.path() / "postProcessing" / "exitProfile" / "40";
  std::filesystem::create_directories(restart);
  append(restart / "Ma", "40 2.2 2.6\n");
  h = reader.Read(30.0);
  EXPECT_EQ(h.profileIterations, std::vector<double>{20});
  EXPECT_EQ(h.profiles[0], (std::vector<double>{2.1, 2.5}));
  h = reader.Read();
  EXPECT_EQ(h.profileIterations, (std::vector<double>{20, 40}));
  EXPECT_EQ(h.profiles[1], (std::vector<double>{2.2, 2.6}));
  EXPECT_EQ(cfd::ReadExitHistory(folder.path()).means, h.means);
}

TEST(ExitFigures, NameTheFieldThatIsMissingOrShort) {
  testing_support::TempFolder folder;
  testing_support::WriteSolvedMesh(folder.path(), 2, {2.0, 2.4, 2.8}, 3.0);
  std::filesystem::remove(folder.path() / "100" / "Ma");
  try {
    cfd::ReadSolvedFlow(folder.path(), 2, 3);
    FAIL() << "a missing field was read";
  } catch (const cfd::FieldError& e) {
    EXPECT_NE(std::string(e.what()).find("100/Ma\""), std::string::npos) << e.what();
  }
  EXPECT_THROW(cfd::ReadSolvedFlow(folder.path(), 3, 3), cfd::FieldError);  // more cells than the points hold
}

// A slab of 10 x 4 unit cells, an exit half-height of 4 at x = 10: the wall's row of
// cells (j = 3) at p = p0 (1 - x / 20), a pressure that rises by half between the cells
// 5 and 6 of the row j = 2 alone, and Mach 2 + y / 10 across the outlet.
TEST(NetFlow, TheMeshBesideTheCharacteristicsAtTheNetsPoints) {
  cfd::FlowFacts facts;
  facts.length = 10.0;
  facts.exitHalfHeight = 4.0;
  facts.gas = gas::Gas::WithGamma(1.4);
  const double p0 = std::pow(1.2, 3.5);
  cfd::SolvedFlow flow;
  flow.nx = 10;
  flow.ny = 4;
  for (int j = 0; j <= 4; ++j) {
    for (int i = 0; i <= 10; ++i) {
      flow.pointX.push_back(i);
      flow.pointY.push_back(j);
    }
  }
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 10; ++i) {
      const double x = i + 0.5;
      flow.p.push_back(p0 * (j == 3 ? 1.0 - x / 20.0 : j == 2 && i > 5 ? 0.3 : 0.2));
    }
  }
  facts.net.emplace();
  // The first and the last outside the cells' centres.
  facts.net->wallPressure = {{0.0, 0.99}, {2.0, 0.9}, {7.25, 0.6}, {9.9, 0.5}};
  facts.net->exitMach = {{1.0, 2.0}, {2.5, 2.25}};
  facts.net->shock = std::array<double, 2>{5.2, 2.4};
  const cfd::NetComparison c = cfd::CompareNet(flow, facts, {0.5, 1.5, 2.5, 3.5}, {2.05, 2.15, 2.25, 2.35});
  EXPECT_EQ(c.wall.at, (std::vector<double>{2.0, 7.25}));
  EXPECT_DOUBLE_EQ(c.wall.mesh[1], 1.0 - 7.25 / 20.0);
  EXPECT_NEAR(c.wall.largestPercent, 100.0 * (0.6375 - 0.6) / 0.6, 1e-9);
  EXPECT_EQ(c.wall.largestAt, 7.25);
  EXPECT_NEAR(c.exit.largestPercent, 5.0, 1e-9);
  EXPECT_DOUBLE_EQ(c.compression.x, 6.0);
  EXPECT_DOUBLE_EQ(c.compression.y, 2.5);
  EXPECT_DOUBLE_EQ(c.compression.steepness, std::log(1.5));
}

}  // namespace
