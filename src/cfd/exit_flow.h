// A mesh's solved flow read back from its folder, and the figures of its exit plane.
//
// A mesh is one block of nx x ny cells, numbered i along the axis fastest, then j
// across; its points (nx + 1) x (ny + 1) per face of the slab, i fastest, the face
// z = 0 first. Fields are read from the latest time folder (reconstructed).
//
// Exit figures, from the cells next to the outlet (i = nx - 1), whose values the
// zero-gradient outlet takes: the mean Mach number (of a viscous case, whose wall layer
// would pull it down, the core's, weighted by area, times the radius for a round
// nozzle) weighted by the mass flow through
// each outlet face, rho u_x dy (times the radius y for a round nozzle), with
// rho = gamma p / T in the case's units; the least
// and greatest; the spread (greatest - least) / Me over the whole exit and over its
// core, the cells with y <= coreFraction of the exit half-height (the thin layer next
// to the wall that a shock-capturing scheme leaves behind a sharp corner shrinks
// with the mesh; the core shows the wall's own error); the largest Mach number of the
// cells on the axis (j = 0).
//
// A case from the plenum also settles its mass flow (kSettledMassDriftPercent,
// kSettledMassBalancePercent).
//
// Settled: the run has passed `minIterations` (enough for a change at the throat to
// reach the exit) and, over the last `window` iterations of the exit histories (the
// mean every 10 iterations, every exit cell every 20), the average of the window's
// second half differs from that of its first half by at most 0.02 % of Me for the
// mean, 0.05 % of Me for every exit cell of the core on the finest mesh (twice that on
// the medium, four times on the coarse one: the settling error has to stay small
// beside the differences between the meshes, which grow with the cell size, and a
// coarse mesh's core flickers more) and 0.2 % of Me for every other exit cell (next
// to the wall the halves differ by more for the flicker alone). A settled exit is steady on average but
// not still: the cells next to the wall flicker by about 0.5 % of Me for good, so
// the figures of a settled mesh are its averages over the window.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cfd/case_plan.h"
#include "cfd/net_flow.h"

namespace cfd {

struct SolvedFlow {
  double time = 0.0;
  int nx = 0, ny = 0;
  std::vector<double> pointX, pointY;  // the face z = 0, (nx + 1)(ny + 1)
  std::vector<double> Ma, p, T, Ux;    // per cell
};

// Throws FieldError naming the file when a field is missing, short or not finite
// (a diverged run).
SolvedFlow ReadSolvedFlow(const std::filesystem::path& meshFolder, int nx, int ny);

// The exit histories of a mesh's run, rows as the solver wrote them; a row that is
// still being written is left out, so they can be read while the solver runs. Rows
// past `until` are left out too: a run that the check stopped once it had settled
// there ran on for a few iterations before it read the stop, and is judged as it was
// when it settled.
struct ExitHistory {
  std::vector<double> meanIterations, means;
  std::vector<double> profileIterations;
  std::vector<std::vector<double>> profiles;  // one Mach number per exit cell
  // A case from the plenum: the mass flows in through the inlet and out through the
  // outlet (positive, in the mesh's units), at the same iterations.
  std::vector<double> massIterations, massIn, massOut;
};
ExitHistory ReadExitHistory(const std::filesystem::path& meshFolder,
                            double until = std::numeric_limits<double>::infinity());

// Follows a mesh's exit histories while its solver writes them: each Read parses only
// the rows written since the Read before, so that a look costs what is new, not the
// whole run so far (a cost that grows with the run, taken from the solver's ranks at
// every look). A file that shrank was written anew and is read again from its start.
class ExitHistoryReader {
 public:
  explicit ExitHistoryReader(std::filesystem::path meshFolder);
  ExitHistory Read(double until = std::numeric_limits<double>::infinity());

