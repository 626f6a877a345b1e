#include "cfd/exit_flow.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "report/number_text.h"

namespace cfd {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw FieldError("cannot read \"" + path.string() + "\"");
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The numbers of a list "n ( v ... )" or "n ( (a b c) ... )" starting at `at`, flattened.
std::vector<double> ReadList(const std::string& text, std::size_t at, std::size_t count, int width,
                             const fs::path& path) {
  std::vector<double> values;
  values.reserve(count * static_cast<std::size_t>(width));
  const char* p = text.c_str() + at;
  const char* end = text.c_str() + text.size();
  while (p < end && *p != '(') ++p;
  ++p;
  while (values.size() < count * static_cast<std::size_t>(width) && p < end) {
    while (p < end && (*p == '(' || *p == ')' || std::isspace(static_cast<unsigned char>(*p)))) ++p;
    char* next = nullptr;
    const double v = std::strtod(p, &next);
    if (next == p) break;
    values.push_back(v);
    p = next;
  }
  if (values.size() != count * static_cast<std::size_t>(width)) {
    throw FieldError("\"" + path.string() + "\" holds fewer values than the mesh has cells");
  }
  for (const double v : values) {
    if (!std::isfinite(v)) throw FieldError("\"" + path.string() + "\" holds a value that is not finite: the run diverged");
  }
  return values;
}

// The internal field of a cell field: `width` numbers per cell.
std::vector<double> ReadCellField(const fs::path& path, std::size_t cells, int width) {
  const std::string text = ReadAll(path);
  const std::size_t at = text.find("internalField");
  if (at == std::string::npos) throw FieldError("\"" + path.string() + "\" has no internalField");
  std::istringstream entry(text.substr(at + 13, 64));
  std::string kind;
  entry >> kind;
  if (kind == "uniform") {
    std::string first;
    entry >> first;
    const double v = std::strtod(first.c_str() + (first[0] == '(' ? 1 : 0), nullptr);
    std::vector<double> values(cells * static_cast<std::size_t>(width), 0.0);
    for (std::size_t i = 0; i < cells; ++i) values[i * static_cast<std::size_t>(width)] = v;
    return values;
  }
  return ReadList(text, text.find('(', at), cells, width, path);
}

fs::path LatestTime(const fs::path& folder) {
  fs::path latest;
  double latestTime = 0.0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    char* end = nullptr;
    const double t = std::strtod(name.c_str(), &end);
    if (entry.is_directory() && end != name.c_str() && *end == '\0' && t > latestTime) {
      latest = entry.path();
      latestTime = t;
    }
  }
  if (latest.empty()) throw FieldError("the case \"" + folder.string() + "\" has no solved time");
  return latest;
}

std::string Percent(double v) { return report::RoundedText(v, 2) + " %"; }

}  // namespace

SolvedFlow ReadSolvedFlow(const fs::path& folder, const CaseFacts& facts) {
  const fs::path time = LatestTime(folder);
  SolvedFlow flow;
  flow.time = std::stod(time.filename().string());
  const std::size_t cells = static_cast<std::size_t>(facts.nx) * static_cast<std::size_t>(facts.ny);
  const std::size_t facePoints = static_cast<std::size_t>(facts.nx + 1) * static_cast<std::size_t>(facts.ny + 1);
  const fs::path pointsPath = folder / "constant" / "polyMesh" / "points";
  const std::string pointsText = ReadAll(pointsPath);
  const std::size_t header = pointsText.find('}');
  const std::size_t start = pointsText.find('(', header == std::string::npos ? 0 : header);
  const std::vector<double> points = ReadList(pointsText, start, facePoints, 3, pointsPath);
  for (std::size_t i = 0; i < facePoints; ++i) {
    flow.pointX.push_back(points[3 * i]);
    flow.pointY.push_back(points[3 * i + 1]);
  }
  flow.Ma = ReadCellField(time / "Ma", cells, 1);
  flow.p = ReadCellField(time / "p", cells, 1);
  flow.T = ReadCellField(time / "T", cells, 1);
  const std::vector<double> U = ReadCellField(time / "U", cells, 3);
  for (std::size_t i = 0; i < cells; ++i) flow.Ux.push_back(U[3 * i]);
  return flow;
}

