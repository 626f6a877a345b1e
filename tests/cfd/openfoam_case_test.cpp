#include "cfd/openfoam_case.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "boundary_layer/layer.h"
#include "cfd/design_case.h"
#include "cfd/exit_flow.h"
#include "nozzle/convergent.h"
#include "nozzle/minimum_length.h"
#include "nozzle/rounded_throat.h"
#include "report/contour.h"
#include "support/golden.h"
#include "nozzle/spelling.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempFolder;

// The points of the first polyLine of a blockMeshDict, as "x,y" texts.
std::vector<std::string> PolyLinePoints(const std::string& dict) {
  std::istringstream in(dict.substr(dict.find("polyLine 3 2")));
  std::string line;
  std::getline(in, line);
  std::getline(in, line);  // "("
  std::vector<std::string> points;
  while (std::getline(in, line) && line.find_first_not_of(' ') != line.find(')')) {
    std::istringstream p(line.substr(line.find('(') + 1));
    std::string x, y;
    p >> x >> y;
    points.push_back(x + "," + y);
  }
  return points;
}

// The block's grading along the axis and across, from its simpleGrading.
std::pair<double, double> Grading(const std::string& dict) {
  double along = 0.0, across = 0.0;
  std::istringstream(dict.substr(dict.find("simpleGrading (") + 15)) >> along >> across;
  return {along, across};
}

TEST(OpenFoamCase, EveryMeshOfTheLadderHasTheWallPointsOfTheRunAndTwiceTheCellsOfTheOneBefore) {
  const nozzle::DesignResult result = nozzle::Design({2.4, 0.373, 49.0});
  TempFolder folder;
  const cfd::CaseFacts facts = cfd::WriteCase(nozzle::RecordOf(result), folder.path() / "case", {});
  std::istringstream csv(report::WallContourCsv(nozzle::RecordOf(result)));
  std::vector<std::string> wall;
  for (std::string line; std::getline(csv, line);) wall.push_back(line);
  ASSERT_EQ(wall.size(), 51u);  // the header, the throat corner and 49 wall points
  const std::string lip = wall.back().substr(0, wall.back().find(',')) + " " + wall.back().substr(wall.back().find(',') + 1);
  const char* cells[] = {"(100 25 1)", "(200 50 1)", "(400 100 1)"};
  for (std::size_t m = 0; m < 3; ++m) {
    const fs::path mesh = folder.path() / "case" / facts.meshes[m].name;
    const std::string dict = ReadBytes(mesh / "system" / "blockMeshDict");
    EXPECT_EQ(PolyLinePoints(dict), std::vector<std::string>(wall.begin() + 2, wall.end() - 1));
    EXPECT_NE(dict.find("    (" + lip + " 0)\n"), std::string::npos) << "the exit lip is a vertex";
    EXPECT_NE(dict.find(cells[m]), std::string::npos) << mesh;
    EXPECT_TRUE(fs::exists(mesh / "case.foam")) << "ParaView opens the case as it stands";
    EXPECT_NE(ReadBytes(mesh / "system" / "fvSchemes").find("default         localEuler;"), std::string::npos);
  }
  // Only the coarse mesh starts from the design; the others from the mesh before.
  EXPECT_NE(ReadBytes(folder.path() / "case" / "coarse" / "0" / "U").find("nonuniform List<vector>\n2500\n"),
            std::string::npos);
  EXPECT_NE(ReadBytes(folder.path() / "case" / "fine" / "0" / "U").find("internalField   uniform (1 0 0)"),
            std::string::npos);
  EXPECT_NE(ReadBytes(folder.path() / "case" / "fine" / "system" / "controlDict").find("\nrDeltaTSmoothingCoeff 0.1;\n"),
            std::string::npos);
  // The 100 x 25 mesh runs on one core, the others on as many as the case has.
  EXPECT_NE(ReadBytes(folder.path() / "case" / "Allrun").find("\nsmall=\"coarse\"\n"), std::string::npos);
  EXPECT_DOUBLE_EQ(facts.flow.length, result.net.x(49, 50));
  // The cells grow along by the exit half-height, 2.403: at the throat they are
  // 8.079 x 100 ln 2.403 / (1.403 x 400) = 1.262 times as long as high.
  const auto [along, across] = Grading(ReadBytes(folder.path() / "case" / "fine" / "system" / "blockMeshDict"));
  EXPECT_DOUBLE_EQ(along, facts.flow.exitHalfHeight);
  EXPECT_EQ(across, 1.0);
  // Me 2.4: a transit of 3.75 (3.4 + 1.262) / 1.4 = 12.49 iterations a cell along, a window of 5.
  EXPECT_EQ(facts.meshes[2].minIterations, 4997 + 2000);
  EXPECT_EQ(facts.meshes[2].window, 2000);
  EXPECT_EQ(facts.meshes[0].maxIterations, 1250 + 500 + 4 * 500);
  EXPECT_EQ(facts.meshes[0].capIterations, 1250 + 500 + 16 * 500);  // what the check may run on to
}

