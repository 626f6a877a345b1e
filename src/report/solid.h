// The nozzle as a solid for CAD: its unit, its wall thickness and span, and the
// profile that is revolved or extruded (report/step_file.h writes it as STEP).
//
// A round nozzle is one solid of revolution about the x axis: the region between the
// wall r = w(x) and the same curve moved out radially by the wall thickness t, from the
// throat section x = 0 to the exit section, both plain annular end faces. Its volume is
// that of the profile revolved (Pappus): V = 2 pi t Integral(w dx) + pi t^2 L.
// A planar nozzle is its two contoured walls, each the region between y = w(x) and
// y = w(x) + t (the lower wall its mirror image), extruded over the span along z,
// centred on z = 0: each of volume t L span.
//
// Lengths are in the file's unit: the scale's own unit, or mm when the scale has none
// (one throat half-height is then `factor` mm).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "nozzle/design_record.h"
#include "nozzle/spelling.h"
#include "report/contour.h"

namespace report {

// The length unit of the solid's file: the scale's unit, "mm" when it has none.
std::string SolidUnit(const LengthScale& scale);

struct SolidOptions {
  double wallThickness = 0.0;  // in the file's unit, > 0
  double span = 0.0;           // planar only: the extent along z, in the file's unit, > 0
};

// The defaults: a wall a fifth of the throat half-height (radius) thick, and for a
// planar nozzle a span of the exit height (a square exit section).
SolidOptions DefaultSolidOptions(const nozzle::DesignRecord& design, const LengthScale& scale);

// A length typed for the solid ("2mm", "0.1in", or a plain number in the file's unit)
// in the file's unit; empty when it is not a length above 0.
std::optional<double> ReadSolidLength(std::string_view text, const LengthScale& scale);

// The message for a refused wall thickness or span, naming the option and the forms.
std::string SolidLengthRejection(nozzle::Option option, std::string_view text, const nozzle::Spelling& spelling);

// The comment the file's header carries: the nozzle, its gas, the unit and where it
// came from, e.g. "Nozzle Designer: round nozzle, Me = 2.4, wall 2 mm thick; lengths in
// mm (no unit was given: one throat radius is 1 mm)".
std::string SolidNote(const nozzle::DesignRecord& design, const LengthScale& scale, const SolidOptions& options);

}  // namespace report
