#include "cfd/case_files.h"

#include <cmath>
#include <tuple>

#include "report/file_output.h"
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
std::string Thermo(double gamma, const ViscousFlow* viscous) {
  const std::string molWeight = report::RoundedText(8314.47 * gamma, 1);
  const std::string Cp = report::RoundedText(1.0 / (gamma - 1.0), 9);
  const std::string transport =
      viscous == nullptr ? std::string("        mu              0;\n        Pr              1;\n")
                         : "        As              " + Number(viscous->muStar * (1.0 + viscous->sutherlandS)) +
                               ";\n        Ts              " + Number(viscous->sutherlandS) + ";\n";
  const std::string law =
      viscous == nullptr
          ? std::string()
          : "\n// Sutherland's law in the case's units: mu = As sqrt(T) / (1 + Ts / T), mu(1) = gamma h / Re* = " +
                Number(viscous->muStar) +
                ";\n// the conductivity by the modified Eucken formula (Pr about 0.69 for gamma 1.4).\n";
  return R"foam(thermoType
{
    type            hePsiThermo;
    mixture         pureMixture;
    transport       )foam" + std::string(viscous ? "sutherland" : "const") + R"foam(;
    thermo          hConst;
    equationOfState perfectGas;
    specie          specie;
    energy          sensibleInternalEnergy;
}

// Normalised units: R = 8314.47 / molWeight = 1 / gamma and Cp = )foam" + Cp + R"foam( = gamma R / (gamma - 1),
// so that gamma = )foam" + report::ShortestText(gamma) + R"foam( and the speed of sound is sqrt(T).)foam" + law + R"foam(
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
)foam" + transport + R"foam(    }
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

// What a viscous case adds: the turbulence model's convection (a laminar case does not
// use it) and wall distance.
constexpr const char* kTurbulenceDivSchemes = R"foam(    div(phi,k)      Gauss upwind;
    div(phi,omega)  Gauss upwind;
)foam";
constexpr const char* kWallDistance = R"foam(
wallDist
{
    method          meshWave;
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

// Local time steps on a wedge. Each cell's step is bounded by the speed of sound across
// each of its faces, the wedge's front and back among them; next to the axis those lie
// only r times the wedge's angle apart, and there the steps come out about three times
// smaller than a planar mesh's. The solver then smooths the steps so that neighbours
// differ by at most 2 % (the default), which spread the axis's small steps over the
// whole section (the steps at the wall were 2.6 times smaller than need be on a 200 x 50
// wedge of Me 3), cost a sweep over the mesh every iteration, and let the medium wedge of
// Me 2.4 swing for thousands of iterations. Neighbours may differ twofold instead: the
// small steps stay by the axis.
constexpr const char* kWedgeTimeSteps =
    R"foam(// Neighbouring local time steps may differ twofold: the small steps of the cells next
// to the axis, where the wedge's sides close in, stay there.
rDeltaTSmoothingCoeff 1;

)foam";

// Local time steps on a slab. The cells grow along the axis by the grading over nx
// cells, on a long nozzle's coarse mesh by 3 % a cell (Me 4, 80 cells, 10.7-fold):
// smoothed so that neighbours differ by at most 2 % (the default), the throat's small
// steps then spread over the whole mesh, and the smoothing swept it every iteration
// (60 % of an iteration of that mesh). Neighbours may differ by 10 %: a graded mesh's
// steps are left alone, a jump in the flow is still eased. A viscous slab, whose cells
// shrink towards the wall, keeps the default, as its checks were measured.
constexpr const char* kSlabTimeSteps =
    R"foam(// Neighbouring local time steps may differ by 10 %: the cells' own growth along the
// axis is left alone.
rDeltaTSmoothingCoeff 0.1;

)foam";

}  // namespace

std::string Header(std::string_view type, std::string_view object, std::string_view location) {
  std::string text = "FoamFile\n{\n    version     2.0;\n    format      ascii;\n    class       ";
  text.append(type).append(";\n    location    \"").append(location).append("\";\n    object      ");
  text.append(object).append(";\n}\n\n");
  return text;
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  try {
    report::ReplaceFile(path, text);
  } catch (const report::WriteError& error) {
    throw CaseError(error.what());
  }
}

