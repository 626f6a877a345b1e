// The transonic throat and the minimum-length and ideal nozzles on it: any radius
// (inside the series' range or not), gas, exit Mach number, number of waves, start line
// and inflection angle, planar or round. Every outcome is a refusal (moc::ThroatError,
// nozzle::RunError) or a design whose wall, lines, facts and texts are all finite,
// whose wall starts at the throat section and whose exit lip is parallel at Me; an
// ideal nozzle's wall turns to the inflection angle asked for.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/invariants.h"
#include "moc/transonic.h"
#include "nozzle/rounded_throat.h"
#include "report/throat_outputs.h"

namespace {

double Within(double v, double lo, double hi) { return std::isfinite(v) ? lo + std::fmod(std::fabs(v), hi - lo) : lo; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double v[8] = {0.0, 1.4, 2.0, 2.4, 10.0, 1.05, 0.0, 0.0};
  std::memcpy(v, data, size < sizeof v ? size : sizeof v);
  const bool round = std::fmod(std::fabs(std::isfinite(v[0]) ? v[0] : 0.0), 2.0) >= 1.0;
  const moc::Flow flow = round ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar;
  const double gamma = Within(v[1], 1.01, 5.0 / 3.0);
  const double R = Within(v[2], 0.5, 120.0);
  const double Me = Within(v[3], 1.001, 12.0);
  const int N = 2 + static_cast<int>(Within(v[4], 0.0, 19.0));
  const double axisMach = Within(v[5], 0.95, 1.6);
  const gas::Gas gas = gas::Gas::WithGamma(gamma);
  try {
    const moc::TransonicThroat throat(gas, flow, R);
    fuzzing::Require(std::isfinite(throat.DischargeCoefficient()) && throat.DischargeCoefficient() > 0.9 &&
                         throat.DischargeCoefficient() <= 1.0 + 1e-9,
                     "Cd is finite and a little below 1");
    fuzzing::Require(throat.SonicWallX() < throat.SonicAxisX(), "the sonic line bends upstream to the wall");
    for (const moc::Point& p : throat.StartLine(N + 1, axisMach)) {
      fuzzing::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.theta) && p.M > 1.0,
                       "the start line is finite and supersonic");
    }
  } catch (const moc::ThroatError&) {
  }
  nozzle::DesignInputs inputs{Me, 0.0, static_cast<double>(N), gamma};
  inputs.throatRadius = R;
  inputs.ideal = std::fmod(std::fabs(std::isfinite(v[6]) ? v[6] : 0.0), 2.0) >= 1.0;
  inputs.inflectionAngle = std::isfinite(v[7]) && v[7] != 0.0 ? Within(v[7], 0.5, 45.0) : 0.0;
  try {
    const nozzle::RoundedThroatDesign d = nozzle::DesignRoundedThroat(inputs, flow);
    fuzzing::Require(d.wall.front().x == 0.0 && d.wall.front().y == 1.0, "the wall starts at the throat section");
    fuzzing::Require(std::fabs(d.wall.back().M - Me) < 1e-9 && d.wall.back().Teta == 0.0, "the lip is parallel at Me");
    if (inputs.ideal && inputs.inflectionAngle > 0.0) {
      fuzzing::Require(std::fabs(d.tetaMax - inputs.inflectionAngle) < 1e-3, "the wall turns to the angle asked for");
    }
    for (const nozzle::FlowPoint& p : d.wall) {
      fuzzing::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.Teta) && std::isfinite(p.M),
                       "the wall is finite");
    }
    const nozzle::DesignRecord record = nozzle::RecordOf(d);
    fuzzing::Require(std::isfinite(record.facts.massBalancePercent) && std::isfinite(record.facts.throat.netMass),
                     "the facts are finite");
    fuzzing::Require(!fuzzing::HasNonFiniteText(report::SummaryText(record)), "the summary is finite");
    fuzzing::Require(!fuzzing::HasNonFiniteText(report::RoundedThroatListText(d)), "the list is finite");
    for (const nozzle::CharacteristicLine& line : record.lines) {
      for (const nozzle::FlowPoint& p : line.points) {
        fuzzing::Require(std::isfinite(p.x) && std::isfinite(p.y), "the lines are finite");
      }
    }
  } catch (const nozzle::RunError&) {
  }
  return 0;
}
