// The nozzle for CAD and mesh tools, in a length unit of the user's choosing.
//
// Every coordinate is the design's (throat half-heights) multiplied by the scale:
// the physical throat half-height. Each number is written in the shortest text that
// reads back to the same double, so a reader gets exactly x * factor and y * factor.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nozzle/design_record.h"
#include "nozzle/spelling.h"

namespace report {

// A physical throat half-height: `factor` units of `unit` ("" when unitless).
// `dxfUnits` is the DXF $INSUNITS code of the unit (0 unitless, 1 in, 4 mm, 5 cm, 6 m).
struct LengthScale {
  double factor = 1.0;
  std::string unit;
  int dxfUnits = 0;
};

// The throat half-height in metres; a unitless scale is taken as it stands.
double InMetres(const LengthScale& scale);

// Reads "10mm", "25.4 mm", "0.5in", "2cm", "0.01m" or a plain "1": a finite number
// greater than 0 with an optional unit mm, cm, m or in. Empty when the text is not
// of that form.
std::optional<LengthScale> ReadLengthScale(std::string_view text);

// The message for a rejected --scale text, naming it and the accepted forms.
std::string LengthScaleRejection(std::string_view text, const nozzle::Spelling& spelling);

// The comment that the SVG and DXF files carry, naming what the outline alone does not
// tell: "Nozzle Designer: axisymmetric nozzle" for a round nozzle, "Nozzle Designer:
// ratio of specific heats gamma = 1.2" for a gas other than air, both joined by ", ";
// empty for a planar nozzle in air. A wall corrected for the boundary layer adds
// "wall corrected for the boundary layer (<its conditions>, throat 0.01 m)".
std::string DesignNote(const nozzle::DesignRecord& design);

struct ContourPoint {
  double x, y;
};

// The wall points from the throat corner (a rounded throat's: from the inlet of its
// convergent section) to the exit lip, multiplied by `factor`: the wall corrected for
// the boundary layer when the design has one, the wall to build.
std::vector<ContourPoint> WallPoints(const nozzle::DesignRecord& design, double factor = 1.0);

// "x,y" ("x,r" for a round nozzle: a radius profile), then one line per wall point
// from the throat corner to the exit lip. LF line ends.
std::string WallContourCsv(const nozzle::DesignRecord& design, const LengthScale& scale = {});

// The boundary layer along the wall, one line a wall point, SI units:
//   x_m,y_inviscid_m,y_corrected_m,Me,delta_star_m,theta_m,H,Cf,Re_theta,state
// (r_inviscid_m, r_corrected_m for a round nozzle); the state laminar, turbulent or
// separated. The header alone for a design without a correction.
std::string BoundaryLayerCsv(const nozzle::DesignRecord& design);

// AutoCAD R12 ASCII DXF, DesignNote first as a 999 comment when it is not empty.
// A planar nozzle as its whole outline: the upper wall and its mirror image below the
// axis as one POLYLINE each (layer WALL), the throat section x = 0 and the exit
// section as LINEs (layer WALL), the axis as a LINE (layer AXIS). A round nozzle as
// the profile to revolve about the x axis (a second 999 comment says so): the wall as
// one POLYLINE, the throat and exit sections from the axis to the wall as LINEs
// (layer WALL), the axis as a LINE (layer AXIS).
//
// With DxfCurve::kSpline the same drawing as AutoCAD 2000 DXF (AC1015, the first
// version with handles and the SPLINE entity): each wall one SPLINE, the wall's cubic
// B-spline of report/wall_spline.h given by its poles and knots (planar: the lower
// wall's poles mirrored), the sections and the axis LINEs as above.
enum class DxfCurve { kPolyline, kSpline };
std::string NozzleOutlineDxf(const nozzle::DesignRecord& design, const LengthScale& scale = {},
                             DxfCurve curve = DxfCurve::kPolyline);

}  // namespace report
