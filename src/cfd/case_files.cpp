#include "cfd/case_files.h"

#include <fstream>
#include <tuple>

#include "cfd/openfoam_case.h"
#include "report/number_text.h"

namespace cfd {
namespace {

using report::ShortestText;

std::string Number(double v) { return ShortestText(v); }

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
    default         localEuler;
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

}  // namespace

std::string Header(std::string_view type, std::string_view object, std::string_view location) {
  std::string text = "FoamFile\n{\n    version     2.0;\n    format      ascii;\n    class       ";
  text.append(type).append(";\n    location    \"").append(location).append("\";\n    object      ");
  text.append(object).append(";\n}\n\n");
  return text;
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  if (!file) throw CaseError("cannot write \"" + path.string() + "\"");
}

std::string BlockMeshDict(const std::vector<report::ContourPoint>& wall, const FlowFacts& facts, int nx, int ny,
                          double scale) {
  const std::string L = Number(facts.length), ye = Number(facts.exitHalfHeight);
  const std::string depth = "0.1";
  std::string text = Header("dictionary", "blockMeshDict", "system");
  text += "scale   " + Number(scale) + ";\n\nvertices\n(\n";
  for (const std::string& z : {std::string("0"), depth}) {
    text += "    (0 0 " + z + ")\n    (" + L + " 0 " + z + ")\n    (" + L + " " + ye + " " + z + ")\n    (0 1 " + z +
            ")\n";
  }
  text += ");\n\nblocks\n(\n    hex (0 1 2 3 4 5 6 7) (" + std::to_string(nx) + " " + std::to_string(ny) +
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

std::string ControlDict(const FlowFacts& facts, int ny, int maxIterations, double maxCourant, double scale) {
  std::string text = Header("dictionary", "controlDict", "system");
  text += "application     rhoCentralFoam;\nstartFrom       startTime;\nstartTime       0;\nstopAt          endTime;\n";
  text += "endTime         " + std::to_string(maxIterations) + ";\ndeltaT          1;\n";
  text += "writeControl    timeStep;\nwriteInterval   " + std::to_string(maxIterations) + ";\n";
  text += "purgeWrite      0;\nwriteFormat     ascii;\nwritePrecision  10;\nwriteCompression off;\n";
  text += "timeFormat      general;\ntimePrecision   10;\n";
  text += "// Read again while the solver runs: the check ends a settled run early with stopAt writeNow.\n";
  text += "runTimeModifiable true;\nmaxCo           " + Number(maxCourant) + ";\n\n";
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
        writeInterval   )foam" + std::to_string(kMeanEvery) + R"foam(;
    }

    // The Mach number of every cell next to the exit plane, from the axis up.
    exitProfile
    {
        type            probes;
        libs            ("libsampling.so");
        fields          (Ma);
        log             false;
        writeControl    timeStep;
        writeInterval   )foam" + std::to_string(kProfileEvery) + R"foam(;
        probeLocations
        (
)foam";
  // Just inside the exit plane, at the heights of the outlet faces' centres.
  const std::string x = Number(facts.length * (1.0 - 1e-6) * scale);
  for (int j = 0; j < ny; ++j) {
    text += "            (" + x + " " + Number((j + 0.5) / ny * facts.exitHalfHeight * scale) + " " +
            Number(0.05 * scale) + ")\n";
  }
  text += "        );\n    }\n}\n";
  return text;
}

std::string FvSchemes() { return Header("dictionary", "fvSchemes", "system") + kSchemes; }

std::string FvSolution() { return Header("dictionary", "fvSolution", "system") + kSolution; }

std::string ThermophysicalProperties(double gamma) {
  return Header("dictionary", "thermophysicalProperties", "constant") + Thermo(gamma);
}

std::string DecomposeParDict(int jobs) {
  return Header("dictionary", "decomposeParDict", "system") + "numberOfSubdomains " + std::to_string(jobs) +
         ";\n\nmethod          simple;\n\nsimpleCoeffs\n{\n    n               (" + std::to_string(jobs) +
         " 1 1);\n    delta           0.001;\n}\n";
}

namespace {

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

constexpr const char* kFixed = "        type            fixedValue;\n        value           uniform ";
constexpr const char* kZeroGradient = "        type            zeroGradient;\n";

}  // namespace

std::string PressureField(const StartField* start) {
  return FieldFile("volScalarField", "p", "[1 -1 -2 0 0 0 0]", start ? ScalarList(start->p) : "uniform 1",
                   std::string(kFixed) + "1;\n", kZeroGradient);
}

std::string TemperatureField(const StartField* start) {
  return FieldFile("volScalarField", "T", "[0 0 0 1 0 0 0]", start ? ScalarList(start->T) : "uniform 1",
                   std::string(kFixed) + "1;\n", kZeroGradient);
}

std::string VelocityField(const StartField* start) {
  return FieldFile("volVectorField", "U", "[0 1 -1 0 0 0 0]",
                   start ? VectorList(start->ux, start->uy) : "uniform (1 0 0)", std::string(kFixed) + "(1 0 0);\n",
                   "        type            slip;\n");
}

}  // namespace cfd
