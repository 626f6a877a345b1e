// What every part of the OpenFOAM check shares, below all of them: the errors, the
// flow a case is set up for, the ladder of meshes with their iteration budgets, and
// the limits by which a mesh's exit counts as settled (cfd/exit_flow.h applies them,
// cfd/openfoam_case.h sizes the ladder, cfd/solver_run.h stops a settled run).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gas/prandtl_meyer.h"

namespace cfd {

// A case that cannot be written, or a step of it that cannot be run.
class CaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A solved field or an output of the check that cannot be read or written.
class FieldError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The viscous flow of a design corrected for its boundary layer, in the case's units
// (T* = 1, a* = 1, rho* = gamma; lengths as the mesh's, the throat half-height times
// the case's scale, metres), and lengths in throat half-heights.
struct ViscousFlow {
  double reStar = 0.0;         // rho* a* h / mu* at the throat
  double muStar = 0.0;         // the viscosity at T*: gamma scale / Re* (set as the case is written)
  double sutherlandS = 0.0;    // Sutherland's S / T*
  double wallT = 0.0;          // the wall's T / T*; 0: adiabatic
  bool turbulent = false;      // RANS, k-omega SST with wall functions; else laminar
  double exitDeltaStar = 0.0;  // the layer estimate's displacement thickness at the exit
  double wallCell = 0.0;       // the finest mesh's cell next to the wall at the exit
  // The ratio of the cell next to the wall to the cell on the axis, every mesh alike:
  // the finest mesh's wall cell at the exit is wallCell (cfd/openfoam_case.h).
  double acrossGrading = 1.0;
};

// A rounded throat's case begins in the plenum: its inlet is the convergent section's
// face, where the gas enters from rest at the stagnation state (a total-pressure and
// total-temperature inlet), and the mass flow through the throat is the solution's own.
// The cells along the axis fall in two sections, the convergent's (its cells shrinking
// towards the throat, the last as long as the divergent's first) and the divergent's
// (growing by GradingAlong); the section boundary lies at x = 0 on the axis and at the
// throat point on the wall.
struct Plenum {
  double throatRadius = 0.0;          // the wall's radius of curvature downstream of the throat
  double throatFraction = 0.0;        // the wall's arc length from the inlet to the throat, of its whole
  double convergentExpansion = 1.0;   // the convergent's last cell along over its first
  double dischargeCoefficient = 1.0;  // the transonic series' (nozzle::ThroatFigures)
};

// The flow that the characteristics found through a wall whose exit is not uniform by
// design (a cone, a given wall): the CFD is compared with it, not with a uniform exit.
// Lengths in throat half-heights (radii).
struct NetFlow {
  std::vector<std::array<double, 2>> wallPressure;  // (x, p/p0) along the wall from x = 0, where the net knows it
  std::vector<std::array<double, 2>> exitMach;      // (y, M) across the exit from the axis; empty: the net stopped first
  std::optional<std::array<double, 2>> shock;       // (x, y) where the net's characteristics of one family crossed
};

// What the case is set up for, lengths in throat half-heights (radii).
struct FlowFacts {
  double length = 0.0;          // the exit plane's x
  double exitHalfHeight = 0.0;  // the wall's last y
  double designMach = 0.0;
  gas::Gas gas;
  bool axisymmetric = false;  // y is a radius
  std::optional<ViscousFlow> viscous = std::nullopt;  // empty: inviscid, slip walls
  // The inflow section (nozzle::Inlet): at x = inletX from the axis to inletHeight.
  double inletX = 0.0;
  double inletHeight = 1.0;
  std::optional<Plenum> plenum = std::nullopt;  // empty: the uniform sonic inflow of a sharp throat
  std::optional<NetFlow> net = std::nullopt;     // empty: the exit is uniform by design

  // What the exit's y is called in reports and pictures.
  const char* ExitSizeName() const { return axisymmetric ? "exit radius" : "exit half-height"; }
};

// One mesh of the ladder and how long its solution may run.
struct MeshPlan {
  std::string name;  // its folder: "coarse", "medium", "fine"
  int nx = 0, ny = 0;
  int maxIterations = 0;  // what its controlDict runs to: ./Allrun alone runs that long
  // How far the check lets a mesh that has not settled by maxIterations run on (it
  // stops a mesh as soon as its exit has settled, cfd/solver_run.h).
  int capIterations = 0;
  int minIterations = 0;  // before which the exit cannot have felt the whole mesh
  int window = 0;         // the iterations over which a settled exit stays put on average
  double coreDriftPercent = 0.0;  // the settling limit of its core's cells
  int convergentCells = 0;        // of nx, upstream of the throat (FlowFacts::plenum)
};

// Cells along the axis grow geometrically from the throat to the exit by this ratio,
// and cells across with the height (ny at every x): a ratio of the exit's height
// keeps the cells' shape from the throat to the exit, so the corner's centred
// expansion gets cells as fine along as across; at least 2.
inline constexpr double kLeastGradingAlong = 2.0;
inline double GradingAlong(const FlowFacts& flow) { return std::max(kLeastGradingAlong, flow.exitHalfHeight); }

// The length along over the height across of the cells at the throat of a mesh of
// nx x ny cells graded by GradingAlong: L ny ln G / ((G - 1) nx). Alike on every mesh
// of a ladder; a long nozzle's cells are long (Me 4, 320 x 80: 3.2).
inline double CellAspect(const FlowFacts& flow, int nx, int ny) {
  const double G = GradingAlong(flow);
  return flow.length * ny * std::log(G) / ((G - 1.0) * std::max(1, nx));
}

// What the case is, as its readers need it.
struct CaseFacts {
  FlowFacts flow;
  double metresPerHalfHeight = 1.0;
  std::array<MeshPlan, 3> meshes;  // coarsest first
  int jobs = 1;
};

// The smallest finest mesh along the axis: the coarse mesh keeps 8 x 2 cells.
inline constexpr int kMinCellsAlong = 32;

// Half the angle of a round nozzle's wedge, degrees: a 5 degree wedge.
inline constexpr double kWedgeHalfAngle = 2.5;

// Iterations between two rows of the exit histories.
inline constexpr int kMeanEvery = 10;
inline constexpr int kProfileEvery = 20;

// The settling limits, percent of Me (cfd/exit_flow.h): the exit mean, every exit cell
// of the core on the finest mesh (the coarser meshes' limits grow with the cell size),
// every other exit cell.
inline constexpr double kSettledMeanDriftPercent = 0.02;
inline constexpr double kSettledCoreDriftPercent = 0.05;
inline constexpr double kSettledCellDriftPercent = 0.2;
// A case from the plenum also settles its mass flow: the inlet's drifts by at most
// 0.01 % between the window's halves, and over the window it matches the outlet's
// within 0.02 % (a run at Courant number 0.2 kept a 0.46 % gap for 12,000 iterations
// on end, a limit cycle at the throat; at 0.1 it closed).
inline constexpr double kSettledMassDriftPercent = 0.01;
inline constexpr double kSettledMassBalancePercent = 0.02;
inline constexpr double kPlenumMaxCourant = 0.1;

}  // namespace cfd
