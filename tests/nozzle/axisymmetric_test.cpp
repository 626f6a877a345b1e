#include "nozzle/minimum_length.h"
#include "gas/isentropic.h"
#include "nozzle/conical.h"
#include "nozzle/design_record.h"
#include "nozzle/given_wall.h"
#include "nozzle/rounded_throat.h"
#include "nozzle/thrust.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using nozzle::MarchedDesign;
using nozzle::DesignAxisymmetric;
using nozzle::FlowPoint;

constexpr double kPi = 3.14159265358979323846;

// A/A* of a perfect gas (Anderson, Modern Compressible Flow, 3rd ed., eq. 5.20).
double AreaRatio(double M, double g) {
  return std::pow(2.0 / (g + 1.0) * (1.0 + 0.5 * (g - 1.0) * M * M), 0.5 * (g + 1.0) / (g - 1.0)) / M;
}

// Prandtl-Meyer angle in degrees (Anderson, eq. 4.44).
double Nu(double M, double g) {
  const double r = std::sqrt((g + 1.0) / (g - 1.0));
  return (r * std::atan(std::sqrt(M * M - 1.0) / r) - std::atan(std::sqrt(M * M - 1.0))) * 180.0 / kPi;
}

// The mass flow across a polyline over the throat's (radius 1, sonic): 2 integral of
// y rho V / (rho* a*) (cos(theta) dy - sin(theta) dx), trapezoids; rho V / (rho* a*)
// = 1 / (A/A*) of the local Mach number.
double MassFlow(const std::vector<FlowPoint>& line, double g) {
  double mass = 0.0;
  for (std::size_t i = 1; i < line.size(); ++i) {
    const FlowPoint& a = line[i - 1];
    const FlowPoint& b = line[i];
    const double fa = a.y / AreaRatio(a.M, g), fb = b.y / AreaRatio(b.M, g);
    const double ta = a.Teta * kPi / 180.0, tb = b.Teta * kPi / 180.0;
    mass += (b.y - a.y) * (fa * std::cos(ta) + fb * std::cos(tb)) -
            (b.x - a.x) * (fa * std::sin(ta) + fb * std::sin(tb));
  }
  return mass;
}

double ExitError(const MarchedDesign& d, double g) {
  const double y = d.wall.back().y;
  return std::fabs(y * y / AreaRatio(d.inputs.Me, g) - 1.0);
}

// The goals of a round design, for air and a rocket gas over low to high Mach numbers.
TEST(AxisymmetricDesign, ReachesTheAreaRatioWithItsMassFlowAndAMonotoneWall) {
  for (const double g : {1.2, 1.4}) {
    for (const double Me : {1.5, 2.4, 3.5}) {
      SCOPED_TRACE("G = " + std::to_string(g) + ", Me = " + std::to_string(Me));
      const MarchedDesign d = DesignAxisymmetric({Me, 0.373, 49.0, g});
      const MarchedDesign coarse = DesignAxisymmetric({Me, 0.373, 13.0, g});
      EXPECT_LT(ExitError(d, g), 0.005);
      EXPECT_LT(ExitError(d, g), ExitError(coarse, g));
      // The traced wall carries the throat's mass flow to 0.1 % (measured: up to 0.072 %).
      EXPECT_LT(d.massBalancePercent, 0.1);
      // The axis reaches Me where the kernel ends, with a corner angle below the planar nu / 2.
      EXPECT_NEAR(d.Kernel(d.W, d.W).M, Me, 1e-9);
      EXPECT_LT(d.TetaMax, 0.5 * Nu(Me, g));
      // Evaluated here: the flow between the axis and the wall across the first C+ line
      // below Teta0, C+ line 1 and C+ line 25 is the throat's.
      const auto S = static_cast<std::size_t>(d.below);
      for (const std::size_t c : {std::size_t{0}, S, S + 24}) {
        const auto& cPlus = d.cPlusLines[c];
        std::vector<FlowPoint> line = cPlus.points;
        line.insert(line.end(), cPlus.beyond.begin(), cPlus.beyond.end());
        line.push_back(d.wall[c + 1]);
        EXPECT_NEAR(MassFlow(line, g), 1.0, 1e-3) << "C+ line " << cPlus.index;
      }
      // The wall leaves the corner at TetaMax: its first point lies beside the corner and
      // the first chord is inclined within a few tenths of a degree of it (the flow
      // angle rises by about 0.7 degrees over it).
      EXPECT_LT(std::hypot(d.wall[1].x, d.wall[1].y - 1.0), 0.03);
      EXPECT_NEAR(std::atan2(d.wall[1].y - 1.0, d.wall[1].x) / gas::Pi_180, d.TetaMax, 0.5);
      // The wall rises all the way and, beyond C+ line 1, flattens: every segment there
      // lower than the one before it. (Between the corner and C+ line 1 the streamline
      // still turns outward, past TetaMax.)
      EXPECT_EQ(d.wallWarning, "");
      double previous = 90.0;
      for (std::size_t i = 1; i < d.wall.size(); ++i) {
        const double slope = std::atan2(d.wall[i].y - d.wall[i - 1].y, d.wall[i].x - d.wall[i - 1].x);
        EXPECT_GT(slope, 0.0) << "segment " << i;
        if (i > S + 1) {
          EXPECT_LT(slope, previous) << "segment " << i;
        }
        previous = slope;
      }
      EXPECT_EQ(d.wall.back().Teta, 0.0);
      EXPECT_EQ(d.wall.back().M, Me);
    }
  }
}

