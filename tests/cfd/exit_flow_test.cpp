#include "cfd/exit_flow.h"

#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
