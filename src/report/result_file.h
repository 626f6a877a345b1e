// The result file "sonuc.txt": the inputs (the ratio of specific heats only for a
// gas other than air, " Özgül ısılar oranı =  1.2 ", its shortest exact text), TetaMax, one row per net point
// (i j k Teta Nu M Mu K- K+ x y) and one row per wall point (i x y), every number
// a field of report/number_text.h rounded to 3 decimals (the counters to 0).
// UTF-8 without byte-order mark, every line ended by CR LF.
// 9 + N(N + 1)/2 + 5 + N lines: 49 for N = 7 (one more for another gas).
#pragma once

#include <string>

#include "nozzle/design.h"

namespace report {

inline constexpr const char* kResultFileName = "sonuc.txt";

// The lines both kinds of nozzle start their result files with, CR LF ended: the
// inputs, the gas for a gas other than air, TetaMax, and the net's heading with the
// blank lines around it, up to the heading of the net's columns.
std::string ResultFileHead(const nozzle::DesignInputs& inputs, const gas::Gas& gas, double TetaMax);

std::string ResultFileText(const nozzle::DesignResult& result);

}  // namespace report
