#include "nozzle/convergent.h"

#include <cmath>

#include "gas/gas.h"

namespace nozzle {

double ArcTangentHeight(double upstreamRadius, double convergentAngleDegrees) {
  return 1.0 + upstreamRadius * (1.0 - std::cos(convergentAngleDegrees * gas::Pi_180));
}

std::vector<FlowPoint> ConvergentWall(double upstreamRadius, double contraction, double convergentAngleDegrees,
                                      bool round, double gamma) {
  const gas::Gas gas = gas::Gas::WithGamma(gamma);
  const double beta = convergentAngleDegrees * gas::Pi_180;
  const auto point = [&](double x, double y, double angle) {
    FlowPoint p;
    p.x = x;
    p.y = y;
    p.Teta = -angle / gas::Pi_180;
    p.M = gas.SubsonicMachOfAreaRatio(round ? y * y : y);
    p.Nu = 0.0;
    p.Mu = 90.0;
    return p;
  };
  const double xt = -upstreamRadius * std::sin(beta), yt = ArcTangentHeight(upstreamRadius, convergentAngleDegrees);
  const double yi = round ? std::sqrt(contraction) : contraction;
  std::vector<FlowPoint> wall;
  // The arc alone where it reaches the inlet height before the convergent angle.
  const double arc = yi > yt ? beta : std::acos(1.0 - (yi - 1.0) / upstreamRadius);
  if (yi > yt) {
    const double xi = xt - (yi - yt) / std::tan(beta);
    for (int k = 0; k < kUpstreamArcPoints; ++k) {  // the straight wall, its points as many as the arc's
      const double t = static_cast<double>(k) / kUpstreamArcPoints;
      wall.push_back(point(xi + t * (xt - xi), yi + t * (yt - yi), beta));
    }
  }
  for (int k = kUpstreamArcPoints; k >= 1; --k) {
    const double a = arc * k / kUpstreamArcPoints;
    wall.push_back(point(-upstreamRadius * std::sin(a), 1.0 + upstreamRadius * (1.0 - std::cos(a)), a));
  }
  return wall;
}

}  // namespace nozzle
