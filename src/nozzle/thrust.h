// The thrust of a nozzle from the flow across its exit plane x = x_e, over p0 A* (A*
// the geometric throat: the half-height 1 per unit depth of a planar nozzle, pi for a
// round one of radius 1):
//   Cf = integral over the exit of [gamma (p/p0) M^2 cos^2(theta) + p/p0 - pa/p0] dA / A*,
// the momentum flux rho u^2 = gamma p M^2 cos^2(theta) and the pressure, with
// dA / A* = dy planar and 2 y dy round, by the trapezoidal rule over the profile's
// points. A uniform, parallel exit at Me gives the one-dimensional coefficient of its
// area ratio exactly (gas::IdealThrustCoefficient); the divergence efficiency is the
// nozzle's vacuum coefficient over that one-dimensional one at the same exit area, so
// it holds the throat's discharge coefficient too for a rounded throat.
//
// Separation: where the wall's pressure at the lip falls below 0.4 of the ambient
// (the criterion of Summerfield, Foster and Swan, Jet Propulsion 24, 1954, 319-321),
// the flow would leave the wall inside the nozzle.
#pragma once

#include <vector>

#include "gas/gas.h"
#include "nozzle/design_record.h"

namespace nozzle {

inline constexpr double kSeparationPressureRatio = 0.4;

double ExitThrustCoefficient(const gas::Gas& gas, const std::vector<ExitPoint>& exit, bool round, double ambient);

// Of a record: across its exit profile, or its uniform exit at Me up to the lip's height;
// `ambient` pa / p0, NaN when none is given. None when the exit's flow is not known.
std::optional<ThrustFigures> ThrustOf(const DesignRecord& record, double ambient);

}  // namespace nozzle
