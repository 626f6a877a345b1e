// A picture of the solved Mach number field: every cell filled in its colour on a
// blue-to-red scale from the least to the greatest Mach number, the half above the
// axis and its mirror image below it (as the window draws the nozzle), the
// characteristic net of the design drawn over it (C- red, C+ blue as above the
// axis in the window, in thin lines), the wall in black, and a colour bar with
// its figures at the right. Drawn with cairo into a PNG file.
#pragma once

#include <filesystem>

#include "cfd/exit_flow.h"
#include "report/drawing_plan.h"

namespace cfd {

// `plan` is the design's drawing (report/drawing_plan.h). Throws FieldError naming
// the file when it cannot be written.
void WriteMachPicture(const std::filesystem::path& png, const report::DrawingPlan& plan, const CaseFacts& facts,
                      const SolvedFlow& flow);

}  // namespace cfd
