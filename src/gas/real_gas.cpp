#include "gas/real_gas.h"

#include <array>
#include <cmath>

namespace gas {
namespace {

const std::array<RealGas, 5>& Table() {
  static const std::array<RealGas, 5> table{{
      {"air", 1.4, 287.05, {1.716e-5, 273.0, 111.0}, 0.71},
      {"nitrogen", 1.4, 296.8, {1.663e-5, 273.0, 107.0}, 0.72},
      {"helium", 5.0 / 3.0, 2077.1, {1.870e-5, 273.0, 79.4}, 0.68},
      {"argon", 5.0 / 3.0, 208.13, {2.125e-5, 273.0, 144.0}, 0.67},
      {"co2", 1.289, 188.92, {1.370e-5, 273.0, 222.0}, 0.77},
  }};
  return table;
}

}  // namespace

double Sutherland::Viscosity(double T) const { return muRef * std::pow(T / TRef, 1.5) * (TRef + S) / (T + S); }

std::optional<RealGas> NamedGas(std::string_view name) {
  for (const RealGas& g : Table()) {
    if (g.name == name) return g;
  }
  return std::nullopt;
}

std::vector<std::string> GasNames() {
  std::vector<std::string> names;
  for (const RealGas& g : Table()) names.push_back(g.name);
  return names;
}

}  // namespace gas
