// The start of the coarsest mesh: the design's own flow at every cell centre.
//
// The design's state is known at scattered points (cfd/design_case.h), to which the
// uniform sonic throat section and the uniform exit region are added. A cell takes the inverse-square-distance mean of the Mach
// number and flow angle of its six nearest points; p and T follow isentropically
// (T* = 1, p* = 1, as the fixed sonic inflow), u = M sqrt(T).
//
// The cells are the block's: nx along the axis, growing by kGradingAlong from the
// throat to the exit, ny across between the axis and the wall (a polyLine through
// `wall`), numbered i along fastest.
#pragma once

#include <vector>

#include "cfd/design_case.h"

namespace cfd {

// Cells along the axis grow by this ratio from the throat to the exit: the corner's
// centred expansion gets the finest cells.
inline constexpr double kGradingAlong = 2.0;

// What the start needs of the case, lengths in throat half-heights.
struct FlowFacts {
  double length = 0.0;          // the exit plane's x
  double exitHalfHeight = 0.0;  // the wall's last y
  double designMach = 0.0;
  double gamma = 1.4;
  bool axisymmetric = false;  // y is a radius

  // What the exit's y is called in reports and pictures.
  const char* ExitSizeName() const { return axisymmetric ? "exit radius" : "exit half-height"; }
};

// The temperature of the isentropic flow at Mach number M in a gas of ratio of
// specific heats g, with T* = 1 (T0 / T* = (g + 1) / 2).
double IsentropicT(double M, double g);

struct StartField {
  std::vector<double> p, T, ux, uy;  // one value a cell
};

StartField FromDesign(const DesignCase& design, const FlowFacts& facts, int nx, int ny);

}  // namespace cfd
