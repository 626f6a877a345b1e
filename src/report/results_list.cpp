#include "report/results_list.h"

#include "report/number_text.h"

namespace report {

namespace {

// Hands every line of the list, in order, to `add`.
template <class Add>
void ForEachLine(const nozzle::DesignResult& result, Add add) {
  using nozzle::CountedLoop;
  using nozzle::Index;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  LineBuffer line;
  if (!result.gas.IsAir()) add(line.Clear().Text("Gamma  = ").Text(ShortestText(result.gas.gamma)));
  add(line.Clear().Text("TetaMax  = ").Rounded(result.TetaMax));
  add(line.Clear().Text(" "));
  CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    add(line.Clear().Text("K- = ").Rounded(net.Kminus(J)).Text("  K+ = ").Rounded(net.Kplus(J)));
  });
  CountedLoop(1.0, N, [&](double j) {
    add(line.Clear());
    CountedLoop(j, N + 1.0, [&](double k) {
      const int J = Index(j);
      const int K = Index(k);
      add(line.Clear()
              .Text("TETA = ")
              .Rounded(net.Teta(J, K))
              .Text("   Nu = ")
              .Rounded(net.Nu(J, K))
              .Text("   M = ")
              .Rounded(net.M(J, K))
              .Text("   x = ")
              .Rounded(net.x(J, K))
              .Text("   y = ")
              .Rounded(net.y(J, K)));
    });
  });
}

}  // namespace

std::vector<std::string> ResultsListLines(const nozzle::DesignResult& result) {
  std::vector<std::string> lines;
  const double N = result.inputs.N;
  lines.reserve(static_cast<std::size_t>(2 + N * (N + 5) / 2) + 8);
  ForEachLine(result, [&lines](const LineBuffer& line) { lines.emplace_back(line.View()); });
  return lines;
}

std::string ResultsListText(const nozzle::DesignResult& result) {
  std::string text;
  const double N = result.inputs.N;
  text.reserve(static_cast<std::size_t>(N * (N + 5) / 2 * 60) + 256);
  ForEachLine(result, [&text](const LineBuffer& line) {
    text += line.View();
    text += '\n';
  });
  return text;
}

}  // namespace report
