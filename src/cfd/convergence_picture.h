// A picture of the grid-convergence study, drawn with cairo into a PNG file: at the
// left the exit profiles of the three meshes (Mach number over y / exit
// half-height), the design Me dashed across and the core limit dashed upright; at the
// right the mass-flow-weighted exit mean of each mesh against its iterations, Me
// dashed across. Coarse light, fine dark: the curves close in on each other as the
// mesh is refined.
#pragma once

#include <filesystem>

#include "cfd/check_report.h"

namespace cfd {

// `uncorrected`: a viscous check's uncorrected wall, whose finest exit profile is drawn
// beside the others in orange.
// Throws FieldError naming the file when it cannot be written.
void WriteConvergencePicture(const std::filesystem::path& png, const CheckResult& check, const CaseFacts& facts,
                             const CheckResult* uncorrected = nullptr);

// Beside the characteristics' flow (FlowFacts::net), net.png: at the left the wall
// pressure p/p0 over x, at the right the exit Mach number over y / exit half-height,
// the net's in black with its points, each mesh's at the net's points, coarse light, fine
// dark. Without the exit (the net stopped at a shock) the right panel says where.
// Throws FieldError naming the file when it cannot be written.
void WriteNetPicture(const std::filesystem::path& png, const CheckResult& check, const CaseFacts& facts);

}  // namespace cfd
