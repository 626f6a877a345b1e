#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gas/isentropic.h"
#include "gas/prandtl_meyer.h"
#include "moc/march.h"
#include "moc/transonic.h"
#include "moc/unit_processes.h"
#include "nozzle/design.h"
#include "nozzle/minimum_length.h"

namespace {

using moc::Flow;
using moc::Point;

const gas::Gas kAir = gas::Gas::WithGamma(1.4);

Point State(const moc::UnitProcesses& processes, double x, double y, double theta, double M) {
  Point p;
  p.x = x;
  p.y = y;
  p.theta = theta;
  return processes.WithNu(p, gas::Nu_f_M(M, kAir) * gas::Pi_180, M);
}

// A straight wall through the origin at the angle `angle`: the wall of a source flow.
class Ray : public moc::WallCurve {
 public:
  explicit Ray(double angle) : angle_(angle) {}
  double Y(double x) const override { return x * std::tan(angle_); }
  double Angle(double) const override { return angle_; }
  double XBegin() const override { return 0.0; }
  double XEnd() const override { return 1e3; }

 private:
  double angle_;
};

// Source flow from a line (planar) or a point (round) at the origin, sonic at radius 1:
// A/A*(M) = r^(1 + delta) (Zucrow and Hoffman, Gas Dynamics, vol. 1, sec. 4.4; the
// radial flow of a conical nozzle). The net is marched from an arc of radius 1.5 between
// the axis and a wall at 10 degrees, with n pieces across, to x = 4.
struct SourceNet {
  moc::MarchedNet net;
  double worstMach = 0.0;  // the largest |M - M(r)| over the net
  double worstMass = 0.0;  // the largest |mass across a C+ line / the source's - 1|
  int cPlusLines = 0;
  // mass across the C+ line / the source's - 1, for each C+ line that leaves the axis,
  // in the order of its axis point (NaN where the line ends before the wall)
  std::vector<double> lineMass;
};

SourceNet MarchSourceFlow(Flow flow, int n) {
  const moc::UnitProcesses processes(kAir, flow);
  const double delta = flow == Flow::kAxisymmetric ? 1.0 : 0.0;
  const double wallAngle = 10.0 * gas::Pi_180;
  const double r0 = 1.5;
  const Ray wall(wallAngle);
  const auto machAt = [&](double r) { return gas::SupersonicMachOfAreaRatio(std::pow(r, 1.0 + delta), 1.4); };
  moc::MarchSetup setup;
  for (int i = 0; i <= n; ++i) {
    const double phi = wallAngle * i / n;
    setup.start.push_back(State(processes, r0 * std::cos(phi), r0 * std::sin(phi), phi, machAt(r0)));
  }
  setup.start.front().y = 0.0;
  setup.wall = &wall;
  setup.xEnd = 4.0;
  SourceNet result;
  result.net = moc::March(processes, setup);
  // The source's mass flow over the throat's, across any surface between the axis and
  // the wall: the sonic arc (planar: r* phi_w; round: 2 r*^2 (1 - cos phi_w), in the
  // units of moc::UnitProcesses::MassAcross).
  const double source = flow == Flow::kAxisymmetric ? 2.0 * (1.0 - std::cos(wallAngle)) : wallAngle;
  for (std::size_t r = 0; r < result.net.rows.size(); ++r) {
    for (std::size_t i = 0; i < result.net.rows[r].size(); ++i) {
      const moc::NetPoint& p = result.net.rows[r][i];
      result.worstMach = std::max(result.worstMach, std::fabs(p.state.M - machAt(std::hypot(p.state.x, p.state.y))));
      if (r == 0 || !p.onAxis) continue;
      const std::vector<Point> line = result.net.CPlusLine(static_cast<int>(r), static_cast<int>(i));
      result.lineMass.push_back(NAN);
      if (line.back().y < line.back().x * std::tan(wallAngle) - 1e-12) continue;  // ends before the wall
      double mass = 0.0;
      for (std::size_t k = 1; k < line.size(); ++k) mass += processes.MassAcross(line[k - 1], line[k]);
      result.lineMass.back() = mass / source - 1.0;
      result.worstMass = std::max(result.worstMass, std::fabs(result.lineMass.back()));
      ++result.cPlusLines;
    }
  }
  return result;
}

TEST(Moc, ACentredSimpleWaveIsReproducedToRounding) {
  // The planar fan of a sharp throat corner at (0, 1): theta - nu = 0 everywhere and
  // every C- line a straight ray from the corner, along which theta = nu is constant
  // with theta - mu(theta) the ray's angle (Anderson, Modern Compressible Flow, sec. 4.14).
  const moc::UnitProcesses processes(kAir, Flow::kPlanar);
  const auto exactTheta = [&](double rayAngle) {
    double lo = 0.0, hi = 0.5 * gas::NuMax * gas::Pi_180;
    for (int i = 0; i < 200; ++i) {
      const double mid = 0.5 * (lo + hi);
      const Point p = processes.WithNu(Point{}, mid, 0.0);
      (mid - p.mu < rayAngle ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
  };
  moc::MarchSetup setup;
  setup.axisBelow = false;
  for (int i = 0; i <= 24; ++i) {
    const double y = 0.46 + 0.3 * i / 24.0;
    const double theta = exactTheta(std::atan2(y - 1.0, 0.5));
    Point p{0.5, y, theta, 0.0, 1.0, 0.0};
    setup.start.push_back(processes.WithNu(p, theta, 0.0));
  }
  const moc::MarchedNet net = moc::March(processes, setup);
  ASSERT_EQ(net.rows.size(), 26u);  // the domain of dependence: 25, 24, ..., 1 points, and the empty row
  EXPECT_FALSE(net.shock);
  double worst = 0.0;
  for (const auto& row : net.rows) {
    for (const moc::NetPoint& p : row) {
      const double theta = exactTheta(std::atan2(p.state.y - 1.0, p.state.x));
      worst = std::max({worst, std::fabs(p.state.theta - theta), std::fabs(p.state.nu - theta)});
    }
  }
  EXPECT_LT(worst, 1e-10);
}

// Measured on 80 pieces: M within 3.1e-7 planar and 4.1e-5 round (at the axis points;
// 3.4e-6 at the wall), the mass flow across the C+ lines by the trapezoidal rule within
// 3.8e-6 planar and 1.6e-5 round. Both errors fall by 4 a halving of the step (on 640
// pieces: M within 4.9e-9 planar and 8.6e-7 round, the mass within 5.9e-8 and 2.5e-7).
// The mass error is the step's alone: the k-th C+ line from the axis on n pieces and
// the (2k+1)-th on 2n start at the same point to first order, and Richardson's
// extrapolation of their masses, (4 m_2n - m_n) / 3, leaves no leak (measured: 1.7e-11
// planar, 4.9e-10 round from 40 and 80 pieces).
TEST(Moc, SourceFlowConvergesAtSecondOrderPlanarAndRound) {
  for (const Flow flow : {Flow::kPlanar, Flow::kAxisymmetric}) {
    SCOPED_TRACE(flow == Flow::kPlanar ? "planar" : "round");
    std::vector<SourceNet> nets;
    for (const int n : {10, 20, 40, 80}) nets.push_back(MarchSourceFlow(flow, n));
    for (std::size_t k = 1; k < nets.size(); ++k) {
      const double order = std::log2(nets[k - 1].worstMach / nets[k].worstMach);
      const double massOrder = std::log2(nets[k - 1].worstMass / nets[k].worstMass);
      EXPECT_GT(order, 1.8) << "from " << (10 << (k - 1)) << " pieces";
      EXPECT_LT(order, 2.3) << "from " << (10 << (k - 1)) << " pieces";
      EXPECT_GT(massOrder, 1.8) << "from " << (10 << (k - 1)) << " pieces";
      EXPECT_LT(massOrder, 2.3) << "from " << (10 << (k - 1)) << " pieces";
    }
    const bool round = flow == Flow::kAxisymmetric;
    EXPECT_LT(nets.back().worstMach, round ? 5e-5 : 1e-6);
    EXPECT_GT(nets.back().cPlusLines, 20);
    EXPECT_LT(nets.back().worstMass, round ? 2e-5 : 5e-6);
    const SourceNet& coarse = nets[2];
    const SourceNet& fine = nets[3];
    int extrapolated = 0;
    for (std::size_t k = 0; 2 * k + 1 < fine.lineMass.size() && k < coarse.lineMass.size(); ++k) {
      if (std::isnan(coarse.lineMass[k]) || std::isnan(fine.lineMass[2 * k + 1])) continue;
      EXPECT_LT(std::fabs(4.0 * fine.lineMass[2 * k + 1] - coarse.lineMass[k]) / 3.0, 1e-8) << "C+ line " << k;
      ++extrapolated;
    }
    EXPECT_GT(extrapolated, 10);
    // The net reaches x = 4 along the wall, and its last wall point lies on it at its angle.
    const moc::NetPoint& lip = nets.back().net.rows.back().back();
    EXPECT_TRUE(lip.onWall);
    EXPECT_GT(lip.state.x, 4.0);
    EXPECT_DOUBLE_EQ(lip.state.theta, 10.0 * gas::Pi_180);
  }
}

// The round net's axis points carry its largest error; on 640 pieces it is below 1e-6
// (measured 8.6e-7, the mass across its C+ lines within 2.5e-7; a net of 1.5 million
// points).
TEST(Moc, ARoundSourceFlowOnAFineNetIsExactWithin1e6) {
  const SourceNet fine = MarchSourceFlow(Flow::kAxisymmetric, 640);
  EXPECT_LT(fine.worstMach, 1e-6);
  EXPECT_LT(fine.worstMass, 3e-7);
  EXPECT_GT(fine.cPlusLines, 500);
}

// A wall that turns towards the flow compresses it: its C- lines converge and cross.
class Compression : public moc::WallCurve {
 public:
  // Straight at y = 1 up to x = 0.2, then an arc of radius 0.5 turning 20 degrees down.
  double Y(double x) const override {
    if (x <= 0.2) return 1.0;
    const double s = std::min(x - 0.2, 0.5 * std::sin(kTurn));
    return 1.0 - (0.5 - std::sqrt(0.25 - s * s)) - (x - 0.2 - s) * std::tan(kTurn);
  }
  double Angle(double x) const override { return x <= 0.2 ? 0.0 : -std::min(std::asin((x - 0.2) / 0.5), kTurn); }
  double XBegin() const override { return 0.0; }
  double XEnd() const override { return 10.0; }
  static constexpr double kTurn = 20.0 * 3.14159265358979323846 / 180.0;
};

TEST(Moc, AMarchStopsWhereCharacteristicsOfOneFamilyCrossAndSaysWhere) {
  const moc::UnitProcesses processes(kAir, Flow::kPlanar);
  const Compression wall;
  moc::MarchSetup setup;
  setup.axisBelow = false;
  setup.wall = &wall;
  for (int i = 0; i <= 40; ++i) setup.start.push_back(State(processes, 0.0, i / 40.0, 0.0, 2.0));
  const moc::MarchedNet net = moc::March(processes, setup);
  ASSERT_TRUE(net.shock);
  // Neighbouring C- lines from the wall, which leave it at the Mach angle mu with the
  // directions psi = theta - mu, meet at the distance sin(mu) / |d psi / ds| along them.
  // With theta - nu constant (the uniform flow below), d mu / d nu = -(1 + (g - 1) / 2
  // M^2) / (M^2 - 1) = -0.6 at Mach 2, so d psi / ds = 1.6 d theta / ds = -3.2 on the arc
  // of radius 0.5: the first of them, from (0.2, 1) at -30 degrees, meets the next at
  // 0.15625 from the wall. The net finds the crossing within two of its steps (0.025)
  // past there, inside the flow, on the row it did not keep.
  const double L = 0.5 / 3.2, cusp[2] = {0.2 + L * std::cos(gas::Pi / 6.0), 1.0 - L * std::sin(gas::Pi / 6.0)};
  EXPECT_LT(std::hypot(net.shock->x - cusp[0], net.shock->y - cusp[1]), 0.06);
  EXPECT_GT(net.shock->x, cusp[0]);
  EXPECT_LT(net.shock->y, wall.Y(net.shock->x));
  EXPECT_EQ(net.shock->row, static_cast<int>(net.rows.size()));
  // Up to it every row is ordered from below to the wall.
  for (const auto& row : net.rows) {
    for (std::size_t i = 1; i < row.size(); ++i) EXPECT_GT(row[i].state.y, row[i - 1].state.y);
  }
}

TEST(Moc, AProcessThatDoesNotConvergeIsNamedWithItsPoint) {
  moc::Tolerances once;
  once.maxCorrections = 1;
  const moc::UnitProcesses processes(kAir, Flow::kPlanar, once);
  moc::MarchSetup setup;
  setup.axisBelow = false;
  for (int i = 0; i <= 2; ++i) setup.start.push_back(State(processes, 0.0, i / 2.0, 0.0, 2.0));
  try {
    moc::March(processes, setup);
    FAIL() << "a process of one correction converged";
  } catch (const moc::MarchError& e) {
    EXPECT_EQ(std::string(e.what()), "the interior unit process did not converge at row 1, point 0 (x = 0, y = 0)");
  }
}

// The window's inverse of nu, as the net takes it.
double NetsInverse(double nuDegrees, const gas::Gas&, double) { return gas::M_f_Nu(nuDegrees); }

// The planar minimum-length march of the toolkit and the window's net are one
// construction: the same fan, the same means of the slopes at every piece, the wall
// chord at the mean of the flow angles at its ends. Given the net's inverse of nu
// (M_f_Nu, stopped at |nu(M) - target| < 1e-5 radians), the march is the net: every
// state and every wall point to rounding, but the lip, which the march places on the
// exit characteristic at Me's own Mach angle (measured: 2.0e-7, 2.0e-7, 1.9e-7 at N =
// 7, 25, 49). With the exact inverse, the gap is what that tolerance does to the Mach
// angles, not a step error: M within 7.2e-6, 1.7e-5, 2.5e-5 and the walls within
// 7.5e-6, 6.4e-5, 6.3e-5 throat half-heights.
TEST(Moc, ThePlanarMarchReproducesTheNetsWall) {
  for (const double N : {7.0, 25.0, 49.0}) {
    SCOPED_TRACE("N = " + std::to_string(N));
    const nozzle::DesignInputs inputs{2.4, 0.373, N, 1.4};
    const nozzle::DesignResult net = nozzle::Design(inputs);
    const nozzle::MarchedDesign march = nozzle::MarchMinimumLength(inputs, Flow::kPlanar);
    ASSERT_EQ(march.wall.size(), static_cast<std::size_t>(N) + 1);
    EXPECT_EQ(march.TetaMax, net.TetaMax);
    const int n = static_cast<int>(N), W = n + 1;
    double state = 0.0, wall = 0.0;
    for (int j = 1; j <= n; ++j) {
      for (int k = j; k <= n; ++k) state = std::max(state, std::fabs(march.Kernel(j, k).M - net.net.M(j, k)));
    }
    for (int j = 0; j <= n; ++j) {
      const auto& p = march.wall[static_cast<std::size_t>(j)];
      wall = std::max(wall, std::hypot(p.x - net.net.x(j, W), p.y - net.net.y(j, W)));
    }
    EXPECT_LT(state, 1e-4);
    EXPECT_LT(wall, 1e-4);
    moc::Tolerances netsInverse;
    netsInverse.machOfNu = NetsInverse;
    const nozzle::MarchedDesign same = nozzle::MarchMinimumLength(inputs, Flow::kPlanar, netsInverse);
    for (int j = 1; j <= n; ++j) {
      for (int k = j; k <= n; ++k) EXPECT_NEAR(same.Kernel(j, k).M, net.net.M(j, k), 1e-12);
    }
    for (int j = 0; j <= n; ++j) {
      const auto& p = same.wall[static_cast<std::size_t>(j)];
      EXPECT_LT(std::hypot(p.x - net.net.x(j, W), p.y - net.net.y(j, W)), j < n ? 1e-12 : 1e-6) << "wall point " << j;
    }
  }
}

// The round discharge coefficient of Kliegel and Levine (AIAA J. 7 (1969) 1375-1378),
// in powers of 1 / L, L = R + 1, as quoted by Johnson and Wright (J. Fluids Eng. 130
// (2008) 071202): 0.98949 at R = 1 and 0.99618 at R = 2 in air. The recast field's
// integral differs from it at the order the two truncations differ (measured: 1.7e-4 at
// R = 1, 1.8e-5 at R = 2, 6e-6 at R = 4, 4e-7 at R = 10, gamma 1.2 alike).
double QuotedKliegelLevine(double g, double R) {
  const double L = R + 1.0;
  return 1.0 - (g + 1.0) / (96.0 * L * L) *
                   (1.0 - (8.0 * g - 27.0) / (24.0 * L) + (754.0 * g * g - 757.0 * g + 3633.0) / (2880.0 * L * L));
}

TEST(Throat, TheDischargeCoefficientIsThePublishedSeries) {
  for (const double g : {1.2, 1.4}) {
    for (const double R : {1.0, 2.0, 4.0, 10.0}) {
      const moc::TransonicThroat throat(gas::Gas::WithGamma(g), Flow::kAxisymmetric, R);
      EXPECT_NEAR(throat.DischargeCoefficient(), QuotedKliegelLevine(g, R), 2e-4 / (R * R)) << g << " " << R;
    }
  }
  // Hall's series in 1 / R, whose truncation at eps^4 is, round and planar,
  //   Cd = 1 - (g + 1) / 96 e^2 + (g + 1) (8 g + 21) / 2304 e^3 - (g + 1) (754 g^2 + 1971 g + 2007) / 276480 e^4
  //   Cd = 1 - (g + 1) / 90 e^2 + (g + 1) (2 g + 9) / 945 e^3 - (g + 1) (334 g^2 + 1703 g + 2733) / 340200 e^4
  // (scripts/derive-throat-series; the round one re-expanded in 1 / (R + 1) gives the
  // first two orders of Kliegel and Levine's above). The field's integral holds the
  // products of higher order too: they differ by less than eps^5 / 20.
  const double g = 1.4;
  for (const double R : {4.0, 10.0}) {
    const double e = 1.0 / R;
    const double round = 1.0 - (g + 1.0) / 96.0 * e * e + (g + 1.0) * (8.0 * g + 21.0) / 2304.0 * std::pow(e, 3) -
                         (g + 1.0) * (754.0 * g * g + 1971.0 * g + 2007.0) / 276480.0 * std::pow(e, 4);
    const double planar = 1.0 - (g + 1.0) / 90.0 * e * e + (g + 1.0) * (2.0 * g + 9.0) / 945.0 * std::pow(e, 3) -
                          (g + 1.0) * (334.0 * g * g + 1703.0 * g + 2733.0) / 340200.0 * std::pow(e, 4);
    EXPECT_NEAR(moc::TransonicThroat(kAir, Flow::kAxisymmetric, R, moc::ThroatSeries::kHall).DischargeCoefficient(),
                round, std::pow(e, 5) / 20.0);
    EXPECT_NEAR(moc::TransonicThroat(kAir, Flow::kPlanar, R, moc::ThroatSeries::kHall).DischargeCoefficient(), planar,
                std::pow(e, 5) / 20.0);
  }
}

// Sauer's first-order solution (NACA TM 1147, 1947): u = 1 + alpha x' + (g + 1) alpha^2
// y^2 / (2 (1 + delta)), alpha = sqrt((1 + delta) / ((g + 1) R)), x' from the axis's sonic
// point, which lies (g + 1) alpha / (2 (3 + delta)) downstream of the throat; the wall's
// is where u = 1 at y = 1. The higher orders move both by a part of order 1 / R.
TEST(Throat, TheSonicLineTendsToSauersAsTheRadiusGrows) {
  for (const Flow flow : {Flow::kPlanar, Flow::kAxisymmetric}) {
    const double delta = flow == Flow::kAxisymmetric ? 1.0 : 0.0;
    for (const double R : {2.0, 10.0, 100.0}) {
      const moc::TransonicThroat throat(kAir, flow, R, moc::ThroatSeries::kHall);
      const double alpha = std::sqrt((1.0 + delta) / (2.4 * R));
      const double axis = 2.4 * alpha / (2.0 * (3.0 + delta));
      const double wall = axis - 2.4 * alpha / (2.0 * (1.0 + delta));
      EXPECT_NEAR(throat.SonicAxisX() / axis, 1.0, 1.0 / R);
      EXPECT_NEAR(throat.SonicWallX() / wall, 1.0, 1.0 / R);
      EXPECT_NEAR(throat.SonicX(0.0), throat.SonicAxisX(), 1e-12);
      EXPECT_NEAR(throat.SonicX(throat.SonicWallY()), throat.SonicWallX(), 1e-9);
    }
  }
}

// The march from the start line through the throat's circle carries the line's mass
// flow: across every row from the axis to the wall within 2e-4 on 40 pieces (measured:
// planar 4.2e-5, round 1.6e-4 at R = 2 on 40; a quarter of it on 80), and the line's
// flow that of the series through its section within 1e-4.
TEST(Throat, TheMarchFromTheStartLineCarriesItsMassFlow) {
  for (const Flow flow : {Flow::kPlanar, Flow::kAxisymmetric}) {
    const double R = 2.0;
    const moc::TransonicThroat throat(kAir, flow, R);
    const moc::UnitProcesses processes(kAir, flow);
    moc::MarchSetup setup;
    setup.start = throat.StartLine(41);
    const double x = setup.start.front().x;
    EXPECT_NEAR(throat.MachAt(x, 0.0), moc::TransonicThroat::kDefaultAxisMach, 1e-12);
    const moc::ThroatArc arc(R, x, 0.9 * R);
    setup.wall = &arc;
    setup.xEnd = x + 0.5;
    const moc::MarchedNet net = moc::March(processes, setup);
    EXPECT_FALSE(net.shock);
    const auto massAcross = [&](const auto& points, auto state) {
      double mass = 0.0;
      for (std::size_t k = 1; k < points.size(); ++k) mass += processes.MassAcross(state(points[k - 1]), state(points[k]));
      return mass;
    };
    const double start = massAcross(setup.start, [](const Point& p) { return p; });
    EXPECT_NEAR(start, throat.MassFlowAt(x), 1e-4);
    int rows = 0;
    for (const auto& row : net.rows) {
      if (row.empty() || !row.front().onAxis || !row.back().onWall) continue;
      EXPECT_NEAR(massAcross(row, [](const moc::NetPoint& p) { return p.state; }) / start, 1.0, 2e-4);
      EXPECT_NEAR(row.back().state.y, arc.Y(row.back().state.x), 1e-12);
      ++rows;
    }
    EXPECT_GT(rows, 20);
  }
}

TEST(Throat, ARadiusOutsideTheSeriesRangeIsRefusedNotIterated) {
  const auto refusal = [](Flow flow, double R, moc::ThroatSeries series) {
    try {
      moc::TransonicThroat throat(kAir, flow, R, series);
      return std::string();
    } catch (const moc::ThroatError& e) {
      return std::string(e.what());
    }
  };
  EXPECT_EQ(refusal(Flow::kAxisymmetric, 0.625, moc::ThroatSeries::kKliegelLevine),
            "transonic throat: the radius of curvature 0.625 is outside the series' range 1 to 100 throat radii");
  EXPECT_EQ(refusal(Flow::kPlanar, 1.2, moc::ThroatSeries::kKliegelLevine),
            "transonic throat: the radius of curvature 1.2 is outside the series' range 1.5 to 100 throat half-heights");
  EXPECT_NE(refusal(Flow::kAxisymmetric, 1.2, moc::ThroatSeries::kHall), "");
  EXPECT_NE(refusal(Flow::kPlanar, std::nan(""), moc::ThroatSeries::kKliegelLevine), "");
  EXPECT_NE(refusal(Flow::kPlanar, 101.0, moc::ThroatSeries::kKliegelLevine), "");
  // At the range's ends, every gas has a throat and a start line.
  for (const double g : {1.1, 1.2, 1.4, 5.0 / 3.0}) {
    for (const Flow flow : {Flow::kPlanar, Flow::kAxisymmetric}) {
      for (const double R : {moc::TransonicThroat::MinRadius(flow, moc::ThroatSeries::kKliegelLevine),
                             moc::TransonicThroat::kMaxRadius}) {
        const moc::TransonicThroat throat(gas::Gas::WithGamma(g), flow, R);
        EXPECT_LT(throat.SonicWallX(), 0.0);
        EXPECT_GT(throat.SonicAxisX(), 0.0);
        EXPECT_EQ(throat.StartLine(5).size(), 5u);
      }
    }
  }
  EXPECT_THROW(moc::TransonicThroat(kAir, Flow::kPlanar, 2.0).StartLine(5, 1.6), moc::ThroatError);
}

}  // namespace
