#include "cfd/openfoam_case.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <thread>
#include <tuple>
#include <vector>

#include "report/contour.h"
#include "report/number_text.h"

namespace cfd {
namespace {

namespace fs = std::filesystem;
using report::ShortestText;

// The temperature of the isentropic flow at Mach number M in a gas of ratio of
// specific heats g, with T* = 1 (T0 / T* = (g + 1) / 2).
double IsentropicT(double M, double g) { return (1.0 + 0.5 * (g - 1.0)) / (1.0 + 0.5 * (g - 1.0) * M * M); }

using Point = report::ContourPoint;

// Cells along the axis grow by this ratio from the throat to the exit: the corner's
// centred expansion gets the finest cells.
constexpr double kGradingAlong = 2.0;

// One mesh of the case and how long the solver runs on it.
struct Mesh {
  int nx, ny;
  double endTime;
};

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

std::string Header(std::string_view type, std::string_view object, std::string_view location) {
  std::string text = "FoamFile\n{\n    version     2.0;\n    format      ascii;\n    class       ";
  text.append(type).append(";\n    location    \"").append(location).append("\";\n    object      ");
  text.append(object).append(";\n}\n\n");
  return text;
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  if (!file) throw CaseError("cannot write \"" + path.string() + "\"");
}

std::string Number(double v) { return ShortestText(v); }

std::string BlockMeshDict(const std::vector<Point>& wall, const CaseFacts& facts, const Mesh& mesh, double scale) {
  const std::string L = Number(facts.length), ye = Number(facts.exitHalfHeight);
  const std::string depth = "0.1";
  std::string text = Header("dictionary", "blockMeshDict", "system");
  text += "scale   " + Number(scale) + ";\n\nvertices\n(\n";
  for (const std::string& z : {std::string("0"), depth}) {
    text += "    (0 0 " + z + ")\n    (" + L + " 0 " + z + ")\n    (" + L + " " + ye + " " + z + ")\n    (0 1 " + z +
            ")\n";
  }
  text += ");\n\nblocks\n(\n    hex (0 1 2 3 4 5 6 7) (" + std::to_string(mesh.nx) + " " + std::to_string(mesh.ny) +
          " 1) simpleGrading (" + Number(kGradingAlong) + " 1 1)\n);\n\n";
  // The wall runs from vertex 3 (throat corner) to vertex 2 (exit lip) through the
  // wall points between them, at both faces of the slab.
  text += "edges\n(\n";
  for (const auto& [from, to, z] : {std::tuple{3, 2, std::string("0")}, std::tuple{7, 6, depth}}) {
    text += "    polyLine " + std::to_string(from) + " " + std::to_string(to) + "\n    (\n";
    for (std::size_t i = 1; i + 1 < wall.size(); ++i) {
      text += "        (" + Number(wall[i].x) + " " + Number(wall[i].y) + " " + z + ")\n";
    }
    text += "    )\n";
  }
  text += ");\n\nboundary\n(\n";
  const auto patch = [&text](const char* name, const char* type, const char* faces) {
    text += std::string("    ") + name + "\n    {\n        type " + type + ";\n        faces\n        (\n" + faces +
            "        );\n    }\n";
  };
  patch("inlet", "patch", "            (0 4 7 3)\n");
  patch("outlet", "patch", "            (2 6 5 1)\n");
  patch("wall", "wall", "            (3 7 6 2)\n");
  patch("axis", "symmetryPlane", "            (1 5 4 0)\n");
  patch("frontAndBack", "empty", "            (0 3 2 1)\n            (4 5 6 7)\n");
  text += ");\n";
  return text;
}

// One start value per cell, cells ordered as blockMesh numbers them: i along the
// axis fastest, then j across.
struct StartField {
  std::vector<double> p, T, ux, uy;
};

// A state of the design's flow at a point: Mach number and flow angle (degrees).
struct Sample {
  double x, y, M, teta;
};

// The flow of the design as scattered samples: the fan at the corner, every net
// point, the wall points (with the state of the net point before them on their C+
// line), the uniform sonic throat section and the uniform exit region.
std::vector<Sample> DesignSamples(const nozzle::DesignResult& result, const CaseFacts& facts) {
  using nozzle::Index;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  const int W = Index(N + 1.0);
  std::vector<Sample> samples;
  nozzle::CountedLoop(1.0, N, [&](double k) {
    const int K = Index(k);
    samples.push_back({net.x(0, K), net.y(0, K), net.M(0, K), net.Teta(0, K)});
  });
  nozzle::CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    nozzle::CountedLoop(j, N, [&](double k) {
      const int K = Index(k);
      samples.push_back({net.x(J, K), net.y(J, K), net.M(J, K), net.Teta(J, K)});
    });
    const int last = Index(N);
    samples.push_back({net.x(J, W), net.y(J, W), net.M(J, last), net.Teta(J, last)});
  });
  const int last = Index(N);
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
StartField FromDesign(const nozzle::DesignResult& result, const std::vector<Point>& wall, const CaseFacts& facts,
                      const Mesh& mesh) {
  constexpr std::size_t kNearest = 6;
  const std::vector<Sample> samples = DesignSamples(result, facts);
  StartField field;
  std::vector<std::pair<double, std::size_t>> distances(samples.size());
  std::vector<Point> tops;
  std::vector<double> along;  // the cell centres' fractions of the length, graded as blockMesh grades
  const double r = std::pow(kGradingAlong, 1.0 / std::max(1, mesh.nx - 1));
  double edge = 0.0, total = 0.0;
  for (int i = 0; i < mesh.nx; ++i) total += std::pow(r, i);
  for (int i = 0; i < mesh.nx; ++i) {
    const double width = std::pow(r, i) / total;
    along.push_back(edge + 0.5 * width);
    edge += width;
    tops.push_back(AlongWall(wall, along.back()));
  }
  for (int j = 0; j < mesh.ny; ++j) {
    for (int i = 0; i < mesh.nx; ++i) {
      const double s = along[static_cast<std::size_t>(i)];
      const double across = (j + 0.5) / mesh.ny;
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

std::string ScalarList(const std::vector<double>& values) {
  std::string text = "nonuniform List<scalar>\n" + std::to_string(values.size()) + "\n(\n";
  for (const double v : values) text += report::RoundedText(v, 9) + "\n";
  return text + ")";
}

std::string VectorList(const std::vector<double>& x, const std::vector<double>& y) {
  std::string text = "nonuniform List<vector>\n" + std::to_string(x.size()) + "\n(\n";
  for (std::size_t i = 0; i < x.size(); ++i) {
    text.append("(").append(report::RoundedText(x[i], 9)).append(" ").append(report::RoundedText(y[i], 9));
    text.append(" 0)\n");
  }
  return text + ")";
}

std::string FieldFile(std::string_view type, std::string_view name, std::string_view dimensions,
                      const std::string& internal, std::string_view inlet, std::string_view wall) {
  std::string text = Header(type, name, "0");
  text.append("dimensions      ").append(dimensions).append(";\n\ninternalField   ").append(internal);
  text += ";\n\nboundaryField\n{\n    inlet\n    {\n";
  text.append(inlet).append("    }\n    outlet\n    {\n        type            zeroGradient;\n    }\n");
  text.append("    wall\n    {\n").append(wall).append("    }\n");
  text += "    axis\n    {\n        type            symmetryPlane;\n    }\n";
  text += "    frontAndBack\n    {\n        type            empty;\n    }\n}\n";
  return text;
}

// The perfect gas in normalised units: R = 1 / gamma, so that the speed of sound is
// sqrt(T), and Cp = gamma R / (gamma - 1) = 1 / (gamma - 1). OpenFOAM takes R as
// 8314.47 / molWeight.
std::string Thermo(double gamma) {
  const std::string molWeight = report::RoundedText(8314.47 * gamma, 1);
  const std::string Cp = report::RoundedText(1.0 / (gamma - 1.0), 9);
  return R"foam(thermoType
{
    type            hePsiThermo;
    mixture         pureMixture;
    transport       const;
    thermo          hConst;
    equationOfState perfectGas;
    specie          specie;
    energy          sensibleInternalEnergy;
}

// Normalised units: R = 8314.47 / molWeight = 1 / gamma and Cp = )foam" + Cp + R"foam( = gamma R / (gamma - 1),
// so that gamma = )foam" + report::ShortestText(gamma) + R"foam( and the speed of sound is sqrt(T).
mixture
{
    specie
    {
        molWeight       )foam" + molWeight + R"foam(;
    }
    thermodynamics
    {
        Cp              )foam" + Cp + R"foam(;
        Hf              0;
    }
    transport
    {
        mu              0;
        Pr              1;
    }
}
)foam";
}

constexpr const char* kSchemes = R"foam(fluxScheme      Kurganov;

ddtSchemes
{
    default         Euler;
}

gradSchemes
{
    default         Gauss linear;
}

divSchemes
{
    default         none;
    div(tauMC)      Gauss linear;
}

laplacianSchemes
{
    default         Gauss linear corrected;
}

interpolationSchemes
{
    default         linear;
    reconstruct(rho) vanLeer;
    reconstruct(U)  vanLeerV;
    reconstruct(T)  vanLeer;
}

snGradSchemes
{
    default         corrected;
}
)foam";

constexpr const char* kSolution = R"foam(solvers
{
    "(rho|rhoU|rhoE)"
    {
        solver          diagonal;
    }

    U
    {
        solver          smoothSolver;
        smoother        GaussSeidel;
        nSweeps         2;
        tolerance       1e-09;
        relTol          0.01;
    }

    h
    {
        $U;
        tolerance       1e-10;
        relTol          0;
    }
}
)foam";

std::string ControlDict(const CaseFacts& facts, const Mesh& mesh, const CaseOptions& options) {
  std::string text = Header("dictionary", "controlDict", "system");
  text += "application     rhoCentralFoam;\nstartFrom       startTime;\nstartTime       0;\nstopAt          endTime;\n";
  text += "endTime         " + Number(mesh.endTime) + ";\n";
  text += "deltaT          " + Number(1e-5 * facts.flowThroughTime) + ";\n";
  text += "writeControl    adjustable;\nwriteInterval   " + Number(mesh.endTime) + ";\n";
  text += "purgeWrite      0;\nwriteFormat     ascii;\nwritePrecision  10;\nwriteCompression off;\n";
  text += "timeFormat      general;\ntimePrecision   10;\nrunTimeModifiable false;\n";
  text += "adjustTimeStep  yes;\nmaxCo           " + Number(options.maxCourant) + ";\nmaxDeltaT       1;\n\n";
  text += R"foam(functions
{
    // The Mach number field, written with the others.
    Ma
    {
        type            MachNo;
        libs            ("libfieldFunctionObjects.so");
        executeControl  timeStep;
        writeControl    writeTime;
    }

    // The mass-flow-weighted mean Mach number across the exit plane, as it develops.
    exitMach
    {
        type            surfaceFieldValue;
        libs            ("libfieldFunctionObjects.so");
        regionType      patch;
        name            outlet;
        operation       weightedAverage;
        weightField     phi;
        fields          (Ma);
        writeFields     false;
        log             false;
        writeControl    timeStep;
        writeInterval   10;
    }
}
)foam";
  return text;
}

