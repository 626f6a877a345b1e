#include "report/contour.h"

#include "report/number_text.h"

namespace report {

std::string WallContourCsv(const nozzle::DesignResult& result) {
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  const int W = nozzle::Index(N + 1.0);
  std::string csv = "x,y\n";
  nozzle::CountedLoop(0.0, N, [&](double j) {
    const int J = nozzle::Index(j);
    csv += ShortestText(net.x(J, W)) + "," + ShortestText(net.y(J, W)) + "\n";
  });
  return csv;
}

}  // namespace report
