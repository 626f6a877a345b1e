// The march of the characteristics toolkit from any initial-value line: planar or
// round, any gas, an arc of any Mach number and flow angle between the axis (or a free
// side) and a straight or curved wall (or a free side). Every outcome is a net whose
// points are all finite, a net that stops where characteristics cross (at a finite
// place), or a MarchError that names the row and the point.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/invariants.h"
#include "moc/march.h"

namespace {

// A wall through the initial line's last point, turning at a constant rate (0: a ray).
class Arc : public moc::WallCurve {
 public:
  Arc(double x0, double y0, double angle, double turnRate) : x0_(x0), y0_(y0), angle_(angle), rate_(turnRate) {}
  double Angle(double x) const override { return std::clamp(angle_ + rate_ * (x - x0_), -1.2, 1.2); }
  double Y(double x) const override {
    // The integral of tan(angle) from x0, in closed form where the angle is not clamped.
    const double a = Angle(x);
    if (rate_ == 0.0) return y0_ + std::tan(angle_) * (x - x0_);
    return y0_ + (std::log(std::cos(angle_)) - std::log(std::cos(a))) / rate_;
  }
  double XBegin() const override { return x0_; }
  double XEnd() const override { return x0_ + 50.0; }

 private:
  double x0_, y0_, angle_, rate_;
};

double Within(double v, double lo, double hi) { return std::isfinite(v) ? lo + std::fmod(std::fabs(v), hi - lo) : lo; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double v[9] = {0.0, 1.4, 2.0, 10.0, 0.17, 1.0, 0.0, 0.0, 1.0};
  std::memcpy(v, data, size < sizeof v ? size : sizeof v);
  const bool round = std::fmod(std::fabs(std::isfinite(v[0]) ? v[0] : 0.0), 2.0) >= 1.0;
  const double gamma = Within(v[1], 1.01, 5.0 / 3.0);
  const double M0 = Within(v[2], 1.001, 20.0);
  const int n = 2 + static_cast<int>(Within(v[3], 0.0, 38.0));
  const double span = Within(v[4], 0.01, 1.0);          // radians, from the axis
  const double swirl = Within(v[5], -1.0, 2.0);          // the flow angle over the polar angle
  const double spread = Within(v[6], -0.3, 0.3);         // the Mach number's change across the line
  const int sides = static_cast<int>(Within(v[7], 0.0, 4.0));  // axis below? wall above?
  const double turn = Within(v[8], -2.0, 2.0);           // the wall's turning rate, radians a length
  const gas::Gas gas = gas::Gas::WithGamma(gamma);
  const moc::UnitProcesses processes(gas, round ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar);
  moc::MarchSetup setup;
  setup.axisBelow = (sides & 1) == 0;
  setup.maxRows = 200;
  try {
    for (int i = 0; i <= n; ++i) {
      const double phi = span * i / n;
      const double M = std::max(1.0005, M0 * (1.0 + spread * i / n));
      moc::Point p;
      p.x = std::cos(phi);
      p.y = i == 0 && setup.axisBelow ? 0.0 : std::sin(phi);
      p.theta = i == 0 && setup.axisBelow ? 0.0 : swirl * phi;
      setup.start.push_back(processes.WithNu(p, gas.Nu(M) * gas::Pi_180, M));
    }
  } catch (const gas::ArithmeticError&) {
    return 0;  // a state outside the gas's range: no line to march from
  }
  const Arc wall(setup.start.back().x, setup.start.back().y, setup.start.back().theta, turn);
  if ((sides & 2) == 0) setup.wall = &wall;
  try {
    const moc::MarchedNet net = moc::March(processes, setup);
    for (const auto& row : net.rows) {
      for (const moc::NetPoint& p : row) {
        fuzzing::Require(std::isfinite(p.state.x) && std::isfinite(p.state.y) && std::isfinite(p.state.theta) &&
                             std::isfinite(p.state.nu) && std::isfinite(p.state.M) && std::isfinite(p.state.mu),
                         "every net point is finite");
        fuzzing::Require(p.state.M >= 1.0, "every net point is supersonic");
      }
    }
    if (net.shock) fuzzing::Require(std::isfinite(net.shock->x) && std::isfinite(net.shock->y), "a shock is placed");
    fuzzing::Require(net.rows.size() <= static_cast<std::size_t>(setup.maxRows) + 1, "the march is bounded");
  } catch (const moc::MarchError& error) {
    fuzzing::Require(std::string(error.what()).find(" at row ") != std::string::npos, "a failure names its point");
  }
  return 0;
}
