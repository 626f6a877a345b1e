#include "cfd/openfoam_case.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "case_scripts.h"
#include "cfd/case_files.h"
#include "cfd/start_field.h"
#include "report/contour.h"
#include "report/number_text.h"

namespace cfd {
namespace {

namespace fs = std::filesystem;

// Iterations per cell along the axis. A change made on a mesh (the start's error on
// the coarse one, what the refinement adds on the finer ones, most of it at the
// corner) reaches the exit with the waves that run against the flow, at u - a. A
// cell's local time step at Courant number Co is Co / ((u + a) / dx + a / dy), so such
// a wave crosses a cell in ((M + 1) + dx / dy) / ((M - 1) Co) iterations: long cells
// and slow flow take longer. Measured at Co 0.2: 12 to 13 iterations a cell for Me 2.4
// (N = 49, cells about square), 11 for Me 4 and Me 3.2 with Teta0 0.5 (cells 3.2 and
// 2.1 times as long as high); kTransitPerCell ((Me + 1) + aspect) / (Me - 1) gives
// 11.8, 10.3 and 10.7. Never less than kSlowTransitPerCell (Me + 1) / (Me - 1), the
// measure of short cells in slow flow (Me 1.5: 25). A mesh runs that transit and one
// window at least; its budget is four windows more (eight on a wedge), its cap under
// the check kCapFactor times as many.
constexpr double kTransitPerCell = 3.75;
constexpr double kSlowTransitPerCell = 5.0;
// A mesh that has not settled within its budget runs on to this many times the windows
// past its least iterations: a coarse mesh whose core flickers near its limit, or a
// wedge whose axis rings for longer, then still settles (the medium and coarse wedges
// of Me 3, G 1.3 ran out of 2,750 and 5,500 iterations under the budget alone).
constexpr int kCapFactor = 4;
constexpr int kWindowPerCell = 5;

int TransitIterations(double Me, int nx, double aspect) {
  const double perCell = std::clamp(
      std::max(kSlowTransitPerCell * (Me + 1.0), kTransitPerCell * (Me + 1.0 + aspect)) / (Me - 1.0), 8.0, 40.0);
  return static_cast<int>(std::ceil(perCell * nx));
}

// What the meshes cost, per cell, with a margin: a rank of the solver grew by about
// 2.2 kB a cell (120 MB on 5,000 cells, 153 MB on 20,000; mapFields holds two meshes
// at once), and a settled default case took about 1 kB of disk a cell of its meshes.
constexpr double kMemoryPerFineCell = 3e3;
constexpr double kDiskPerCell = 1.5e3;

// A mesh of up to this many cells runs on one core: its solver spends an iteration
// mostly passing halos between the ranks (Me 4's 80 x 20 mesh: as fast on one core as
// on two), and decomposing, starting MPI and reconstructing cost a few seconds more.
constexpr int kSerialCells = 2500;


// A script's template filled in: its "#@" lines left out, each placeholder replaced
// by its value.
std::string Filled(std::string_view script, const std::vector<std::pair<std::string, std::string>>& values) {
  std::string text;
  for (std::size_t at = 0; at < script.size();) {
    const std::size_t end = std::min(script.find('\n', at), script.size() - 1) + 1;
    const std::string_view line = script.substr(at, end - at);
    if (line.rfind("#@", 0) != 0) text += line;
    at = end;
  }
  for (const auto& [name, value] : values) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size())) {
      text.replace(at, name.size(), value);
    }
  }
  return text;
}

