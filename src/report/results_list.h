// The lines of the results list, in order, ready for a list box:
//   for a gas other than air only, "Gamma  = 1.2" (the shortest exact text),
//   "TetaMax  = 18.375", " ",
//   per wave j = 1..N: "K- = 0.746  K+ = -0.746",
//   per C+ line j = 1..N: "" and, for k = j..N + 1,
//   "TETA = 0   Nu = 0.373   M = 1.04   x = 0.331   y = 0"
// (the line k = N + 1 is the wall point; its angles and M read 0).
// 2 + N + sum over j of (N - j + 3) lines: 51 for N = 7 (one more for another gas).
#pragma once

#include <string>
#include <vector>

#include "nozzle/design.h"

namespace report {

// The lines both kinds of nozzle start their lists with: the gas's ratio of specific
// heats for a gas other than air, TetaMax, and a line holding one blank.
std::vector<std::string> ResultsListHead(const gas::Gas& gas, double TetaMax);

std::vector<std::string> ResultsListLines(const nozzle::DesignResult& result);

// The same lines as one text, each ended by a line feed, for a terminal or a file.
std::string ResultsListText(const nozzle::DesignResult& result);

}  // namespace report
