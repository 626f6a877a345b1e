#include "boundary_layer/conditions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace boundary_layer {
namespace {

// A finite number greater than 0 at the start of `text`, and what follows it without
// one blank.
std::optional<std::pair<double, std::string_view>> PositiveNumber(std::string_view text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || !std::isfinite(value) || !(value > 0.0)) return std::nullopt;
  std::string_view rest(ptr, static_cast<std::size_t>(end - ptr));
  if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return std::pair{value, rest};
}

}  // namespace

std::optional<double> Pressure(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, double>, 6> kUnits{
      {{"Pa", 1.0}, {"kPa", 1e3}, {"MPa", 1e6}, {"bar", 1e5}, {"atm", 101325.0}, {"psi", 6894.757293168}}};
  const auto number = PositiveNumber(text);
  if (!number) return std::nullopt;
  for (const auto& [unit, pascals] : kUnits) {
    if (number->second == unit) return number->first * pascals;
  }
  return std::nullopt;
}

namespace {

std::optional<double> Temperature(std::string_view text) {
  const auto number = PositiveNumber(text);
  if (!number || !(number->second.empty() || number->second == "K")) return std::nullopt;
  return number->first;
}

std::optional<double> Plain(std::string_view text) {
  const auto number = PositiveNumber(text);
  if (!number || !number->second.empty()) return std::nullopt;
  return number->first;
}

// The value when it lies in [low, high]: the ranges below keep every quantity of the
// layer well inside the range of doubles, and hold every real gas and tunnel.
std::optional<double> Within(std::optional<double> value, double low, double high) {
  return value && *value >= low && *value <= high ? value : std::nullopt;
}

constexpr double kLeastPressure = 1e-3, kMostPressure = 1e10;  // Pa
constexpr double kLeastTemperature = 1.0, kMostTemperature = 1e5;  // K

std::optional<gas::Sutherland> SutherlandLaw(std::string_view text) {
  std::array<double, 3> values{};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t comma = i < 2 ? text.find(',') : text.size();
    if (comma == std::string_view::npos) return std::nullopt;
    const auto value = Plain(text.substr(0, comma));
    if (!value) return std::nullopt;
    values[i] = *value;
    text.remove_prefix(std::min(text.size(), comma + 1));
  }
  if (!Within(values[0], 1e-8, 1e-2) || !Within(values[1], kLeastTemperature, kMostTemperature) ||
      !Within(values[2], 1e-3, 1e4)) {
    return std::nullopt;
  }
  return gas::Sutherland{values[0], values[1], values[2]};
}

using nozzle::Option;

std::string Fault(const nozzle::Spelling& spell, Option option, std::string_view text, std::string_view accepted) {
  return spell.name(option) + " = \"" + std::string(text) + "\": " + std::string(accepted);
}

std::string Number(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return {buffer, end};
}

}  // namespace

std::string Conditions::Description() const {
  std::string text = (gas.name.empty() ? "gas R = " + Number(gas.R) + " J/(kg K)" : gas.name) + ", p0 = " + Number(p0) +
                     " Pa, T0 = " + Number(T0) + " K, ";
  text += Tw ? "wall at " + Number(*Tw) + " K, " : "adiabatic wall, ";
  text += regime == Regime::kLaminar     ? "laminar"
          : regime == Regime::kTurbulent ? "turbulent"
                                         : "laminar, turbulent from Re_theta = " + Number(kTransitionReTheta);
  return text;
}