// A fan from the sonic line itself (Teta0 = 0, no waves below it): next to the axis
// the interior process's corrections grow at first and it takes damped steps. Its first
// wave and C+ line stand upright at the throat, and the wall traced across them misses
// the area ratio by more than a fan that starts above the sonic line (measured: 0.09 %
// for Me 1.2, 1.45 % for Me 2.4, against 0.003 % and 0.03 % with Teta0 0.373); the
// mass balance says so.
TEST(AxisymmetricDesign, AFanFromTheSonicLineIsDesignedAndItsMassBalanceSaysHowWell) {
  for (const auto& [Me, worst] : {std::pair{1.2, 0.002}, std::pair{2.4, 0.02}}) {
    const MarchedDesign d = DesignAxisymmetric({Me, 0.0, 49.0, 1.4});
    EXPECT_EQ(d.below, 0);
    EXPECT_LT(ExitError(d, 1.4), worst) << Me;
    EXPECT_GE(d.massBalancePercent, 100.0 * ExitError(d, 1.4)) << Me;
    EXPECT_EQ(d.wallWarning, "") << Me;
  }
}

TEST(AxisymmetricDesign, RefusesWhatNoKernelCanDoAndNamesIt) {
  try {
    DesignAxisymmetric({1.05, 0.373, 7.0, 1.4});
    FAIL() << "a first wave above the corner angle was accepted";
  } catch (const nozzle::RunError& e) {
    EXPECT_NE(std::string(e.what()).find("Teta0"), std::string::npos) << e.what();
  }
  // Too few waves for Mach 8: the turning region would need an angle past nu_max.
  try {
    DesignAxisymmetric({8.0, 0.373, 2.0, 1.4});
    FAIL() << "Mach 8 with 2 waves was designed";
  } catch (const nozzle::RunError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Prandtl-Meyer angle outside its range at the point of turning line and C+ line (1, 1)");
  }
  EXPECT_THROW(DesignAxisymmetric({2.4, 0.373, 7.5, 1.4}), nozzle::RunError);
  EXPECT_THROW(DesignAxisymmetric({2.4, 0.373, 7.0, 1.0}), nozzle::RunError);
}

}  // namespace

// A rounded throat (nozzle/rounded_throat.h), planar and round.
nozzle::RoundedThroatDesign Rounded(double R, bool round, double Me = 2.4, double N = 20, bool ideal = false,
                                    double inflectionAngle = 0.0) {
  nozzle::DesignInputs in{Me, 0.0, N, 1.4};
  in.throatRadius = R;
  in.ideal = ideal;
  in.inflectionAngle = inflectionAngle;
  return nozzle::DesignRoundedThroat(in, round ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar);
}

