#include "cfd/throat_flow.h"

#include <cmath>

#include "moc/transonic.h"
#include "report/number_text.h"

namespace cfd {
namespace {

double SonicX(const std::vector<double>& x, const std::vector<double>& M) {
  for (std::size_t i = 1; i < x.size(); ++i) {
    if (M[i - 1] < 1.0 && M[i] >= 1.0) return x[i - 1] + (1.0 - M[i - 1]) / (M[i] - M[i - 1]) * (x[i] - x[i - 1]);
  }
  return NAN;
}

}  // namespace

ThroatFlow CompareThroat(const SolvedFlow& flow, const FlowFacts& facts) {
  const auto nx = static_cast<std::size_t>(flow.nx);
  const auto ny = static_cast<std::size_t>(flow.ny);
  const double scale = MeshUnit(flow, facts);
  const moc::TransonicThroat series(facts.gas, facts.axisymmetric ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar,
                                    facts.plenum->throatRadius);
  ThroatFlow throat;
  for (ThroatRow* row : {&throat.axis, &throat.wall}) {
    const std::size_t j = row == &throat.axis ? 0 : ny - 1;
    for (std::size_t i = 0; i < nx; ++i) {
      double x = 0.0, y = 0.0;
      for (const std::size_t corner : {j * (nx + 1) + i, j * (nx + 1) + i + 1, (j + 1) * (nx + 1) + i,
                                       (j + 1) * (nx + 1) + i + 1}) {
        x += 0.25 * flow.pointX[corner] / scale;
        y += 0.25 * flow.pointY[corner] / scale;
      }
      if (std::fabs(x) > kThroatReach) continue;
      double M = NAN;
      try {
        M = series.MachAt(x, y);
      } catch (const moc::ThroatError&) {
      }
      if (!std::isfinite(M)) continue;
      row->x.push_back(x);
      row->y.push_back(y);
      row->mesh.push_back(flow.Ma[j * nx + i]);
      row->series.push_back(M);
    }
    row->meshSonicX = SonicX(row->x, row->mesh);
    row->seriesSonicX = SonicX(row->x, row->series);
  }
  return throat;
}

std::string ThroatProfileCsv(const ThroatFlow& throat) {
  std::string csv = "row,x,y,Ma_cfd,Ma_series\n";
  for (const auto& [name, row] : {std::pair{"axis", &throat.axis}, std::pair{"wall", &throat.wall}}) {
    for (std::size_t i = 0; i < row->x.size(); ++i) {
      csv += std::string(name) + "," + report::ShortestText(row->x[i]) + "," + report::ShortestText(row->y[i]) + "," +
             report::ShortestText(row->mesh[i]) + "," + report::ShortestText(row->series[i]) + "\n";
    }
  }
  return csv;
}

}  // namespace cfd