// The case's Allrun: the steps, each with its log; `failed: <mesh>/<what>` on standard
// output names the step that went wrong, `step: <mesh>/<what>` each one as it starts.
// The finest mesh of an inviscid case starts from medium + (medium - coarse) / 2, its
// own result to first order, as the discretisation error halves with the cell size
// (extrapolate.awk); a viscous mesh starts from the mesh before alone, as next to the
// wall the coarse mesh's layer says nothing of the fine one's.
std::string Allrun(int jobs, const std::array<MeshPlan, 3>& meshes, bool extrapolate) {
  std::string small;
  for (const MeshPlan& mesh : meshes) {
    if (mesh.nx * mesh.ny <= kSerialCells) small += (small.empty() ? "" : " ") + mesh.name;
  }
  const std::string starts = extrapolate ? "medium/ from the result of the mesh before\n# (mapFields), fine/ from the "
                                           "medium result plus half its change from the coarse one\n# (extrapolate.awk)"
                                         : "medium/ and fine/ from the result of the mesh\n# before (mapFields)";
  return Filled(kAllrunTemplate, {{"@JOBS@", std::to_string(jobs)},
                                  {"@STARTS@", starts},
                                  {"@SMALL@", small},
                                  {"@EXTRAPOLATE@", extrapolate ? "fine" : ""}});
}


// A complete solver folder: mesh, gas, schemes, controls and the start fields.
void WriteMeshFolder(const fs::path& folder, const std::vector<report::ContourPoint>& wall,
                     const CaseFacts& facts, const MeshPlan& mesh, const CaseOptions& options,
                     const StartField* start) {
  std::error_code error;
  for (const char* sub : {"system", "constant", "0"}) {
    fs::create_directories(folder / sub, error);
    if (error) throw CaseError("cannot create \"" + (folder / sub).string() + "\": " + error.message());
  }
  const double scale = options.metresPerHalfHeight;
  const bool plenum = facts.flow.plenum.has_value();
  WriteText(folder / "system" / "blockMeshDict",
            BlockMeshDict(wall, facts.flow, mesh.nx, mesh.ny, scale, mesh.convergentCells));
  const double maxCourant = plenum ? std::min(options.maxCourant, kPlenumMaxCourant) : options.maxCourant;
  WriteText(folder / "system" / "controlDict", ControlDict(facts.flow, mesh.ny, mesh.maxIterations, maxCourant, scale));
  const ViscousFlow* viscous = facts.flow.viscous ? &*facts.flow.viscous : nullptr;
  WriteText(folder / "system" / "fvSchemes", FvSchemes(viscous != nullptr));
  WriteText(folder / "system" / "fvSolution", FvSolution(viscous != nullptr));
  WriteText(folder / "system" / "decomposeParDict", DecomposeParDict(facts.jobs));
  WriteText(folder / "constant" / "thermophysicalProperties", ThermophysicalProperties(facts.flow.gas, viscous));
  WriteText(folder / "constant" / "turbulenceProperties", TurbulenceProperties(viscous));
  const bool wedge = facts.flow.axisymmetric;
  const StagnationInlet stagnation = StagnationInlet::Of(facts.flow.gas);
  const StagnationInlet* inlet = plenum ? &stagnation : nullptr;
  WriteText(folder / "0" / "p", PressureField(start, wedge, inlet));
  WriteText(folder / "0" / "T", TemperatureField(start, wedge, viscous, inlet));
  WriteText(folder / "0" / "U", VelocityField(start, wedge, viscous, inlet));
  if (viscous != nullptr && viscous->turbulent) {
    for (const auto& [name, text] : TurbulenceFields(*viscous, facts.flow.gas.gamma, wedge)) {
      WriteText(folder / "0" / name, text);
    }
  }
  WriteText(folder / "case.foam", "");
}

// The ratio of the wall cell to the axis cell of a geometric grading of n cells across
// a height Y whose wall cell is `wallCell` (1 when even cells are that fine already),
// at least kLeastAcrossGrading: cells that stretch more than 100-fold across the
// nozzle would leave the core coarse.
constexpr double kLeastAcrossGrading = 0.01;