// Minimum-length and ideal alike.
TEST(RoundedThroat, TheExitIsUniformAtMeAndCarriesTheThroatsMassFlow) {
  for (const bool ideal : {false, true}) {
  for (const bool round : {false, true}) {
    for (const double Me : {2.4, 4.0}) {
      SCOPED_TRACE(std::string(round ? "round" : "planar") + " Me " + std::to_string(Me) + (ideal ? " ideal" : ""));
      const nozzle::RoundedThroatDesign d = Rounded(2.0, round, Me, 30, ideal);
      // The last C- line arrives on the axis at nu(Me), to the net's truncation error.
      const FlowPoint& lip = d.wall.back();
      EXPECT_NEAR(lip.M, Me, 1e-12);
      EXPECT_NEAR(lip.Teta, 0.0, 1e-12);
      // A uniform exit carries the net's mass: y_e (round y_e^2) = m A/A*, and the
      // net's mass is the throat's Cd to the start line's error (below 0.1 % at R = 2).
      const double exitArea = round ? lip.y * lip.y : lip.y;
      EXPECT_NEAR(exitArea / (d.throat.netMass * AreaRatio(Me, 1.4)), 1.0, 2e-3);
      EXPECT_NEAR(d.throat.netMass / d.throat.dischargeCoefficient, 1.0, 1e-3);
      EXPECT_NEAR(exitArea / (d.throat.dischargeCoefficient * AreaRatio(Me, 1.4)), 1.0, 1e-3);
      EXPECT_LT(d.massBalancePercent, 0.2);
      // The wall starts at the throat section on the arc, rises, and ends parallel.
      EXPECT_EQ(d.wall.front().x, 0.0);
      EXPECT_EQ(d.wall.front().y, 1.0);
      EXPECT_EQ(d.wallTurnsBackAt, 0);
      EXPECT_NEAR(d.throat.arcEndAngle, std::asin(d.throat.arcEndX / 2.0) * 180.0 / kPi, 1e-9);
      if (ideal) {
        // Past the arc the wall turns on to its inflection point, and the nozzle is
        // longer than the minimum-length one of its throat.
        EXPECT_GT(d.throat.inflectionAngle, d.throat.arcEndAngle);
        EXPECT_EQ(d.tetaMax, d.throat.inflectionAngle);
        EXPECT_GT(d.wall.back().x, 1.2 * Rounded(2.0, round, Me, 30).wall.back().x);
      }
    }
  }
  }
}

TEST(RoundedThroat, ShortensTowardsTheSharpCornerAsTheRadiusFalls) {
  for (const bool round : {false, true}) {
    SCOPED_TRACE(round ? "round" : "planar");
    // The sharp corner's length: the round march's, the planar net's for N 20.
    const double sharp = round ? DesignAxisymmetric({2.4, 0.373, 20, 1.4}).wall.back().x : 8.079;
    double previous = sharp;
    for (const double R : {1.5, 2.0, 4.0, 10.0}) {
      const double length = Rounded(R, round).wall.back().x;
      EXPECT_GT(length, previous) << "R = " << R;
      previous = length;
    }
    EXPECT_LT(Rounded(1.5, round).wall.back().x, 1.1 * sharp);
  }
}

TEST(RoundedThroat, RefusesAnArcThatCannotEndBeforeItsStartLine) {
  // Round R = 1 at Me 2.4: even leaning upstream, the start line meets the wall where
  // it has turned 10 degrees, more than the whole arc of this Me may (8.3 at the sharp
  // corner); at Me 4 the arc may turn further, and the design is made.
  try {
    Rounded(1.0, true);
    FAIL() << "no refusal";
  } catch (const nozzle::RunError& e) {
    EXPECT_NE(std::string(e.what()).find("already expands the flow on the axis past Me: this throat radius needs"),
              std::string::npos)
        << e.what();
  }
  EXPECT_GT(Rounded(1.0, true, 4.0).throat.startLineX, Rounded(1.0, true, 4.0).throat.startLineWallX);
  EXPECT_THROW(Rounded(1.2, false), nozzle::RunError);  // below the planar series' range

  // An ideal nozzle's inflection angle lies between the largest angle past the
  // shortest arc and the minimum-length nozzle's arc angle; round R = 1.5 at Me 2.4
  // admits none (10.5 and 8.6 degrees).
  for (const auto& [R, round, angle, text] :
       {std::tuple{2.0, false, 8.0, "lies outside the range this throat and Me admit: above 9.06"},
        std::tuple{2.0, false, 18.5, "below 18.37 degrees (the minimum-length nozzle's arc)"},
        std::tuple{1.5, true, 0.0, "this throat and Me admit no ideal nozzle"}}) {
    try {
      Rounded(R, round, 2.4, 30, true, angle);
      ADD_FAILURE() << "no refusal of " << angle;
    } catch (const nozzle::RunError& e) {
      EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    }
  }
  EXPECT_NEAR(Rounded(2.0, false, 2.4, 30, true, 16.0).tetaMax, 16.0, 1e-3);
}

