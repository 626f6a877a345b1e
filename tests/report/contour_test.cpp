#include "report/contour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "nozzle/minimum_length.h"
#include "report/axisymmetric_outputs.h"
#include "report/wall_spline.h"
#include "support/temp_folder.h"

namespace {

TEST(WallContourCsv, ListsEveryWallPointFromTheThroatCornerToTheExitLipAtFullPrecision) {
  const nozzle::DesignResult r = nozzle::Design({2.4, 0.373, 7.0});
  std::istringstream csv(report::WallContourCsv(nozzle::RecordOf(r)));
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "x,y");
  for (int j = 0; j <= 7; ++j) {
    ASSERT_TRUE(std::getline(csv, line)) << "missing wall point " << j;
    const std::size_t comma = line.find(',');
    EXPECT_EQ(std::stod(line.substr(0, comma)), r.net.x(j, 8)) << line;
    EXPECT_EQ(std::stod(line.substr(comma + 1)), r.net.y(j, 8)) << line;
  }
  EXPECT_FALSE(std::getline(csv, line));
  EXPECT_EQ(report::WallContourCsv(nozzle::RecordOf(r)).substr(0, 8), "x,y\n0,1\n");
}

TEST(LengthScale, ReadsANumberWithAnOptionalUnitAndRefusesAnythingElse) {
  const auto mm = report::ReadLengthScale("25.4mm");
  ASSERT_TRUE(mm);
  EXPECT_EQ(mm->factor, 25.4);
  EXPECT_EQ(mm->unit, "mm");
  EXPECT_EQ(mm->dxfUnits, 4);
  EXPECT_EQ(report::ReadLengthScale("0.5 in")->dxfUnits, 1);
  EXPECT_EQ(report::ReadLengthScale("2cm")->dxfUnits, 5);
  EXPECT_EQ(report::ReadLengthScale("0.01m")->dxfUnits, 6);
  EXPECT_EQ(report::ReadLengthScale("1")->dxfUnits, 0);
  // The case's mesh is in metres: each unit's own factor.
  EXPECT_DOUBLE_EQ(report::InMetres(*report::ReadLengthScale("10mm")), 0.01);
  EXPECT_DOUBLE_EQ(report::InMetres(*report::ReadLengthScale("2cm")), 0.02);
  EXPECT_DOUBLE_EQ(report::InMetres(*report::ReadLengthScale("0.5in")), 0.0127);
  EXPECT_DOUBLE_EQ(report::InMetres(*report::ReadLengthScale("0.25m")), 0.25);
  EXPECT_DOUBLE_EQ(report::InMetres(*report::ReadLengthScale("3")), 3.0);
  for (const char* bad : {"", "mm", "0mm", "-1mm", "10 ft", "10mmm", "inf", "nan", "1e999", "10  mm", "1,5mm"}) {
    EXPECT_FALSE(report::ReadLengthScale(bad)) << bad;
  }
}

TEST(WallContourCsv, MultipliesEveryCoordinateByTheScale) {
  const nozzle::DesignResult r = nozzle::Design({2.4, 0.373, 7.0});
  std::istringstream csv(report::WallContourCsv(nozzle::RecordOf(r), *report::ReadLengthScale("25.4mm")));
  std::string line;
  std::getline(csv, line);
  for (int j = 0; j <= 7; ++j) {
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(std::stod(line.substr(line.find(',') + 1)), r.net.y(j, 8) * 25.4) << line;
  }
}

// A real DXF reader (ezdxf) opens the file and hands back every vertex as the exact
// double written, in hexadecimal.
// What ezdxf reads of a DXF file: its audit's errors and fixes, $INSUNITS, and per
// entity "TYPE LAYER" with its points as exact doubles.
struct DxfRead {
  int errors = -1, fixes = -1, units = 0;
  std::vector<std::string> entities;
  std::vector<std::vector<double>> points;
};

DxfRead ReadDxf(const std::string& bytes) {
  testing_support::TempFolder folder;
  const auto dxf = folder.path() / "nozzle.dxf";
  std::ofstream(dxf, std::ios::binary) << bytes;
  const std::string script =
      "import ezdxf\n"
      "doc = ezdxf.readfile('" + dxf.string() + "')\n"
      "auditor = doc.audit()\n"
      "print(len(auditor.errors), len(auditor.fixes))\n"
      "print(doc.header['$INSUNITS'])\n"
      "for e in doc.modelspace():\n"
      "    if e.dxftype() == 'SPLINE':\n"
      "        b = e.construction_tool()\n"
      "        pts = [b.point(u) for u in sorted(set(b.knots()))]\n"
      "    else:\n"
      "        pts = [v.dxf.location for v in e.vertices] if e.dxftype() == 'POLYLINE' else [e.dxf.start, e.dxf.end]\n"
      "    print(e.dxftype(), e.dxf.layer, ' '.join(p.x.hex() + ' ' + p.y.hex() for p in pts))\n";
  std::ofstream(folder.path() / "read.py") << script;
  const std::string command = "/usr/bin/python3 " + (folder.path() / "read.py").string() + " > " +
                              (folder.path() / "out").string();
  DxfRead read;
  if (std::system(command.c_str()) != 0) return read;
  std::ifstream out(folder.path() / "out");
  out >> read.errors >> read.fixes >> read.units;
  for (std::string line; std::getline(out >> std::ws, line);) {
    std::istringstream fields(line);
    std::string type, layer;
    fields >> type >> layer;
    read.entities.push_back(type + " " + layer);
    std::vector<double> values;
    for (std::string hex; fields >> hex;) values.push_back(std::strtod(hex.c_str(), nullptr));
    read.points.push_back(values);
  }
  return read;
}