double AcrossGrading(int n, double Y, double wallCell) {
  const auto wallCellOf = [n, Y](double q) { return Y * (q - 1.0) * std::pow(q, n - 1) / (std::pow(q, n) - 1.0); };
  if (n < 2 || wallCell >= Y / n) return 1.0;
  double low = 1e-6, high = 1.0 - 1e-12;
  for (int i = 0; i < 200; ++i) {
    const double q = 0.5 * (low + high);
    (wallCellOf(q) < wallCell ? low : high) = q;
  }
  return std::max(kLeastAcrossGrading, std::pow(0.5 * (low + high), n - 1));
}

// The plenum's cells along the axis upstream of the throat, on the finest mesh: a
// geometric series from the divergent's first cell, growing by at most kConvergentGrowth
// a cell towards the inlet, a multiple of 4 (the coarse mesh has a quarter), at least 8;
// and its expansion, the last cell over the first, that makes its last cell as long as
// the divergent's first (1: even cells are that short already).
//
// At a subsonic inlet the central scheme's flux between the first two cells loses total
// pressure in proportion to their size, and the loss stays in the gas down to the throat:
// on a 160 x 40 wedge of contraction 2 (the inlet at Mach 0.31, where the flow already
// speeds up), 13 cells growing fourfold left Cd 0.5 % short of the series', 26 even ones
// 0.04 %. Even cells throughout cost a planar contraction 3 half as many cells again,
// and its finest mesh, with so little damping left, fell into a swing of the whole
// convergent's flow (the mass flow by +-1 %); growing cells keep it steady, and at the
// default contraction 3 (Mach 0.2 at the inlet, the flow there nearly uniform) the
// extrapolated Cd still lies within 0.001 % (planar) and 0.04 % (round) of the series'.
constexpr double kConvergentGrowth = 1.03;

struct ConvergentCells {
  int cells = 8;
  double expansion = 1.0;
};

ConvergentCells ConvergentCellsOf(const FlowFacts& flow, int divergentCells) {
  const double length = -flow.inletX;
  const double r = std::pow(GradingAlong(flow), 1.0 / std::max(1, divergentCells - 1));
  const double throatCell = flow.length * (r - 1.0) / (std::pow(r, divergentCells) - 1.0);
  ConvergentCells c;
  const double n = std::log1p(length * (kConvergentGrowth - 1.0) / throatCell) / std::log(kConvergentGrowth);
  c.cells = std::max(8, 4 * static_cast<int>(std::ceil(n / 4.0)));
  const auto lastCell = [&](double expansion) {
    const double q = std::pow(expansion, 1.0 / (c.cells - 1));
    return length * (q - 1.0) * std::pow(q, c.cells - 1) / (std::pow(q, c.cells) - 1.0);
  };
  if (length / c.cells <= throatCell) return c;
  double low = 1e-4, high = 1.0 - 1e-9;
  for (int i = 0; i < 200; ++i) {
    const double mid = std::sqrt(low * high);
    (lastCell(mid) > throatCell ? high : low) = mid;
  }
  c.expansion = std::sqrt(low * high);
  return c;
}

// The wall's arc length from its first point to the throat point (x = 0), of its whole.
double ThroatFraction(const std::vector<report::ContourPoint>& wall) {
  double toThroat = 0.0, whole = 0.0;
  for (std::size_t i = 1; i < wall.size(); ++i) {
    whole += std::hypot(wall[i].x - wall[i - 1].x, wall[i].y - wall[i - 1].y);
    if (wall[i].x <= 0.0) toThroat = whole;
  }
  return toThroat / whole;
}

std::string Size(double bytes) {
  return bytes >= 1e9 ? report::RoundedText(bytes / 1e9, 1) + " GB" : report::RoundedText(bytes / 1e6, 1) + " MB";
}

}  // namespace

int DefaultCellsAlong(double length) { return length <= kShortNozzleLength ? kShortNozzleCells : kLongNozzleCells; }