namespace {

// The grading across: none for an inviscid case, towards the wall for a viscous one.
std::string Across(const FlowFacts& facts) { return facts.viscous ? Number(facts.viscous->acrossGrading) : "1"; }

// The block's grading: along the axis growing by GradingAlong; from the plenum in two
// sections (case_plan.h), given edge by edge as the axis and the wall reach the throat
// at different fractions of their lengths (edgeGrading: the four edges along x, axis,
// wall, wall, axis; the four across; the four through the slab or wedge).
std::string Grading(const FlowFacts& facts, int nx, int convergentCells) {
  if (!facts.plenum) return "simpleGrading (" + Number(GradingAlong(facts)) + " " + Across(facts) + " 1)";
  const double cells = static_cast<double>(convergentCells) / nx;
  const auto sections = [&](double lengthFraction) {
    return "((" + Number(lengthFraction) + " " + Number(cells) + " " + Number(facts.plenum->convergentExpansion) +
           ") (" + Number(1.0 - lengthFraction) + " " + Number(1.0 - cells) + " " + Number(GradingAlong(facts)) + "))";
  };
  const std::string axis = sections(-facts.inletX / (facts.length - facts.inletX));
  const std::string wall = sections(facts.plenum->throatFraction);
  const std::string across = Across(facts);
  return "edgeGrading\n    (\n        " + axis + "\n        " + wall + "\n        " + wall + "\n        " + axis +
         "\n        " + across + " " + across + " " + across + " " + across + "\n        1 1 1 1\n    )";
}

// The slab of a planar nozzle: one block one cell deep, its faces at z = 0 and 0.1.
std::string SlabBlocks(const std::vector<report::ContourPoint>& wall, const FlowFacts& facts, int nx, int ny,
                       int convergentCells) {
  const std::string L = Number(facts.length), ye = Number(facts.exitHalfHeight);
  const std::string x0 = Number(facts.inletX), y0 = Number(facts.inletHeight);
  const std::string depth = "0.1";
  std::string text = "vertices\n(\n";
  for (const std::string& z : {std::string("0"), depth}) {
    text += "    (" + x0 + " 0 " + z + ")\n    (" + L + " 0 " + z + ")\n    (" + L + " " + ye + " " + z + ")\n    (" +
            x0 + " " + y0 + " " + z + ")\n";
  }
  text += ");\n\nblocks\n(\n    hex (0 1 2 3 4 5 6 7) (" + std::to_string(nx) + " " + std::to_string(ny) + " 1) " +
          Grading(facts, nx, convergentCells) + "\n);\n\n";
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
  return text + ");\n\n";
}

// The wedge of a round nozzle, as OpenFOAM's axisymmetric cases build it: the profile
// turned by -kWedgeHalfAngle and +kWedgeHalfAngle about the x axis (a point (x, r)
// goes to (x, r, -+r tan)), one cell in the turning direction, the edge on the axis
// collapsed (vertices 0 and 1 serve both sides), so no face lies on the axis.
std::string WedgeBlocks(const std::vector<report::ContourPoint>& wall, const FlowFacts& facts, int nx, int ny,
                        int convergentCells) {
  const double t = std::tan(kWedgeHalfAngle * std::acos(-1.0) / 180.0);
  const auto point = [t](double x, double r, double side) {
    std::string text = "(";
    return text.append(Number(x)).append(" ").append(Number(r)).append(" ").append(Number(side * r * t)).append(")");
  };
  const double L = facts.length, ye = facts.exitHalfHeight, x0 = facts.inletX, y0 = facts.inletHeight;
  std::string text = "vertices\n(\n    (" + Number(x0) + " 0 0)\n    (" + Number(L) + " 0 0)\n";
  text += "    " + point(L, ye, -1.0) + "\n    " + point(x0, y0, -1.0) + "\n";
  text += "    " + point(L, ye, 1.0) + "\n    " + point(x0, y0, 1.0) + "\n);\n\n";
  text += "blocks\n(\n    hex (0 1 2 3 0 1 4 5) (" + std::to_string(nx) + " " + std::to_string(ny) + " 1) " +
          Grading(facts, nx, convergentCells) + "\n);\n\n";
  // The wall from vertex 3 (throat corner) to 2 (exit lip) on one side, 5 to 4 on the other.
  text += "edges\n(\n";
  for (const auto& [from, to, side] : {std::tuple{3, 2, -1.0}, std::tuple{5, 4, 1.0}}) {
    text += "    polyLine " + std::to_string(from) + " " + std::to_string(to) + "\n    (\n";
    for (std::size_t i = 1; i + 1 < wall.size(); ++i) text += "        " + point(wall[i].x, wall[i].y, side) + "\n";
    text += "    )\n";
  }
  return text + ");\n\n";
}

}  // namespace

