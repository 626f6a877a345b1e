// The conical nozzle and the direct problem under it: any throat radius (inside the
// series' range or not), half-angle, area ratio, gas and number of pieces, planar or
// round. Every outcome is a refusal (nozzle::RunError, moc::ThroatError) or a flow
// whose wall ends exactly at the exit height of the area ratio, whose known flow and
// exit profile are finite, and which either reaches the exit (a profile from the axis
// to the lip) or names where its characteristics crossed.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/invariants.h"
#include "moc/transonic.h"
#include "nozzle/conical.h"
#include "nozzle/design_record.h"
#include "report/given_wall_outputs.h"
#include "report/summary.h"

namespace {

double Within(double v, double lo, double hi) { return std::isfinite(v) ? lo + std::fmod(std::fabs(v), hi - lo) : lo; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double v[6] = {0.0, 1.4, 3.0, 15.0, 10.0, 10.0};
  std::memcpy(v, data, size < sizeof v ? size : sizeof v);
  const bool round = std::fmod(std::fabs(std::isfinite(v[0]) ? v[0] : 0.0), 2.0) >= 1.0;
  nozzle::DesignInputs inputs;
  inputs.gamma = Within(v[1], 1.01, 5.0 / 3.0);
  inputs.throatRadius = Within(v[2], 0.5, 30.0);
  inputs.halfAngle = Within(v[3], 1.0, 45.0);
  inputs.areaRatio = Within(v[4], 1.01, 60.0);
  inputs.N = 2 + static_cast<int>(Within(v[5], 0.0, 19.0));
  try {
    const nozzle::GivenWallFlow f =
        nozzle::DesignConical(inputs, round ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar);
    const double exitHeight = round ? std::sqrt(inputs.areaRatio) : inputs.areaRatio;
    fuzzing::Require(f.wall.back().y == exitHeight && f.wall.back().x == f.exitX, "the wall ends at the exit");
    for (std::size_t i = 0; i < f.wall.size(); ++i) {
      const nozzle::FlowPoint& p = f.wall[i];
      fuzzing::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.Teta), "the wall is finite");
      if (static_cast<int>(i) < f.wallFlowKnown) fuzzing::Require(std::isfinite(p.M), "the known flow is finite");
    }
    fuzzing::Require(f.shock.has_value() == f.exit.empty(), "the exit is reached, or the crossing named");
    if (!f.exit.empty()) {
      fuzzing::Require(f.exit.front().y == 0.0 && f.exit.back().y == exitHeight, "the profile spans the exit");
      for (const nozzle::ExitPoint& e : f.exit) {
        fuzzing::Require(std::isfinite(e.M) && e.M > 1.0 && std::isfinite(e.pressure), "the profile is finite");
      }
      fuzzing::Require(std::isfinite(f.meanExitMach) && std::isfinite(f.massBalancePercent), "the facts are finite");
    }
    const nozzle::DesignRecord record = nozzle::RecordOf(f, "conical", inputs);
    fuzzing::Require(!fuzzing::HasNonFiniteText(report::SummaryText(record)), "the summary is finite");
    fuzzing::Require(!fuzzing::HasNonFiniteText(report::GivenWallListText(f)), "the list is finite");
  } catch (const nozzle::RunError&) {
  } catch (const moc::ThroatError&) {
  }
  return 0;
}
