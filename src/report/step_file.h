// The nozzle as a STEP solid (ISO 10303-21, AP214), made by the OpenCASCADE kernel.
//
// The solid is the one of report/solid.h: the wall as its B-spline (report/wall_spline.h,
// passed to the kernel as poles and knots, so that the file's curve is that spline
// exactly), a round nozzle revolved about the x axis into one solid, a planar nozzle
// as two wall blocks extruded over the span. The kernel's own checker
// (BRepCheck_Analyzer) must find the shape valid. The file's header names the design
// and the unit (report::SolidNote); the file's length unit is the solid's.
//
// Failure contract: throws StepError naming the step that failed (the wall's spline
// missing a wall point by more than 1e-6 of the throat half-height, a profile the
// kernel cannot close into a face, a solid it finds invalid, a file it cannot write);
// nothing is returned then, so nothing is written.
#pragma once

#include <stdexcept>
#include <string>

#include "nozzle/design_record.h"
#include "report/contour.h"
#include "report/solid.h"

namespace report {

class StepError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The STEP file's bytes.
std::string NozzleStep(const nozzle::DesignRecord& design, const LengthScale& scale, const SolidOptions& options);

// The module libnozzle_step.so (report/step_module.cpp) offers NozzleStep by this name
// and type, so that a program loads OpenCASCADE only when it writes a STEP file: 0 with
// `bytes` set, or 1 with `error` set to StepError's message.
inline constexpr const char* kStepModuleEntry = "nozzle_step_file";
using StepModuleEntry = int (*)(const nozzle::DesignRecord& design, const LengthScale& scale,
                                const SolidOptions& options, std::string& bytes, std::string& error);

}  // namespace report
