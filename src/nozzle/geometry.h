// Placing the characteristic net in the plane and deriving the wall from it.
//
// Each piece of a characteristic between two neighbouring net points is straight,
// inclined at the mean of the direction angles at its ends (C-: theta - mu,
// C+: theta + mu); each net point is the intersection of two such pieces, or of a
// C- piece with the axis. The wall is a chain of N straight segments from the throat
// corner (0, 1): segment j is inclined at the mean of the flow angles at the last
// net points (j - 1, N) and (j, N) and ends where C+ line j, leaving (j, N) at
// theta + mu, meets it. The last wall point (N, N + 1) is the exit lip.
// Coordinates are in throat half-heights, x downstream from the throat section,
// y from the axis.
#pragma once

#include "nozzle/net.h"

namespace nozzle {

// Fills x and y of the fan points (0, k), the net points (j, k), 1 <= j <= k <= N,
// and the wall points (j, N + 1), 0 <= j <= N, from Teta and Mu. Throws
// gas::ArithmeticError (a divisor of exactly zero, a coordinate that is not finite
// or lies beyond single precision, in which it is drawn) or
// IndexError; `where` names the point being placed when it throws.
void PlaceNet(Net& net, double N, RunPlace& where);

// The largest x and y of the block j = 0..N, k = 0..N + 1 (filled or not), never
// below 0: the extents of the drawing.
struct Extents {
  double xMax = 0.0;
  double yMax = 0.0;
};
Extents FindExtents(const Net& net, double N);

// 0 when every wall point lies downstream of the one before (x increases) and not
// nearer the axis (y does not decrease); else the first wall point j that does not.
int FirstNonMonotoneWallPoint(const Net& net, double N);

}  // namespace nozzle
