// The design run of a minimum-length nozzle marched by the characteristics toolkit,
// round (axisymmetric) or planar: a sharp throat corner at height 1, a uniform sonic
// throat, and a wall that turns the flow back to uniform and parallel at the exit Mach
// number Me. Lengths in throat radii (half-heights), x downstream from the throat
// section, y from the axis; angles in degrees.
//
// The round nozzle is the one the command line and Python design. The planar march is
// the same construction in planar flow, with the planar net's fan (N waves, none below
// Teta0, TetaMax = nu(Me) / 2): its flow states are the specified net's (the Riemann
// invariants carried exactly) and its wall converges to the net's as the waves grow,
// the two differing only in how a step averages its slopes; the window's net
// (nozzle/design.h) stays the planar design's own.
//
// The net is marched with the unit processes of the characteristics toolkit
// (moc/unit_processes.h), planar or axisymmetric. In round flow there are no Riemann
// invariants: each unit process solves the compatibility relations by a predictor and
// correctors until the new point's position and state stop changing (to about 1e-10),
// the Mach number of nu found exactly (gas::ExactMachFromNu).
//
// The fan: N waves from the corner, theta = nu = Teta0 + (k - 1) dTeta, k = 1..N,
// dTeta = (TetaMax - Teta0) / (N - 1), and before them, in round flow, the expansion
// from the sonic line to Teta0 resolved by WavesBelowTeta0(N) waves of their own
// (crowded towards Mach 1, see Fan in the source). Lumped into the first wave, that
// expansion would reach the axis as one piece; the axis focuses it, and the net near the throat,
// TetaMax and the wall beside the corner would all carry the error (TetaMax 0.14
// degrees too large for Me 2.4, a wave in the exit flow). The kernel: C+ line j leaves
// the axis point (j, j) of wave j and crosses wave k at (j, k), k = j..W, for all
// W waves of the fan. In round flow TetaMax is not nu(Me) / 2 as in planar flow: a
// secant iteration finds it so that the last axis point (W, W) has nu(Me) (to about
// 1e-10 radians). The C+ lines of the waves below Teta0 reach the wall between the corner and C+ line 1.
//
// The turning region: beyond the kernel's last C- line the flow must be turned to the
// uniform exit flow, which begins on the exit characteristic: the straight C+ line
// from (W, W) at mu(Me), along which theta = 0 and M = Me. With the state known on
// both characteristics bounding it, the region between them follows (a Goursat
// problem): turning C- line i = 1, 2, ... leaves the exit characteristic at
// y = i / N sqrt(A/A*) (planar: i / N A/A*) and runs upstream across the C+ lines, each point found by the
// interior process from its neighbour downstream on the same C- line and the one
// upstream on its C+ line.
//
// The wall is the streamline from the corner (0, 1), with a point on every C+ line but
// the exit characteristic: where the chord from the wall point before, inclined at the
// mean of the flow angles at both ends, crosses the C+ line (the state interpolated
// along it); the exit lip where the chord meets the exit characteristic. The flow angle
// along it is not largest at the corner: beside the corner the flow keeps expanding
// and turning outwards (theta + nu grows along every wave towards the axis), and the
// wall follows it to its largest angle before it turns back. The mass flow checks the
// tracing: between the axis and the wall it must equal the throat's on every C+ line,
// and on the exit characteristic it does exactly when the exit radius squared (planar:
// the exit half-height) equals A/A*.
//
// Failure contract: an input outside the range (nozzle/inputs.h), N not whole, a
// TetaMax that is not above Teta0 or not below 90 degrees, a unit process or an
// iteration that does not converge, or an arithmetic fault throws RunError naming what
// failed and where; no partial result is returned. A wall that turns back on itself is
// not an error: the result carries the same warning as the planar design.
#pragma once

#include <string>
#include <vector>

#include "moc/point.h"
#include "nozzle/design.h"

namespace nozzle {

// The name of wave k = 1, 2, ... of a fan with `below` waves below Teta0: k - below for
// the waves from Teta0 on (1..N), and for those below Teta0 the fraction k / (below + 1),
// as they lie between the sonic line (0) and wave 1.
inline double WaveIndex(int k, int below) { return k > below ? k - below : static_cast<double>(k) / (below + 1); }

struct MarchedDesign {
  DesignInputs inputs;
  gas::Gas gas;
  moc::Flow flow = moc::Flow::kAxisymmetric;
  int N = 0;        // the waves from Teta0 to TetaMax
  int below = 0;    // the waves between the sonic line and Teta0 (none when Teta0 = 0, and none in planar flow)
  int W = 0;        // below + N, the whole fan
  double TetaMax = 0.0;  // the last wave's angle at the corner

  // Wave k = 1..W's name (see nozzle::WaveIndex).
  double WaveIndex(int k) const { return nozzle::WaveIndex(k, below); }

  // The kernel: Kernel(j, k), 0 <= j <= k <= W; j = 0 is the fan at the corner.
  std::vector<FlowPoint> kernel;
  const FlowPoint& Kernel(int j, int k) const { return kernel[static_cast<std::size_t>(j * (W + 1) + k)]; }

  // C+ line j = 1..W (index WaveIndex(j)), the last the exit characteristic: `points`
  // from the axis across waves j..W, `beyond` the points on the turning lines 1, 2, ...
  // between there and the wall (none on the exit characteristic); wall point j ends line j.
  struct CPlusLine {
    double index = 0.0;
    std::vector<FlowPoint> points;
    std::vector<FlowPoint> beyond;
  };
  std::vector<CPlusLine> cPlusLines;

  // Turning C- line i = 1, 2, ... (turning[i - 1]), as far as it was computed:
  // points[n] on C+ line cPlusLines[size - 1 - n], points[0] on the exit characteristic.
  // Its points above the wall are the ones that no line's `beyond` holds.
  std::vector<std::vector<FlowPoint>> turning;

  // From the corner (wall[0]) to the exit lip (wall.back()), with the flow's state:
  // the corner and one point per C+ line.
  std::vector<FlowPoint> wall;

  double areaRatio = 0.0;           // A/A* of Me
  // The largest |mass flow between the axis and the wall / the throat's - 1| over the
  // C+ lines, percent.
  double massBalancePercent = 0.0;
  int wallTurnsBackAt = 0;          // first wall point that is not monotone, 0 when none
  std::string wallWarning;
};

// The waves between the sonic line and Teta0: N / 3, at least 4.
inline int WavesBelowTeta0(int N) { return N / 3 > 4 ? N / 3 : 4; }

MarchedDesign MarchMinimumLength(const DesignInputs& inputs, moc::Flow flow, moc::Tolerances tolerances = {});
inline MarchedDesign DesignAxisymmetric(const DesignInputs& inputs) {
  return MarchMinimumLength(inputs, moc::Flow::kAxisymmetric);
}

}  // namespace nozzle
