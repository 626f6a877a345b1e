// The turning region of a nozzle with a uniform, parallel exit, and the wall that
// closes it: what follows the last expansion C- line, whatever made it (a centred fan
// at a sharp corner, or the net marched along a rounded throat).
//
// The region lies between the last C- line, from its axis point E (where nu = nu(Me))
// up to the wall point `from`, and the exit characteristic: the straight C+ line from E
// at mu(Me), along which theta = 0 and M = Me. With the state known on both, the region
// follows (a Goursat problem): turning C- line i = 1, 2, ... leaves the exit
// characteristic at y = i / N times the exit height and runs upstream across the C+
// lines that leave the last C- line's points, each point found by the interior process
// from its neighbour downstream on the same C- line and the one upstream on its C+ line.
//
// The wall is the streamline from `from`, with a point on every C+ line that leaves the
// last C- line below `from`, taken from the top down (UnitProcesses::Streamline), and
// the exit lip where the chord from the last of them, ending at theta = 0, meets the
// exit characteristic. The mass flow across each C+ line up to the wall, over the mass
// flow between the axis and `from`, checks the tracing.
//
// With `axis` points (an axis Mach number distribution past E, as in an ideal nozzle),
// the axis from E to the last of them, C, is given too: turning lines i = 1 .. K end on
// the axis at axis[i - 1], and the exit characteristic is the C+ line from C; the
// region between the last C- line, that axis and the exit characteristic follows as
// well (Goursat and Cauchy problems at once), and the wall crosses the C+ lines that
// leave the axis points before it reaches the exit characteristic.
//
// Failure contract: a unit process that does not converge, an arithmetic fault, or a
// point where characteristics of one family cross (not downstream of its C+ parent, or
// not upstream of its C- neighbour) throws what the process throws (ProcessError,
// gas::ArithmeticError), after calling the `at` hook that names the step being computed.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "moc/point.h"
#include "moc/unit_processes.h"

namespace nozzle {

struct TurningRegionInputs {
  // The last C- line from its axis point E (last[0]) upwards, without `from`.
  std::vector<moc::Point> last;
  moc::Point from;             // where the designed wall begins
  // massTo[n]: the mass flow between the axis and last[n] (massTo[0] = 0 is unused).
  std::vector<double> massTo;
  double massOfWall = 1.0;     // the mass flow between the axis and `from`
  double Me = 0.0, nuE = 0.0;  // the exit Mach number and its Prandtl-Meyer angle (radians)
  double exitHeight = 0.0;     // where the turning lines past the axis begin: i / N of it
  int N = 0;
  // The axis past E: its points (y = 0, theta = 0) in order downstream, the last one at
  // Me; empty when E is already at Me.
  std::vector<moc::Point> axis;
  // Called before each step with (turning line i, point n of it) for an interior
  // point, (0, c) for the wall point on the c-th C+ line crossed (c = 1, 2, ...), and
  // (-1, 0) for the exit lip.
  std::function<void(int, int)> at;
};

struct TurningRegion {
  // From `from` to the exit lip: `from`, one point per C+ line crossed (on the line
  // from last[last.size() - c]), the lip.
  std::vector<moc::Point> wall;
  // For the c-th C+ line crossed (c = 1, 2, ...; inside[c - 1]): how many turning
  // points it holds below the wall, lines[0..inside)[n].
  std::vector<int> inside;
  // Turning line i = 1, 2, ... (lines[i - 1]) as far as it was computed, from the axis
  // or the exit characteristic upwards: its point m on the C+ line from last[m - s]
  // (m >= s) or from axis[s - m - 1] (m < s), where s = min(i, K) (see PlusLineOf).
  std::vector<std::vector<moc::Point>> lines;
  int K = 0;  // the axis points past E
  // The largest |mass flow across a C+ line up to the wall / massOfWall - 1|.
  double massMiss = 0.0;
};

// Which C+ line point m of turning line i (0: the last C- line) lies on: c >= 0 the one
// from last[c], c < 0 the one from axis[-c - 1].
inline int PlusLineOf(int i, int m, int K) { return m - std::min(i, K); }
// The point of turning line i on the C+ line c.
inline int PointOn(int i, int c, int K) { return c + std::min(i, K); }

TurningRegion CloseTurningRegion(const moc::UnitProcesses& net, const TurningRegionInputs& in);

}  // namespace nozzle
