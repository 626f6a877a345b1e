// The wall contour for CAD and mesh tools: "x,y", then one line per wall point from
// the throat corner (0, 1) to the exit lip, in throat half-heights, each number in
// the shortest text that reads back to the same double. LF line ends.
#pragma once

#include <string>

#include "nozzle/design.h"

namespace report {

std::string WallContourCsv(const nozzle::DesignResult& result);

}  // namespace report
