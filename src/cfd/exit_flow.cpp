#include "cfd/exit_flow.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>

#include "report/number_text.h"

namespace cfd {
namespace {

namespace fs = std::filesystem;

// The whole file; none when it cannot be read (a history not written yet).
std::optional<std::string> ReadIfThere(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string ReadAll(const fs::path& path) {
  std::optional<std::string> text = ReadIfThere(path);
  if (!text) throw FieldError("cannot read \"" + path.string() + "\"");
  return std::move(*text);
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

// The time a folder is named by ("0", "3133", "0.5"); none for any other name.
std::optional<double> FolderTime(const fs::path& folder) {
  const std::string name = folder.filename().string();
  char* end = nullptr;
  const double t = std::strtod(name.c_str(), &end);
  if (end == name.c_str() || *end != '\0') return std::nullopt;
  return t;
}

fs::path LatestTime(const fs::path& folder) {
  fs::path latest;
  double latestTime = 0.0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::optional<double> t = FolderTime(entry.path());
    if (entry.is_directory() && t && *t > latestTime) {
      latest = entry.path();
      latestTime = *t;
    }
  }
  if (latest.empty()) throw FieldError("the case \"" + folder.string() + "\" has no solved time");
  return latest;
}

// Appends the rows "iteration value value ..." of `text` up to its last line end;
// '#' lines skipped. Returns the characters taken.
std::size_t ParseRows(std::string_view text, std::vector<std::vector<double>>& rows) {
  const std::size_t complete = text.rfind('\n');
  if (complete == std::string_view::npos) return 0;
  std::size_t at = 0;
  while (at <= complete) {
    const std::size_t eol = text.find('\n', at);
    const char* p = text.data() + at;
    const char* const lineEnd = text.data() + eol;
    at = eol + 1;
    if (p == lineEnd || *p == '#') continue;
    std::vector<double> row;
    for (;;) {
      while (p < lineEnd && (*p == ' ' || *p == '\t' || *p == '\r')) ++p;
      if (p == lineEnd) break;
      char* next = nullptr;
      const double v = std::strtod(p, &next);
      if (next == p) break;
      row.push_back(v);
      p = next;
    }
    if (!row.empty()) rows.push_back(std::move(row));
  }
  return complete + 1;
}

// The solver's last "ExecutionTime = s", 0 when none.
double ExecutionSeconds(const fs::path& log) {
  const std::string text = ReadIfThere(log).value_or("");
  const std::size_t at = text.rfind("ExecutionTime = ");
  return at == std::string::npos ? 0.0 : std::atof(text.c_str() + at + 16);
}

}  // namespace

SolvedFlow ReadSolvedFlow(const fs::path& folder, int nx, int ny) {
  const fs::path time = LatestTime(folder);
  SolvedFlow flow;
  flow.time = std::stod(time.filename().string());
  flow.nx = nx;
  flow.ny = ny;
  const std::size_t cells = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
  const std::size_t facePoints = static_cast<std::size_t>(nx + 1) * static_cast<std::size_t>(ny + 1);
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

ExitHistory ReadExitHistory(const fs::path& meshFolder, double until) {
  return ExitHistoryReader(meshFolder).Read(until);
}

ExitHistoryReader::ExitHistoryReader(fs::path meshFolder) : folder_(std::move(meshFolder)) {}

void ExitHistoryReader::Follow(const fs::path& functionFolder, const std::string& name, std::vector<File>& files) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(functionFolder, error)) {
    const std::optional<double> t = FolderTime(entry.path());
    if (t && std::none_of(files.begin(), files.end(), [t](const File& f) { return f.start == *t; })) {
      files.push_back(File{*t, entry.path() / name, 0, {}});
    }
  }
  std::sort(files.begin(), files.end(), [](const File& a, const File& b) { return a.start < b.start; });
  for (File& file : files) {
    std::ifstream in(file.path, std::ios::binary | std::ios::ate);
    if (!in) continue;
    const auto size = static_cast<std::uintmax_t>(std::max<std::streamoff>(0, in.tellg()));
    if (size < file.offset) {
      file.offset = 0;
      file.rows.clear();
    }
    if (size == file.offset) continue;
    std::string text(size - file.offset, '\0');
    in.seekg(static_cast<std::streamoff>(file.offset));
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    file.offset += ParseRows(text, file.rows);
  }
}

ExitHistory ExitHistoryReader::Read(double until) {
  Follow(folder_ / "postProcessing" / "exitMach", "surfaceFieldValue.dat", means_);
  Follow(folder_ / "postProcessing" / "exitProfile", "Ma", profiles_);
  Follow(folder_ / "postProcessing" / "inletMass", "surfaceFieldValue.dat", massIn_);
  Follow(folder_ / "postProcessing" / "outletMass", "surfaceFieldValue.dat", massOut_);
  ExitHistory history;
  // The two mass histories row by row, as far as both reach.
  std::vector<std::vector<double>> in, out;
  for (const File& file : massIn_) in.insert(in.end(), file.rows.begin(), file.rows.end());
  for (const File& file : massOut_) out.insert(out.end(), file.rows.begin(), file.rows.end());
  for (std::size_t n = 0; n < std::min(in.size(), out.size()); ++n) {
    if (in[n].size() < 2 || out[n].size() < 2 || in[n][0] != out[n][0] || in[n][0] > until) continue;
    history.massIterations.push_back(in[n][0]);
    history.massIn.push_back(-in[n][1]);
    history.massOut.push_back(out[n][1]);
  }
  for (const File& file : means_) {
    for (const auto& row : file.rows) {
      if (row.size() < 2 || row[0] > until) continue;
      history.meanIterations.push_back(row[0]);
      history.means.push_back(row[1]);
    }
  }
  for (const File& file : profiles_) {
    for (const auto& row : file.rows) {
      if (row.size() < 2 || row[0] > until) continue;
      history.profileIterations.push_back(row[0]);
      history.profiles.emplace_back(row.begin() + 1, row.end());
    }
  }
  return history;
}

namespace {

// The averages over [from, to] of a history's rows, one a column.
std::vector<double> Average(const std::vector<double>& at, const std::vector<std::vector<double>>& rows, double from,
                            double to) {
  std::vector<double> sum;
  int count = 0;
  for (std::size_t n = 0; n < rows.size(); ++n) {
    if (at[n] < from || at[n] > to || (!sum.empty() && rows[n].size() != sum.size())) continue;
    if (sum.empty()) sum.assign(rows[n].size(), 0.0);
    for (std::size_t c = 0; c < sum.size(); ++c) sum[c] += rows[n][c];
    ++count;
  }
  for (double& v : sum) v /= std::max(1, count);
  return sum;
}

std::vector<std::vector<double>> Column(const std::vector<double>& values) {
  std::vector<std::vector<double>> rows;
  for (const double v : values) rows.push_back({v});
  return rows;
}

}  // namespace

Steadiness JudgeSteadiness(const ExitHistory& h, int window, int minIterations, double Me, double coreFraction,
                           double coreDriftLimitPercent, double until) {
  Steadiness s;
  const auto lastBy = [until](const std::vector<double>& at) {
    const auto past = std::upper_bound(at.begin(), at.end(), until);
    return past == at.begin() ? -1.0 : *std::prev(past);
  };
  const double lastMean = lastBy(h.meanIterations), lastProfile = lastBy(h.profileIterations);
  if (lastMean < 0.0 || lastProfile < 0.0 || h.profiles.empty()) return s;
  s.end = std::min(lastMean, lastProfile);
  const double from = s.end - window;
  const double middle = s.end - 0.5 * window;
  if (h.meanIterations.front() > from + kMeanEvery || h.profileIterations.front() > from + kProfileEvery) return s;
  s.known = true;
  const auto means = Column(h.means);
  const double early = Average(h.meanIterations, means, from, middle)[0];
  const double late = Average(h.meanIterations, means, middle, s.end)[0];
  s.meanDriftPercent = 100.0 * std::fabs(late - early) / Me;
  const std::vector<double> before = Average(h.profileIterations, h.profiles, from, middle);
  const std::vector<double> after = Average(h.profileIterations, h.profiles, middle, s.end);
  const std::size_t cells = std::min(before.size(), after.size());
  for (std::size_t c = 0; c < cells; ++c) {
    const double drift = 100.0 * std::fabs(after[c] - before[c]) / Me;
    s.cellDriftPercent = std::max(s.cellDriftPercent, drift);
    if ((static_cast<double>(c) + 0.5) / static_cast<double>(cells) <= coreFraction || c == 0) {
      s.coreDriftPercent = std::max(s.coreDriftPercent, drift);
    }
  }
  s.settled = s.end >= minIterations && s.meanDriftPercent <= kSettledMeanDriftPercent &&
              s.coreDriftPercent <= coreDriftLimitPercent && s.cellDriftPercent <= kSettledCellDriftPercent;
  if (!h.massIterations.empty()) {
    const auto in = Column(h.massIn);
    const double earlyIn = Average(h.massIterations, in, from, middle)[0];
    const double lateIn = Average(h.massIterations, in, middle, s.end)[0];
    const double meanOut = Average(h.massIterations, Column(h.massOut), from, s.end)[0];
    const double meanIn = Average(h.massIterations, in, from, s.end)[0];
    s.massDriftPercent = 100.0 * std::fabs(lateIn - earlyIn) / meanIn;
    s.massBalancePercent = 100.0 * std::fabs(meanIn - meanOut) / meanOut;
    s.settled = s.settled && h.massIterations.front() <= from + kMeanEvery &&
                s.massDriftPercent <= kSettledMassDriftPercent && s.massBalancePercent <= kSettledMassBalancePercent;
  }
  return s;
}

namespace {

double ExitDisplacementThickness(const SolvedFlow& flow, const FlowFacts& facts) {
  const auto nx = static_cast<std::size_t>(flow.nx);
  const auto ny = static_cast<std::size_t>(flow.ny);
  const double top = flow.pointY[ny * (nx + 1) + nx];
  std::vector<double> flux(ny), y0(ny), y1(ny);
  std::size_t edge = ny - 1;
  for (std::size_t j = 0; j < ny; ++j) {
    const std::size_t cell = j * nx + nx - 1;
    flux[j] = flow.p[cell] / flow.T[cell] * flow.Ux[cell];
    y0[j] = flow.pointY[j * (nx + 1) + nx];
    y1[j] = flow.pointY[(j + 1) * (nx + 1) + nx];
    if (y0[j] >= 0.5 * top && (edge == ny - 1 || flux[j] > flux[edge])) edge = j;
  }
  double deltaStar = 0.0;
  for (std::size_t j = edge + 1; j < ny; ++j) {
    const double ring = facts.axisymmetric ? 0.5 * (y0[j] + y1[j]) / top : 1.0;
    deltaStar += (1.0 - flux[j] / flux[edge]) * (y1[j] - y0[j]) * ring;
  }
  return deltaStar;
}

// rho* a* A* in the mesh's units (rho* = gamma, a* = 1): the throat of the slab, 0.1
// deep, or the wedge's sector of the throat circle, tan(kWedgeHalfAngle) r*^2.
double ThroatMassFlow(const FlowFacts& facts, double scale) {
  const double area = facts.axisymmetric ? std::tan(kWedgeHalfAngle * std::acos(-1.0) / 180.0) : 0.1;
  return facts.gas.gamma * area * scale * scale;
}

}  // namespace

double MeshUnit(const SolvedFlow& flow, const FlowFacts& facts) {
  const auto nx = static_cast<std::size_t>(flow.nx);
  return flow.pointY[static_cast<std::size_t>(flow.ny) * (nx + 1) + nx] / facts.exitHalfHeight;
}

MeshFigures MeasureMesh(const fs::path& meshFolder, const MeshPlan& plan, const FlowFacts& flowFacts,
                        double coreFraction, const SolvedFlow& flow, double settledAt) {
  const double Me = flowFacts.designMach;
  const auto nx = static_cast<std::size_t>(plan.nx);
  MeshFigures f;
  f.nx = plan.nx;
  f.ny = plan.ny;
  double weighted = 0.0, weights = 0.0;
  const double coreTop = coreFraction * flow.pointY[static_cast<std::size_t>(plan.ny) * (nx + 1) + nx];
  for (std::size_t j = 0; j < static_cast<std::size_t>(plan.ny); ++j) {
    const std::size_t cell = j * nx + nx - 1;
    const double y0 = flow.pointY[j * (nx + 1) + nx];
    const double y1 = flow.pointY[(j + 1) * (nx + 1) + nx];
    // A round nozzle's face is a ring: its area grows with the radius.
    const double ring = flowFacts.axisymmetric ? 0.5 * (y0 + y1) : 1.0;
    const double w = flowFacts.gas.gamma * flow.p[cell] / flow.T[cell] * flow.Ux[cell] * (y1 - y0) * ring;
    const double Ma = flow.Ma[cell];
    weighted += w * Ma;
    weights += w;
    f.profileY.push_back(0.5 * (y0 + y1));
    f.profileMa.push_back(Ma);
  }
  f.mean = weighted / weights;
  f.axisGreatest = *std::max_element(flow.Ma.begin(), flow.Ma.begin() + static_cast<std::ptrdiff_t>(nx));
  const ExitHistory history =
      ReadExitHistory(meshFolder, settledAt > 0.0 ? settledAt : std::numeric_limits<double>::infinity());
  f.steadiness = JudgeSteadiness(history, plan.window, plan.minIterations, Me, coreFraction, plan.coreDriftPercent);
  // A settled exit still flickers next to the wall: its figures are the averages over
  // the window, when the histories hold it and match the mesh.
  if (f.steadiness.known && history.profiles.back().size() == f.profileMa.size()) {
    const double from = f.steadiness.end - plan.window;
    f.mean = Average(history.meanIterations, Column(history.means), from, f.steadiness.end)[0];
    f.profileMa = Average(history.profileIterations, history.profiles, from, f.steadiness.end);
  }
  if (flowFacts.viscous) {
    // The probes of the histories sit at even heights; a viscous mesh's cells are graded.
    if (f.steadiness.known) {
      const double top = flow.pointY[static_cast<std::size_t>(plan.ny) * (nx + 1) + nx];
      for (std::size_t j = 0; j < f.profileY.size(); ++j) {
        f.profileY[j] = (static_cast<double>(j) + 0.5) / plan.ny * top;
      }
    }
    double sum = 0.0, area = 0.0;
    for (std::size_t j = 0; j < f.profileMa.size(); ++j) {
      if (f.profileY[j] > coreTop && j > 0) continue;
      const double w = flowFacts.axisymmetric ? f.profileY[j] : 1.0;
      sum += w * f.profileMa[j];
      area += w;
    }
    f.mean = sum / area;
    f.exitDeltaStar = ExitDisplacementThickness(flow, flowFacts);
  }
  f.least = f.coreLeast = INFINITY;
  f.greatest = f.coreGreatest = -INFINITY;
  for (std::size_t j = 0; j < f.profileMa.size(); ++j) {
    const double Ma = f.profileMa[j];
    f.least = std::min(f.least, Ma);
    f.greatest = std::max(f.greatest, Ma);
    if (f.profileY[j] <= coreTop || j == 0) {
      f.coreLeast = std::min(f.coreLeast, Ma);
      f.coreGreatest = std::max(f.coreGreatest, Ma);
    }
  }
  f.deviationPercent = 100.0 * (f.mean - Me) / Me;
  f.spreadPercent = 100.0 * (f.greatest - f.least) / Me;
  f.coreSpreadPercent = 100.0 * (f.coreGreatest - f.coreLeast) / Me;
  f.iterations = static_cast<int>(std::lround(flow.time));
  f.seconds = ExecutionSeconds(meshFolder / "log.rhoCentralFoam");
  f.meanIterations = history.meanIterations;
  f.means = history.means;
  if (!history.massIterations.empty()) {
    const double end = f.steadiness.known ? f.steadiness.end : history.massIterations.back();
    const double in = Average(history.massIterations, Column(history.massIn), end - plan.window, end)[0];
    f.dischargeCoefficient = in / ThroatMassFlow(flowFacts, MeshUnit(flow, flowFacts));
  }
  if (flowFacts.net) f.net = CompareNet(flow, flowFacts, f.profileY, f.profileMa);
  return f;
}

std::string ExitProfileCsv(const MeshFigures& figures) {
  std::string csv = "y,Ma\n";
  for (std::size_t i = 0; i < figures.profileY.size(); ++i) {
    csv += report::ShortestText(figures.profileY[i]) + "," + report::ShortestText(figures.profileMa[i]) + "\n";
  }
  return csv;
}

}  // namespace cfd