std::string DecomposeParDict(int jobs) {
  return Header("dictionary", "decomposeParDict", "system") + "numberOfSubdomains " + std::to_string(jobs) +
         ";\n\nmethod          simple;\n\nsimpleCoeffs\n{\n    n               (" + std::to_string(jobs) +
         " 1 1);\n    delta           0.001;\n}\n";
}

// The steps, each with its log; `failed: <what>` on standard output names the step
// that went wrong, `step: <what>` each one as it starts.
std::string Allrun(int jobs) {
  return R"foam(#!/bin/sh
# Runs this case with Debian's OpenFOAM package (apt-get install openfoam):
#   ./Allrun [cores]      default )foam" +
         std::to_string(jobs) + R"foam(
# First the flow settles on the coarse mesh (coarse/), then the fine mesh starts
# from it. Logs in log.<step> and coarse/log.<step>.
cd "$(dirname "$0")" || exit 1
export WM_PROJECT_DIR="${WM_PROJECT_DIR:-/usr/share/openfoam}"
export OMPI_MCA_btl_vader_single_copy_mechanism=none
jobs="${1:-)foam" + std::to_string(jobs) +
         R"foam(}"
asRoot=""
[ "$(id -u)" = 0 ] && asRoot="--allow-run-as-root"
where=""

step() {
    name="$1"
    shift
    echo "step: $where$name"
    "$@" > "log.$name" 2>&1 || { echo "failed: $where$name"; exit 1; }
}

solve() {
    if [ "$jobs" -gt 1 ]; then
        sed -i -e "s/^numberOfSubdomains .*/numberOfSubdomains $jobs;/"                -e "s/^\( *n  *\)(.*/\1($jobs 1 1);/" system/decomposeParDict
        step decomposePar decomposePar -force
        step rhoCentralFoam mpirun $asRoot -np "$jobs" rhoCentralFoam -parallel
        step reconstructPar reconstructPar -latestTime
    else
        step rhoCentralFoam rhoCentralFoam
    fi
}

step blockMesh blockMesh
step checkMesh checkMesh
grep -q "^Mesh OK" log.checkMesh || { echo "failed: checkMesh rejected the mesh"; exit 1; }

cd coarse || exit 1
where="coarse/"
step blockMesh blockMesh
solve
cd .. || exit 1
where=""

step mapFields mapFields coarse -consistent -sourceTime latestTime
rm -f 0/Ma
solve
echo "done"
)foam";
}

