#include "cfd/design_case.h"

#include <cmath>

namespace cfd {
namespace {

// parts - 1 points evenly between a and b, their states interpolated linearly.
void Between(std::vector<FlowSample>& samples, const FlowSample& a, const FlowSample& b, int parts) {
  for (int i = 1; i < parts; ++i) {
    const double s = static_cast<double>(i) / parts;
    samples.push_back(
        {a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.M + s * (b.M - a.M), a.teta + s * (b.teta - a.teta)});
  }
}

FlowSample At(const nozzle::FlowPoint& p) { return {p.x, p.y, p.M, p.Teta}; }

}  // namespace

// The samples: every C+ line from the axis to its wall point, with points between its
// net points and more on its last piece, up to the wall; and the pieces of the fan's
// waves between the C+ lines. The fan's points all sit at the throat corner; its state
// lives along the straight C- rays from the corner to the first C+ line, which are
// sampled finely. Without them the region next to the wall behind the corner would
// start near Mach 1 and the error would leave only slowly, with the speed u - a of the
// near-sonic flow there. A turning line's points are the C+ lines' points. A round
// nozzle's exit characteristic is left to the uniform exit region that the start adds.
DesignCase CaseOf(const nozzle::DesignRecord& design) {
  using Family = nozzle::CharacteristicLine::Family;
  DesignCase c;
  c.inputs = design.inputs;
  c.gas = design.gas;
  c.axisymmetric = design.IsAxisymmetric();
  c.wall = report::WallPoints(design);
  c.inlet = design.inlet;
  c.plan = report::MakeDrawingPlan(design);
  if (design.facts.wallTurnsBackAt != 0) c.wallWarning = nozzle::WallWarning(design.facts.wallTurnsBackAt);
  c.axisEnd = design.facts.axisEnd;
  if (!design.exitProfile.empty() || design.facts.shock) {
    NetFlow& net = c.net.emplace();
    for (const nozzle::FlowPoint& p : design.wall) {
      if (p.x >= 0.0 && std::isfinite(p.M)) net.wallPressure.push_back({p.x, nozzle::PressureRatio(design.gas, p.M)});
    }
    for (const nozzle::ExitPoint& e : design.exitProfile) net.exitMach.push_back({e.y, e.M});
    if (const auto& shock = design.facts.shock) net.shock = std::array<double, 2>{shock->x, shock->y};
  }
  if (design.inlet.kind == nozzle::Inlet::Kind::kRoundedThroat && !design.convergent.empty()) {
    c.throat = design.facts.throat;
  }
  if (const auto& correction = design.correction) {
    const double h = correction->metresPerHalfHeight;
    ViscousFlow& v = c.viscous.emplace();
    v.reStar = correction->ReStar;
    v.sutherlandS = correction->sutherlandSOverTStar;
    v.wallT = correction->wallTemperatureOverTStar;
    v.turbulent = correction->turbulent;
    v.exitDeltaStar = correction->exitDeltaStar / h;
    // A laminar layer resolved: the finest mesh's wall cell a tenth of the displacement
    // thickness at the exit; a turbulent one, whose wall unit is far below anything a mesh on 2
    // cores can resolve, with wall functions: the finest mesh's wall cell centre at
    // y+ = 30 (about 60 and 120 on the medium and coarse meshes).
    v.wallCell = v.turbulent ? 60.0 * correction->exitViscousLength / h : v.exitDeltaStar / 10.0;
    // From the inlet, as the corrected wall: a rounded throat's convergent section first.
    for (const nozzle::FlowPoint& p : design.convergent) c.uncorrectedWall.push_back({p.x, p.y});
    for (const nozzle::FlowPoint& p : design.wall) c.uncorrectedWall.push_back({p.x, p.y});
  }

  std::vector<FlowSample>& samples = c.samples;
  const nozzle::CharacteristicLine* exitCharacteristic = nullptr;
  for (const nozzle::CharacteristicLine& line : design.lines) {
    if (line.family == Family::kCPlus) exitCharacteristic = &line;
  }
  for (const nozzle::CharacteristicLine& line : design.lines) {
    const std::vector<nozzle::FlowPoint>& p = line.points;
    if (line.family == Family::kFanWave) {
      for (std::size_t i = 1; i < p.size(); ++i) Between(samples, At(p[i - 1]), At(p[i]), i == 1 ? 16 : 2);
    } else if (line.family == Family::kCPlus) {
      const bool toWall = !(c.axisymmetric && &line == exitCharacteristic);
      const std::size_t end = toWall ? p.size() : p.size() - 1;
      samples.push_back(At(p[0]));
      for (std::size_t i = 1; i < end; ++i) {
        Between(samples, At(p[i - 1]), At(p[i]), i + 1 == p.size() ? 4 : 2);
        samples.push_back(At(p[i]));
      }
    }
  }
  if (c.throat) {
    // The convergent's one-dimensional subsonic flow across each of its wall points'
    // sections, the angle growing from the axis to the wall's, and the sonic throat.
    for (const nozzle::FlowPoint& p : design.convergent) {
      for (int j = 0; j <= 8; ++j) samples.push_back({p.x, p.y * j / 8.0, p.M, p.Teta * j / 8.0});
    }
    for (int j = 0; j <= 8; ++j) samples.push_back({0.0, j / 8.0, 1.0, 0.0});
  }
  return c;
}

DesignCase UncorrectedCase(const DesignCase& corrected) {
  DesignCase c = corrected;
  c.wall = corrected.uncorrectedWall;
  c.uncorrectedWall.clear();
  return c;
}

}  // namespace cfd
