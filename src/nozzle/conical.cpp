#include "nozzle/conical.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "moc/transonic.h"
#include "nozzle/design.h"

namespace nozzle {

ConeWall::ConeWall(double R, double halfAngleRadians, double exitHeight)
    : R_(R), alpha_(halfAngleRadians), xt_(R * std::sin(halfAngleRadians)),
      yt_(1.0 + R * (1.0 - std::cos(halfAngleRadians))), xe_(xt_ + (exitHeight - yt_) / std::tan(alpha_)),
      ye_(exitHeight) {}

double ConeWall::Y(double x) const {
  if (x <= xt_) return moc::ThroatArc(R_, 0.0, xt_).Y(x);
  return ye_ + (x - xe_) * std::tan(alpha_);
}

double ConeWall::Angle(double x) const { return x <= xt_ ? std::asin(x / R_) : alpha_; }

double ConeWall::XEnd() const { return xe_ + 1e3 * (1.0 + xe_); }

GivenWallFlow DesignConical(const DesignInputs& inputs, moc::Flow flow) {
  const bool round = flow == moc::Flow::kAxisymmetric;
  const gas::Gas gas = gas::Gas::WithGamma(inputs.gamma);
  const double exitHeight = round ? std::sqrt(inputs.areaRatio) : inputs.areaRatio;
  const ConeWall wall(inputs.throatRadius, inputs.halfAngle * gas::Pi_180, exitHeight);
  if (!(exitHeight > wall.TangentY())) {
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.6g", inputs.areaRatio);
    throw RunError(std::string("the exit of area ratio ") + ratio +
                   " lies on the throat's arc, before the cone begins: a larger area ratio or a smaller half-angle");
  }
  return AnalyseGivenWall(gas, flow, inputs.throatRadius, wall, wall.TangentX(), wall.ExitX(),
                          WaveCount(inputs.N));
}

}  // namespace nozzle
