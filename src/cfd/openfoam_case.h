// A ready-to-run OpenFOAM case of a design: the inviscid flow through the half
// nozzle above the axis, from the throat section x = 0 to the exit plane x = L.
//
// Mesh: one blockMesh block, nx cells along the axis (growing twofold from the
// throat to the exit, so that the corner's expansion gets the finest) and ny across,
// one cell deep; its upper edge is a polyLine through exactly the run's wall points
// (the CSV's numbers, shortest round-trip text). Patches: inlet (x = 0), outlet
// (x = L), wall (slip), axis (symmetryPlane), frontAndBack (empty). Lengths are in
// throat half-heights times `metresPerHalfHeight` (blockMeshDict `scale`).
//
// Gas: perfect, the design's gamma, in normalised units: R = 1/gamma and
// Cp = 1/(gamma - 1) (for air molWeight 11640.3, Cp 2.5), mu 0, so the speed of
// sound is sqrt(T) and is 1 at T = 1. Inflow sonic and
// fixed (p = 1, T = 1, U = (1 0 0)); outflow supersonic (zeroGradient).
// Solver: rhoCentralFoam, Kurganov flux, vanLeer/vanLeerV, adjustable time step.
//
// Two stages, because the transonic region behind the throat settles slowly (the
// exit mean swings by 2 % for about three flow-through times whatever the start):
//   coarse/  half the cells each way (eight times cheaper), started from the
//            design's own flow (the characteristic net with the sonic throat and
//            the uniform exit region), run `coarseFlowThroughTimes` times L / u_e;
//   .        the fine mesh, its fields mapped from the coarse result (mapFields),
//            run `flowThroughTimes` times L / u_e, enough to show the exit steady.
// u_e is the design exit speed. Function objects: the Mach number field Ma, and
// every ten steps the mass-flow-weighted mean Ma on the outlet
// (postProcessing/exitMach).
//
// Allrun runs it all on `jobs` cores with the Debian package alone
// (WM_PROJECT_DIR=/usr/share/openfoam; mpirun -np K ... -parallel), checkMesh
// first; `./Allrun K` takes it to K cores.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "nozzle/design.h"

namespace cfd {

class CaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CaseOptions {
  int cellsAlong = 400;
  int cellsAcross = 100;
  double coarseFlowThroughTimes = 3.0;  // on the coarse mesh, where the start settles
  double flowThroughTimes = 1.1;        // on the fine mesh, started from the coarse flow
  double maxCourant = 0.25;
  int jobs = 1;
  double metresPerHalfHeight = 1.0;
};

// What the case is, as its readers need it. Lengths in throat half-heights,
// times in the case's time unit.
struct CaseFacts {
  int nx = 0, ny = 0;
  double length = 0.0;          // L, the exit plane's x
  double exitHalfHeight = 0.0;  // the wall's last y
  double designMach = 0.0;      // Me
  double gamma = 1.4;           // the ratio of specific heats
  double flowThroughTime = 0.0; // L / u_e, scaled
  double endTime = 0.0;
  int coarseNx = 0, coarseNy = 0;
  double coarseEndTime = 0.0;
  int jobs = 1;
};

// Whether `folder` may take a new case: it does not exist, or is an empty folder.
bool CaseFolderIsFree(const std::filesystem::path& folder);

// The processor cores this machine offers (at least 1).
int AvailableCores();

// Writes the case into `folder`, which must not exist or be empty (else CaseError,
// nothing touched). A design whose wall turns back on itself has no valid mesh:
// CaseError with the wall warning. A file that cannot be written: CaseError naming it.
CaseFacts WriteCase(const nozzle::DesignResult& result, const std::filesystem::path& folder,
                    const CaseOptions& options);

}  // namespace cfd