// The direct problem, run through the wall a design made, must give that design's
// exit back: uniform and parallel at Me (measured N 30, R 2: mean within 1.4e-4 of Me,
// every point within 0.13 %, mass balance 0.02 % planar and 0.04 % round).
TEST(GivenWall, TheFlowThroughADesignedWallLeavesUniformAtItsMe) {
  for (const bool ideal : {false, true}) {
  for (const moc::Flow flow : {moc::Flow::kPlanar, moc::Flow::kAxisymmetric}) {
    SCOPED_TRACE(std::string(flow == moc::Flow::kPlanar ? "planar" : "round") + (ideal ? " ideal" : ""));
    nozzle::DesignInputs inputs;
    inputs.Me = 2.4;
    inputs.N = 30;
    inputs.throatRadius = 2.0;
    inputs.ideal = ideal;
    const nozzle::RoundedThroatDesign design = nozzle::DesignRoundedThroat(inputs, flow);
    const nozzle::SampledWall wall(design.wall);
    const nozzle::GivenWallFlow f = nozzle::AnalyseGivenWall(design.gas, flow, 2.0, wall, design.throat.arcEndX,
                                                             design.wall.back().x, 30);
    ASSERT_FALSE(f.shock);
    ASSERT_GT(f.exit.size(), 30u);
    EXPECT_EQ(f.exit.front().y, 0.0);
    EXPECT_DOUBLE_EQ(f.exit.back().y, design.wall.back().y);
    EXPECT_NEAR(f.meanExitMach, 2.4, ideal ? 1e-3 : 3e-4);  // the planar ideal nozzle's: 2.40063
    for (const nozzle::ExitPoint& e : f.exit) {
      EXPECT_NEAR(e.M, 2.4, 2.4 * 3e-3) << "at y = " << e.y;
      EXPECT_NEAR(e.Teta, 0.0, 0.2) << "at y = " << e.y;
      EXPECT_DOUBLE_EQ(e.pressure, nozzle::PressureRatio(design.gas, e.M));
    }
    EXPECT_LT(f.massBalancePercent, 0.1);
    EXPECT_DOUBLE_EQ(f.throat.dischargeCoefficient, design.throat.dischargeCoefficient);
  }
  }
}

// A wedge: far from the throat its flow is the source flow of its apex with the
// throat's mass flow (A/A* = r / r*, r* = mass / alpha); measured within 0.46 % over
// the exit of R 3, area ratio 10, N 20.
// A wall read as text: the designer's own CSV of a design, in millimetres, gives the
// design's exit back with the wall's slopes from the spline through its points (Me
// 2.4, R 2, N 30: mean 2.40008, mass balance 0.008 %); every other text is refused with
// the line at fault.
TEST(GivenWall, AWallReadFromTextIsAnalysedOrRefusedWithItsFault) {
  const nozzle::RoundedThroatDesign design = Rounded(2.0, false, 2.4, 30);
  std::string csv = "x,y\r\n# in mm, throat half-height 10 mm\r\n";
  for (const FlowPoint& p : design.wall) csv += std::to_string(10.0 * p.x) + ", " + std::to_string(10.0 * p.y) + "\r\n";
  const nozzle::WallContour contour = nozzle::ReadWallContour(csv, 10.0, nozzle::LongOptionSpelling());
  ASSERT_EQ(contour.fault, "");
  EXPECT_EQ(contour.points.size(), design.wall.size());
  EXPECT_NEAR(contour.radius, 2.0, 1e-4);  // to the six digits std::to_string keeps
  nozzle::DesignInputs inputs{0.0, 0.0, 30, 1.4};
  inputs.throatRadius = contour.radius;
  inputs.givenWall = contour.points;
  const nozzle::GivenWallFlow f = nozzle::DesignGivenWall(inputs, moc::Flow::kPlanar);
  EXPECT_GT(f.throat.arcEndX, 0.5);  // the points on the throat's circle are known as its arc
  EXPECT_NEAR(f.meanExitMach, 2.4, 1e-3);
  EXPECT_LT(f.massBalancePercent, 0.1);

  for (const auto& [text, fault] : std::vector<std::pair<std::string, std::string>>{
           {"0,1\n1,1.1\n2,1.4\n3,1.9\n4,2.6\n", ""},
           {"\xEF\xBB\xBFx;y\n0;1\n1;1.1\n2;1.4\n3;1.9\n4;2.6\n", "line 1: \"x\" is not a number"},
           {"\xEF\xBB\xBFx,y\n0\t1\n1 1.1\n2;1.4\n3, 1.9\n4 ,2.6\n", ""},
           {"0,1\n1,1.1\n2,x\n", "line 3: \"x\" is not a number"},
           {"0,1\n1,1.1,7\n", "line 2: it holds 3 numbers, not the two x and y"},
           {"0,1\n1,1.1\n0.5,1.2\n", "line 3: x = 0.5 does not increase (the line before has x = 1)"},
           {"0,1\n1,-0.1\n", "line 2: y = -0.1 reaches the axis"},
           {"0.5,1\n1,1.1\n", "it has no point at the throat section, x = 0"},
           {"-1,1.2\n0,1\n1,0.9\n2,1.4\n3,1.9\n", "its narrowest point is at x = 1 (y = 0.9), not at the throat"},
           {"0,1\n1,1.1\n2,1.4\n3,1.9\n", "a wall needs at least 5 points from the throat on; this one has 4"},
           {"0,10\n1,11\n2,14\n3,19\n4,26\n", "its throat (x = 0) has y = 10: a wall in throat half-heights (radii) "
                                                 "has y = 1 there; for one in a unit, give --scale"},
       }) {
    const std::string read = nozzle::ReadWallContour(text, 1.0, nozzle::LongOptionSpelling()).fault;
    EXPECT_EQ(fault.empty() ? read : read.substr(0, fault.size()), fault) << text;
  }
  // A convergent section upstream of the throat is read and left out.
  EXPECT_EQ(nozzle::ReadWallContour("-1,1.5\n0,1\n1,1.1\n2,1.4\n3,1.9\n4,2.6\n", 1.0, nozzle::LongOptionSpelling())
                .points.front()[0],
            0.0);
}

