// A march of the characteristic net downstream from an initial-value line.
//
// The initial-value line is a list of points with their flow states, ordered away from
// the axis, nowhere tangent to a characteristic (a line that both families cross, such
// as an arc of constant Mach number in a source flow, or a transonic start line). Each
// row of the net is found from the row before:
//
//   between two neighbours, the interior point of the C- line from the upper one and
//   the C+ line from the lower one;
//   below, when the row's lowest point is not on the axis and the axis bounds the
//   flow, the axis point of the C- line from it;
//   above, when the row's highest point is not on the wall and a wall bounds the
//   flow, the wall point of the C+ line from it.
//
// Rows so alternate between the interior points alone and the interior points with the
// boundary points; a side without a boundary loses a point a row (the net fills the
// domain of dependence of the line). The march stops when a row is empty, when a
// row's wall point lies past `xEnd`, or after `maxRows` rows.
//
// Characteristics of one family that cross are a shock forming: the compatibility
// relations no longer hold there. A new interior point that does not lie downstream of
// both points it was found from, along their characteristics, shows it; the march then
// stops, records where (`shock`) and returns the rows found so far.
//
// Failure contract: a unit process that does not converge, or an arithmetic fault in
// one, throws MarchError naming the row and point ("the interior unit process did not
// converge at row 12, point 3 (x = 1.2345, y = 0.5432)").
#pragma once

#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "moc/point.h"
#include "moc/unit_processes.h"

namespace moc {

// A point of the net, with the places of the points it was found from: the point whose
// C- line and the point whose C+ line reach it, each as (row, index) in the net, or
// -1 when none (a point of the initial-value line; an axis point has no C+ parent, a
// wall point no C- parent).
struct NetPoint {
  Point state;
  int minusRow = -1, minusIndex = -1;
  int plusRow = -1, plusIndex = -1;
  bool onAxis = false, onWall = false;
};

struct MarchSetup {
  std::vector<Point> start;          // the initial-value line, from the axis outwards
  bool axisBelow = true;             // the axis (or a plane of symmetry) bounds the flow below
  const WallCurve* wall = nullptr;   // the wall above; none: the flow is free there
  double xEnd = std::numeric_limits<double>::infinity();
  // The wall ends at xEnd: when a row's wall point would lie past it, the wall point
  // at xEnd (UnitProcesses::OnWallAt, between the last wall point and the highest
  // point of the row before) joins that row before, above its highest point, and the
  // flow above is free from there on: the rows' highest points trace the C- line from
  // the wall's end, and the march goes on until that line has reached the axis.
  // Otherwise the march stops at the first wall point past xEnd.
  bool wallEndsAtXEnd = false;
  int maxRows = 100000;
};

// Where characteristics of one family crossed.
struct Shock {
  int row = 0, index = 0;
  double x = 0.0, y = 0.0;
};

struct MarchedNet {
  std::vector<std::vector<NetPoint>> rows;  // rows[0] the initial-value line
  int wallEndRow = -1;  // with MarchSetup::wallEndsAtXEnd, the row whose last point is the wall's end (no parents)
  std::optional<Shock> shock;

  // The C+ line that leaves rows[row][index]: its points, row by row, until the wall or
  // the net's end.
  std::vector<Point> CPlusLine(int row, int index) const;
  // Every characteristic of one family (C- lines when `minus`, else C+ lines) as a
  // chain of places (row, index): a point continues the chain of its parent along that
  // family, or begins a new one. Chains in the order of their first points.
  std::vector<std::vector<std::pair<int, int>>> Chains(bool minus) const;
  const Point& At(const std::pair<int, int>& place) const {
    return rows[static_cast<std::size_t>(place.first)][static_cast<std::size_t>(place.second)].state;
  }
};

class MarchError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

MarchedNet March(const UnitProcesses& processes, const MarchSetup& setup);

}  // namespace moc
