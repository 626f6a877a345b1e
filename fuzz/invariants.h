// What every accepted design must satisfy, checked by the fuzz targets: no NaN or
// infinity anywhere in the result or its presentations, and the line and segment
// counts of the results list, the result file and the drawing.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "nozzle/minimum_length.h"
#include "nozzle/design.h"
#include "nozzle/design_record.h"
#include "report/axisymmetric_outputs.h"
#include "report/contour.h"
#include "report/summary.h"
#include "report/drawing_plan.h"
#include "report/result_file.h"
#include "report/results_list.h"

namespace fuzzing {

[[noreturn]] inline void Violated(const char* what) {
  std::fprintf(stderr, "invariant violated: %s\n", what);
  std::abort();
}

inline void Require(bool condition, const char* what) {
  if (!condition) Violated(what);
}

inline bool HasNonFiniteText(const std::string& text) {
  return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

// `whole`: N is a whole number, so the counts of the layouts apply exactly.
inline void CheckResult(const nozzle::DesignResult& r, bool whole) {
  Require(std::isfinite(r.TetaMax) && std::isfinite(r.dTeta), "TetaMax and dTeta are finite");
  for (int j = 0; j <= nozzle::kIndexMax; ++j) {
    Require(std::isfinite(r.net.Kminus(j)) && std::isfinite(r.net.Kplus(j)), "invariants are finite");
    for (int k = 0; k <= nozzle::kIndexMax; ++k) {
      const nozzle::Net& n = r.net;
      Require(std::isfinite(n.Teta(j, k)) && std::isfinite(n.Nu(j, k)) && std::isfinite(n.M(j, k)) &&
                  std::isfinite(n.Mu(j, k)) && std::isfinite(n.x(j, k)) && std::isfinite(n.y(j, k)),
              "the net is finite");
    }
  }

  const auto lines = report::ResultsListLines(r);
  const std::string file = report::ResultFileText(r);
  const report::DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(r));
  for (const std::string& line : lines) Require(!HasNonFiniteText(line), "list lines are finite");
  Require(!HasNonFiniteText(file), "the file is finite");
  for (const report::Segment& s : plan.segments) {
    Require(std::isfinite(s.x1) && std::isfinite(s.y1) && std::isfinite(s.x2) && std::isfinite(s.y2),
            "segments are finite");
  }
  Require(std::isfinite(plan.scale.left) && std::isfinite(plan.scale.right) && std::isfinite(plan.scale.top) &&
              std::isfinite(plan.scale.bottom) && plan.scale.right > plan.scale.left &&
              plan.scale.bottom > plan.scale.top,
          "the drawing has a finite scale with width and height");
  if (!whole) return;

  const auto n = static_cast<std::size_t>(r.inputs.N);
  const std::size_t gasLine = r.gas.IsAir() ? 0 : 1;  // "Gamma  = ..." for another gas
  std::size_t listLines = 2 + n + gasLine;
  for (std::size_t j = 1; j <= n; ++j) listLines += n - j + 3;
  std::size_t fileLines = 0;
  for (std::size_t at = file.find("\r\n"); at != std::string::npos; at = file.find("\r\n", at + 2)) ++fileLines;
  Require(lines.size() == listLines, "the list has 2 + N + sum(N - j + 3) lines");
  Require((lines.front().rfind("Gamma  = ", 0) == 0) == !r.gas.IsAir(), "the list names another gas, never air");
  Require(fileLines == 9 + gasLine + n * (n + 1) / 2 + 5 + n, "the file has 9 + N(N + 1)/2 + 5 + N lines");
  Require(plan.segments.size() == 2 * n * (n + 2), "the drawing has 2N(N + 2) segments");
}

inline bool Finite(const nozzle::FlowPoint& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.Teta) && std::isfinite(p.Nu) &&
         std::isfinite(p.M) && std::isfinite(p.Mu);
}

// A round design: every point finite, the axis brought to Me, a C+ line per wave of the
// fan and the wall from the corner to the lip with a point on each, its warning exactly
// when it turns back, and every output formed and finite.
inline void CheckResult(const nozzle::MarchedDesign& d) {
  Require(std::isfinite(d.TetaMax) && d.TetaMax > d.inputs.Teta0 && d.TetaMax < 90.0, "Teta0 < TetaMax < 90");
  for (const nozzle::FlowPoint& p : d.kernel) Require(Finite(p), "the kernel is finite");
  for (const auto& line : d.cPlusLines) {
    for (const nozzle::FlowPoint& p : line.points) Require(Finite(p), "the C+ lines are finite");
    for (const nozzle::FlowPoint& p : line.beyond) Require(Finite(p), "the turning region is finite");
  }
  Require(d.W == d.N + d.below && d.cPlusLines.size() == static_cast<std::size_t>(d.W), "a C+ line per wave");
  Require(d.wall.size() == d.cPlusLines.size() + 1, "the wall has the corner and a point per C+ line");
  bool monotone = true;
  for (std::size_t i = 0; i < d.wall.size(); ++i) {
    Require(Finite(d.wall[i]), "the wall is finite");
    if (i > 0 && !(d.wall[i].x > d.wall[i - 1].x && d.wall[i].y >= d.wall[i - 1].y)) monotone = false;
  }
  Require(monotone == d.wallWarning.empty(), "a wall that turns back is warned about, and only such a wall");
  Require(std::fabs(d.Kernel(d.W, d.W).M - d.inputs.Me) <= 1e-6 * d.inputs.Me, "the axis reaches Me");
  Require(!HasNonFiniteText(report::AxisymmetricListText(d)), "the list is finite");
  Require(!HasNonFiniteText(report::AxisymmetricResultFileText(d)), "the file is finite");
  Require(!HasNonFiniteText(report::SummaryText(nozzle::RecordOf(d))), "the summary is finite");
  Require(!HasNonFiniteText(report::NozzleOutlineDxf(nozzle::RecordOf(d))), "the DXF is finite");
  for (const report::Segment& s : report::MakeDrawingPlan(nozzle::RecordOf(d)).segments) {
    Require(std::isfinite(s.x1) && std::isfinite(s.y1) && std::isfinite(s.x2) && std::isfinite(s.y2),
            "segments are finite");
  }
}

}  // namespace fuzzing
