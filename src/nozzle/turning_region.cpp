#include "nozzle/turning_region.h"

#include <algorithm>
#include <cmath>

namespace nozzle {

using gas::Divide;
using gas::Finite;
using State = moc::Point;

TurningRegion CloseTurningRegion(const moc::UnitProcesses& net, const TurningRegionInputs& in) {
  TurningRegion region;
  const int W = static_cast<int>(in.last.size());
  std::vector<std::vector<State>> lines{in.last};
  const State& start = in.last.front();
  const double muE = std::asin(1.0 / in.Me);
  const double exitSlope = std::tan(muE);
  const double nuE = in.nuE;
  const auto onExit = [&](double y) {
    State s;
    s.x = start.x + y / exitSlope;
    s.y = y;
    s.nu = nuE;
    s.M = in.Me;
    s.mu = muE;
    return s;
  };
  // Turning line i's point n, computed when first asked for (with those it rests on).
  const auto ensure = [&](auto&& self, int i, int n) -> const State& {
    if (static_cast<int>(lines.size()) <= i) lines.resize(static_cast<std::size_t>(i + 1));
    while (static_cast<int>(lines[static_cast<std::size_t>(i)].size()) <= n) {
      const int m = static_cast<int>(lines[static_cast<std::size_t>(i)].size());
      if (m == 0) {
        lines[static_cast<std::size_t>(i)].push_back(onExit(in.exitHeight * i / in.N));
        continue;
      }
      const State upstream = self(self, i - 1, m);
      in.at(i, m);
      const State downstream = lines[static_cast<std::size_t>(i)][static_cast<std::size_t>(m - 1)];
      lines[static_cast<std::size_t>(i)].push_back(net.Interior(downstream, upstream));
    }
    return lines[static_cast<std::size_t>(i)][static_cast<std::size_t>(n)];
  };

  region.wall.push_back(in.from);
  for (int c = 0; c + 1 < W; ++c) {
    const int n = W - 1 - c;
    in.at(0, c + 1);
    const moc::StreamlineCrossing crossing = net.Streamline(
        region.wall.back(), in.last[static_cast<std::size_t>(n)], in.massTo[static_cast<std::size_t>(n)],
        [&](int i) -> const State& {
          const State& point = ensure(ensure, i, n);
          in.at(0, c + 1);
          return point;
        },
        4 * in.N);
    region.wall.push_back(crossing.point);
    region.inside.push_back(crossing.inside);
    region.massMiss = std::max(region.massMiss, std::fabs(crossing.mass / in.massOfWall - 1.0));
  }

  // The lip: where the wall chord, ending at theta = 0, meets the exit characteristic.
  in.at(-1, 0);
  const State from = region.wall.back();
  const double slope = std::tan(0.5 * from.theta);
  State lip = onExit(0.0);
  lip.x = Divide(Finite((from.y - start.y) + exitSlope * start.x - slope * from.x), exitSlope - slope);
  lip.y = Finite(start.y + exitSlope * (lip.x - start.x));
  region.wall.push_back(lip);
  region.lines.assign(lines.begin() + 1, lines.end());
  return region;
}

}  // namespace nozzle