ExitFigures MeasureExit(const fs::path& folder, const CaseFacts& facts, const SolvedFlow& flow) {
  const double Me = facts.designMach;
  const auto nx = static_cast<std::size_t>(facts.nx);
  ExitFigures f;
  double weighted = 0.0, weights = 0.0;
  f.least = INFINITY;
  f.greatest = -INFINITY;
  for (std::size_t j = 0; j < static_cast<std::size_t>(facts.ny); ++j) {
    const std::size_t cell = j * nx + nx - 1;
    const double y0 = flow.pointY[j * (nx + 1) + nx];
    const double y1 = flow.pointY[(j + 1) * (nx + 1) + nx];
    const double w = facts.gamma * flow.p[cell] / flow.T[cell] * flow.Ux[cell] * (y1 - y0);
    weighted += w * flow.Ma[cell];
    weights += w;
    f.least = std::min(f.least, flow.Ma[cell]);
    f.greatest = std::max(f.greatest, flow.Ma[cell]);
    f.profileY.push_back(0.5 * (y0 + y1));
    f.profileMa.push_back(flow.Ma[cell]);
  }
  f.mean = weighted / weights;
  f.deviationPercent = 100.0 * (f.mean - Me) / Me;
  f.spreadPercent = 100.0 * (f.greatest - f.least) / Me;
  f.axisGreatest = *std::max_element(flow.Ma.begin(), flow.Ma.begin() + static_cast<std::ptrdiff_t>(nx));
  f.overshootPercent = 100.0 * (f.axisGreatest - Me) / Me;

  std::ifstream history(folder / "postProcessing" / "exitMach" / "0" / "surfaceFieldValue.dat");
  std::vector<std::pair<double, double>> means;
  for (std::string line; std::getline(history, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    double t = 0.0, m = 0.0;
    if (fields >> t >> m) means.emplace_back(t, m);
  }
  if (!means.empty() && means.back().first - means.front().first >= facts.flowThroughTime) {
    const double end = means.back().first;
    const auto before = std::lower_bound(means.begin(), means.end(), end - facts.flowThroughTime,
                                         [](const auto& entry, double t) { return entry.first < t; });
    f.steadinessKnown = true;
    f.lastChangePercent = 100.0 * std::fabs(means.back().second - before->second) / means.back().second;
    f.steady = f.lastChangePercent < 0.1;
  }
  return f;
}

std::string ExitProfileCsv(const ExitFigures& figures) {
  std::string csv = "y,Ma\n";
  for (std::size_t i = 0; i < figures.profileY.size(); ++i) {
    csv += report::ShortestText(figures.profileY[i]) + "," + report::ShortestText(figures.profileMa[i]) + "\n";
  }
  return csv;
}

std::string CheckReport(const ExitFigures& f, const CaseFacts& facts) {
  const auto mach = [](double v) { return report::RoundedText(v, 4); };
  std::string text = "CFD check: rhoCentralFoam, inviscid, " + std::to_string(facts.nx) + " x " +
                     std::to_string(facts.ny) + " cells, " + std::to_string(facts.jobs) + " core" +
                     (facts.jobs > 1 ? "s" : "") +
                     (facts.gamma == 1.4 ? std::string() : ", gamma = " + report::ShortestText(facts.gamma)) + "\n";
  text += "Exit Mach number, mass-flow-weighted mean = " + mach(f.mean) + "\n";
  text += "Exit Mach number, least = " + mach(f.least) + "\n";
  text += "Exit Mach number, greatest = " + mach(f.greatest) + "\n";
  text += "Deviation of the mean from Me = " + Percent(f.deviationPercent) + "\n";
  text += "Spread across the exit (greatest - least) / Me = " + Percent(f.spreadPercent) + "\n";
  text += "Largest Mach number on the axis = " + mach(f.axisGreatest) + "\n";
  text += "Axis overshoot over Me = " + Percent(f.overshootPercent) + "\n";
  text += "Steady exit (mean changed by less than 0.1 % over the last flow-through time) = ";
  text += f.steadinessKnown ? (f.steady ? "yes" : "no") + std::string(" (") + Percent(f.lastChangePercent) + ")\n"
                            : "unknown (the run is shorter than a flow-through time)\n";
  const bool good = std::fabs(f.deviationPercent) <= 0.3 && f.spreadPercent <= 2.0 && f.overshootPercent <= 1.0;
  if (!f.steady) {
    text += "Verdict: not settled: run the case longer before judging the wall\n";
  } else if (good) {
    text += "Verdict: uniform parallel flow at Me: mean within 0.3 %, spread within 2 %, overshoot within 1 %\n";
  } else {
    text += "Verdict: the exit flow is not uniform at Me: the wall needs more waves or a finer mesh\n";
  }
  return text;
}

}  // namespace cfd
