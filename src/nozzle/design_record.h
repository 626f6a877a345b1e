// One record of a finished design, whatever its kind: what every output past the
// results list and the result file reads (the contour files, the drawing, the
// summary, the OpenFOAM case, the Python module).
//
// Each design run keeps its own net (nozzle/net.h for the planar net, the record of
// nozzle/minimum_length.h for the round one), from which its list and result file are
// written; RecordOf turns either into this record:
//
//   wall    the wall from the throat corner to the exit lip, each point with the
//           state of the flow along it: the planar wall point j carries the state of
//           the last net point (j, N) of its C+ line, which holds up to the wall; the
//           corner that of the last wave, Teta = TetaMax.
//   lines   the characteristic lines as named polylines, in the order in which they
//           are drawn: the fan's waves (C- lines from the corner to the axis, "C- line 3",
//           below Teta0 "C- line 0.2"), the C+ lines from the axis to their wall point
//           ("C+ line 3"; the last, the exit characteristic, ends at the lip) and, for a
//           round nozzle, the turning region's C- lines from the exit characteristic up
//           to the wall, as far as they lie inside ("turning line 2").
//   inlet   where and how the flow enters the designed part (Inlet below).
//   facts   the figures an engineer asks of a design (DesignFacts below).
//
// Lengths in throat half-heights, for a round nozzle in throat radii (y the radius);
// angles in degrees.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "gas/prandtl_meyer.h"
#include "nozzle/minimum_length.h"
#include "nozzle/design.h"
#include "nozzle/given_wall.h"
#include "nozzle/inputs.h"
#include "nozzle/net.h"
#include "nozzle/rounded_throat.h"

namespace nozzle {

enum class NozzleKind { kPlanar, kAxisymmetric };

struct CharacteristicLine {
  enum class Family {
    kFanWave,  // a C- line of the fan, from the throat corner to the axis
    kCPlus,    // a C+ line, from the axis to the wall
    kTurning,  // a C- line of a round nozzle's turning region, from the exit characteristic
  };
  Family family = Family::kFanWave;
  std::string name;
  std::vector<FlowPoint> points;