std::string BlockMeshDict(const std::vector<report::ContourPoint>& wall, const FlowFacts& facts, int nx, int ny,
                          double scale, int convergentCells) {
  std::string text = Header("dictionary", "blockMeshDict", "system");
  text += "scale   " + Number(scale) + ";\n\n";
  text += facts.axisymmetric ? WedgeBlocks(wall, facts, nx, ny, convergentCells)
                             : SlabBlocks(wall, facts, nx, ny, convergentCells);
  text += "boundary\n(\n";
  const auto patch = [&text](const char* name, const char* type, const char* faces) {
    text += std::string("    ") + name + "\n    {\n        type " + type + ";\n        faces\n        (\n" + faces +
            "        );\n    }\n";
  };
  if (facts.axisymmetric) {
    patch("inlet", "patch", "            (0 3 5 0)\n");
    patch("outlet", "patch", "            (1 2 4 1)\n");
    patch("wall", "wall", "            (3 5 4 2)\n");
    patch("front", "wedge", "            (0 3 2 1)\n");
    patch("back", "wedge", "            (0 1 4 5)\n");
  } else {
    patch("inlet", "patch", "            (0 4 7 3)\n");
    patch("outlet", "patch", "            (2 6 5 1)\n");
    patch("wall", "wall", "            (3 7 6 2)\n");
    patch("axis", "symmetryPlane", "            (1 5 4 0)\n");
    patch("frontAndBack", "empty", "            (0 3 2 1)\n            (4 5 6 7)\n");
  }
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
  text += "// Read again while the solver runs: the check ends a settled run early with stopAt nextWrite,\n";
  text += "// and lets one that has not settled run on by moving endTime. Each change is to be seen at once:\n";
  text += "// by default a change within 10 s of the last one read is not.\n";
  text += "runTimeModifiable true;\nOptimisationSwitches\n{\n    fileModificationSkew 0;\n}\n";
  text += "maxCo           " + Number(maxCourant) + ";\n\n";
  if (facts.axisymmetric) {
    text += kWedgeTimeSteps;
  } else if (!facts.viscous) {
    text += kSlabTimeSteps;
  }
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
            Number(facts.axisymmetric ? 0.0 : 0.05 * scale) + ")\n";
  }
  text += "        );\n    }\n";
  if (facts.plenum) {
    for (const char* patch : {"inlet", "outlet"}) {
      text += std::string("\n    // The mass flow through the ") + patch + ", the sum of phi over its faces.\n    " + patch +
              R"foam(Mass
    {
        type            surfaceFieldValue;
        libs            ("libfieldFunctionObjects.so");
        regionType      patch;
        name            )foam" + patch + R"foam(;
        operation       sum;
        fields          (phi);
        writeFields     false;
        log             false;
        writeControl    timeStep;
        writeInterval   )foam" + std::to_string(kMeanEvery) + ";\n    }\n";
    }
  }
  return text + "}\n";
}