namespace {

// Whether any of the texts asks for a boundary layer (all but the gas's name).
bool AsksForLayer(const ConditionTexts& t) {
  return !(t.p0.empty() && t.T0.empty() && t.gasConstant.empty() && t.viscosity.empty() && t.prandtl.empty() &&
           t.wallTemperature.empty() && t.regime.empty());
}

// The gas of the texts: the named one, or one made of gamma and the three constants;
// a named gas whose gamma differs from a typed one is refused. Each fault a line naming
// the option, the text and what is accepted.
struct GasReading {
  std::optional<gas::Gas> gas;  // empty when no gas was asked for, or on a fault
  std::vector<std::string> faults;
};

GasReading ReadGas(const ConditionTexts& t, double gamma, bool gammaTyped, const nozzle::Spelling& spell) {
  GasReading reading;
  const bool byConstants = !(t.gasConstant.empty() && t.viscosity.empty() && t.prandtl.empty());
  if (!t.gas.empty()) {
    std::string names;
    for (const std::string& name : gas::GasNames()) names += (names.empty() ? "" : ", ") + name;
    reading.gas = gas::NamedGas(t.gas);
    if (!reading.gas) {
      reading.faults.push_back(Fault(spell, Option::kGas, t.gas, "unknown gas; accepted: " + names + "."));
    } else if (gammaTyped && gamma != reading.gas->gamma) {
      reading.faults.push_back(spell.name(Option::kGamma) + " = " + Number(gamma) + " contradicts " +
                               spell.given(Option::kGas, t.gas) + " (gamma = " + Number(reading.gas->gamma) +
                               "); give one of them.");
    }
    if (byConstants) {
      reading.faults.push_back(spell.given(Option::kGas, t.gas) + " names a gas whose constants are known; " +
                               spell.name(Option::kGasConstant) + ", " + spell.name(Option::kViscosity) + " and " +
                               spell.name(Option::kPrandtl) + " are for a gas given by its constants.");
    }
  } else if (byConstants) {
    gas::Gas g = gas::InGasRange(gamma) ? gas::Gas::WithGamma(gamma) : gas::Gas{};
    const auto R = Within(Plain(t.gasConstant), 1.0, 1e5);
    const auto law = SutherlandLaw(t.viscosity);
    const auto Pr = Within(Plain(t.prandtl), 0.01, 100.0);
    if (!R) {
      reading.faults.push_back(
          Fault(spell, Option::kGasConstant, t.gasConstant, "accepted: a number from 1 to 100000, J/(kg K)."));
    }
    if (!law) {
      reading.faults.push_back(Fault(spell, Option::kViscosity, t.viscosity,
                                     "accepted: Sutherland's constants muRef,TRef,S: muRef from 1e-8 to 0.01 Pa s, "
                                     "TRef from 1 to 100000 K, S from 0.001 to 10000 K, for example 1.716e-5,273,111."));
    }
    if (!Pr) reading.faults.push_back(Fault(spell, Option::kPrandtl, t.prandtl, "accepted: a number from 0.01 to 100."));
    if (R && law && Pr) {
      g.R = *R;
      g.viscosity = *law;
      g.Pr = *Pr;
      reading.gas = g;
    }
  }
  if (!reading.faults.empty()) reading.gas.reset();
  return reading;
}

// The conditions, given the gas and the throat half-height in metres (empty when the
// scale has no unit). Each fault a line, as above.
std::variant<Conditions, std::vector<std::string>> ReadConditions(const ConditionTexts& t, const gas::Gas& g,
                                                                  std::optional<double> throatHalfHeight,
                                                                  const nozzle::Spelling& spell) {
  std::vector<std::string> faults;
  Conditions c;
  c.gas = g;
  const auto p0 = Within(Pressure(t.p0), kLeastPressure, kMostPressure);
  const auto T0 = Within(Temperature(t.T0), kLeastTemperature, kMostTemperature);
  if (!p0) {
    faults.push_back(Fault(spell, Option::kP0, t.p0,
                           t.p0.empty()
                               ? "the stagnation pressure is needed for the boundary layer; accepted: a pressure "
                                 "from 0.001 Pa to 10 GPa with a unit Pa, kPa, MPa, bar, atm or psi (0.13bar)."
                               : "accepted: a pressure from 0.001 Pa to 10 GPa with a unit Pa, kPa, MPa, bar, atm or "
                                 "psi (0.13bar, 13 kPa)."));
  }
  if (!T0) {
    faults.push_back(Fault(spell, Option::kT0, t.T0,
                           t.T0.empty() ? "the stagnation temperature is needed for the boundary layer; accepted: a "
                                          "temperature from 1 to 100000 K (300)."
                                        : "accepted: a temperature from 1 to 100000 K (300, 300K)."));
  }
  if (!t.wallTemperature.empty() && t.wallTemperature != "adiabatic") {
    c.Tw = Within(Temperature(t.wallTemperature), kLeastTemperature, kMostTemperature);
    if (!c.Tw) {
      faults.push_back(Fault(spell, Option::kWallTemperature, t.wallTemperature,
                             "accepted: adiabatic, or a temperature from 1 to 100000 K."));
    }
  }
  if (t.regime == "laminar") {
    c.regime = Regime::kLaminar;
  } else if (t.regime == "turbulent") {
    c.regime = Regime::kTurbulent;
  } else if (!t.regime.empty() && t.regime != "transition") {
    faults.push_back(Fault(spell, Option::kLayer, t.regime, "accepted: laminar, turbulent or transition."));
  }
  if (!throatHalfHeight) {
    faults.push_back(spell.name(Option::kScale) +
                     ": the boundary layer needs the physical throat half-height (radius) with a unit, for example " +
                     spell.given(Option::kScale, "10mm") + ".");
  }
  if (!faults.empty()) return faults;
  c.p0 = *p0;
  c.T0 = *T0;
  c.throatHalfHeight = *throatHalfHeight;
  return c;
}

}  // namespace

PhysicalReading ReadPhysical(const ConditionTexts& texts, bool wanted, std::optional<double> gamma, bool gammaTyped,
                             std::optional<double> throatHalfHeight, const nozzle::Spelling& spell) {
  const GasReading gasReading = ReadGas(texts, gamma.value_or(0.0), gammaTyped && gamma.has_value(), spell);
  PhysicalReading reading;
  reading.faults = gasReading.faults;
  if (!wanted && !AsksForLayer(texts)) return reading;
  std::optional<gas::Gas> layerGas = gasReading.gas;
  if (!layerGas && texts.gas.empty() && gasReading.faults.empty()) {
    if (!gamma || *gamma == 1.4) {
      layerGas = gas::NamedGas("air");
    } else {
      reading.faults.push_back("the boundary layer needs the gas: " + spell.given(Option::kGas, "NAME") + ", or " +
                               spell.name(Option::kGasConstant) + ", " + spell.name(Option::kViscosity) + " and " +
                               spell.name(Option::kPrandtl) + " beside " + spell.name(Option::kGamma) + ".");
    }
  }
  auto read = ReadConditions(texts, layerGas.value_or(gas::Gas{}), throatHalfHeight, spell);
  if (auto* faults = std::get_if<std::vector<std::string>>(&read)) {
    reading.faults.insert(reading.faults.end(), faults->begin(), faults->end());
  } else if (layerGas && reading.faults.empty()) {
    reading.conditions = std::get<Conditions>(std::move(read));
  }
  return reading;
}

}  // namespace boundary_layer
