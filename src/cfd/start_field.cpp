#include "cfd/start_field.h"

#include <algorithm>
#include <cmath>

namespace cfd {
namespace {

using Point = report::ContourPoint;

// The point at the fraction s of the wall's arc length, as blockMesh spaces a polyLine edge.
Point AlongWall(const std::vector<Point>& wall, double s) {
  std::vector<double> arc{0.0};
  for (std::size_t i = 1; i < wall.size(); ++i) {
    arc.push_back(arc.back() + std::hypot(wall[i].x - wall[i - 1].x, wall[i].y - wall[i - 1].y));
  }
  const double target = s * arc.back();
  const auto it = std::upper_bound(arc.begin(), arc.end(), target);
  const std::size_t i = std::clamp<std::size_t>(static_cast<std::size_t>(it - arc.begin()), 1, wall.size() - 1);
  const double t = (target - arc[i - 1]) / (arc[i] - arc[i - 1]);
  return {wall[i - 1].x + t * (wall[i].x - wall[i - 1].x), wall[i - 1].y + t * (wall[i].y - wall[i - 1].y)};
}

// A state of the design's flow at a point: Mach number and flow angle (degrees).
struct Sample {
  double x, y, M, teta;
};

// The flow of the design as scattered samples: the net points, the wall points (with
// the state of the last net point on their C+ line, which holds it up to the wall),
// points along every piece of a characteristic between them, the uniform sonic
// throat section and the uniform exit region. The fan's points all sit at the throat
// corner; its state lives along the straight C- rays from the corner to the first
// C+ line, where it is sampled instead. Without them the region next to the wall
// behind the corner would start near Mach 1 and the error would leave only slowly,
// with the speed u - a of the near-sonic flow there.
std::vector<Sample> DesignSamples(const nozzle::DesignResult& result, const FlowFacts& facts) {
  using nozzle::Index;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  const int W = Index(N + 1.0);
  const int last = Index(N);
  const auto at = [&net](int j, int k) { return Sample{net.x(j, k), net.y(j, k), net.M(j, k), net.Teta(j, k)}; };
  std::vector<Sample> samples;
  // parts - 1 points evenly between a and b, their states interpolated linearly.
  const auto between = [&samples](const Sample& a, const Sample& b, int parts) {
    for (int i = 1; i < parts; ++i) {
      const double s = static_cast<double>(i) / parts;
      samples.push_back({a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.M + s * (b.M - a.M),
                         a.teta + s * (b.teta - a.teta)});
    }
  };
  nozzle::CountedLoop(1.0, N, [&](double k) {
    const int K = Index(k);
    between(at(0, K), at(1, K), 16);
  });
  nozzle::CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    nozzle::CountedLoop(j, N, [&](double k) {
      const int K = Index(k);
      samples.push_back(at(J, K));
      if (J > 1) between(at(J - 1, K), at(J, K), 2);
      if (K > J) between(at(J, K - 1), at(J, K), 2);
    });
    Sample wall = at(J, W);
    wall.M = net.M(J, last);
    wall.teta = net.Teta(J, last);
    samples.push_back(wall);
    between(at(J, last), wall, 4);
  });
  const double axisEnd = net.x(last, last);
  for (int i = 0; i <= 20; ++i) {
    const double s = i / 20.0;
    samples.push_back({0.0, s * 0.95, 1.0, 0.0});
    samples.push_back({facts.length, s * facts.exitHalfHeight, facts.designMach, 0.0});
    samples.push_back({axisEnd + s * (facts.length - axisEnd), 0.0, facts.designMach, 0.0});
  }
  return samples;
}

// The design's flow at every cell centre, by inverse-distance weighting of the
// nearest samples. A start close to the steady two-dimensional flow shortens the
// transient, most of all in the slow transonic region behind the throat.
}  // namespace

double IsentropicT(double M, double g) { return (1.0 + 0.5 * (g - 1.0)) / (1.0 + 0.5 * (g - 1.0) * M * M); }

StartField FromDesign(const nozzle::DesignResult& result, const std::vector<report::ContourPoint>& wall,
                      const FlowFacts& facts, int nx, int ny) {
  constexpr std::size_t kNearest = 6;
  const std::vector<Sample> samples = DesignSamples(result, facts);
  StartField field;
  std::vector<std::pair<double, std::size_t>> distances(samples.size());
  std::vector<Point> tops;
  std::vector<double> along;  // the cell centres' fractions of the length, graded as blockMesh grades
  const double r = std::pow(kGradingAlong, 1.0 / std::max(1, nx - 1));
  double edge = 0.0, total = 0.0;
  for (int i = 0; i < nx; ++i) total += std::pow(r, i);
  for (int i = 0; i < nx; ++i) {
    const double width = std::pow(r, i) / total;
    along.push_back(edge + 0.5 * width);
    edge += width;
    tops.push_back(AlongWall(wall, along.back()));
  }
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      const double s = along[static_cast<std::size_t>(i)];
      const double across = (j + 0.5) / ny;
      const Point& top = tops[static_cast<std::size_t>(i)];
      const double x = (1.0 - across) * s * facts.length + across * top.x;
      const double y = across * top.y;
      for (std::size_t n = 0; n < samples.size(); ++n) {
        distances[n] = {std::hypot(samples[n].x - x, samples[n].y - y), n};
      }
      std::partial_sort(distances.begin(), distances.begin() + kNearest, distances.end());
      double weights = 0.0, M = 0.0, teta = 0.0;
      for (std::size_t n = 0; n < kNearest; ++n) {
        const double w = 1.0 / (distances[n].first * distances[n].first + 1e-12);
        weights += w;
        M += w * samples[distances[n].second].M;
        teta += w * samples[distances[n].second].teta;
      }
      M = std::max(1.0, M / weights);
      const double angle = teta / weights * std::acos(-1.0) / 180.0;
      const double T = IsentropicT(M, facts.gamma);
      const double u = M * std::sqrt(T);
      field.T.push_back(T);
      field.p.push_back(std::pow(T, facts.gamma / (facts.gamma - 1.0)));
      field.ux.push_back(u * std::cos(angle));
      field.uy.push_back(u * std::sin(angle));
    }
  }
  return field;
}

}  // namespace cfd