// 256 cells along up to 8.5 throat half-heights of length, 320 beyond: the default design
// (8.079) 256, Me 2.4 in G 1.2 (9.948) 320.
TEST(OpenFoamCase, SizesTheDefaultLadderByTheNozzlesLength) {
  EXPECT_EQ(cfd::DefaultCellsAlong(8.079), 256);
  EXPECT_EQ(cfd::DefaultCellsAlong(8.5), 256);
  EXPECT_EQ(cfd::DefaultCellsAlong(9.948), 320);
}

TEST(OpenFoamCase, RefusesMeshesThatOutgrowTheMachineBeforeWritingAnything) {
  TempFolder folder;
  const auto huge = cfd::MeshesDoNotFit(100000, 25000, folder.path() / "case", nozzle::LongOptionSpelling());
  ASSERT_TRUE(huge.has_value());
  EXPECT_NE(huge->find("the meshes of --cfd-cells 100000 (finest 100000 x 25000) need about 7500 GB of memory"),
            std::string::npos)
      << *huge;
  EXPECT_FALSE(
      cfd::MeshesDoNotFit(400, 100, folder.path() / "case", nozzle::LongOptionSpelling()).has_value());
  EXPECT_TRUE(folder.Entries().empty());
}

TEST(OpenFoamCase, RefusesAFolderInUseAndAWallThatTurnsBackTouchingNothing) {
  TempFolder folder;
  std::ofstream(folder.path() / "notes.txt") << "mine";
  const nozzle::DesignResult good = nozzle::Design({2.4, 0.373, 7.0});
  EXPECT_FALSE(cfd::CaseFolderIsFree(folder.path()));
  EXPECT_THROW(cfd::WriteCase(nozzle::RecordOf(good), folder.path(), {}), cfd::CaseError);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"notes.txt"});

  const nozzle::DesignResult turning = nozzle::Design({10.0, 0.373, 2.0});
  ASSERT_FALSE(turning.wallWarning.empty());
  try {
    cfd::WriteCase(nozzle::RecordOf(turning), folder.path() / "case", {});
    ADD_FAILURE() << "a wall that turns back was meshed";
  } catch (const cfd::CaseError& e) {
    EXPECT_NE(std::string(e.what()).find(turning.wallWarning), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(folder.path() / "case"));
}

// The default design corrected for its layer at `p0` and throat half-height `h` (m).
nozzle::DesignRecord Corrected(double p0, double h) {
  nozzle::DesignRecord design = nozzle::RecordOf(nozzle::Design({2.4, 0.373, 49.0}));
  boundary_layer::Conditions c;
  c.gas = *gas::NamedGas("air");
  c.p0 = p0;
  c.T0 = 300.0;
  c.throatHalfHeight = h;
  boundary_layer::Apply(design, std::get<nozzle::WallCorrection>(boundary_layer::CorrectWall(design, c)));
  return design;
}

