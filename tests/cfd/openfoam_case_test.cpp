#include "cfd/openfoam_case.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cfd/design_case.h"
#include "nozzle/axisymmetric.h"
#include "report/contour.h"
#include "support/golden.h"
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
  EXPECT_EQ(ReadBytes(folder.path() / "case" / "fine" / "system" / "controlDict").find("rDeltaTSmoothingCoeff"),
            std::string::npos);
  EXPECT_DOUBLE_EQ(facts.flow.length, result.net.x(49, 50));
  // Me 2.4: a transit of 5 (3.4 / 1.4) = 12.1 iterations a cell along, a window of 5.
  EXPECT_EQ(facts.meshes[2].minIterations, 4858 + 2000);
  EXPECT_EQ(facts.meshes[2].window, 2000);
  EXPECT_EQ(facts.meshes[0].maxIterations, 1215 + 500 + 4 * 500);
  EXPECT_EQ(facts.meshes[0].capIterations, 1215 + 500 + 16 * 500);  // what the check may run on to
}

TEST(OpenFoamCase, RefusesMeshesThatOutgrowTheMachineBeforeWritingAnything) {
  TempFolder folder;
  const auto huge = cfd::MeshesDoNotFit(100000, 25000, folder.path() / "case");
  ASSERT_TRUE(huge.has_value());
  EXPECT_NE(huge->find("the meshes of --cfd-cells 100000 (finest 100000 x 25000) need about 7500 GB of memory"),
            std::string::npos)
      << *huge;
  EXPECT_FALSE(cfd::MeshesDoNotFit(400, 100, folder.path() / "case").has_value());
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

// A round nozzle is a 5 degree wedge about the axis: checkMesh accepts it, its sides
// are wedge patches, and its first (nx + 1)(ny + 1) points are the profile's side at
// -2.5 degrees in order (the exit figures read the exit from them).
TEST(OpenFoamCase, WritesARoundNozzleAsAWedgeThatCheckMeshAccepts) {
  if (std::system("command -v blockMesh >/dev/null") != 0) GTEST_SKIP() << "OpenFOAM is not installed";
  TempFolder folder;
  const fs::path dir = folder.path() / "case";
  const nozzle::AxisymmetricDesign d = nozzle::DesignAxisymmetric({2.4, 0.373, 49.0, 1.4});
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
  // The small local time steps by the axis stay there (a planar case keeps the default).
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

}  // namespace
