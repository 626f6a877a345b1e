// The solved flow read back from the case, and the figures of its exit plane.
//
// The case has one block of nx x ny cells, numbered i along the axis fastest, then
// j across; its points (nx + 1) x (ny + 1) per face of the slab, i fastest, the
// face z = 0 first. Fields are read from the latest time folder (reconstructed).
//
// Exit figures, from the cells next to the outlet (i = nx - 1), whose values the
// zero-gradient outlet takes: the mean Mach number weighted by the mass flow
// through each outlet face, rho u_x dy, with rho = gamma p / T in the case's units;
// the least and greatest; the largest Mach number of the cells on the axis (j = 0).
// Steadiness, from postProcessing/exitMach: the mean at the end against the mean one
// flow-through time before it.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "cfd/openfoam_case.h"
#include "nozzle/design.h"

namespace cfd {

class FieldError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SolvedFlow {
  double time = 0.0;
  std::vector<double> pointX, pointY;  // the face z = 0, (nx + 1)(ny + 1)
  std::vector<double> Ma, p, T, Ux;    // per cell
};

// Throws FieldError naming the file when a field is missing, short or not finite
// (a diverged run).
SolvedFlow ReadSolvedFlow(const std::filesystem::path& folder, const CaseFacts& facts);

struct ExitFigures {
  double mean = 0.0, least = 0.0, greatest = 0.0;
  double deviationPercent = 0.0;  // (mean - Me) / Me
  double spreadPercent = 0.0;     // (greatest - least) / Me
  double axisGreatest = 0.0;
  double overshootPercent = 0.0;  // (axisGreatest - Me) / Me
  bool steadinessKnown = false;
  double lastChangePercent = 0.0;  // |mean(end) - mean(end - flow-through)| / mean(end)
  bool steady = false;             // lastChangePercent < 0.1
  std::vector<double> profileY, profileMa;  // across the exit, from the axis up
};

ExitFigures MeasureExit(const std::filesystem::path& folder, const CaseFacts& facts, const SolvedFlow& flow);

// "y,Ma" and one line per exit cell, from the axis up.
std::string ExitProfileCsv(const ExitFigures& figures);

// The block of labelled values, one per line, ending with the verdict line.
std::string CheckReport(const ExitFigures& figures, const CaseFacts& facts);

}  // namespace cfd
