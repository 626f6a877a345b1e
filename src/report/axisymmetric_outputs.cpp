#include "report/axisymmetric_outputs.h"

#include <algorithm>
#include <cmath>

#include "gas/prandtl_meyer.h"
#include "report/number_text.h"

namespace report {
namespace {

using nozzle::AxisymmetricDesign;
using nozzle::FlowPoint;

// Every point of a C+ line in order from the axis with the name of the C- line it lies
// on: the fan's waves (WaveIndex), then the turning lines as N + i. The wall point is
// not among them.
template <class Visit>
void ForEachOnCPlusLine(const AxisymmetricDesign& d, const AxisymmetricDesign::CPlusLine& line, Visit visit) {
  const int first = d.W + 1 - static_cast<int>(line.points.size());
  for (std::size_t k = 0; k < line.points.size(); ++k) visit(line.points[k], d.WaveIndex(first + static_cast<int>(k)));
  for (std::size_t i = 0; i < line.beyond.size(); ++i) visit(line.beyond[i], d.N + static_cast<double>(i) + 1.0);
}

}  // namespace

std::string AxisymmetricNote(const AxisymmetricDesign& design) {
  std::string note = "Nozzle Designer: axisymmetric nozzle";
  if (!design.gas.IsAir()) note += ", ratio of specific heats gamma = " + ShortestText(design.gas.gamma);
  return note;
}

std::string AxisymmetricListText(const AxisymmetricDesign& d) {
  std::string text;
  LineBuffer line;
  const auto add = [&text](const LineBuffer& l) { text.append(l.View()).append("\n"); };
  const auto point = [&](const FlowPoint& p) {
    add(line.Clear()
            .Text("TETA = ")
            .Rounded(p.Teta)
            .Text("   Nu = ")
            .Rounded(p.Nu)
            .Text("   M = ")
            .Rounded(p.M)
            .Text("   x = ")
            .Rounded(p.x)
            .Text("   y = ")
            .Rounded(p.y));
  };
  add(line.Clear().Text("Axisymmetric nozzle"));
  if (!d.gas.IsAir()) add(line.Clear().Text("Gamma  = ").Text(ShortestText(d.gas.gamma)));
  add(line.Clear().Text("TetaMax  = ").Rounded(d.TetaMax));
  add(line.Clear().Text(" "));
  for (const auto& c : d.cPlusLines) {
    add(line.Clear().Text("C+ line ").Rounded(c.index));
    ForEachOnCPlusLine(d, c, [&](const FlowPoint& p, double) { point(p); });
  }
  add(line.Clear().Text("Wall"));
  for (const FlowPoint& p : d.wall) point(p);
  return text;
}

std::string AxisymmetricResultFileText(const AxisymmetricDesign& d) {
  std::string text;
  LineBuffer b;
  const auto line = [&text](const LineBuffer& content) { text.append(content.View()).append("\r\n"); };
  line(b.Clear().Text(" Eksenel simetrik lüle"));
  line(b.Clear().Text(" Çıkış Mach sayısı  = ").Field(d.inputs.Me));
  line(b.Clear().Text(" İlk dalga PM açısı = ").Field(d.inputs.Teta0));
  line(b.Clear().Text(" Çıkan dalga sayısı = ").Field(d.inputs.N));
  if (!d.gas.IsAir()) line(b.Clear().Text(" Özgül ısılar oranı =  ").Text(ShortestText(d.gas.gamma)).Text(" "));
  line(b.Clear());
  line(b.Clear().Text(" TetaMax = ").Field(d.TetaMax));
  line(b.Clear());
  line(b.Clear().Text("Karakteristik ve akım özellikleri"));
  line(b.Clear());
  line(b.Clear().Text(" i  j  k Teta   Nu   M   Mu   x   y"));
  int number = 0;
  for (const auto& c : d.cPlusLines) {
    ForEachOnCPlusLine(d, c, [&](const FlowPoint& p, double k) {
      line(b.Clear()
               .Field(c.index)
               .Field(k)
               .Field(++number, 0)
               .Field(p.Teta)
               .Field(p.Nu)
               .Field(p.M)
               .Field(p.Mu)
               .Field(p.x)
               .Field(p.y));
    });
  }
  line(b.Clear());
  line(b.Clear().Text("Duvar koordinatları"));
  line(b.Clear());
  line(b.Clear().Text(" i    x     y   Teta   M"));
  line(b.Clear());
  for (std::size_t i = 0; i < d.wall.size(); ++i) {
    const FlowPoint& p = d.wall[i];
    line(b.Clear().Field(static_cast<double>(i), 0).Field(p.x).Field(p.y).Field(p.Teta).Field(p.M));
  }
  return text;
}

DrawingPlan MakeDrawingPlan(const AxisymmetricDesign& d) {
  DrawingPlan plan;
  plan.note = AxisymmetricNote(d);
  for (const FlowPoint& p : d.kernel) {
    plan.xMax = std::max(plan.xMax, p.x);
    plan.yMax = std::max(plan.yMax, p.y);
  }
  for (const FlowPoint& p : d.wall) {
    plan.xMax = std::max(plan.xMax, p.x);
    plan.yMax = std::max(plan.yMax, p.y);
  }
  const double X = 1.1 * plan.xMax;
  const double Y = 1.1 * plan.yMax;
  plan.scale = {-0.1 * X, -Y, X, Y};
  const auto line = [&plan](const FlowPoint& a, const FlowPoint& b, Rgb upper, Rgb lower) {
    const auto x1 = static_cast<float>(a.x), y1 = static_cast<float>(a.y);
    const auto x2 = static_cast<float>(b.x), y2 = static_cast<float>(b.y);
    plan.segments.push_back({x1, -y1, x2, -y2, upper});
    plan.segments.push_back({x1, y1, x2, y2, lower});
  };
  for (std::size_t i = 1; i < d.wall.size(); ++i) line(d.wall[i - 1], d.wall[i], kBlack, kBlack);
  // The fan's waves from the corner through the kernel to the axis.
  for (int k = 1; k <= d.W; ++k) {
    for (int j = 1; j <= k; ++j) line(d.Kernel(j - 1, k), d.Kernel(j, k), kRed, kBlue);
  }
  for (std::size_t c = 0; c < d.cPlusLines.size(); ++c) {
    const FlowPoint* previous = nullptr;
    ForEachOnCPlusLine(d, d.cPlusLines[c], [&](const FlowPoint& p, double) {
      if (previous != nullptr) line(*previous, p, kBlue, kRed);
      previous = &p;
    });
    line(*previous, d.wall[c + 1], kBlue, kRed);  // the exit characteristic ends at the lip
  }
  // The turning C- lines, from the exit characteristic up to the wall, as far as
  // their points lie inside.
  const std::size_t lines = d.cPlusLines.size();
  for (std::size_t i = 0; i < d.turning.size(); ++i) {
    const auto& points = d.turning[i];
    if (points.empty() || points[0].y > d.wall.back().y) continue;
    for (std::size_t n = 1; n < points.size() && n < lines; ++n) {
      if (i >= d.cPlusLines[lines - 1 - n].beyond.size()) break;
      line(points[n - 1], points[n], kRed, kBlue);
    }
  }
  return plan;
}

std::string AxisymmetricSummaryText(const AxisymmetricDesign& d) {
  const FlowPoint& lip = d.wall.back();
  const FlowPoint& steepest = *std::max_element(
      d.wall.begin(), d.wall.end(), [](const FlowPoint& a, const FlowPoint& b) { return a.Teta < b.Teta; });
  std::string text = "Axisymmetric nozzle\n";
  if (!d.gas.IsAir()) text += "Ratio of specific heats G = " + ShortestText(d.gas.gamma) + "\n";
  text += "TetaMax = " + RoundedText(d.TetaMax) + "\n";
  text += "Largest wall angle = " + RoundedText(steepest.Teta) + " at x = " + RoundedText(steepest.x) + "\n";
  text += "Nozzle length x = " + RoundedText(lip.x) + "\n";
  text += "Exit radius y = " + RoundedText(lip.y) + "\n";
  text += "Isentropic area ratio A/A* = " + RoundedText(d.areaRatio) + "\n";
  text += "Deviation of y^2 from A/A* = " + RoundedText((lip.y * lip.y - d.areaRatio) / d.areaRatio * 100.0) + " %\n";
  text += "Mass balance = " + RoundedText(d.massBalancePercent) + " %\n";
  return text;
}

}  // namespace report