 private:
  // One function object's file in one start-time folder, read up to `offset`.
  struct File {
    double start = 0.0;
    std::filesystem::path path;
    std::uintmax_t offset = 0;
    std::vector<std::vector<double>> rows;
  };
  // Takes in the start-time folders that appeared and the rows appended to each file.
  static void Follow(const std::filesystem::path& functionFolder, const std::string& name, std::vector<File>& files);

  std::filesystem::path folder_;
  std::vector<File> means_, profiles_, massIn_, massOut_;  // in the order of their start times
};

struct Steadiness {
  bool known = false;              // the histories span a window
  bool settled = false;
  double end = 0.0;                // the last iteration of both histories
  double meanDriftPercent = 0.0;   // |late - early| / Me of the mean's halves of the window
  double coreDriftPercent = 0.0;   // the largest of every exit cell's in the core
  double cellDriftPercent = 0.0;   // the largest of every exit cell's
  // From the plenum: |late - early| of the inlet's mass flow over its mean, and the
  // window's |inlet - outlet| over the outlet's, percent (NaN without mass histories).
  double massDriftPercent = NAN;
  double massBalancePercent = NAN;
};
// `coreFraction`: the exit cells whose centres lie up to this fraction of the exit
// half-height from the axis are the core's.
// `coreDriftLimitPercent`: the limit for the core's cells, which grows with the cell
// size (MeshPlan::coreDriftPercent).
// `until`: judged as the exit stood at that iteration, the rows after it left out.
Steadiness JudgeSteadiness(const ExitHistory& history, int window, int minIterations, double Me,
                           double coreFraction, double coreDriftLimitPercent = kSettledCoreDriftPercent,
                           double until = std::numeric_limits<double>::infinity());

struct MeshFigures {
  int nx = 0, ny = 0;
  double mean = 0.0, least = 0.0, greatest = 0.0;
  double deviationPercent = 0.0;   // (mean - Me) / Me
  double spreadPercent = 0.0;      // (greatest - least) / Me
  double coreLeast = 0.0, coreGreatest = 0.0;
  double coreSpreadPercent = 0.0;  // over the core
  double axisGreatest = 0.0;
  Steadiness steadiness;
  int iterations = 0;
  double seconds = 0.0;            // the solver's execution time on this mesh
  std::vector<double> profileY, profileMa;  // across the exit, from the axis up
  std::vector<double> meanIterations, means;
  // A viscous case: the displacement thickness of the layer at the exit, from the final
  // fields' mass flux rho u across the outlet cells against its largest value in the
  // exit's upper half (the layer's edge): the sum of (1 - rho u / (rho u)_edge) dy over
  // the cells above the edge, each dy times y / (exit radius) for a round nozzle (the
  // ring of the same displaced area). In the mesh's unit, as the profile's y.
  double exitDeltaStar = 0.0;
  // From the plenum: the inlet's mass flow over the window, over rho* a* A* of the
  // geometric throat (its discharge coefficient); NaN otherwise.
  // The choked throat shields the inlet from the supersonic part's last transients: its
  // flow settles first and flickers least (Me 2.4, R 2, 380 x 80: 0.003 % against the
  // outlet's 0.02 %), and a settled mesh's two agree within kSettledMassBalancePercent.
  double dischargeCoefficient = NAN;
  // A nozzle whose exit is not uniform by design: the mesh beside the characteristics.
  std::optional<NetComparison> net;
};

// The mesh's length of a throat half-height (radius), the case's scale: its exit height
// over the design's.
double MeshUnit(const SolvedFlow& flow, const FlowFacts& facts);

// `settledAt`: the iteration at which the check found the run settled and stopped it
// (its histories are read up to there); 0 when it ran to its end.
MeshFigures MeasureMesh(const std::filesystem::path& meshFolder, const MeshPlan& plan, const FlowFacts& flow,
                        double coreFraction, const SolvedFlow& solved, double settledAt = 0.0);

// "y,Ma" and one line per exit cell, from the axis up.
std::string ExitProfileCsv(const MeshFigures& figures);

}  // namespace cfd
