#include "report/throat_outputs.h"

#include "report/axisymmetric_outputs.h"
#include "report/number_text.h"
#include "report/result_file.h"
#include "report/results_list.h"

namespace report {

using nozzle::FlowPoint;

std::string RoundedThroatListText(const nozzle::RoundedThroatDesign& d) {
  std::string text;
  LineBuffer line;
  const auto add = [&text](const LineBuffer& l) { text.append(l.View()).append("\n"); };
  const auto point = [&text](const FlowPoint& p) { text += ListPointLine(p); };
  if (d.flow == moc::Flow::kAxisymmetric) add(line.Clear().Text("Axisymmetric nozzle"));
  std::vector<std::string> head = ResultsListHead(d.gas, d.tetaMax);
  const std::string blank = head.back();
  head.pop_back();
  for (const std::string& h : head) add(line.Clear().Text(h));
  add(line.Clear().Text("Throat radius of curvature R = ").Text(ShortestText(d.throat.radius)));
  add(line.Clear().Text("Discharge coefficient Cd = ").Text(RoundedText(d.throat.dischargeCoefficient, 6)));
  add(line.Clear().Text(blank));
  for (std::size_t k = 0; k < d.cPlus.size(); ++k) {
    add(line.Clear().Text("C+ line ").Text(std::to_string(k + 1)));
    for (const FlowPoint& p : d.cPlus[k]) point(p);
  }
  add(line.Clear().Text("Wall"));
  for (const FlowPoint& p : d.wall) point(p);
  return text;
}

std::string RoundedThroatResultFileText(const nozzle::RoundedThroatDesign& d) {
  std::string text;
  LineBuffer b;
  const auto line = [&text](const LineBuffer& content) { text.append(content.View()).append("\r\n"); };
  if (d.flow == moc::Flow::kAxisymmetric) line(b.Clear().Text(" Eksenel simetrik lüle"));
  line(b.Clear().Text(" Boğaz eğrilik yarıçapı = ").Field(d.throat.radius));
  text += ResultFileHead(d.inputs, d.gas, d.tetaMax);
  text += CPlusLineRowsText(d.cPlus);
  return text + WallCoordinatesText(d.wall);
}

}  // namespace report
