// The physical conditions of a nozzle that is to be built: its gas, its stagnation
// state, its size and its wall, as the boundary layer (boundary_layer/layer.h) needs
// them; read from texts and checked before anything is computed.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "gas/real_gas.h"
#include "nozzle/spelling.h"

namespace boundary_layer {

// How the layer is taken: laminar or turbulent from the throat to the lip, or laminar
// from the throat and turbulent from the first point where its momentum-thickness
// Reynolds number Re_theta reaches kTransitionReTheta (the default).
enum class Regime { kLaminar, kTurbulent, kTransition };

// Re_theta of the Blasius layer at Re_x = 5 x 10^5 (0.664 sqrt(Re_x) = 470), the usual
// flat-plate transition figure. The favourable pressure gradient of a nozzle keeps a
// layer laminar longer (the turbulent side errs towards the thicker layer).
inline constexpr double kTransitionReTheta = 470.0;

struct Conditions {
  gas::Gas gas;
  double p0 = 0.0;                // stagnation pressure, Pa
  double T0 = 0.0;                // stagnation temperature, K
  double throatHalfHeight = 0.0;  // m: the throat half-height, or radius of a round nozzle
  std::optional<double> Tw;       // the wall's temperature, K; empty: adiabatic
  Regime regime = Regime::kTransition;

  // "air, p0 = 13000 Pa, T0 = 300 K, adiabatic wall, laminar", for notes in files.
  std::string Description() const;
};

// A pressure typed with its unit ("0.13bar", "13 kPa": Pa, kPa, MPa, bar, atm or psi), in
// Pa; empty when the text is not one.
std::optional<double> Pressure(std::string_view text);

// The texts as the user typed them; an empty text was not given.
struct ConditionTexts {
  std::string p0;           // "0.13bar", "13 kPa", "75psi": a unit Pa, kPa, MPa, bar, atm or psi
  std::string T0;           // "300" or "300K"
  std::string gas;          // a name of gas::GasNames()
  std::string gasConstant;  // J/(kg K), for a gas given by its constants
  std::string viscosity;    // Sutherland "muRef,TRef,S" (Pa s, K, K)
  std::string prandtl;
  std::string wallTemperature;  // "adiabatic" (the default) or a temperature in K
  std::string regime;           // "laminar", "turbulent" or "transition" (the default)
};

// What the command line's texts ask of the layer, read at once: the gas (named, by its
// constants, or air when none is given and gamma is 1.4; `gamma` empty when the design's
// inputs were refused) and, when any text asks for a layer or `wanted` (the layer's
// file is asked for), the conditions. Every fault a line, naming the options as
// `spelling` spells them.
struct PhysicalReading {
  std::optional<Conditions> conditions;
  std::vector<std::string> faults;
};
PhysicalReading ReadPhysical(const ConditionTexts& texts, bool wanted, std::optional<double> gamma, bool gammaTyped,
                             std::optional<double> throatHalfHeight, const nozzle::Spelling& spelling);

}  // namespace boundary_layer
