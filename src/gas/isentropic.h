// Isentropic relations of a perfect gas with the ratio of specific heats g, the
// sonic state (M = 1, subscript *) as reference:
//
//   A / A*  = (1 / M) ((2 / (g + 1)) (1 + (g - 1) / 2 M^2))^((g + 1) / (2 (g - 1)))
//   T / T*  = (1 + (g - 1) / 2) / (1 + (g - 1) / 2 M^2)
//   p / p*  = (T / T*)^(g / (g - 1))
//
// The inverse of A / A* is the mass flow per area rho V over that of the sonic
// throat, rho* a*. Valid for M >= 1 (A / A*) and M >= 0 (T, p), 1 < g <= 5/3.
// Each is formed in the order written above; no check is made.
#pragma once

namespace gas {

double AreaRatio(double M, double g);
double TemperatureRatio(double M, double g);
double PressureRatioOfTemperature(double TOverTStar, double g);

// The supersonic Mach number of an area ratio A / A* >= 1, by bisection to the last
// bits (1 for A / A* <= 1).
double SupersonicMachOfAreaRatio(double areaRatio, double g);
// The subsonic Mach number of an area ratio A / A* >= 1 (1 at 1), by bisection.
double SubsonicMachOfAreaRatio(double areaRatio, double g);

// The one-dimensional ideal thrust coefficient F / (p0 A*) of a nozzle of area ratio
// eps = Ae / A* >= 1 with a uniform, parallel exit at the supersonic Mach number of eps
// (pressure pe), at the ambient pressure pa (both over p0; 0: vacuum):
//   Cf = sqrt(2 g^2 / (g - 1) (2 / (g + 1))^((g + 1) / (g - 1)) (1 - (pe/p0)^((g - 1) / g)))
//        + (pe/p0 - pa/p0) eps.
double IdealThrustCoefficient(double eps, double ambient, double g);

}  // namespace gas
