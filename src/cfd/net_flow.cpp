#include "cfd/net_flow.h"

#include <algorithm>

#include "cfd/case_files.h"
#include "cfd/exit_flow.h"
#include "report/number_text.h"

namespace cfd {
namespace {

// The mesh's values (at increasing `centres`) at each of the net's points, beside them.
NetRow Compare(const std::vector<double>& centres, const std::vector<double>& values,
               const std::vector<std::array<double, 2>>& net) {
  NetRow row;
  for (const auto& [at, value] : net) {
    const auto above = std::lower_bound(centres.begin(), centres.end(), at);
    if (above == centres.begin() || above == centres.end()) continue;
    const auto k = static_cast<std::size_t>(above - centres.begin());
    const double s = (at - centres[k - 1]) / (centres[k] - centres[k - 1]);
    const double mesh = values[k - 1] + s * (values[k] - values[k - 1]);
    row.at.push_back(at);
    row.mesh.push_back(mesh);
    row.net.push_back(value);
    const double percent = 100.0 * std::fabs(mesh - value) / value;
    if (!(percent <= row.largestPercent)) {
      row.largestPercent = percent;
      row.largestAt = at;
    }
  }
  return row;
}

}  // namespace

NetComparison CompareNet(const SolvedFlow& flow, const FlowFacts& facts, const std::vector<double>& exitY,
                         const std::vector<double>& exitMa) {
  NetComparison comparison;
  if (!facts.net) return comparison;
  const auto nx = static_cast<std::size_t>(flow.nx);
  const std::size_t j = static_cast<std::size_t>(flow.ny) - 1;
  const double scale = MeshUnit(flow, facts);
  const double p0 = StagnationInlet::Of(facts.gas).p0;
  const auto centre = [&](std::size_t i, std::size_t row) {
    double x = 0.0, y = 0.0;
    for (const std::size_t corner : {row * (nx + 1) + i, row * (nx + 1) + i + 1, (row + 1) * (nx + 1) + i,
                                     (row + 1) * (nx + 1) + i + 1}) {
      x += 0.25 * flow.pointX[corner] / scale;
      y += 0.25 * flow.pointY[corner] / scale;
    }
    return std::array<double, 2>{x, y};
  };
  std::vector<double> x, p;
  for (std::size_t i = 0; i < nx; ++i) {
    x.push_back(centre(i, j)[0]);
    p.push_back(flow.p[j * nx + i] / p0);
  }
  comparison.wall = Compare(x, p, facts.net->wallPressure);
  if (const auto& shock = facts.net->shock) {
    // The column nearest the shock point, and the row whose centre there lies nearest it.
    std::size_t column = 0, row = 0;
    for (std::size_t i = 1; i < nx; ++i) {
      if (std::fabs(x[i] - (*shock)[0]) < std::fabs(x[column] - (*shock)[0])) column = i;
    }
    for (std::size_t k = 1; k <= j; ++k) {
      if (std::fabs(centre(column, k)[1] - (*shock)[1]) < std::fabs(centre(column, row)[1] - (*shock)[1])) row = k;
    }
    Compression& steepest = comparison.compression;
    for (std::size_t i = 1; i < nx; ++i) {
      const auto a = centre(i - 1, row), b = centre(i, row);
      if (a[0] < 0.0 || !(b[0] > a[0])) continue;
      const double steepness = std::log(flow.p[row * nx + i] / flow.p[row * nx + i - 1]) / (b[0] - a[0]);
      if (!(steepness <= steepest.steepness)) steepest = {0.5 * (a[0] + b[0]), 0.5 * (a[1] + b[1]), steepness};
    }
  }
  std::vector<double> y;
  for (const double v : exitY) y.push_back(v / scale);
  comparison.exit = Compare(y, exitMa, facts.net->exitMach);
  return comparison;
}

std::string NetProfileCsv(const NetComparison& comparison) {
  std::string csv = "row,at,cfd,net\n";
  for (const auto& [name, row] : {std::pair{"wall", &comparison.wall}, std::pair{"exit", &comparison.exit}}) {
    for (std::size_t i = 0; i < row->at.size(); ++i) {
      csv += std::string(name) + "," + report::ShortestText(row->at[i]) + "," + report::ShortestText(row->mesh[i]) +
             "," + report::ShortestText(row->net[i]) + "\n";
    }
  }
  return csv;
}

}  // namespace cfd
