#include "gas/isentropic.h"

#include <cmath>

namespace gas {

double AreaRatio(double M, double g) {
  return (1.0 / M) * std::pow((2.0 / (g + 1.0)) * (1.0 + (g - 1.0) / 2.0 * M * M), (g + 1.0) / (2.0 * (g - 1.0)));
}

double TemperatureRatio(double M, double g) { return (1.0 + 0.5 * (g - 1.0)) / (1.0 + 0.5 * (g - 1.0) * M * M); }

double PressureRatioOfTemperature(double TOverTStar, double g) { return std::pow(TOverTStar, g / (g - 1.0)); }

}  // namespace gas
