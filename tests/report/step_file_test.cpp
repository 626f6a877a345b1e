#include "report/step_file.h"

#include <gtest/gtest.h>

#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <BRepIntCurveSurface_Inter.hxx>
#include <Interface_Static.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Shape.hxx>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "nozzle/design.h"
#include "nozzle/design_record.h"
#include "nozzle/minimum_length.h"
#include "report/wall_spline.h"
#include "support/temp_folder.h"

namespace {

using report::ContourPoint;

struct ReadBack {
  std::vector<TopoDS_Shape> solids;
  bool valid = false;
  double volume = 0.0;
  TopoDS_Shape shape;
};

// The STEP file read by the kernel, in the file's own unit.
ReadBack Read(const std::string& bytes, const std::string& unit) {
  testing_support::TempFolder folder;
  const auto path = folder.path() / "nozzle.step";
  std::ofstream(path, std::ios::binary) << bytes;
  STEPControl_Reader reader;
  Interface_Static::SetCVal("xstep.cascade.unit", unit.c_str());
  ReadBack read;
  if (reader.ReadFile(path.string().c_str()) != IFSelect_RetDone) return read;
  reader.TransferRoots();
  read.shape = reader.OneShape();
  for (TopExp_Explorer e(read.shape, TopAbs_SOLID); e.More(); e.Next()) read.solids.push_back(e.Current());
  read.valid = BRepCheck_Analyzer(read.shape).IsValid();
  GProp_GProps props;
  BRepGProp::VolumePropertiesGK(read.shape, props, 1e-10, false, true);  // Gauss-Kronrod, span by span
  read.volume = props.Mass();
  return read;
}

// The distance along a ray from a point in the direction (0, dy, 0) to the first face.
double FirstFace(const TopoDS_Shape& shape, double x, double dy) {
  double nearest = NAN;
  BRepIntCurveSurface_Inter hit;
  for (hit.Init(shape, gp_Lin(gp_Pnt(x, 0, 0), gp_Dir(0, dy, 0)), 1e-9); hit.More(); hit.Next()) {
    if (hit.W() >= 0.0 && !(hit.W() >= nearest)) nearest = hit.W();
  }
  return nearest;
}

// Integral of y dx along the cubic through the wall points: the not-a-knot spline of each
// coordinate over the chord length, built here as piecewise polynomials (de Boor,
// ch. IV) and integrated by three-point Gauss, exact for its fifth degree.
double AreaUnder(const std::vector<ContourPoint>& p) {
  const std::size_t n = p.size();
  std::vector<double> u(n, 0.0);
  for (std::size_t k = 1; k < n; ++k) u[k] = u[k - 1] + std::hypot(p[k].x - p[k - 1].x, p[k].y - p[k - 1].y);
  // Slopes s_k of each coordinate at the sites from the not-a-knot system (dense, small).
  const auto slopes = [&](auto value) {
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
    const auto h = [&](std::size_t k) { return u[k + 1] - u[k]; };
    const auto d = [&](std::size_t k) { return (value(k + 1) - value(k)) / h(k); };
    for (std::size_t k = 1; k + 1 < n; ++k) {
      a[k][k - 1] = h(k), a[k][k] = 2 * (h(k - 1) + h(k)), a[k][k + 1] = h(k - 1);
      a[k][n] = 3 * (h(k) * d(k - 1) + h(k - 1) * d(k));
    }
    // Not-a-knot: the third derivative continuous at the second and the last but one site.
    const double h0 = h(0), h1 = h(1), hm = h(n - 2), hl = h(n - 3);
    a[0][0] = h1, a[0][1] = h0 + h1;
    a[0][n] = ((h0 + 2 * (h0 + h1)) * h1 * d(0) + h0 * h0 * d(1)) / (h0 + h1);
    a[n - 1][n - 2] = hm + hl, a[n - 1][n - 1] = hl;
    a[n - 1][n] = (hm * hm * d(n - 3) + (2 * (hl + hm) + hm) * hl * d(n - 2)) / (hl + hm);
    for (std::size_t c = 0; c < n; ++c) {
      for (std::size_t r = c + 1; r < n; ++r) {
        const double f = a[r][c] / a[c][c];
        for (std::size_t j = c; j <= n; ++j) a[r][j] -= f * a[c][j];
      }
    }
    std::vector<double> s(n);
    for (std::size_t c = n; c-- > 0;) {
      double v = a[c][n];
      for (std::size_t j = c + 1; j < n; ++j) v -= a[c][j] * s[j];
      s[c] = v / a[c][c];
    }
    return s;
  };
  const std::vector<double> sx = slopes([&](std::size_t k) { return p[k].x; });
  const std::vector<double> sy = slopes([&](std::size_t k) { return p[k].y; });
  double area = 0.0;
  for (std::size_t k = 0; k + 1 < n; ++k) {
    const double h = u[k + 1] - u[k];
    const double a = std::sqrt(0.15);
    for (const auto& [t, w] : {std::pair{0.5 - a, 5.0 / 18}, {0.5, 8.0 / 18}, {0.5 + a, 5.0 / 18}}) {
      // Hermite cubic and its derivative on the span.
      const double h00 = 2 * t * t * t - 3 * t * t + 1, h10 = t * t * t - 2 * t * t + t;
      const double h01 = -2 * t * t * t + 3 * t * t, h11 = t * t * t - t * t;
      const double g00 = 6 * t * t - 6 * t, g10 = 3 * t * t - 4 * t + 1;
      const double g01 = -6 * t * t + 6 * t, g11 = 3 * t * t - 2 * t;
      const double y = h00 * p[k].y + h10 * h * sy[k] + h01 * p[k + 1].y + h11 * h * sy[k + 1];
      const double dxdt = g00 * p[k].x + g10 * h * sx[k] + g01 * p[k + 1].x + g11 * h * sx[k + 1];
      area += w * y * dxdt;
    }
  }
  return area;
}

std::string Header(const std::string& step) { return step.substr(0, step.find("ENDSEC;")); }

// A round Me 2.4 nozzle of 10 mm throat radius: one valid solid, the revolved thick
// profile's volume by Pappus, V = 2 pi t Integral(r dx) + pi t^2 L, and the inner
// surface through the wall points.
TEST(NozzleStep, GivesARoundNozzleAsOneValidSolidOfRevolution) {
  const nozzle::DesignRecord round = nozzle::RecordOf(nozzle::DesignAxisymmetric({2.4, 0.373, 25.0, 1.4}));
  const auto scale = *report::ReadLengthScale("10mm");
  const report::SolidOptions options = report::DefaultSolidOptions(round, scale);
  EXPECT_DOUBLE_EQ(options.wallThickness, 2.0);
  const std::string step = report::NozzleStep(round, scale, options);
  EXPECT_NE(Header(step).find("round nozzle"), std::string::npos) << Header(step);
  EXPECT_NE(Header(step).find("lengths in mm (the throat radius is 10 mm)"), std::string::npos) << Header(step);
  const ReadBack read = Read(step, "MM");
  ASSERT_EQ(read.solids.size(), 1u);
  EXPECT_TRUE(read.valid);
  const std::vector<ContourPoint> wall = report::WallPoints(round, 10.0);
  const double t = options.wallThickness, length = wall.back().x;
  const double pappus = 2 * M_PI * t * AreaUnder(wall) + M_PI * t * t * length;
  EXPECT_NEAR(read.volume / pappus, 1.0, 1e-6);
  for (std::size_t i = 0; i < 20; ++i) {
    const ContourPoint& p = wall[1 + i * (wall.size() - 2) / 19];
    EXPECT_NEAR(FirstFace(read.shape, p.x, 1.0), p.y, 1e-6 * 10.0) << "at x = " << p.x;
    EXPECT_NEAR(FirstFace(read.shape, p.x, -1.0), p.y, 1e-6 * 10.0) << "at x = " << p.x;
  }
}

// A planar nozzle in inches: its two walls, each a block t L span, the lower the
// mirror image of the upper; the file's unit the inch.
TEST(NozzleStep, GivesAPlanarNozzleAsTwoWallBlocksOverTheSpan) {
  const nozzle::DesignRecord planar = nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0}));
  const auto scale = *report::ReadLengthScale("0.5in");
  const report::SolidOptions options{0.25, 3.0};
  const std::string step = report::NozzleStep(planar, scale, options);
  EXPECT_NE(Header(step).find("lengths in in (the throat half-height is 0.5 in)"), std::string::npos) << Header(step);
  const ReadBack read = Read(step, "INCH");
  ASSERT_EQ(read.solids.size(), 2u);
  EXPECT_TRUE(read.valid);
  const std::vector<ContourPoint> wall = report::WallPoints(planar, 0.5);
  EXPECT_NEAR(read.volume / (2 * 0.25 * wall.back().x * 3.0), 1.0, 1e-6);
  for (const ContourPoint& p : wall) {
    if (p.x == 0.0 || p.x == wall.back().x) continue;  // on an end face's edge
    EXPECT_NEAR(FirstFace(read.shape, p.x, 1.0), p.y, 1e-6 * 0.5) << "at x = " << p.x;
    EXPECT_NEAR(FirstFace(read.shape, p.x, -1.0), p.y, 1e-6 * 0.5) << "at x = " << p.x;
  }
  // Read in millimetres, every length is 25.4 times as long.
  EXPECT_NEAR(Read(step, "MM").volume / read.volume, std::pow(25.4, 3), 1e-6 * std::pow(25.4, 3));
}

