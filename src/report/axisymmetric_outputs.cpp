#include "report/axisymmetric_outputs.h"

#include "report/number_text.h"
#include "report/result_file.h"
#include "report/results_list.h"

namespace report {
namespace {

using nozzle::MarchedDesign;
using nozzle::FlowPoint;

// Every point of a C+ line in order from the axis with the name of the C- line it lies
// on: the fan's waves (WaveIndex), then the turning lines as N + i. The wall point is
// not among them.
template <class Visit>
void ForEachOnCPlusLine(const MarchedDesign& d, const MarchedDesign::CPlusLine& line, Visit visit) {
  const int first = d.W + 1 - static_cast<int>(line.points.size());
  for (std::size_t k = 0; k < line.points.size(); ++k) visit(line.points[k], d.WaveIndex(first + static_cast<int>(k)));
  for (std::size_t i = 0; i < line.beyond.size(); ++i) visit(line.beyond[i], d.N + static_cast<double>(i) + 1.0);
}

}  // namespace

std::string AxisymmetricListText(const MarchedDesign& d) {
  std::string text;
  LineBuffer line;
  const auto add = [&text](const LineBuffer& l) { text.append(l.View()).append("\n"); };
  const auto point = [&text](const FlowPoint& p) { text += ListPointLine(p); };
  add(line.Clear().Text("Axisymmetric nozzle"));
  for (const std::string& head : ResultsListHead(d.gas, d.TetaMax)) add(line.Clear().Text(head));
  for (const auto& c : d.cPlusLines) {
    add(line.Clear().Text("C+ line ").Rounded(c.index));
    ForEachOnCPlusLine(d, c, [&](const FlowPoint& p, double) { point(p); });
  }
  add(line.Clear().Text("Wall"));
  for (const FlowPoint& p : d.wall) point(p);
  return text;
}

std::string AxisymmetricResultFileText(const MarchedDesign& d) {
  std::string text;
  LineBuffer b;
  const auto line = [&text](const LineBuffer& content) { text.append(content.View()).append("\r\n"); };
  line(b.Clear().Text(" Eksenel simetrik lüle"));
  text += ResultFileHead(d.inputs, d.gas, d.TetaMax);
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
  return text + WallCoordinatesText(d.wall);
}

std::string ListPointLine(const FlowPoint& p) {
  LineBuffer line;
  line.Text("TETA = ")
      .Rounded(p.Teta)
      .Text("   Nu = ")
      .Rounded(p.Nu)
      .Text("   M = ")
      .Rounded(p.M)
      .Text("   x = ")
      .Rounded(p.x)
      .Text("   y = ")
      .Rounded(p.y);
  return std::string(line.View()).append("\n");
}

std::string CPlusLineRowsText(const std::vector<std::vector<FlowPoint>>& lines) {
  std::string text;
  LineBuffer b;
  const auto line = [&text](const LineBuffer& content) { text.append(content.View()).append("\r\n"); };
  line(b.Clear().Text(" k  i Teta   Nu   M   Mu   x   y"));
  int number = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    for (const FlowPoint& p : lines[k]) {
      line(b.Clear()
               .Field(static_cast<double>(k + 1), 0)
               .Field(++number, 0)
               .Field(p.Teta)
               .Field(p.Nu)
               .Field(p.M)
               .Field(p.Mu)
               .Field(p.x)
               .Field(p.y));
    }
  }
  return text;
}

std::string WallCoordinatesText(const std::vector<FlowPoint>& wall) {
  std::string text;
  LineBuffer b;
  const auto line = [&text](const LineBuffer& content) { text.append(content.View()).append("\r\n"); };
  line(b.Clear());
  line(b.Clear().Text("Duvar koordinatları"));
  line(b.Clear());
  line(b.Clear().Text(" i    x     y   Teta   M"));
  line(b.Clear());
  for (std::size_t i = 0; i < wall.size(); ++i) {
    const FlowPoint& p = wall[i];
    line(b.Clear().Field(static_cast<double>(i), 0).Field(p.x).Field(p.y).Field(p.Teta).Field(p.M));
  }
  return text;
}

}  // namespace report
