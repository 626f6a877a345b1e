#include "cfd/design_case.h"

#include "report/axisymmetric_outputs.h"

namespace cfd {
namespace {

// parts - 1 points evenly between a and b, their states interpolated linearly.
void Between(std::vector<FlowSample>& samples, const FlowSample& a, const FlowSample& b, int parts) {
  for (int i = 1; i < parts; ++i) {
    const double s = static_cast<double>(i) / parts;
    samples.push_back(
        {a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.M + s * (b.M - a.M), a.teta + s * (b.teta - a.teta)});
  }
}

FlowSample At(const nozzle::FlowPoint& p) { return {p.x, p.y, p.M, p.Teta}; }

}  // namespace

// The planar flow: the net points, the wall points (with the state of the last net
// point on their C+ line, which holds it up to the wall) and points along every piece
// of a characteristic between them. The fan's points all sit at the throat corner;
// its state lives along the straight C- rays from the corner to the first C+ line,
// where it is sampled instead. Without them the region next to the wall behind the
// corner would start near Mach 1 and the error would leave only slowly, with the
// speed u - a of the near-sonic flow there.
DesignCase CaseOf(const nozzle::DesignResult& result) {
  using nozzle::Index;
  DesignCase c;
  c.inputs = result.inputs;
  c.wall = report::WallPoints(result);
  c.plan = report::MakeDrawingPlan(result);
  c.wallWarning = result.wallWarning;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  const int W = Index(N + 1.0);
  const int last = Index(N);
  const auto at = [&net](int j, int k) { return FlowSample{net.x(j, k), net.y(j, k), net.M(j, k), net.Teta(j, k)}; };
  std::vector<FlowSample>& samples = c.samples;
  nozzle::CountedLoop(1.0, N, [&](double k) {
    const int K = Index(k);
    Between(samples, at(0, K), at(1, K), 16);
  });
  nozzle::CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    nozzle::CountedLoop(j, N, [&](double k) {
      const int K = Index(k);
      samples.push_back(at(J, K));
      if (J > 1) Between(samples, at(J - 1, K), at(J, K), 2);
      if (K > J) Between(samples, at(J, K - 1), at(J, K), 2);
    });
    FlowSample wall = at(J, W);
    wall.M = net.M(J, last);
    wall.teta = net.Teta(J, last);
    samples.push_back(wall);
    Between(samples, at(J, last), wall, 4);
  });
  c.axisEnd = net.x(last, last);
  return c;
}

// The round flow: the fan's rays and the kernel's C- pieces as above, then every C+
// line from the axis on to its wall point, which carries its own state.
DesignCase CaseOf(const nozzle::AxisymmetricDesign& d) {
  DesignCase c;
  c.inputs = d.inputs;
  c.axisymmetric = true;
  c.wall = report::WallPoints(d);
  c.plan = report::MakeDrawingPlan(d);
  c.wallWarning = d.wallWarning;
  std::vector<FlowSample>& samples = c.samples;
  const int W = d.W;
  for (int k = 1; k <= W; ++k) Between(samples, At(d.Kernel(0, k)), At(d.Kernel(1, k)), 16);
  for (int j = 1; j <= W; ++j) {
    for (int k = j; k <= W; ++k) {
      if (j > 1) Between(samples, At(d.Kernel(j - 1, k)), At(d.Kernel(j, k)), 2);
    }
  }
  for (std::size_t l = 0; l < d.cPlusLines.size(); ++l) {
    const auto& line = d.cPlusLines[l];
    FlowSample previous = At(line.points.front());
    samples.push_back(previous);
    const auto add = [&](const nozzle::FlowPoint& p, int parts) {
      Between(samples, previous, At(p), parts);
      samples.push_back(At(p));
      previous = At(p);
    };
    for (std::size_t k = 1; k < line.points.size(); ++k) add(line.points[k], 2);
    for (const nozzle::FlowPoint& p : line.beyond) add(p, 2);
    if (l + 1 < d.cPlusLines.size()) add(d.wall[l + 1], 4);
  }
  c.axisEnd = d.Kernel(W, W).x;
  return c;
}

}  // namespace cfd
