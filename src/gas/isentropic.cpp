#include "gas/isentropic.h"

#include <cmath>

#include "gas/gas.h"

namespace gas {

double AreaRatio(double M, double g) {
  return (1.0 / M) * std::pow((2.0 / (g + 1.0)) * (1.0 + (g - 1.0) / 2.0 * M * M), (g + 1.0) / (2.0 * (g - 1.0)));
}

double TemperatureRatio(double M, double g) { return (1.0 + 0.5 * (g - 1.0)) / (1.0 + 0.5 * (g - 1.0) * M * M); }

double PressureRatioOfTemperature(double TOverTStar, double g) { return std::pow(TOverTStar, g / (g - 1.0)); }

double SupersonicMachOfAreaRatio(double areaRatio, double g) {
  if (!(areaRatio > 1.0)) return 1.0;
  double low = 1.0, high = 2.0;
  while (AreaRatio(high, g) < areaRatio) high *= 2.0;
  for (int i = 0; i < 200 && high - low > 1e-15 * high; ++i) {
    const double mid = 0.5 * (low + high);
    (AreaRatio(mid, g) < areaRatio ? low : high) = mid;
  }
  return 0.5 * (low + high);
}

double SubsonicMachOfAreaRatio(double areaRatio, double g) {
  if (!(areaRatio > 1.0)) return 1.0;
  double low = 0.0, high = 1.0;  // A / A* falls from infinity at M = 0 to 1 at M = 1
  for (int i = 0; i < 200 && high - low > 1e-15; ++i) {
    const double mid = 0.5 * (low + high);
    (AreaRatio(mid, g) > areaRatio ? low : high) = mid;
  }
  return 0.5 * (low + high);
}

double IdealThrustCoefficient(double eps, double ambient, double g) {
  const double M = SupersonicMachOfAreaRatio(eps, g);
  const double pe = std::pow(1.0 + 0.5 * (g - 1.0) * M * M, -g / (g - 1.0));
  const double momentum = std::sqrt(2.0 * g * g / (g - 1.0) * std::pow(2.0 / (g + 1.0), (g + 1.0) / (g - 1.0)) *
                                    (1.0 - std::pow(pe, (g - 1.0) / g)));
  return momentum + (pe - ambient) * eps;
}

double Gas::AreaRatio(double M) const { return gas::AreaRatio(M, gamma); }
double Gas::TemperatureRatio(double M) const { return gas::TemperatureRatio(M, gamma); }
double Gas::PressureRatioOfTemperature(double TOverTStar) const {
  return gas::PressureRatioOfTemperature(TOverTStar, gamma);
}
double Gas::SupersonicMachOfAreaRatio(double areaRatio) const {
  return gas::SupersonicMachOfAreaRatio(areaRatio, gamma);
}
double Gas::SubsonicMachOfAreaRatio(double areaRatio) const { return gas::SubsonicMachOfAreaRatio(areaRatio, gamma); }

}  // namespace gas
