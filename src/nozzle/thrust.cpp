#include "nozzle/thrust.h"

#include <cmath>

#include "gas/isentropic.h"
#include "nozzle/given_wall.h"

namespace nozzle {

double ExitThrustCoefficient(const gas::Gas& gas, const std::vector<ExitPoint>& exit, bool round, double ambient) {
  const auto flux = [&](const ExitPoint& e) {
    const double c = std::cos(e.Teta * gas::Pi_180);
    const double f = gas.gamma * e.pressure * e.M * e.M * c * c + e.pressure - ambient;
    return round ? 2.0 * e.y * f : f;
  };
  double thrust = 0.0;
  for (std::size_t i = 1; i < exit.size(); ++i) {
    thrust += 0.5 * (flux(exit[i - 1]) + flux(exit[i])) * (exit[i].y - exit[i - 1].y);
  }
  return thrust;
}

std::optional<ThrustFigures> ThrustOf(const DesignRecord& record, double ambient) {
  if (record.facts.shock || record.wall.empty()) return std::nullopt;
  const bool round = record.IsAxisymmetric();
  std::vector<ExitPoint> exit = record.exitProfile;
  if (exit.empty()) {  // uniform and parallel at Me
    const double Me = record.inputs.Me, pe = PressureRatio(record.gas, Me);
    exit = {{0.0, Me, 0.0, pe}, {record.facts.exitHeight, Me, 0.0, pe}};
  }
  const double lip = exit.back().y;
  const double eps = round ? lip * lip : lip;
  ThrustFigures t;
  t.coefficient = ExitThrustCoefficient(record.gas, exit, round, 0.0);
  t.ideal = gas::IdealThrustCoefficient(eps, 0.0, record.gas.gamma);
  t.divergenceEfficiency = t.coefficient / t.ideal;
  t.lipPressure = exit.back().pressure;
  if (!std::isnan(ambient)) {
    t.ambient = ambient;
    t.coefficientAmbient = ExitThrustCoefficient(record.gas, exit, round, ambient);
    t.idealAmbient = gas::IdealThrustCoefficient(eps, ambient, record.gas.gamma);
    t.separates = t.lipPressure < kSeparationPressureRatio * ambient;
  }
  return t;
}

}  // namespace nozzle
