// The design as its OpenFOAM case needs it, from the design's record: the wall, the
// design's own flow as scattered samples (the start of the coarsest mesh,
// cfd/start_field.h), and what the reports name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cfd/case_plan.h"
#include "nozzle/design_record.h"
#include "report/contour.h"
#include "report/drawing_plan.h"

namespace cfd {

// A state of the design's flow at a point: Mach number and flow angle (degrees).
struct FlowSample {
  double x, y, M, teta;
};

struct DesignCase {
  nozzle::DesignInputs inputs;
  gas::Gas gas;
  bool axisymmetric = false;  // y is a radius; the case is a wedge about the x axis
  std::vector<report::ContourPoint> wall;  // throat half-heights (radii), corner to lip
  nozzle::Inlet inlet;                     // the inflow section, at the wall's first point
  // The design's flow: net points, wall points and points along the characteristics
  // between them; the uniform sonic throat and exit are added by the start.
  std::vector<FlowSample> samples;
  double axisEnd = 0.0;  // where the axis reaches Me
  report::DrawingPlan plan;
  std::string wallWarning;  // not empty: the wall turns back, no mesh exists
  // A rounded throat with its convergent section: the case begins in the plenum, at the
  // wall's first point (cfd/case_plan.h, Plenum); the throat's figures by the theory.
  std::optional<nozzle::ThroatFigures> throat;
  // A nozzle whose exit is not uniform by design (a cone, a given wall): the flow the
  // characteristics found through it, which the check compares the CFD's with; empty when
  // the exit is uniform by design.
  std::optional<NetFlow> net;
  // A wall corrected for its boundary layer: the viscous flow to check it in, and the
  // inviscid wall, to be checked beside it under the same conditions.
  std::optional<ViscousFlow> viscous;
  std::vector<report::ContourPoint> uncorrectedWall;
};

// The same case on its uncorrected wall (the design's inviscid wall).
DesignCase UncorrectedCase(const DesignCase& corrected);

DesignCase CaseOf(const nozzle::DesignRecord& design);

}  // namespace cfd
