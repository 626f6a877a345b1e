#include "report/given_wall_outputs.h"

#include <algorithm>
#include <cmath>

#include "report/axisymmetric_outputs.h"
#include "report/number_text.h"
#include "report/results_list.h"

namespace report {
namespace {

using nozzle::FlowPoint;

double LargestWallAngle(const std::vector<FlowPoint>& wall) {
  double largest = 0.0;
  for (const FlowPoint& p : wall) largest = std::max(largest, p.Teta);
  return largest;
}

}  // namespace

std::string GivenWallListText(const nozzle::GivenWallFlow& f) {
  std::string text;
  LineBuffer line;
  const auto add = [&text](const LineBuffer& l) { text.append(l.View()).append("\n"); };
  if (f.flow == moc::Flow::kAxisymmetric) add(line.Clear().Text("Axisymmetric nozzle"));
  std::vector<std::string> head = ResultsListHead(f.gas, LargestWallAngle(f.wall));
  const std::string blank = head.back();
  head.pop_back();
  for (const std::string& h : head) add(line.Clear().Text(h));
  add(line.Clear().Text("Throat radius of curvature R = ").Text(ShortestText(f.throat.radius)));
  add(line.Clear().Text("Discharge coefficient Cd = ").Text(RoundedText(f.throat.dischargeCoefficient, 6)));
  add(line.Clear().Text("Exit plane x = ").Rounded(f.exitX));
  if (!f.exit.empty()) {
    add(line.Clear().Text("Mean exit Mach number = ").Rounded(f.meanExitMach).Text(" (weighted by the mass flow)"));
    add(line.Clear().Text("Mass balance = ").Rounded(f.massBalancePercent).Text(" %"));
  }
  if (f.shock) add(line.Clear().Text("Shock: ").Text(nozzle::ShockText(*f.shock)));
  add(line.Clear().Text(blank));
  for (std::size_t k = 0; k < f.cPlus.size(); ++k) {
    add(line.Clear().Text("C+ line ").Text(std::to_string(k + 1)));
    for (const FlowPoint& p : f.cPlus[k]) text += ListPointLine(p);
  }
  add(line.Clear().Text("Wall"));
  for (std::size_t i = 0; i < f.wall.size(); ++i) {
    const FlowPoint& p = f.wall[i];
    if (static_cast<int>(i) < f.wallFlowKnown) {
      std::string point = ListPointLine(p);
      point.pop_back();
      add(line.Clear().Text(point).Text("   p/p0 = ").Rounded(nozzle::PressureRatio(f.gas, p.M), 5));
    } else {
      add(line.Clear().Text("x = ").Rounded(p.x).Text("   y = ").Rounded(p.y).Text("   (beyond the net)"));
    }
  }
  add(line.Clear().Text("Exit"));
  for (const nozzle::ExitPoint& e : f.exit) {
    add(line.Clear()
            .Text("y = ")
            .Rounded(e.y)
            .Text("   M = ")
            .Rounded(e.M)
            .Text("   TETA = ")
            .Rounded(e.Teta)
            .Text("   p/p0 = ")
            .Rounded(e.pressure, 5));
  }
  return text;
}

std::string GivenWallResultFileText(const nozzle::GivenWallFlow& f) {
  std::string text;
  LineBuffer b;
  const auto line = [&text](const LineBuffer& content) { text.append(content.View()).append("\r\n"); };
  if (f.flow == moc::Flow::kAxisymmetric) line(b.Clear().Text(" Eksenel simetrik lüle"));
  line(b.Clear().Text(" Boğaz eğrilik yarıçapı = ").Field(f.throat.radius));
  if (!f.gas.IsAir()) line(b.Clear().Text(" Özgül ısılar oranı =  ").Text(ShortestText(f.gas.gamma)).Text(" "));
  line(b.Clear());
  line(b.Clear().Text(" TetaMax = ").Field(LargestWallAngle(f.wall)));
  line(b.Clear());
  line(b.Clear().Text("Karakteristik ve akım özellikleri"));
  line(b.Clear());
  text += CPlusLineRowsText(f.cPlus);
  // A section: a blank line, its title, a blank line, its column heads, a blank line.
  const auto section = [&](const char* title, const char* heads) {
    for (const char* t : {"", title, "", heads, ""}) line(b.Clear().Text(t));
  };
  section("Duvar koordinatları", " i    x     y   Teta   M   p/p0");
  for (std::size_t i = 0; i < f.wall.size(); ++i) {
    const FlowPoint& p = f.wall[i];
    b.Clear().Field(static_cast<double>(i), 0).Field(p.x).Field(p.y).Field(p.Teta);
    if (static_cast<int>(i) < f.wallFlowKnown) b.Field(p.M).Field(nozzle::PressureRatio(f.gas, p.M), 5);
    line(b);
  }
  section("Çıkış düzlemi", " i    y     M   Teta   p/p0");
  for (std::size_t i = 0; i < f.exit.size(); ++i) {
    const nozzle::ExitPoint& e = f.exit[i];
    line(b.Clear().Field(static_cast<double>(i), 0).Field(e.y).Field(e.M).Field(e.Teta).Field(e.pressure, 5));
  }
  return text;
}

}  // namespace report