bool CaseFolderIsFree(const fs::path& folder) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(folder, error);
  if (status.type() == fs::file_type::not_found) return true;
  return fs::is_directory(status) && fs::is_empty(folder, error) && !error;
}

int AvailableCores() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

std::array<MeshPlan, 3> MeshLadder(int cellsAlong, int cellsAcross, double Me, bool axisymmetric, double aspect) {
  const int windows = axisymmetric ? 8 : 4;
  const auto plan = [Me, cellsAlong, windows, aspect](const char* name, int nx, int ny) {
    const int window = kWindowPerCell * nx;
    const int least = TransitIterations(Me, nx, aspect) + window;
    const double coreDrift = kSettledCoreDriftPercent * cellsAlong / std::max(1, nx);
    return MeshPlan{name,  nx,    std::max(1, ny), least + windows * window, least + kCapFactor * windows * window,
                    least, window, coreDrift};
  };
  return {plan("coarse", cellsAlong / 4, cellsAcross / 4), plan("medium", cellsAlong / 2, cellsAcross / 2),
          plan("fine", cellsAlong, cellsAcross)};
}

std::optional<std::string> MeshesDoNotFit(int cellsAlong, int cellsAcross, const fs::path& folder,
                                          const nozzle::Spelling& spelling) {
  const double fine = static_cast<double>(cellsAlong) * cellsAcross;
  const double memory = kMemoryPerFineCell * fine;
  const double disk = kDiskPerCell * fine * (1.0 + 0.25 + 0.0625);
  const double available = static_cast<double>(::sysconf(_SC_AVPHYS_PAGES)) * static_cast<double>(::sysconf(_SC_PAGESIZE));
  fs::path existing = fs::absolute(folder);
  while (!fs::exists(existing) && existing.has_parent_path() && existing != existing.parent_path()) {
    existing = existing.parent_path();
  }
  struct statvfs volume {};
  const double free = ::statvfs(existing.c_str(), &volume) == 0
                          ? static_cast<double>(volume.f_bavail) * static_cast<double>(volume.f_frsize)
                          : 0.0;
  const std::string mesh = std::to_string(cellsAlong) + " x " + std::to_string(cellsAcross);
  if (memory > available) {
    return "the meshes of " + spelling.given(nozzle::Option::kCfdCells, std::to_string(cellsAlong)) + " (finest " +
           mesh + ") need about " + Size(memory) + " of memory; " + Size(available) + " are available";
  }
  if (disk > free) {
    return "the meshes of " + spelling.given(nozzle::Option::kCfdCells, std::to_string(cellsAlong)) + " (finest " +
           mesh + ") need about " + Size(disk) + " of disk; " + Size(free) + " are free under \"" + existing.string() + "\"";
  }
  return std::nullopt;
}

CaseOptions LadderOptions(int cellsAlong, int jobs, double metresPerHalfHeight) {
  CaseOptions options;
  options.cellsAlong = cellsAlong;
  options.cellsAcross = std::max(2, cellsAlong / 4);
  options.jobs = jobs > 0 ? jobs : AvailableCores();
  options.metresPerHalfHeight = metresPerHalfHeight;
  return options;
}

std::vector<std::string> CaseRefusals(const fs::path& folder, const CaseOptions& options,
                                      const nozzle::Spelling& spelling) {
  std::vector<std::string> refusals;
  if (!CaseFolderIsFree(folder)) refusals.push_back("the case folder \"" + folder.string() + "\" exists and is not empty");
  if (auto tooLarge = MeshesDoNotFit(options.cellsAlong, options.cellsAcross, folder, spelling)) {
    refusals.push_back(std::move(*tooLarge));
  }
  return refusals;
}

CaseFacts WriteCase(const nozzle::DesignRecord& design, const fs::path& folder, const CaseOptions& options) {
  return WriteCase(CaseOf(design), folder, options);
}

