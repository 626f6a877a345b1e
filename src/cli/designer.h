// The command-line designer: the same read, check, run and presentation as the
// window's "Calculate", for scripts and machines without a display.
//
//   nozzle-cli [--me TEXT] [--teta0 TEXT] [--n TEXT] [--gamma TEXT] [--dir DIR] [--svg FILE] [--csv FILE]
//              [--dxf FILE] [--scale LENGTH] [--summary]
//
// --scale multiplies the CSV and DXF coordinates (report/contour.h); the list and
// sonuc.txt stay in throat half-heights. --summary prints the accuracy report of report/summary.h in place of the list.
//
// Exit status: 0 success; 1 the run or a write failed (nothing written, the previous
// files unchanged); 2 an input was rejected (nothing written). Results go to `out`,
// notices, warnings and errors to `err`.
#pragma once

#include <ostream>

namespace cli {

int RunDesigner(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace cli
