// The named gases, with the constants a nozzle of a given size needs besides the ratio
// of specific heats (gas/gas.h), at about 300 K:
//   gas       gamma    R        muRef (Pa s)  TRef (K)  S (K)   Pr
//   air       1.4      287.05   1.716e-5      273       111     0.71
//   nitrogen  1.4      296.8    1.663e-5      273       107     0.72
//   helium    5/3      2077.1   1.870e-5      273       79.4    0.68
//   argon     5/3      208.13   2.125e-5      273       144     0.67
//   co2       1.289    188.92   1.370e-5      273       222     0.77
// Sources: Sutherland constants of air, nitrogen, argon and CO2 from F. M. White,
// Viscous Fluid Flow, 3rd ed. (McGraw-Hill 2006), Table 1-2; helium's muRef is the
// CRC Handbook's 18.7 uPa s at 0 C, S = 79.4 K reproducing its 19.9 uPa s at 300 K
// within 1 %. R from the molar masses (R = 8.31446 / M). gamma of CO2 and the Prandtl
// numbers at 300 K from F. P. Incropera et al., Fundamentals of Heat and Mass
// Transfer, Table A.4 (a monatomic gas: Pr = 2/3 by kinetic theory, 0.67).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gas/gas.h"

namespace gas {

// The gas of that name (lower case, as listed above), or empty.
std::optional<Gas> NamedGas(std::string_view name);

// The names, in the table's order.
std::vector<std::string> GasNames();

}  // namespace gas