double Entry(const std::string& text, const std::string& key) {
  return std::stod(text.substr(text.find(key) + key.size()));
}

// Re* holds in the case's units, whose length is the mesh's (metres): mu(T*) = gamma h / Re*.
// The cells are graded so that the finest mesh's wall cell at the exit is a tenth of
// the layer's displacement thickness there (laminar), or lies at y+ 30 (turbulent).
TEST(OpenFoamCase, WritesAViscousCaseWithReStarMatchedAndItsCellsGradedToTheWall) {
  TempFolder folder;
  const nozzle::DesignRecord laminar = Corrected(13000.0, 0.01);
  cfd::CaseOptions options = cfd::LadderOptions(400, 1, 0.01);
  const cfd::CaseFacts facts = cfd::WriteCase(laminar, folder.path() / "laminar", options);
  const double Re = laminar.correction->ReStar, S = laminar.correction->sutherlandSOverTStar;
  const std::string thermo = ReadBytes(folder.path() / "laminar" / "fine" / "constant" / "thermophysicalProperties");
  EXPECT_NEAR(Entry(thermo, "As              "), 1.4 * 0.01 / Re * (1.0 + S), 1e-15) << thermo;
  const double R = Grading(ReadBytes(folder.path() / "laminar" / "fine" / "system" / "blockMeshDict")).second;
  const int n = facts.meshes[2].ny;
  const double q = std::pow(R, 1.0 / (n - 1)), Y = laminar.correction->correctedExitHeight;
  const double wallCell = Y * (q - 1.0) * std::pow(q, n - 1) / (std::pow(q, n) - 1.0);
  EXPECT_NEAR(wallCell, laminar.correction->exitDeltaStar / 0.01 / 10.0, 1e-9);
  EXPECT_NE(ReadBytes(folder.path() / "laminar" / "fine" / "0" / "U").find("noSlip"), std::string::npos);
  // Its finest mesh starts from the medium mesh's result alone.
  EXPECT_NE(ReadBytes(folder.path() / "laminar" / "Allrun").find("\nextrapolate=\"\"\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder.path() / "laminar" / "extrapolate.awk"));
  // Its wall's small local time steps are smoothed into the core as by default.
  EXPECT_EQ(ReadBytes(folder.path() / "laminar" / "fine" / "system" / "controlDict").find("rDeltaTSmoothingCoeff"),
            std::string::npos);

  const nozzle::DesignRecord turbulent = Corrected(5e5, 0.025);
  options.metresPerHalfHeight = 0.025;
  cfd::WriteCase(turbulent, folder.path() / "turbulent", options);
  const fs::path zero = folder.path() / "turbulent" / "coarse" / "0";
  EXPECT_NE(ReadBytes(zero.parent_path() / "constant" / "turbulenceProperties").find("RASModel        kOmegaSST;"),
            std::string::npos);
  // omega = k / (10 nu*), nu* = mu* / rho* = h / Re*, k = 1.5 (0.01 u*)^2.
  const std::string omega = ReadBytes(zero / "omega");
  EXPECT_NEAR(Entry(omega, "internalField   uniform "), 1.5e-4 * turbulent.correction->ReStar / (10.0 * 0.025),
              1e-6 * Entry(omega, "internalField   uniform "));
  for (const char* wall : {"kqRWallFunction", "omegaWallFunction", "nutkWallFunction", "alphatWallFunction"}) {
    bool found = false;
    for (const char* field : {"k", "omega", "nut", "alphat"}) found = found || ReadBytes(zero / field).find(wall) != std::string::npos;
    EXPECT_TRUE(found) << wall;
  }
}

// The finest mesh of an inviscid case starts from medium + (medium - coarse) / 2, both
// mapped onto it: every number of the internal field, p and T kept above half the
// medium's, every other line the medium's own; files that do not match fail.
TEST(OpenFoamCase, StartsTheFinestMeshFromTheExtrapolatedResultsOfTheOthers) {
  if (std::system("command -v awk >/dev/null") != 0) GTEST_SKIP() << "awk is not installed";
  TempFolder folder;
  cfd::WriteCase(nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0})), folder.path() / "case", cfd::LadderOptions(32, 1, 1.0));
  EXPECT_NE(ReadBytes(folder.path() / "case" / "Allrun").find("\nextrapolate=\"fine\"\n"), std::string::npos);
  const auto field = [](const std::string& values) {
    return "internalField   nonuniform List<scalar> \n3\n(\n" + values + ")\n;\n\nboundaryField\n{\n    inlet\n"
           "    {\n        value           uniform (1 0 0);\n    }\n}\n";
  };
  std::ofstream(folder.path() / "medium") << field("(1.2 0.1 0)\n2\n0.5\n");
  std::ofstream(folder.path() / "coarse") << field("(1 0.2 0)\n1.5\n1.5\n");
  std::ofstream(folder.path() / "short") << field("(1 0.2 0)\n1.5\n");
  const auto extrapolate = [&folder](const char* coarse, int positive) {
    const std::string command = "cd '" + folder.path().string() + "' && awk -v coarse=" + coarse +
                                " -v positive=" + std::to_string(positive) +
                                " -f case/extrapolate.awk medium > start";
    return std::system(command.c_str());
  };
  ASSERT_EQ(extrapolate("coarse", 1), 0);
  EXPECT_EQ(ReadBytes(folder.path() / "start"), field("(1.3 0.05 0)\n2.25\n0.25\n"));
  ASSERT_EQ(extrapolate("coarse", 0), 0);
  EXPECT_EQ(ReadBytes(folder.path() / "start"), field("(1.3 0.05 0)\n2.25\n0\n"));
  EXPECT_NE(extrapolate("short", 1), 0);
}

