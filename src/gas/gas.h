// The gas, as one object handed to every solver: the characteristics toolkit, the
// nozzles, the boundary layer and the OpenFOAM case.
//
// A perfect gas by its ratio of specific heats gamma, 1 < gamma <= 5/3, with the two
// constants the Prandtl-Meyer functions use, root = sqrt((gamma + 1) / (gamma - 1)) and
// half = (gamma - 1) / 2; the Prandtl-Meyer and isentropic relations are its members
// (gas/prandtl_meyer.h and gas/isentropic.h state them). A gas for a nozzle of a given
// size also carries the constants its boundary layer needs:
//
//   R      specific gas constant, J / (kg K)
//   mu(T)  Sutherland's law: mu = muRef (T / TRef)^(3/2) (TRef + S) / (T + S), Pa s, T in K
//   Pr     Prandtl number, taken constant
//
// gas::NamedGas (gas/real_gas.h) gives the named gases with all of them.
#pragma once

#include <cmath>
#include <string>

namespace gas {

// The three constants of the main window, formed in this order:
// Pi = atan(1) * 4, Pi_180 = Pi / 180 (degrees * Pi_180 = radians), Sqr6 = sqrt(6)
// = sqrt((g + 1) / (g - 1)) for g = 1.4.
inline const double Pi = std::atan(1.0) * 4.0;
inline const double Pi_180 = Pi / 180.0;
inline const double Sqr6 = std::sqrt(6.0);

// nu_max = (sqrt(6) - 1) * 90 degrees, the Prandtl-Meyer angle of an infinite Mach
// number in air.
inline const double NuMax = (Sqr6 - 1.0) * 90.0;

// Whether g lies in the ideal-gas range 1 < g <= 5/3 the functions accept, and
// whether it is air's 1.4.
inline constexpr double kMaxGamma = 5.0 / 3.0;  // a monatomic gas
inline constexpr bool InGasRange(double g) { return g > 1.0 && g <= kMaxGamma; }
inline constexpr bool IsAir(double g) { return g == 1.4; }

struct Sutherland {
  double muRef = 0.0;  // Pa s at TRef
  double TRef = 0.0;   // K
  double S = 0.0;      // K

  double Viscosity(double T) const;  // Pa s, T > 0 in K
};

// Air carries exactly the window's Sqr6 and 0.2; formed from g = 1.4 they would differ
// in the last bit ((1.4 + 1) / (1.4 - 1) is 6.000000000000001 in doubles), and with them
// every digit of air's results.
struct Gas {
  double gamma = 1.4;
  double root = Sqr6;
  double half = 0.2;

  // The constants of a real gas: its name ("air", or empty for a gas given by its
  // constants or by gamma alone), R, mu(T) and Pr; 0 where not known.
  std::string name;
  double R = 0.0;
  Sutherland viscosity;
  double Pr = 0.0;

  // The perfect gas of g: air for g = 1.4 exactly, otherwise the constants formed from
  // g. The one check of the gas's range: outside 1 < g <= 5/3 (kMaxGamma) it throws
  // ArithmeticError "ratio of specific heats outside 1 < gamma <= 5/3".
  static Gas WithGamma(double g);
  bool IsAir() const { return gas::IsAir(gamma); }
  // R, mu(T) and Pr are all known: the gas can carry a boundary layer.
  bool HasConstants() const { return R > 0.0 && viscosity.muRef > 0.0 && Pr > 0.0; }
  // nu of an infinite Mach number, degrees: (root - 1) * 90.
  double NuMax() const { return (root - 1.0) * 90.0; }

  // The Prandtl-Meyer angle of M >= 1, degrees (gas::Nu_f_M), and the Mach number of
  // a Prandtl-Meyer angle in degrees, found exactly (gas::ExactMachFromNu).
  double Nu(double M) const;
  double MachOfNu(double nu, double guess = 0.0) const;

  // The isentropic relations, the sonic state as reference (gas/isentropic.h): A / A*,
  // T / T*, p / p* of T / T*, the supersonic Mach number of an area ratio, and
  // T0 / T = 1 + (gamma - 1) / 2 M^2, the stagnation temperature over the static.
  double AreaRatio(double M) const;
  double TemperatureRatio(double M) const;
  double PressureRatioOfTemperature(double TOverTStar) const;
  double SupersonicMachOfAreaRatio(double areaRatio) const;
  double SubsonicMachOfAreaRatio(double areaRatio) const;
  double StagnationTemperatureRatio(double M) const { return 1.0 + (gamma - 1.0) / 2.0 * M * M; }
};

// Air as the window knows it, g = 1.4: a perfect gas, without the constants of a layer.
inline const Gas kAir{};

}  // namespace gas