bool HaveEzdxf() { return std::system("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null") == 0; }

// A real DXF reader (ezdxf) opens the file and hands back every vertex as the exact
// double written, in hexadecimal.
TEST(NozzleOutlineDxf, OpensInADxfReaderWithEveryVertexExact) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf is not installed";
  const nozzle::DesignResult r = nozzle::Design({2.4, 0.373, 7.0});
  const DxfRead read = ReadDxf(report::NozzleOutlineDxf(nozzle::RecordOf(r), *report::ReadLengthScale("10mm")));
  EXPECT_EQ(read.errors, 0);  // the tables and entities hold together
  EXPECT_EQ(read.fixes, 0);
  EXPECT_EQ(read.units, 4);
  ASSERT_EQ(read.entities, (std::vector<std::string>{"POLYLINE WALL", "POLYLINE WALL", "LINE WALL", "LINE WALL",
                                                      "LINE AXIS"}));
  for (const std::size_t side : {0u, 1u}) {
    const std::vector<double>& wall = read.points[side];
    ASSERT_EQ(wall.size(), 16u);
    for (std::size_t j = 0; j <= 7; ++j) {
      EXPECT_EQ(wall[2 * j], r.net.x(static_cast<int>(j), 8) * 10.0) << j;
      EXPECT_EQ(wall[2 * j + 1], (side == 0 ? 1.0 : -1.0) * r.net.y(static_cast<int>(j), 8) * 10.0) << j;
    }
  }
  EXPECT_EQ(read.points[2], (std::vector<double>{0.0, -10.0, 0.0, 10.0}));  // the throat section
  EXPECT_EQ(read.points[3],
            (std::vector<double>{r.net.x(7, 8) * 10, -r.net.y(7, 8) * 10, r.net.x(7, 8) * 10, r.net.y(7, 8) * 10}));
  EXPECT_EQ(read.points[4], (std::vector<double>{0.0, 0.0, r.net.x(7, 8) * 10, 0.0}));
}

// A round nozzle's DXF is the half profile to revolve: the wall once, the throat and
// exit sections from the axis up, the axis.
TEST(NozzleOutlineDxf, GivesARoundNozzleAsAProfileToRevolve) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf is not installed";
  const nozzle::MarchedDesign d = nozzle::DesignAxisymmetric({2.4, 0.373, 7.0, 1.4});
  const DxfRead read = ReadDxf(report::NozzleOutlineDxf(nozzle::RecordOf(d), *report::ReadLengthScale("1in")));
  EXPECT_EQ(read.errors, 0);
  EXPECT_EQ(read.fixes, 0);
  EXPECT_EQ(read.units, 1);
  ASSERT_EQ(read.entities, (std::vector<std::string>{"POLYLINE WALL", "LINE WALL", "LINE WALL", "LINE AXIS"}));
  ASSERT_EQ(read.points[0].size(), 2 * d.wall.size());
  for (std::size_t i = 0; i < d.wall.size(); ++i) {
    EXPECT_EQ(read.points[0][2 * i], d.wall[i].x) << i;
    EXPECT_EQ(read.points[0][2 * i + 1], d.wall[i].y) << i;
  }
  const nozzle::FlowPoint& lip = d.wall.back();
  EXPECT_EQ(read.points[1], (std::vector<double>{0.0, 0.0, 0.0, 1.0}));
  EXPECT_EQ(read.points[2], (std::vector<double>{lip.x, 0.0, lip.x, lip.y}));
  EXPECT_EQ(read.points[3], (std::vector<double>{0.0, 0.0, lip.x, 0.0}));
}

