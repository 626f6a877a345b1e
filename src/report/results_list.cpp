#include "report/results_list.h"

#include "report/number_text.h"

namespace report {

std::vector<std::string> ResultsListLines(const nozzle::DesignResult& result) {
  using nozzle::CountedLoop;
  using nozzle::Index;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  std::vector<std::string> lines;
  lines.push_back("TetaMax  = " + RoundedText(result.TetaMax));
  lines.emplace_back(" ");
  CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    lines.push_back("K- = " + RoundedText(net.Kminus(J)) + "  K+ = " + RoundedText(net.Kplus(J)));
  });
  CountedLoop(1.0, N, [&](double j) {
    lines.emplace_back();
    CountedLoop(j, N + 1.0, [&](double k) {
      const int J = Index(j);
      const int K = Index(k);
      lines.push_back("TETA = " + RoundedText(net.Teta(J, K)) + "   Nu = " + RoundedText(net.Nu(J, K)) +
                      "   M = " + RoundedText(net.M(J, K)) + "   x = " + RoundedText(net.x(J, K)) +
                      "   y = " + RoundedText(net.y(J, K)));
    });
  });
  return lines;
}

}  // namespace report