CaseFacts WriteCase(const DesignCase& design, const fs::path& folder, const CaseOptions& options) {
  if (!design.wallWarning.empty()) throw CaseError("no valid mesh exists: " + design.wallWarning);
  if (!CaseFolderIsFree(folder)) {
    throw CaseError("the case folder \"" + folder.string() + "\" exists and is not empty");
  }
  const std::vector<report::ContourPoint>& wall = design.wall;
  CaseFacts facts;
  facts.flow = {wall.back().x,        wall.back().y,   design.inputs.Me,    design.gas,
                design.axisymmetric, design.viscous, design.inlet.x, design.inlet.height};
  facts.flow.net = design.net;
  facts.metresPerHalfHeight = options.metresPerHalfHeight;
  facts.meshes = MeshLadder(options.cellsAlong, options.cellsAcross, design.inputs.Me, design.axisymmetric,
                            CellAspect(facts.flow, options.cellsAlong, options.cellsAcross));
  if (design.throat) {
    if (wall.front().x >= 0.0) throw CaseError("a rounded throat's case begins in the plenum, and its wall has no "
                                               "convergent section upstream of the throat");
    facts.flow.inletX = wall.front().x;
    facts.flow.inletHeight = wall.front().y;
    const ConvergentCells convergent = ConvergentCellsOf(facts.flow, options.cellsAlong);
    facts.flow.plenum =
        Plenum{design.throat->radius, ThroatFraction(wall), convergent.expansion, design.throat->dischargeCoefficient};
    // Half the Courant number, twice the iterations; the convergent's cells count as the
    // divergent's do.
    const std::array<MeshPlan, 3> ladder =
        MeshLadder(options.cellsAlong + convergent.cells, options.cellsAcross, design.inputs.Me, design.axisymmetric,
                   CellAspect(facts.flow, options.cellsAlong, options.cellsAcross));
    const int slower = static_cast<int>(std::lround(options.maxCourant / std::min(options.maxCourant, kPlenumMaxCourant)));
    for (std::size_t m = 0; m < ladder.size(); ++m) {
      MeshPlan& mesh = facts.meshes[m];
      mesh.convergentCells = convergent.cells >> (2 - m);
      mesh.nx += mesh.convergentCells;
      mesh.maxIterations = slower * ladder[m].maxIterations;
      mesh.capIterations = slower * ladder[m].capIterations;
      mesh.minIterations = slower * ladder[m].minIterations;
      mesh.window = slower * ladder[m].window;
    }
  }
  if (ViscousFlow* viscous = facts.flow.viscous ? &*facts.flow.viscous : nullptr) {
    viscous->muStar = design.gas.gamma * options.metresPerHalfHeight / viscous->reStar;
    viscous->acrossGrading = AcrossGrading(facts.meshes.back().ny, facts.flow.exitHalfHeight, viscous->wallCell);
  }
  facts.jobs = std::max(1, options.jobs);
  const MeshPlan& coarse = facts.meshes[0];
  const StartField start = FromDesign(design, facts.flow, coarse.nx, coarse.ny, coarse.convergentCells);
  WriteMeshFolder(folder / coarse.name, wall, facts, coarse, options, &start);
  for (std::size_t m = 1; m < facts.meshes.size(); ++m) {
    WriteMeshFolder(folder / facts.meshes[m].name, wall, facts, facts.meshes[m], options, nullptr);
  }
  const bool extrapolate = !facts.flow.viscous;
  if (extrapolate) WriteText(folder / "extrapolate.awk", kExtrapolateAwk);
  WriteText(folder / "Allrun", Allrun(facts.jobs, facts.meshes, extrapolate));
  WriteText(folder / "Allrun.sbatch", Filled(kAllrunSbatchTemplate, {{"@JOBS@", std::to_string(facts.jobs)}}));
  for (const char* script : {"Allrun", "Allrun.sbatch"}) {
    std::error_code error;
    fs::permissions(folder / script, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, error);
  }
  return facts;
}

}  // namespace cfd