TEST(OpenFoamCase, CheckMeshAcceptsTheMeshOfTheDefaultDesign) {
  if (std::system("command -v blockMesh >/dev/null") != 0) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  cfd::WriteCase(nozzle::RecordOf(nozzle::Design({2.4, 0.373, 49.0})), dir, {});
  const std::string command = "cd '" + (dir / "fine").string() +
                              "' && export WM_PROJECT_DIR=/usr/share/openfoam && blockMesh > log.blockMesh 2>&1 && "
                              "checkMesh > log.checkMesh 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(dir / "fine" / "log.blockMesh");
  const std::string log = ReadBytes(dir / "fine" / "log.checkMesh");
  EXPECT_NE(log.find("\nMesh OK."), std::string::npos) << log;
  EXPECT_NE(log.find("cells:            40000"), std::string::npos) << log;
}

// The case's inflow section is the record's inlet, wherever its wall starts: a design
// moved downstream by half a throat half-height is meshed from x = 0.5, and blockMesh
// and checkMesh take it.
TEST(OpenFoamCase, TakesItsInletFromTheRecord) {
  nozzle::DesignRecord record = nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0}));
  for (nozzle::FlowPoint& p : record.wall) p.x += 0.5;
  for (nozzle::CharacteristicLine& line : record.lines) {
    for (nozzle::FlowPoint& p : line.points) p.x += 0.5;
  }
  record.facts.length += 0.5;
  record.facts.axisEnd += 0.5;
  record.inlet.x = 0.5;
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  cfd::CaseOptions small;
  small.cellsAlong = 64;
  small.cellsAcross = 16;
  cfd::WriteCase(record, dir, small);
  const std::string dict = ReadBytes(dir / "fine" / "system" / "blockMeshDict");
  EXPECT_NE(dict.find("vertices\n(\n    (0.5 0 0)\n"), std::string::npos) << dict;
  EXPECT_NE(dict.find("\n    (0.5 1 0)\n    (0.5 0 0.1)\n"), std::string::npos) << dict;
  if (std::system("command -v blockMesh >/dev/null") != 0) GTEST_SKIP() << "OpenFOAM is not installed";
  const std::string command = "cd '" + (dir / "coarse").string() +
                              "' && export WM_PROJECT_DIR=/usr/share/openfoam && blockMesh > log.blockMesh 2>&1 && "
                              "checkMesh > log.checkMesh 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(dir / "coarse" / "log.blockMesh");
  EXPECT_NE(ReadBytes(dir / "coarse" / "log.checkMesh").find("\nMesh OK."), std::string::npos);
}