// A complete solver folder: mesh, gas, schemes, controls and the start fields.
void WriteSolverFolder(const fs::path& folder, const nozzle::DesignResult& result, const std::vector<Point>& wall,
                       const CaseFacts& facts, const Mesh& mesh, const CaseOptions& options, bool startFromDesign) {
  std::error_code error;
  for (const char* sub : {"system", "constant", "0"}) {
    fs::create_directories(folder / sub, error);
    if (error) throw CaseError("cannot create \"" + (folder / sub).string() + "\": " + error.message());
  }
  WriteText(folder / "system" / "blockMeshDict", BlockMeshDict(wall, facts, mesh, options.metresPerHalfHeight));
  WriteText(folder / "system" / "controlDict", ControlDict(facts, mesh, options));
  WriteText(folder / "system" / "fvSchemes", Header("dictionary", "fvSchemes", "system") + kSchemes);
  WriteText(folder / "system" / "fvSolution", Header("dictionary", "fvSolution", "system") + kSolution);
  WriteText(folder / "system" / "decomposeParDict", DecomposeParDict(facts.jobs));
  WriteText(folder / "constant" / "thermophysicalProperties",
            Header("dictionary", "thermophysicalProperties", "constant") + Thermo(facts.gamma));
  WriteText(folder / "constant" / "turbulenceProperties",
            Header("dictionary", "turbulenceProperties", "constant") + "simulationType  laminar;\n");

  StartField start;
  if (startFromDesign) start = FromDesign(result, wall, facts, mesh);
  const auto scalars = [&](const std::vector<double>& values) {
    return startFromDesign ? ScalarList(values) : std::string("uniform 1");
  };
  const char* fixed = "        type            fixedValue;\n        value           uniform ";
  const char* zeroGradient = "        type            zeroGradient;\n";
  WriteText(folder / "0" / "p", FieldFile("volScalarField", "p", "[1 -1 -2 0 0 0 0]", scalars(start.p),
                                          std::string(fixed) + "1;\n", zeroGradient));
  WriteText(folder / "0" / "T", FieldFile("volScalarField", "T", "[0 0 0 1 0 0 0]", scalars(start.T),
                                          std::string(fixed) + "1;\n", zeroGradient));
  WriteText(folder / "0" / "U",
            FieldFile("volVectorField", "U", "[0 1 -1 0 0 0 0]",
                      startFromDesign ? VectorList(start.ux, start.uy) : std::string("uniform (1 0 0)"),
                      std::string(fixed) + "(1 0 0);\n", "        type            slip;\n"));
}

