// The files of an OpenFOAM case for the inviscid flow through the half nozzle above
// the axis, from the throat section x = 0 to the exit plane x = L, each as text.
//
// Mesh: one blockMesh block, nx cells along the axis (growing by GradingAlong from
// the throat to the exit) and ny across, one cell deep; its upper edge is a
// polyLine through exactly the wall points (shortest round-trip text). Patches:
// inlet (x = 0), outlet (x = L), wall (slip), axis (symmetryPlane), frontAndBack
// (empty). A round nozzle (facts.axisymmetric) is a wedge of 5 degrees about the
// x axis instead, its sides the patches front and back (wedge), its edge on the axis
// collapsed. Lengths in throat half-heights (radii) times `scale` (metres).
//
// Gas: perfect, in normalised units: R = 1/gamma, Cp = 1/(gamma - 1) (for air
// molWeight 11640.3, Cp 2.5), mu 0, so the speed of sound is sqrt(T), 1 at T = 1.
// Inflow sonic and fixed (p = 1, T = 1, U = (1 0 0)); outflow supersonic
// (zeroGradient). A rounded throat's case begins in the plenum instead (FlowFacts::plenum):
// the mesh takes in the convergent section, the inlet is its face, a stagnation inlet.
//
// A viscous case (FlowFacts::viscous, a wall corrected for its boundary layer): the
// gas's Sutherland law with Re* matched, the wall no-slip at its temperature, the cells
// graded towards the wall; laminar, or k-omega SST with wall functions.
//
// Solver: rhoCentralFoam, Kurganov flux, vanLeer/vanLeerV, local time stepping
// (localEuler: each cell advances at its own Courant number maxCo, the time counts
// iterations). Function objects: the Mach number field Ma; every 10 iterations the
// mass-flow-weighted mean Ma on the outlet (postProcessing/exitMach); every 20 the
// Ma of each outlet cell (postProcessing/exitProfile, cell centres from the axis up).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cfd/case_plan.h"
#include "cfd/start_field.h"
#include "report/contour.h"

namespace cfd {

std::string Header(std::string_view type, std::string_view object, std::string_view location);
// From the plenum (facts.plenum), `convergentCells` of the nx lie upstream of the throat.
std::string BlockMeshDict(const std::vector<report::ContourPoint>& wall, const FlowFacts& facts, int nx, int ny,
                          double scale, int convergentCells = 0);
// `maxIterations` iterations at most; written at the end (or when stopped early). From
// the plenum, the mass flows through the inlet and the outlet every 10 iterations too
// (postProcessing/inletMass and outletMass).
std::string ControlDict(const FlowFacts& facts, int ny, int maxIterations, double maxCourant, double scale);
// A viscous case (FlowFacts::viscous) adds the turbulence model's schemes and the
// solvers of the energy e, k and omega.
std::string FvSchemes(bool viscous = false);
std::string FvSolution(bool viscous = false);
// `viscous`: Sutherland's law in the case's units instead of mu 0.
std::string ThermophysicalProperties(const gas::Gas& gas, const ViscousFlow* viscous = nullptr);
// laminar, or RAS kOmegaSST for a turbulent viscous case.
std::string TurbulenceProperties(const ViscousFlow* viscous = nullptr);
std::string DecomposeParDict(int jobs);
// The stagnation state of a case from the plenum, over the sonic state: p0 / p* and
// T0 / T* = (gamma + 1) / 2.
struct StagnationInlet {
  double p0 = 1.0, T0 = 1.0, gamma = 1.4;
  static StagnationInlet Of(const gas::Gas& gas);
};

// p, T and U of the folder's time 0: the start field, or uniform sonic flow when
// `start` is null (a mesh that is started by mapping a coarser one).
// `wedge`: the patches of a round nozzle's wedge.
// `stagnation`: the inlet is the plenum's (totalPressure, totalTemperature, the velocity
// zero-gradient but for its swirl, held at zero) instead of the fixed sonic inflow.
std::string PressureField(const StartField* start, bool wedge = false, const StagnationInlet* stagnation = nullptr);
// `viscous`: the wall no-slip (U) and at its temperature (T; zero gradient when adiabatic).
std::string TemperatureField(const StartField* start, bool wedge = false, const ViscousFlow* viscous = nullptr,
                             const StagnationInlet* stagnation = nullptr);
std::string VelocityField(const StartField* start, bool wedge = false, const ViscousFlow* viscous = nullptr,
                          const StagnationInlet* stagnation = nullptr);
// k, omega, nut and alphat of a turbulent case: wall functions at the wall, the inflow
// at 1 % intensity and an eddy viscosity of 10 times the molecular one.
std::vector<std::pair<std::string, std::string>> TurbulenceFields(const ViscousFlow& viscous, double gamma,
                                                                     bool wedge = false);

// Writes `text` to `path`; CaseError naming the file when it cannot.
void WriteText(const std::filesystem::path& path, const std::string& text);

}  // namespace cfd