// A round nozzle is a 5 degree wedge about the axis: checkMesh accepts it, its sides
// are wedge patches, and its first (nx + 1)(ny + 1) points are the profile's side at
// -2.5 degrees in order (the exit figures read the exit from them).
TEST(OpenFoamCase, WritesARoundNozzleAsAWedgeThatCheckMeshAccepts) {
  if (std::system("command -v blockMesh >/dev/null") != 0) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  const nozzle::MarchedDesign d = nozzle::DesignAxisymmetric({2.4, 0.373, 49.0, 1.4});
  cfd::CaseOptions options;
  options.cellsAlong = 64;
  options.cellsAcross = 16;
  cfd::WriteCase(nozzle::RecordOf(d), dir, options);
  const fs::path fine = dir / "fine";
  const std::string command = "cd '" + fine.string() +
                              "' && export WM_PROJECT_DIR=/usr/share/openfoam && blockMesh > log.blockMesh 2>&1 && "
                              "checkMesh > log.checkMesh 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(fine / "log.blockMesh");
  const std::string log = ReadBytes(fine / "log.checkMesh");
  EXPECT_NE(log.find("\nMesh OK."), std::string::npos) << log;
  EXPECT_NE(log.find("cells:            1024"), std::string::npos) << log;
  const std::string boundary = ReadBytes(fine / "constant" / "polyMesh" / "boundary");
  for (const char* patch : {"front", "back"}) {
    const std::size_t at = boundary.find(std::string("\n    ") + patch + "\n");
    ASSERT_NE(at, std::string::npos) << boundary;
    EXPECT_EQ(boundary.find("type            wedge;", at), boundary.find("type", at)) << patch;
  }
  EXPECT_EQ(boundary.find("symmetryPlane"), std::string::npos);
  EXPECT_NE(ReadBytes(fine / "0" / "U").find("    front\n    {\n        type            wedge;"), std::string::npos);
  // The small local time steps by the axis stay there (a planar case's differ by 10 % at most).
  EXPECT_NE(ReadBytes(fine / "system" / "controlDict").find("\nrDeltaTSmoothingCoeff 1;\n"), std::string::npos);
  // The lip is point (nx, ny) of the first side.
  const std::string points = ReadBytes(fine / "constant" / "polyMesh" / "points");
  std::size_t at = points.find('(', points.find('}'));
  for (int i = 0; i <= 16 * 65 + 64; ++i) at = points.find('(', at + 1);
  std::istringstream lip(points.substr(at + 1));
  double x = 0.0, y = 0.0, z = 0.0;
  lip >> x >> y >> z;
  EXPECT_NEAR(x, d.wall.back().x, 1e-9);
  EXPECT_NEAR(y, d.wall.back().y, 1e-9);
  EXPECT_NEAR(z, -d.wall.back().y * std::tan(2.5 * 3.14159265358979323846 / 180.0), 1e-9);
}