std::string FvSchemes(bool viscous) {
  std::string text = Header("dictionary", "fvSchemes", "system") + kSchemes;
  if (!viscous) return text;
  const std::string tau = "    div(tauMC)      Gauss linear;\n";
  text.insert(text.find(tau) + tau.size(), kTurbulenceDivSchemes);
  return text + kWallDistance;
}

std::string FvSolution(bool viscous) {
  std::string text = Header("dictionary", "fvSolution", "system") + kSolution;
  if (!viscous) return text;
  // With a viscosity the solver solves U and the energy e implicitly, and the
  // turbulence model k and omega.
  const std::string h = "\n    h\n";
  text.replace(text.find(h), h.size(), "\n    \"(h|e)\"\n");
  const std::size_t end = text.rfind('}');
  return text.insert(end,
                     "\n    \"(k|omega)\"\n    {\n        $U;\n        tolerance       1e-10;\n"
                     "        relTol          0.1;\n    }\n");
}

std::string ThermophysicalProperties(const gas::Gas& gas, const ViscousFlow* viscous) {
  return Header("dictionary", "thermophysicalProperties", "constant") + Thermo(gas.gamma, viscous);
}

std::string TurbulenceProperties(const ViscousFlow* viscous) {
  std::string text = Header("dictionary", "turbulenceProperties", "constant");
  if (viscous == nullptr || !viscous->turbulent) return text + "simulationType  laminar;\n";
  return text + "simulationType  RAS;\n\nRAS\n{\n    RASModel        kOmegaSST;\n    turbulence      on;\n"
                "    printCoeffs     off;\n}\n";
}

std::string DecomposeParDict(int jobs) {
  return Header("dictionary", "decomposeParDict", "system") + "numberOfSubdomains " + std::to_string(jobs) +
         ";\n\nmethod          simple;\n\nsimpleCoeffs\n{\n    n               (" + std::to_string(jobs) +
         " 1 1);\n    delta           0.001;\n}\n";
}

namespace {

std::string FieldFile(std::string_view type, std::string_view name, std::string_view dimensions,
                      const std::string& internal, std::string_view inlet, std::string_view wall, bool wedge) {
  std::string text = Header(type, name, "0");
  text.append("dimensions      ").append(dimensions).append(";\n\ninternalField   ").append(internal);
  text += ";\n\nboundaryField\n{\n    inlet\n    {\n";
  text.append(inlet).append("    }\n    outlet\n    {\n        type            zeroGradient;\n    }\n");
  text.append("    wall\n    {\n").append(wall).append("    }\n");
  if (wedge) {
    text += "    front\n    {\n        type            wedge;\n    }\n";
    text += "    back\n    {\n        type            wedge;\n    }\n}\n";
    return text;
  }
  text += "    axis\n    {\n        type            symmetryPlane;\n    }\n";
  text += "    frontAndBack\n    {\n        type            empty;\n    }\n}\n";
  return text;
}

constexpr const char* kFixed = "        type            fixedValue;\n        value           uniform ";
constexpr const char* kZeroGradient = "        type            zeroGradient;\n";

// The inlet's velocity of a stagnation inlet (TotalState below): taken from the cells
// next to it (zero gradient), the one quantity a subsonic inflow carries from the
// inside, all but its swirl (z, across a wedge; a slab has none). Taken from the cells
// too, a swirl that the axis of a wedge seeds came back in through the inlet and grew (a
// 202 x 40 wedge: |u_z| from 0.006 to 0.1 in 16,000 iterations, the mass flow 0.4 % down
// and falling), so the inlet holds it at zero.
constexpr const char* kSwirlFree = R"foam(        type            directionMixed;
        refValue        uniform (0 0 0);
        refGradient     uniform (0 0 0);
        valueFraction   uniform (0 0 0 0 0 1);
        value           uniform (0 0 0);
)foam";