  bool IsCMinus() const { return family != Family::kCPlus; }
};

// The thrust of a design, over p0 A* (A* the geometric throat), from the flow across
// its exit plane (nozzle/thrust.h), in vacuum and, with an ambient pressure, at it.
struct ThrustFigures {
  double coefficient = NAN;            // the nozzle's, vacuum
  double ideal = NAN;                  // one-dimensional, vacuum, at the exit's area ratio
  double divergenceEfficiency = NAN;   // coefficient / ideal
  double ambient = NAN;                // pa / p0; NaN: none given
  double coefficientAmbient = NAN, idealAmbient = NAN;
  double lipPressure = NAN;            // the wall's p / p0 at the lip
  bool separates = false;              // the lip's pressure below 0.4 of the ambient (Summerfield)
};

struct DesignFacts {
  double TetaMax = 0.0;            // the wall angle at the throat corner
  double largestWallAngle = 0.0;   // the largest flow angle along the wall, and its x
  double largestWallAngleX = 0.0;
  double length = 0.0;             // x of the exit lip
  double exitHeight = 0.0;         // y of the exit lip: half-height, or radius
  double areaRatio = 0.0;          // isentropic A/A* of Me
  // How far the exit lies from A/A*: (y - A/A*) / (A/A*) for a planar nozzle,
  // (y^2 - A/A*) / (A/A*) for a round one, percent.
  double areaDeviationPercent = 0.0;
  // The largest |mass flow / the throat's - 1| over the C+ lines (between the axis and
  // the wall) and the exit, percent: the error of the net itself (NaN for a planar net
  // of a number of waves that is not whole).
  double massBalancePercent = 0.0;
  double axisEnd = 0.0;            // x where the axis reaches Me
  int wallTurnsBackAt = 0;         // the first wall point that is not monotone, 0 when none
  ThroatFigures throat;            // radius 0: the sharp corner
  // A nozzle whose exit is not uniform (its flow found by the direct problem,
  // nozzle/given_wall.h): the mass-weighted mean Mach number across the exit plane (NaN
  // when the net did not reach it), and where characteristics crossed, if they did.
  double meanExitMach = NAN;
  std::optional<moc::Shock> shock;
  // None when the exit's flow is not known (the net stopped at a shock).
  std::optional<ThrustFigures> thrust;
};

// The boundary layer of a design built at a size, for a gas at a stagnation state
// (boundary_layer/layer.h), one entry a wall point, SI units.
struct LayerPoint {
  double x = 0.0, y = 0.0;   // the inviscid wall point, m
  double yCorrected = 0.0;   // the corrected wall's y (radius), m
  double M = 0.0;            // the edge Mach number
  double deltaStar = 0.0;    // displacement thickness, m
  double theta = 0.0;        // momentum thickness, m
  double H = 0.0;            // delta* / theta
  double Cf = 0.0;           // wall shear over rho_e u_e^2 / 2
  double ReTheta = 0.0;      // rho_e u_e theta / mu_e
  std::string state;         // "laminar", "turbulent" or "separated"
};

// The wall corrected for the boundary layer, and what the layer tells of it.
struct WallCorrection {
  std::string conditions;              // the gas, p0, T0, the wall and the regime, in words
  double metresPerHalfHeight = 0.0;    // the throat half-height (radius), m
  std::vector<FlowPoint> wall;         // the corrected wall, throat half-heights (radii)
  std::vector<LayerPoint> layer;       // along the inviscid wall
  double ReStar = 0.0;                 // rho* a* h / mu* at the throat
  double transitionX = -1.0;           // m, where the layer turns turbulent; -1 when it does not
  bool turbulent = false;              // some of the layer is turbulent
  double exitDeltaStar = 0.0;          // m
  double exitDeltaStarShare = 0.0;     // of the exit height, percent
  double correctedExitHeight = 0.0;    // throat half-heights (radii)
  double uncorrectedExitMach = 0.0;    // the exit Mach number the inviscid wall gives with the layer
  double exitViscousLength = 0.0;      // nu_w / u_tau at the exit, m: the wall unit of y+
  // The gas and the state, as the viscous OpenFOAM case needs them.
  double sutherlandSOverTStar = 0.0;   // Sutherland's S over the sonic temperature
  double wallTemperatureOverTStar = 0.0;  // 0: adiabatic
  std::vector<std::string> warnings;   // a layer too thick for the method, or one that separates
};

// Where the flow enters the designed part of the nozzle, and how: the section at x from
// the axis to `height` (the wall's first point), across which the flow is uniform,
// parallel and sonic (the sharp throat of the minimum-length nozzle), or the throat
// section x = 0 of a rounded throat, across which the flow is the transonic throat's
// (which the OpenFOAM case does not yet start from). The OpenFOAM case takes its inlet
// from here.
struct Inlet {
  enum class Kind { kUniformSonic, kRoundedThroat };
  Kind kind = Kind::kUniformSonic;
  double x = 0.0;
  double height = 1.0;
};

struct DesignRecord {
  std::string family;  // the nozzle family's name, "minimum-length"
  NozzleKind kind = NozzleKind::kPlanar;
  DesignInputs inputs;
  gas::Gas gas;
  std::vector<FlowPoint> wall;
  // A rounded throat's convergent section (nozzle/convergent.h), from the inlet to the
  // last point before x = 0; empty for a sharp throat. The CSV, DXF, SVG and STEP solid
  // begin with it.
  std::vector<FlowPoint> convergent;
  Inlet inlet;
  std::vector<CharacteristicLine> lines;
  DesignFacts facts;
  // The flow across the exit plane from the axis to the lip, for a family whose exit
  // is not uniform by design; empty otherwise.
  std::vector<ExitPoint> exitProfile;
  std::vector<std::string> warnings;  // for the user; the wall's first, when it turns back
  // With physical conditions: the wall to build. The outputs past the list and the
  // result file (CSV, DXF, SVG, the OpenFOAM case) then take correction->wall.
  std::optional<WallCorrection> correction;

  bool IsAxisymmetric() const { return kind == NozzleKind::kAxisymmetric; }
};

DesignRecord RecordOf(const DesignResult& result);
DesignRecord RecordOf(const MarchedDesign& design);
DesignRecord RecordOf(const RoundedThroatDesign& design);
// The record of a given wall's flow, for `family` (its name) with its checked inputs,
// whose Me is taken as the one-dimensional Mach number of the exit's area ratio.
DesignRecord RecordOf(const GivenWallFlow& flow, const std::string& family, const DesignInputs& inputs);

}  // namespace nozzle