// The facts of the case, from the design, its wall and the options.
CaseFacts DescribeCase(const nozzle::DesignResult& result, const std::vector<Point>& wall,
                       const CaseOptions& options) {
  CaseFacts facts;
  facts.nx = options.cellsAlong;
  facts.ny = options.cellsAcross;
  facts.length = wall.back().x;
  facts.exitHalfHeight = wall.back().y;
  facts.designMach = result.inputs.Me;
  facts.gamma = result.gas.gamma;
  const double Me = result.inputs.Me;
  const double exitSpeed = Me * std::sqrt(IsentropicT(Me, facts.gamma));
  facts.flowThroughTime = options.metresPerHalfHeight * facts.length / exitSpeed;
  facts.endTime = options.flowThroughTimes * facts.flowThroughTime;
  facts.coarseNx = std::max(4, facts.nx / 2);
  facts.coarseNy = std::max(2, facts.ny / 2);
  facts.coarseEndTime = options.coarseFlowThroughTimes * facts.flowThroughTime;
  facts.jobs = std::max(1, options.jobs);
  return facts;
}

}  // namespace

bool CaseFolderIsFree(const fs::path& folder) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(folder, error);
  if (status.type() == fs::file_type::not_found) return true;
  return fs::is_directory(status) && fs::is_empty(folder, error) && !error;
}

int AvailableCores() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

CaseFacts WriteCase(const nozzle::DesignResult& result, const fs::path& folder, const CaseOptions& options) {
  if (!result.wallWarning.empty()) throw CaseError("no valid mesh exists: " + result.wallWarning);
  if (!CaseFolderIsFree(folder)) {
    throw CaseError("the case folder \"" + folder.string() + "\" exists and is not empty");
  }
  const std::vector<Point> wall = report::WallPoints(result);
  const CaseFacts facts = DescribeCase(result, wall, options);
  WriteSolverFolder(folder / "coarse", result, wall, facts, {facts.coarseNx, facts.coarseNy, facts.coarseEndTime},
                    options, true);
  WriteSolverFolder(folder, result, wall, facts, {facts.nx, facts.ny, facts.endTime}, options, false);
  WriteText(folder / "Allrun", Allrun(facts.jobs));
  std::error_code error;
  fs::permissions(folder / "Allrun", fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, error);
  return facts;
}

}  // namespace cfd