// A rounded throat's case begins in the plenum: the mesh takes in the convergent
// section from its inlet, whose gas enters from rest at p0 / p* = 1.2^3.5 and
// T0 / T* = 1.2 (air), at half the Courant number, and the mass flows through the inlet
// and outlet are followed. The cells along fall in two sections whose boundary lies at
// x = 0 on the axis and on the wall, where the convergent's last cell is as long as the
// divergent's first.
TEST(OpenFoamCase, StartsARoundedThroatInThePlenum) {
  nozzle::DesignInputs inputs{2.4, 0.0, 15.0};
  inputs.throatRadius = 2.0;
  nozzle::DesignRecord record = nozzle::RecordOf(nozzle::DesignRoundedThroat(inputs, moc::Flow::kPlanar));
  record.convergent = nozzle::ConvergentWall(2.0, 3.0, 30.0, false, 1.4);
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  cfd::CaseOptions options;
  options.cellsAlong = 64;
  options.cellsAcross = 16;
  const cfd::CaseFacts facts = cfd::WriteCase(record, dir, options);
  ASSERT_TRUE(facts.flow.plenum.has_value());
  EXPECT_EQ(facts.flow.inletX, record.convergent.front().x);
  const cfd::MeshPlan& coarse = facts.meshes[0];
  EXPECT_EQ(coarse.nx, 16 + coarse.convergentCells);
  EXPECT_EQ(facts.meshes[2].convergentCells, 4 * coarse.convergentCells);
  const std::string p = ReadBytes(dir / "coarse" / "0" / "p");
  EXPECT_NE(p.find("inlet\n    {\n        type            totalPressure;\n        p0              uniform "
                   "1.892929158737854;"),
            std::string::npos)
      << p;
  EXPECT_NE(ReadBytes(dir / "coarse" / "0" / "T").find("T0              uniform 1.2;"), std::string::npos);
  // The velocity from the cells, but for the swirl of a wedge, held at zero.
  EXPECT_NE(ReadBytes(dir / "fine" / "0" / "U").find("inlet\n    {\n        type            directionMixed;"),
            std::string::npos);
  const std::string control = ReadBytes(dir / "medium" / "system" / "controlDict");
  EXPECT_NE(control.find("maxCo           0.1;"), std::string::npos);
  EXPECT_NE(control.find("inletMass\n"), std::string::npos);
  EXPECT_NE(control.find("outletMass\n"), std::string::npos);
  if (std::system("command -v blockMesh >/dev/null") != 0) GTEST_SKIP() << "OpenFOAM is not installed";
  const fs::path mesh = dir / "coarse";
  const std::string command = "cd '" + mesh.string() +
                              "' && export WM_PROJECT_DIR=/usr/share/openfoam && blockMesh > log.blockMesh 2>&1 && "
                              "checkMesh > log.checkMesh 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(mesh / "log.blockMesh");
  EXPECT_NE(ReadBytes(mesh / "log.checkMesh").find("\nMesh OK."), std::string::npos);
  const cfd::SolvedFlow points = [&] {
    // The points alone: ReadSolvedFlow needs solved fields, so give it uniform ones.
    fs::create_directories(mesh / "1");
    for (const char* field : {"Ma", "p", "T"}) {
      std::ofstream(mesh / "1" / field) << "internalField   uniform 1;\n";
    }
    std::ofstream(mesh / "1" / "U") << "internalField   uniform (1 0 0);\n";
    return cfd::ReadSolvedFlow(mesh, coarse.nx, coarse.ny);
  }();
  const auto at = [&](int i, int j) { return static_cast<std::size_t>(j * (coarse.nx + 1) + i); };
  const int throat = coarse.convergentCells;
  EXPECT_NEAR(points.pointX[at(throat, 0)], 0.0, 1e-9);
  EXPECT_NEAR(points.pointX[at(throat, coarse.ny)], 0.0, 1e-9);
  EXPECT_NEAR(points.pointY[at(throat, coarse.ny)], 1.0, 1e-9);
  EXPECT_NEAR(points.pointX[at(0, 0)], record.convergent.front().x, 1e-9);
  const double last = points.pointX[at(throat, 0)] - points.pointX[at(throat - 1, 0)];
  const double first = points.pointX[at(throat + 1, 0)] - points.pointX[at(throat, 0)];
  EXPECT_NEAR(last / first, 1.0, 0.02);
}

}  // namespace
