#include "report/results_list.h"

#include "report/number_text.h"

namespace report {

std::vector<std::string> ResultsListHead(const gas::Gas& gas, double TetaMax) {
  std::vector<std::string> head;
  if (!gas.IsAir()) head.push_back("Gamma  = " + ShortestText(gas.gamma));
  head.push_back("TetaMax  = " + RoundedText(TetaMax));
  head.emplace_back(" ");
  return head;
}

namespace {

// Hands every line of the list, in order, to `add`.
template <class Add>
void ForEachLine(const nozzle::DesignResult& result, Add add) {
  using nozzle::CountedLoop;
  using nozzle::Index;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  LineBuffer line;
  for (const std::string& head : ResultsListHead(result.gas, result.TetaMax)) add(head);
  CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    add(line.Clear().Text("K- = ").Rounded(net.Kminus(J)).Text("  K+ = ").Rounded(net.Kplus(J)).View());
  });
  CountedLoop(1.0, N, [&](double j) {
    add(line.Clear().View());
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
              .Rounded(net.y(J, K))
              .View());
    });
  });
}

}  // namespace

std::vector<std::string> ResultsListLines(const nozzle::DesignResult& result) {
  std::vector<std::string> lines;
  const double N = result.inputs.N;
  lines.reserve(static_cast<std::size_t>(2 + N * (N + 5) / 2) + 8);
  ForEachLine(result, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::string ResultsListText(const nozzle::DesignResult& result) {
  std::string text;
  const double N = result.inputs.N;
  text.reserve(static_cast<std::size_t>(N * (N + 5) / 2 * 60) + 256);
  ForEachLine(result, [&text](std::string_view line) {
    text += line;
    text += '\n';
  });
  return text;
}

}  // namespace report