// A stagnation inlet's pressure or temperature: the total pressure and temperature of
// the gas at rest, p0 and T0 over the sonic state's (the case's p = 1, T = 1), the static
// state following from the inlet's velocity. The pressure's condition takes the
// compressibility psi, not the density.
std::string TotalState(const char* type, const char* name, double value, double gamma) {
  const bool pressure = name[0] == 'p';
  return std::string("        type            ") + type + ";\n        " + name + "              uniform " +
         Number(value) + ";\n        gamma           " + Number(gamma) + ";\n        psi             thermo:psi;\n" +
         (pressure ? "        rho             none;\n" : "") + "        value           uniform " + Number(value) +
         ";\n";
}

}  // namespace

StagnationInlet StagnationInlet::Of(const gas::Gas& gas) {
  const double T0 = gas.TemperatureRatio(0.0);
  return {gas.PressureRatioOfTemperature(T0), T0, gas.gamma};
}

std::string PressureField(const StartField* start, bool wedge, const StagnationInlet* stagnation) {
  return FieldFile("volScalarField", "p", "[1 -1 -2 0 0 0 0]", start ? ScalarList(start->p) : "uniform 1",
                   stagnation ? TotalState("totalPressure", "p0", stagnation->p0, stagnation->gamma)
                              : std::string(kFixed) + "1;\n",
                   kZeroGradient, wedge);
}

std::string TemperatureField(const StartField* start, bool wedge, const ViscousFlow* viscous,
                             const StagnationInlet* stagnation) {
  const std::string wall = viscous != nullptr && viscous->wallT > 0.0
                               ? std::string(kFixed) + Number(viscous->wallT) + ";\n"
                               : std::string(kZeroGradient);
  return FieldFile("volScalarField", "T", "[0 0 0 1 0 0 0]", start ? ScalarList(start->T) : "uniform 1",
                   stagnation ? TotalState("totalTemperature", "T0", stagnation->T0, stagnation->gamma)
                              : std::string(kFixed) + "1;\n",
                   wall, wedge);
}

std::string VelocityField(const StartField* start, bool wedge, const ViscousFlow* viscous,
                          const StagnationInlet* stagnation) {
  return FieldFile("volVectorField", "U", "[0 1 -1 0 0 0 0]",
                   start ? VectorList(start->ux, start->uy) : "uniform (1 0 0)",
                   stagnation ? std::string(kSwirlFree) : std::string(kFixed) + "(1 0 0);\n",
                   viscous ? "        type            noSlip;\n" : "        type            slip;\n", wedge);
}

std::vector<std::pair<std::string, std::string>> TurbulenceFields(const ViscousFlow& v, double gamma, bool wedge) {
  // The inflow's turbulence: intensity 1 % of u* = 1 and an eddy viscosity k / omega
  // ten times the molecular one, muStar / rho*, rho* = gamma.
  const double k = 1.5 * 0.01 * 0.01;
  const double omega = k / (10.0 * v.muStar / gamma);
  const auto uniform = [](double value) { return "uniform " + Number(value); };
  const auto fixed = [](double value) { return std::string(kFixed) + Number(value) + ";\n"; };
  const auto wallFunction = [](const char* type, double value) {
    return std::string("        type            ") + type + ";\n        value           uniform " + Number(value) +
           ";\n";
  };
  const std::string calculated = "        type            calculated;\n        value           uniform 0;\n";
  return {
      {"k", FieldFile("volScalarField", "k", "[0 2 -2 0 0 0 0]", uniform(k), fixed(k),
                      wallFunction("kqRWallFunction", k), wedge)},
      {"omega", FieldFile("volScalarField", "omega", "[0 0 -1 0 0 0 0]", uniform(omega), fixed(omega),
                          wallFunction("omegaWallFunction", omega), wedge)},
      {"nut", FieldFile("volScalarField", "nut", "[0 2 -1 0 0 0 0]", "uniform 0", calculated,
                        wallFunction("nutkWallFunction", 0.0), wedge)},
      {"alphat", FieldFile("volScalarField", "alphat", "[1 -1 -1 0 0 0 0]", "uniform 0", calculated,
                           wallFunction("compressible::alphatWallFunction", 0.0), wedge)},
  };
}

}  // namespace cfd
