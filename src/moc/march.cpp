#include "moc/march.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace moc {
namespace {

std::string Where(const char* what, int row, int index, const Point& near) {
  char text[160];
  std::snprintf(text, sizeof text, "%s at row %d, point %d (x = %.6g, y = %.6g)", what, row, index, near.x, near.y);
  return text;
}

// Whether p lies downstream of `from` along the direction `angle`.
bool Ahead(const Point& from, double angle, const Point& p) {
  return (p.x - from.x) * std::cos(angle) + (p.y - from.y) * std::sin(angle) > 0.0;
}

}  // namespace

std::vector<Point> MarchedNet::CPlusLine(int row, int index) const {
  std::vector<Point> line{rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)].state};
  for (std::size_t r = static_cast<std::size_t>(row) + 1; r < rows.size(); ++r) {
    bool found = false;
    for (std::size_t i = 0; i < rows[r].size() && !found; ++i) {
      const NetPoint& p = rows[r][i];
      if (p.plusRow == row && p.plusIndex == index) {
        line.push_back(p.state);
        row = static_cast<int>(r);
        index = static_cast<int>(i);
        found = true;
      }
    }
    if (!found) break;
  }
  return line;
}

std::vector<std::vector<std::pair<int, int>>> MarchedNet::Chains(bool minus) const {
  std::map<std::pair<int, int>, std::size_t> chainOf;
  std::vector<std::vector<std::pair<int, int>>> chains;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t i = 0; i < rows[r].size(); ++i) {
      const NetPoint& p = rows[r][i];
      const std::pair<int, int> parent = minus ? std::pair{p.minusRow, p.minusIndex} : std::pair{p.plusRow, p.plusIndex};
      const std::pair<int, int> self{static_cast<int>(r), static_cast<int>(i)};
      const auto found = chainOf.find(parent);
      if (parent.first >= 0 && found != chainOf.end()) {
        chains[found->second].push_back(self);
        chainOf[self] = found->second;
      } else {
        chainOf[self] = chains.size();
        chains.push_back({self});
      }
    }
  }
  return chains;
}

MarchedNet March(const UnitProcesses& processes, const MarchSetup& setup) {
  MarchedNet net;
  std::vector<NetPoint>& start = net.rows.emplace_back();
  for (std::size_t i = 0; i < setup.start.size(); ++i) {
    NetPoint p;
    p.state = setup.start[i];
    p.onAxis = setup.axisBelow && i == 0 && p.state.y == 0.0;
    p.onWall = setup.wall != nullptr && i + 1 == setup.start.size();
    start.push_back(p);
  }
  const WallCurve* wall = setup.wall;
  int lastWallRow = wall != nullptr ? 0 : -1;
  for (int r = 1; r <= setup.maxRows; ++r) {
    if (setup.wallEndsAtXEnd && wall != nullptr && !net.rows.back().empty() && !net.rows.back().back().onWall) {
      // The wall point of this row would lie past the wall's end: the end point
      // joins the row before, above its highest point, whose C- line it sends on.
      const Point& top = net.rows.back().back().state;
      try {
        if (processes.OnWall(top, *wall).x > setup.xEnd) {
          const Point& before = net.rows[static_cast<std::size_t>(lastWallRow)].back().state;
          NetPoint end;
          end.state = processes.OnWallAt(before, top, *wall, setup.xEnd);
          end.onWall = true;
          net.rows.back().push_back(end);
          net.wallEndRow = r - 1;
          wall = nullptr;
        }
      } catch (const std::logic_error& error) {
        throw MarchError(Where(error.what(), r, static_cast<int>(net.rows.back().size()), top));
      }
    }
    const std::vector<NetPoint>& last = net.rows.back();
    if (last.empty()) break;
    const int previous = r - 1;
    std::vector<NetPoint> row;
    int index = 0;
    Point near = last.front().state;
    try {
      if (setup.axisBelow && !last.front().onAxis) {
        NetPoint p;
        p.state = processes.Axis(last.front().state);
        p.minusRow = previous;
        p.minusIndex = 0;
        p.onAxis = true;
        row.push_back(p);
      }
      for (std::size_t i = 0; i + 1 < last.size(); ++i) {
        index = static_cast<int>(row.size());
        const Point& a = last[i + 1].state;
        const Point& b = last[i].state;
        near = b;
        NetPoint p;
        p.state = processes.Interior(a, b);
        p.minusRow = p.plusRow = previous;
        p.minusIndex = static_cast<int>(i + 1);
        p.plusIndex = static_cast<int>(i);
        if (!Ahead(a, a.theta - a.mu, p.state) || !Ahead(b, b.theta + b.mu, p.state) ||
            (!row.empty() && !(p.state.y > row.back().state.y))) {
          net.shock = Shock{r, index, p.state.x, p.state.y};
          return net;
        }
        row.push_back(p);
      }
      if (wall != nullptr && !last.back().onWall) {
        index = static_cast<int>(row.size());
        near = last.back().state;
        NetPoint p;
        p.state = processes.OnWall(last.back().state, *wall);
        p.plusRow = previous;
        p.plusIndex = static_cast<int>(last.size() - 1);
        p.onWall = true;
        if (!row.empty() && !(p.state.y > row.back().state.y)) {
          net.shock = Shock{r, index, p.state.x, p.state.y};
          return net;
        }
        row.push_back(p);
      }
    } catch (const std::logic_error& error) {  // ProcessError, gas::ArithmeticError
      throw MarchError(Where(error.what(), r, index, near));
    }
    const bool pastEnd =
        !setup.wallEndsAtXEnd && !row.empty() && row.back().onWall && row.back().state.x > setup.xEnd;
    if (!row.empty() && row.back().onWall) lastWallRow = r;
    net.rows.push_back(std::move(row));
    if (pastEnd) break;
  }
  return net;
}

}  // namespace moc
