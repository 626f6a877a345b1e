#include "cfd/start_field.h"

#include <algorithm>
#include <cmath>

#include "gas/isentropic.h"

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

// The fractions of an edge's length at the centres of `cells` cells in two sections:
// the first `first` cells over the fraction `split` of the edge, their last over their
// first `firstExpansion`, the others over the rest, growing by `expansion`.
std::vector<double> CellCentres(int cells, int first, double split, double firstExpansion, double expansion) {
  std::vector<double> centres;
  const auto section = [&centres](int n, double from, double to, double ratio) {
    const double r = std::pow(ratio, 1.0 / std::max(1, n - 1));
    double total = 0.0, edge = 0.0;
    for (int i = 0; i < n; ++i) total += std::pow(r, i);
    for (int i = 0; i < n; ++i) {
      const double width = std::pow(r, i) / total;
      centres.push_back(from + (to - from) * (edge + 0.5 * width));
      edge += width;
    }
  };
  section(first, 0.0, split, firstExpansion);
  section(cells - first, split, 1.0, expansion);
  return centres;
}

// The design's flow at every cell centre, by inverse-distance weighting of the
// nearest samples. A start close to the steady two-dimensional flow shortens the
// transient, most of all in the slow transonic region behind the throat.
}  // namespace

StartField FromDesign(const DesignCase& design, const FlowFacts& facts, int nx, int ny, int convergentCells) {
  constexpr std::size_t kNearest = 6;
  const std::vector<report::ContourPoint>& wall = design.wall;
  std::vector<FlowSample> samples = design.samples;
  // The uniform sonic inflow section (from the plenum: the convergent's flow, which the
  // design's samples hold) and the uniform exit region.
  for (int i = 0; i <= 20; ++i) {
    const double s = i / 20.0;
    if (!facts.plenum) samples.push_back({facts.inletX, s * 0.95 * facts.inletHeight, 1.0, 0.0});
    samples.push_back({facts.length, s * facts.exitHalfHeight, facts.designMach, 0.0});
    samples.push_back({design.axisEnd + s * (facts.length - design.axisEnd), 0.0, facts.designMach, 0.0});
  }
  StartField field;
  std::vector<std::pair<double, std::size_t>> distances(samples.size());
  std::vector<Point> tops;
  // The cell centres' fractions of the length, graded as blockMesh grades: of the axis,
  // and of the wall's arc length (from the plenum the two reach the throat at different
  // fractions; else alike, one section).
  const std::optional<Plenum>& plenum = facts.plenum;
  const double expansion = plenum ? plenum->convergentExpansion : 1.0;
  const std::vector<double> along = CellCentres(
      nx, convergentCells, plenum ? -facts.inletX / (facts.length - facts.inletX) : 0.0, expansion, GradingAlong(facts));
  const std::vector<double> alongWall =
      plenum ? CellCentres(nx, convergentCells, plenum->throatFraction, expansion, GradingAlong(facts)) : along;
  for (const double s : alongWall) tops.push_back(AlongWall(wall, s));
  // Supersonic throughout but for the plenum's convergent section.
  const double leastMach = plenum ? 0.0 : 1.0;
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      const double s = along[static_cast<std::size_t>(i)];
      const double across = (j + 0.5) / ny;
      const Point& top = tops[static_cast<std::size_t>(i)];
      const double x =
          (1.0 - across) * s * (facts.length - facts.inletX) + (1.0 - across) * facts.inletX + across * top.x;
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
      M = std::max(leastMach, M / weights);
      const double angle = teta / weights * std::acos(-1.0) / 180.0;
      const double T = facts.gas.TemperatureRatio(M);
      const double u = M * std::sqrt(T);
      field.T.push_back(T);
      field.p.push_back(facts.gas.PressureRatioOfTemperature(T));
      field.ux.push_back(u * std::cos(angle));
      field.uy.push_back(u * std::sin(angle));
    }
  }
  return field;
}

}  // namespace cfd
