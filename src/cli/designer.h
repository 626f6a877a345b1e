// The command-line designer: the same read, check, run and presentation as the
// window's "Calculate", for scripts and machines without a display.
//
//   nozzle-cli [--family NAME] [--me TEXT] [--teta0 TEXT] [--n TEXT] [--gamma TEXT] [--axisymmetric]
//              [--dir DIR] [--svg FILE] [--csv FILE] [--dxf FILE] [--scale LENGTH]
//              [--gas NAME | --gas-constant R --viscosity MU,T,S --prandtl PR]
//              [--p0 PRESSURE --t0 K [--wall-temperature K] [--layer REGIME] [--boundary-layer-csv FILE]]
//              [--openfoam DIR [--verify] [--cfd-cells N] [--cfd-jobs N] [--cfd-core FRACTION]
//              [--cfd-timeout SECONDS]] [--summary] [--version] [--help]
//
// It translates its options into a request of the design pipeline (pipeline/pipeline.h)
// and prints what comes back; docs/nozzle-cli.1 says what each option does. --scale
// multiplies the CSV and DXF coordinates (report/contour.h); the list and sonuc.txt stay
// in throat half-heights. --summary prints the accuracy report of report/summary.h in
// place of the list.
//
// Exit status: 0 success; 1 the run or a write failed (nothing written, the previous
// files unchanged); 2 an input was rejected (nothing written). Results go to `out`,
// notices, warnings and errors to `err`.
#pragma once

#include <ostream>

namespace cli {

int RunDesigner(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace cli
