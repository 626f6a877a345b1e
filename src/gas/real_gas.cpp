#include "gas/real_gas.h"

#include <array>
#include <cmath>

namespace gas {
namespace {

Gas Named(const char* name, double gamma, double R, Sutherland viscosity, double Pr) {
  Gas g = Gas::WithGamma(gamma);
  g.name = name;
  g.R = R;
  g.viscosity = viscosity;
  g.Pr = Pr;
  return g;
}

const std::array<Gas, 5>& Table() {
  static const std::array<Gas, 5> table{{
      Named("air", 1.4, 287.05, {1.716e-5, 273.0, 111.0}, 0.71),
      Named("nitrogen", 1.4, 296.8, {1.663e-5, 273.0, 107.0}, 0.72),
      Named("helium", 5.0 / 3.0, 2077.1, {1.870e-5, 273.0, 79.4}, 0.68),
      Named("argon", 5.0 / 3.0, 208.13, {2.125e-5, 273.0, 144.0}, 0.67),
      Named("co2", 1.289, 188.92, {1.370e-5, 273.0, 222.0}, 0.77),
  }};
  return table;
}

}  // namespace

double Sutherland::Viscosity(double T) const { return muRef * std::pow(T / TRef, 1.5) * (TRef + S) / (T + S); }

std::optional<Gas> NamedGas(std::string_view name) {
  for (const Gas& g : Table()) {
    if (g.name == name) return g;
  }
  return std::nullopt;
}

std::vector<std::string> GasNames() {
  std::vector<std::string> names;
  for (const Gas& g : Table()) names.push_back(g.name);
  return names;
}

}  // namespace gas