// A real client: gmsh opens both solids and meshes their volumes into tetrahedra.
TEST(NozzleStep, MeshesInGmsh) {
  if (std::system("gmsh --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "gmsh is not installed";
  const nozzle::DesignRecord round = nozzle::RecordOf(nozzle::DesignAxisymmetric({2.4, 0.373, 25.0, 1.4}));
  const nozzle::DesignRecord planar = nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0}));
  const auto scale = *report::ReadLengthScale("10mm");
  for (const nozzle::DesignRecord* design : {&round, &planar}) {
    testing_support::TempFolder folder;
    std::ofstream(folder.path() / "nozzle.step", std::ios::binary)
        << report::NozzleStep(*design, scale, report::DefaultSolidOptions(*design, scale));
    const std::string command = "cd " + folder.path().string() +
                                " && gmsh -3 nozzle.step -o nozzle.msh -format msh2 -clmax 2 -v 1 > gmsh.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << (design->IsAxisymmetric() ? "round" : "planar");
    std::ifstream mesh(folder.path() / "nozzle.msh");
    std::string line;
    while (std::getline(mesh, line) && line != "$Elements") {
    }
    std::size_t count = 0, tetrahedra = 0;
    mesh >> count;
    for (std::getline(mesh, line); std::getline(mesh, line) && line != "$EndElements";) {
      std::istringstream fields(line);
      int id = 0, type = 0;
      fields >> id >> type;
      tetrahedra += type == 4 ? 1 : 0;
    }
    EXPECT_GT(tetrahedra, 1000u) << (design->IsAxisymmetric() ? "round" : "planar");
  }
}

// A wall that turns back on itself gives no solid the kernel accepts: the error names
// the step, and no bytes come back.
TEST(NozzleStep, RefusesAWallThatTurnsBackNamingTheStep) {
  nozzle::DesignRecord turning = nozzle::RecordOf(nozzle::DesignAxisymmetric({2.4, 0.373, 7.0, 1.4}));
  turning.wall.clear();
  for (const auto& [x, y] : {std::pair{0.0, 1.0}, {1.0, 1.3}, {0.2, 1.32}, {0.1, 1.34}, {2.0, 1.4}}) {
    turning.wall.push_back({x, y});
  }
  try {
    report::NozzleStep(turning, *report::ReadLengthScale("10mm"), {2.0, 0.0});
    FAIL() << "a solid of a wall that turns back";
  } catch (const report::StepError& e) {
    EXPECT_NE(std::string(e.what()).find("STEP solid: the kernel's checker finds the wall's profile invalid"),
              std::string::npos)
        << e.what();
  }
}

}  // namespace
