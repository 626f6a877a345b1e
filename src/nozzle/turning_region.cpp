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
  const int K = static_cast<int>(in.axis.size());
  region.K = K;
  std::vector<std::vector<State>> lines{in.last};
  const State& start = K > 0 ? in.axis.back() : in.last.front();  // C, where the exit characteristic begins
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
  // Turning line i's point m, computed when first asked for (with those it rests on):
  // from its neighbour downstream on the line and the one upstream on its C+ line.
  const auto ensure = [&](auto&& self, int i, int m) -> const State& {
    if (static_cast<int>(lines.size()) <= i) lines.resize(static_cast<std::size_t>(i + 1));
    while (static_cast<int>(lines[static_cast<std::size_t>(i)].size()) <= m) {
      const int n = static_cast<int>(lines[static_cast<std::size_t>(i)].size());
      if (n == 0) {
        lines[static_cast<std::size_t>(i)].push_back(i <= K ? in.axis[static_cast<std::size_t>(i - 1)]
                                                            : onExit(in.exitHeight * (i - K) / in.N));
        continue;
      }
      const State upstream = self(self, i - 1, PointOn(i - 1, PlusLineOf(i, n, K), K));
      in.at(i, n);
      const State downstream = lines[static_cast<std::size_t>(i)][static_cast<std::size_t>(n - 1)];
      const State p = net.Interior(downstream, upstream);
      // The point lies downstream of `upstream` along its C+ line and upstream of
      // `downstream` along its C- line, unless characteristics of one family cross.
      const auto ahead = [](const State& from, double angle, const State& q) {
        return (q.x - from.x) * std::cos(angle) + (q.y - from.y) * std::sin(angle) > 0.0;
      };
      if (!ahead(upstream, upstream.theta + upstream.mu, p) || ahead(downstream, downstream.theta - downstream.mu, p)) {
        throw moc::ProcessError("characteristics of one family cross");
      }
      lines[static_cast<std::size_t>(i)].push_back(p);
    }
    return lines[static_cast<std::size_t>(i)][static_cast<std::size_t>(m)];
  };

  // The C+ lines from the top down: those from the last C- line's points, then those
  // from the axis points, up to the exit characteristic (c = -K), which holds the lip.
  region.wall.push_back(in.from);
  for (int c = W - 1, crossed = 1; c > -K; --c, ++crossed) {
    if (K == 0 && c == 0) break;
    const int first = c >= 0 ? 0 : -c;  // the turning line the C+ line starts on
    in.at(0, crossed);
    const State foot = ensure(ensure, first, PointOn(first, c, K));  // a copy: the lines grow
    const moc::StreamlineCrossing crossing = net.Streamline(
        region.wall.back(), foot, c >= 0 ? in.massTo[static_cast<std::size_t>(c)] : 0.0,
        [&](int j) -> const State& {
          const State& point = ensure(ensure, first + j, PointOn(first + j, c, K));
          in.at(0, crossed);
          return point;
        },
        4 * (in.N + K));
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
