// A wall given as a file: any text through the reader, and walls built from the bytes
// (a throat circle of any radius, then rising or falling pieces of any length) through
// the reader and the direct problem, planar or round, any gas. Every outcome is a fault
// naming the text's flaw, a refusal (nozzle::RunError, moc::ThroatError), or a flow
// whose wall begins at the throat, ends at the file's last point, is finite where its
// flow is known, and which either reaches the exit (a finite profile from the axis to
// the lip) or names where its characteristics crossed.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/invariants.h"
#include "moc/transonic.h"
#include "nozzle/design_record.h"
#include "nozzle/given_wall.h"
#include "report/given_wall_outputs.h"
#include "report/summary.h"

namespace {

double Within(double v, double lo, double hi) { return std::isfinite(v) ? lo + std::fmod(std::fabs(v), hi - lo) : lo; }

std::string Text(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const nozzle::Spelling spelling = nozzle::LongOptionSpelling();
  std::string text;
  bool round = false;
  double gamma = 1.4;
  int N = 10;
  if (data[0] % 2 == 0) {
    text.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  } else {
    // The header: flow, gas, pieces, throat radius; then pairs of (length, angle).
    double v[4] = {0.0, 1.4, 10.0, 2.0};
    const std::size_t head = std::min(sizeof v, size - 1);
    std::memcpy(v, data + 1, head);
    round = std::fmod(std::fabs(std::isfinite(v[0]) ? v[0] : 0.0), 2.0) >= 1.0;
    gamma = Within(v[1], 1.01, 5.0 / 3.0);
    N = 2 + static_cast<int>(Within(v[2], 0.0, 19.0));
    const double R = Within(v[3], 0.5, 30.0);
    double x = 0.0, y = 1.0;
    text = "x,y\n0,1\n";
    for (int k = 1; k <= 8; ++k) {  // the throat's circle
      const double xk = R * std::sin(0.03 * k);
      text += Text(xk) + "," + Text(1.0 + R * (1.0 - std::cos(0.03 * k))) + "\n";
      x = xk;
      y = 1.0 + R * (1.0 - std::cos(0.03 * k));
    }
    for (std::size_t at = 1 + head; at + 2 * sizeof(double) <= size; at += 2 * sizeof(double)) {
      double piece[2];
      std::memcpy(piece, data + at, sizeof piece);
      x += Within(piece[0], 1e-3, 2.0);
      y += std::tan(Within(piece[1], -10.0, 40.0) * gas::Pi_180) * Within(piece[0], 1e-3, 2.0);
      text += Text(x) + "," + Text(y) + "\n";
    }
  }
  const nozzle::WallContour contour = nozzle::ReadWallContour(text, 1.0, spelling);
  if (!contour.fault.empty()) {
    fuzzing::Require(contour.points.empty() && std::isnan(contour.radius), "a text refused gives no wall");
    return 0;
  }
  fuzzing::Require(contour.points.size() >= nozzle::kMinWallPoints && contour.points.front()[0] == 0.0 &&
                       contour.points.front()[1] == 1.0,
                   "a wall read begins at the throat");
  const moc::Flow flow = round ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar;
  if (!(contour.radius >= moc::TransonicThroat::MinRadius(flow, moc::ThroatSeries::kKliegelLevine) &&
        contour.radius <= moc::TransonicThroat::kMaxRadius)) {
    return 0;  // refused with the inputs
  }
  nozzle::DesignInputs inputs{0.0, 0.0, static_cast<double>(N), gamma};
  inputs.throatRadius = contour.radius;
  inputs.givenWall = contour.points;
  try {
    const nozzle::GivenWallFlow f = nozzle::DesignGivenWall(inputs, flow);
    fuzzing::Require(f.wall.front().x == 0.0 && f.wall.back().x == contour.points.back()[0], "the wall spans the file");
    for (std::size_t i = 0; i < f.wall.size(); ++i) {
      const nozzle::FlowPoint& p = f.wall[i];
      fuzzing::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.Teta), "the wall is finite");
      if (static_cast<int>(i) < f.wallFlowKnown) fuzzing::Require(std::isfinite(p.M), "the known flow is finite");
    }
    fuzzing::Require(f.shock.has_value() == f.exit.empty(), "the exit is reached, or the crossing named");
    for (const nozzle::ExitPoint& e : f.exit) {
      fuzzing::Require(std::isfinite(e.M) && e.M > 1.0 && std::isfinite(e.pressure), "the profile is finite");
    }
    const nozzle::DesignRecord record = nozzle::RecordOf(f, "given-wall", inputs);
    fuzzing::Require(!fuzzing::HasNonFiniteText(report::SummaryText(record)), "the summary is finite");
    fuzzing::Require(!fuzzing::HasNonFiniteText(report::GivenWallListText(f)), "the list is finite");
  } catch (const nozzle::RunError&) {
  } catch (const moc::ThroatError&) {
  }
  return 0;
}