// The DXF of AutoCAD 2000 with the walls as SPLINEs opens in ezdxf without a fault; its
// curves, evaluated by ezdxf at their knots, pass through the wall points there (the
// not-a-knot spline's knots are the parameters of every wall point but the second and
// the last but one).
TEST(NozzleOutlineDxf, GivesTheWallsAsSplinesThroughTheWallPoints) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf is not installed";
  const nozzle::DesignRecord planar = nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0}));
  const DxfRead read =
      ReadDxf(report::NozzleOutlineDxf(planar, *report::ReadLengthScale("10mm"), report::DxfCurve::kSpline));
  EXPECT_EQ(read.errors, 0);
  EXPECT_EQ(read.fixes, 0);
  EXPECT_EQ(read.units, 4);
  ASSERT_EQ(read.entities, (std::vector<std::string>{"SPLINE WALL", "SPLINE WALL", "LINE WALL", "LINE WALL",
                                                      "LINE AXIS"}));
  const std::vector<report::ContourPoint> wall = report::WallPoints(planar, 10.0);
  for (const double side : {1.0, -1.0}) {
    const std::vector<double>& knots = read.points[side > 0 ? 0 : 1];
    ASSERT_EQ(knots.size(), 2 * (wall.size() - 2));
    std::size_t i = 0;
    for (std::size_t k = 0; k < wall.size(); ++k) {
      if (k == 1 || k + 2 == wall.size()) continue;
      EXPECT_NEAR(knots[2 * i], wall[k].x, 1e-12 * 100) << k;
      EXPECT_NEAR(knots[2 * i + 1], side * wall[k].y, 1e-12 * 100) << k;
      ++i;
    }
  }
  EXPECT_EQ(read.points[4], (std::vector<double>{0.0, 0.0, wall.back().x, 0.0}));
}

// The wall's B-spline passes through every wall point, planar and round.
TEST(WallSpline, PassesThroughEveryWallPointOfADesign) {
  const nozzle::DesignRecord planar = nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0}));
  const nozzle::DesignRecord round = nozzle::RecordOf(nozzle::DesignAxisymmetric({3.0, 0.2, 25.0, 1.3}));
  for (const nozzle::DesignRecord* design : {&planar, &round}) {
    const report::WallSplines fit = report::FitWall(*design, 10.0);
    ASSERT_EQ(fit.pieces.size(), 1u);
    const report::BSpline& s = fit.pieces.front();
    EXPECT_EQ(s.degree, 3);
    EXPECT_EQ(s.knots.size(), s.poles.size() + 4);
    EXPECT_LT(fit.pointDistance, 1e-12 * 10.0);
    const std::vector<report::ContourPoint> wall = report::WallPoints(*design, 10.0);
    for (std::size_t k = 0; k < wall.size(); ++k) {
      const report::ContourPoint c = report::Evaluate(s, s.sites[k]);
      EXPECT_NEAR(c.x, wall[k].x, 1e-12) << k;
      EXPECT_NEAR(c.y, wall[k].y, 1e-12) << k;
    }
    // The curve bows between the points: 0.01 throat half-heights between the 8 of N = 7.
    EXPECT_GT(fit.polylineDistance, 0.0);
    EXPECT_LT(fit.polylineDistance, 0.02 * 10.0);
  }
  // The corner keeps its angle: the curve leaves the throat at TetaMax, not rounded.
  const report::BSpline s = report::FitWall(round).pieces.front();
  const report::ContourPoint a = report::Evaluate(s, 0.0), b = report::Evaluate(s, 1e-7);
  EXPECT_NEAR(std::atan2(b.y - a.y, b.x - a.x) * 180.0 / M_PI, round.facts.TetaMax, 0.5);
}

// On a smooth curve the error falls with the fourth power of the spacing: a quarter
// circle from 9, 17 and 33 points, the largest distance from the circle between them.
TEST(WallSpline, ConvergesAtFourthOrderOnACircle) {
  std::vector<double> errors;
  for (const int spans : {8, 16, 32}) {
    std::vector<report::ContourPoint> points;
    for (int k = 0; k <= spans; ++k) {
      const double a = M_PI / 2 * k / spans;
      points.push_back({std::cos(a), std::sin(a)});
    }
    const report::BSpline s = report::InterpolatingSpline(points);
    double error = 0.0;
    for (int i = 0; i <= 2000; ++i) {
      const report::ContourPoint c = report::Evaluate(s, s.sites.back() * i / 2000);
      error = std::max(error, std::fabs(std::hypot(c.x, c.y) - 1.0));
    }
    errors.push_back(error);
  }
  EXPECT_NEAR(std::log2(errors[0] / errors[1]), 4.0, 0.5);
  EXPECT_NEAR(std::log2(errors[1] / errors[2]), 4.0, 0.5);
  EXPECT_LT(errors[2], 1e-6);
}

TEST(WallSpline, TakesTwoPointsAsALineAndThreeAsAParabolaAndRefusesOne) {
  const report::BSpline line = report::InterpolatingSpline({{0, 1}, {2, 2}, {2, 2}});
  EXPECT_EQ(line.degree, 1);
  EXPECT_DOUBLE_EQ(report::Evaluate(line, line.sites.back() / 2).y, 1.5);
  const report::BSpline parabola = report::InterpolatingSpline({{0, 0}, {1, 1}, {2, 4}});
  EXPECT_EQ(parabola.degree, 2);
  EXPECT_NEAR(report::Evaluate(parabola, parabola.sites[1]).y, 1.0, 1e-15);
  EXPECT_THROW(report::InterpolatingSpline({{1, 1}, {1, 1}}), std::invalid_argument);
}

}  // namespace