TEST(GivenWall, AWedgeLeavesAsItsSourceFlowAndARoundConeFormsAShock) {
  nozzle::DesignInputs inputs;
  inputs.N = 20;
  inputs.throatRadius = 3.0;
  inputs.areaRatio = 10.0;
  const nozzle::GivenWallFlow wedge = nozzle::DesignConical(inputs, moc::Flow::kPlanar);
  ASSERT_FALSE(wedge.shock);
  const double alpha = 15.0 * gas::Pi_180;
  const nozzle::ConeWall wall(3.0, alpha, 10.0);
  const double apex = wall.TangentX() - wall.TangentY() / std::tan(alpha);
  EXPECT_DOUBLE_EQ(wedge.exitX, wall.ExitX());
  EXPECT_EQ(wedge.wall.back().y, 10.0);
  for (const nozzle::ExitPoint& e : wedge.exit) {
    const double r = std::hypot(wedge.exitX - apex, e.y);
    EXPECT_NEAR(e.M / wedge.gas.SupersonicMachOfAreaRatio(r * alpha / wedge.throat.netMass), 1.0, 6e-3) << e.y;
  }
  EXPECT_NEAR(wedge.exit.back().Teta, 15.0, 1e-9);
  EXPECT_LT(wedge.massBalancePercent, 0.05);
  // Its thrust: a source flow's divergence efficiency sin(alpha) / alpha = 0.98862,
  // measured 0.98754 (N 20; 0.98785 at N 30), the throat's Cd (0.998 at R 3) in it; a
  // uniform exit gives the one-dimensional coefficient.
  const std::optional<nozzle::ThrustFigures> thrust = nozzle::ThrustOf(nozzle::RecordOf(wedge, "conical", inputs), NAN);
  ASSERT_TRUE(thrust);
  EXPECT_NEAR(thrust->divergenceEfficiency, std::sin(alpha) / alpha, 2e-3);
  for (const bool round : {false, true}) {
    const double eps = 25.0, M = wedge.gas.SupersonicMachOfAreaRatio(eps), pe = nozzle::PressureRatio(wedge.gas, M);
    const double lip = round ? 5.0 : 25.0;
    EXPECT_NEAR(nozzle::ExitThrustCoefficient(wedge.gas, {{0.0, M, 0.0, pe}, {lip, M, 0.0, pe}}, round, 0.0),
                gas::IdealThrustCoefficient(eps, 0.0, 1.4), 1e-12);
  }

  // Behind the arc a straight cone recompresses the flow the arc over-expanded, and
  // the compression waves meet inside the nozzle: the net stops there, and the wall
  // beyond it is its shape alone.
  inputs.throatRadius = 1.0;
  const nozzle::GivenWallFlow cone = nozzle::DesignConical(inputs, moc::Flow::kAxisymmetric);
  ASSERT_TRUE(cone.shock);
  EXPECT_GT(cone.shock->x, nozzle::ConeWall(1.0, alpha, std::sqrt(10.0)).TangentX());
  EXPECT_LT(cone.shock->x, cone.exitX);
  EXPECT_TRUE(cone.exit.empty());
  EXPECT_DOUBLE_EQ(cone.wall.back().x, cone.exitX);
  EXPECT_NEAR(cone.wall.back().y, std::sqrt(10.0), 1e-12);
  EXPECT_TRUE(std::isnan(cone.wall.back().M));
  EXPECT_FALSE(std::isnan(cone.wall[static_cast<std::size_t>(cone.wallFlowKnown) - 1].M));
  EXPECT_NE(nozzle::RecordOf(cone, "conical", inputs).warnings.back().find("a shock forms"), std::string::npos);
}
