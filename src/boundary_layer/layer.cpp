#include "boundary_layer/layer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "gas/isentropic.h"
#include "gas/prandtl_meyer.h"

namespace boundary_layer {
namespace {

// The flow at the layer's edge, isentropic from the stagnation state.
struct Edge {
  double T, p, rho, a, u, mu;
};

class Flow {
 public:
  Flow(const Conditions& c, bool axisymmetric)
      : c_(c), g_(c.gas.gamma), half_((g_ - 1.0) / 2.0), j_(axisymmetric ? 1 : 0) {
    rho0_ = c.p0 / (c.gas.R * c.T0);
    a0_ = std::sqrt(g_ * c.gas.R * c.T0);
    mu0_ = c.gas.viscosity.Viscosity(c.T0);
  }

  Edge At(double M) const {
    Edge e;
    e.T = c_.T0 / c_.gas.StagnationTemperatureRatio(M);
    e.p = c_.p0 * c_.gas.PressureRatioOfTemperature(e.T / c_.T0);
    e.rho = e.p / (c_.gas.R * e.T);
    e.a = std::sqrt(g_ * c_.gas.R * e.T);
    e.u = M * e.a;
    e.mu = c_.gas.viscosity.Viscosity(e.T);
    return e;
  }
  double Recovery(bool turbulent) const { return turbulent ? std::cbrt(c_.gas.Pr) : std::sqrt(c_.gas.Pr); }
  double AdiabaticWall(const Edge& e, double M, bool turbulent) const {
    return e.T * (1.0 + Recovery(turbulent) * half_ * M * M);
  }
  double Wall(const Edge& e, double M, bool turbulent) const { return c_.Tw ? *c_.Tw : AdiabaticWall(e, M, turbulent); }
  // H of the Crocco-Busemann profile from the incompressible H_i.
  double ShapeFactor(double Hi, const Edge& e, double M, bool turbulent) const {
    return Wall(e, M, turbulent) / e.T * Hi + AdiabaticWall(e, M, turbulent) / e.T - 1.0;
  }
  // The Chapman-Rubesin factor C = (mu_w / mu_0) (T_0 / T_w) of the laminar layer.
  double ChapmanRubesin(const Edge& e, double M) const {
    const double Tw = Wall(e, M, false);
    return c_.gas.viscosity.Viscosity(Tw) / mu0_ * (c_.T0 / Tw);
  }
  // dX / ds of Stewartson's transformation.
  double Stretch(const Edge& e, double M) const { return ChapmanRubesin(e, M) * (e.p / c_.p0) * (e.a / a0_); }
  double RadiusPower(double r) const { return j_ == 1 ? r * r : 1.0; }

  const Conditions& c_;
  double g_, half_;
  int j_;
  double rho0_ = 0.0, a0_ = 0.0, mu0_ = 0.0;
};

// White's fits to Thwaites' correlations, -0.09 <= lambda <= 0.25.
double ThwaitesS(double lambda) { return std::pow(lambda + 0.09, 0.62); }
double ThwaitesH(double lambda) {
  const double z = 0.25 - lambda;
  return 2.0 + z * (4.14 + z * (-83.5 + z * (854.0 + z * (-3337.0 + z * 4576.0))));
}

// van Driest II's F_c = (T_aw / T_e - 1) / (asin a + asin b)^2.
double VanDriestFc(double m, double TwOverTe) {
  if (m < 1e-12) return 1.0;
  const double A2 = m / TwOverTe;
  const double B = (1.0 + m) / TwOverTe - 1.0;
  const double root = std::sqrt(B * B + 4.0 * A2);
  const double sum = std::asin((2.0 * A2 - B) / root) + std::asin(B / root);
  return m / (sum * sum);
}

constexpr double kTurbulentHi = 9.0 / 7.0;

struct Piece {  // the edge between two points, linear in s
  EdgePoint a, b;
  double M(double s) const { return a.M + (b.M - a.M) * (s - a.s) / (b.s - a.s); }
  double r(double s) const { return a.r + (b.r - a.r) * (s - a.s) / (b.s - a.s); }
};

class Marcher {
 public:
  Marcher(const Conditions& c, bool axisymmetric) : flow_(c, axisymmetric) {}

  // d theta / ds of the turbulent layer.
  double Slope(const Piece& piece, double s, double theta) const {
    const double M = piece.M(s);
    const Edge e = flow_.At(M);
    const double H = flow_.ShapeFactor(kTurbulentHi, e, M, true);
    const double dMds = (piece.b.M - piece.a.M) / (piece.b.s - piece.a.s);
    const double duds = flow_.a0_ * std::pow(1.0 + flow_.half_ * M * M, -1.5) * dMds;
    double slope = TurbulentCf(e, M, theta) / 2.0 - theta * (2.0 + H - M * M) * duds / e.u;
    if (flow_.j_ == 1) slope -= theta * (piece.b.r - piece.a.r) / (piece.b.s - piece.a.s) / piece.r(s);
    return slope;
  }

  double TurbulentCf(const Edge& e, double M, double theta) const {
    const double Tw = flow_.Wall(e, M, true);
    const double ReThetaI = e.rho * e.u * theta / e.mu * (e.mu / flow_.c_.gas.viscosity.Viscosity(Tw));
    const double L = std::log10(std::max(ReThetaI, 10.0));
    const double CfI = 1.0 / (17.08 * L * L + 25.11 * L + 6.012);
    return CfI / VanDriestFc(flow_.Recovery(true) * flow_.half_ * M * M, Tw / e.T);
  }

  Station TurbulentStation(double M, double theta) const {
    const Edge e = flow_.At(M);
    Station st;
    st.turbulent = true;
    st.theta = theta;
    st.H = flow_.ShapeFactor(kTurbulentHi, e, M, true);
    st.deltaStar = st.H * theta;
    st.Cf = TurbulentCf(e, M, theta);
    st.ReTheta = e.rho * e.u * theta / e.mu;
    return st;
  }

  // The laminar station after one step of Thwaites' integral over the piece [s0, s1].
  Station LaminarStep(const Piece& piece, double s0, double s1) {
    const double M0 = piece.M(s0), M1 = piece.M(s1);
    const Edge e = flow_.At(M1);
    const double dX = 0.5 * (flow_.Stretch(flow_.At(M0), M0) + flow_.Stretch(e, M1)) * (s1 - s0);
    const double U0 = M0 * flow_.a0_, U1 = M1 * flow_.a0_;
    const double w0 = flow_.RadiusPower(piece.r(s0)), w1 = flow_.RadiusPower(piece.r(s1));
    integral_ += 0.5 * (std::pow(U0, 5) * w0 + std::pow(U1, 5) * w1) * dX;
    const double nu0 = flow_.mu0_ / flow_.rho0_;
    const double Theta2 = 0.45 * nu0 * integral_ / (std::pow(U1, 6) * w1);
    const double lambda = dX > 0.0 ? Theta2 * (U1 - U0) / dX / nu0 : 0.0;
    const double C = flow_.ChapmanRubesin(e, M1);
    Station st;
    st.theta = std::sqrt(Theta2) * (flow_.rho0_ / e.rho) * (flow_.a0_ / e.a);
    const double l = std::clamp(lambda, -0.09, 0.25);
    st.separated = lambda < -0.09;
    st.H = flow_.ShapeFactor(ThwaitesH(l), e, M1, false);
    st.deltaStar = st.H * st.theta;
    const double ReThetaModel = e.rho * e.u * st.theta / (C * flow_.mu0_ * e.T / flow_.c_.T0);
    st.Cf = st.theta > 0.0 ? 2.0 * ThwaitesS(l) / ReThetaModel : 0.0;
    st.ReTheta = e.rho * e.u * st.theta / e.mu;
    return st;
  }

  Flow flow_;
  double integral_ = 0.0;
};

std::string Millimetres(double metres) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3g mm", metres * 1e3);
  return buffer;
}

std::string Percent(double share) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3g %%", share * 100.0);
  return buffer;
}

}  // namespace

March MarchLayer(const std::vector<EdgePoint>& edge, const Conditions& conditions, bool axisymmetric, int steps) {
  Marcher marcher(conditions, axisymmetric);
  March march;
  bool turbulent = conditions.regime == Regime::kTurbulent;
  bool separated = false;
  double theta = 0.0;
  Station now = turbulent ? marcher.TurbulentStation(edge.front().M, 0.0) : Station{};
  march.stations.push_back(now);
  const int pieces = static_cast<int>(edge.size()) - 1;
  const int perPiece = std::max(2, (steps + pieces - 1) / std::max(pieces, 1));
  for (int i = 0; i < pieces; ++i) {
    const Piece piece{edge[static_cast<std::size_t>(i)], edge[static_cast<std::size_t>(i) + 1]};
    const double h = (piece.b.s - piece.a.s) / perPiece;
    for (int k = 0; k < perPiece && h > 0.0; ++k) {
      const double s0 = piece.a.s + k * h;
      const double s1 = k + 1 == perPiece ? piece.b.s : s0 + h;
      if (!turbulent) {
        now = marcher.LaminarStep(piece, s0, s1);
        separated = separated || now.separated;
        now.separated = separated;
        theta = now.theta;
        if (conditions.regime == Regime::kTransition && now.ReTheta >= kTransitionReTheta) {
          turbulent = true;
          march.transitionS = s1;
        }
        continue;
      }
      const double dh = s1 - s0;
      const double k1 = marcher.Slope(piece, s0, theta);
      const double k2 = marcher.Slope(piece, s0 + dh / 2, theta + dh / 2 * k1);
      const double k3 = marcher.Slope(piece, s0 + dh / 2, theta + dh / 2 * k2);
      const double k4 = marcher.Slope(piece, s1, theta + dh * k3);
      theta = std::max(0.0, theta + dh / 6.0 * (k1 + 2.0 * k2 + 2.0 * k3 + k4));
      now = marcher.TurbulentStation(piece.M(s1), theta);
    }
    march.stations.push_back(now);
  }
  return march;
}

std::variant<nozzle::WallCorrection, std::string> CorrectWall(const nozzle::DesignRecord& design,
                                                              const Conditions& conditions) {
  const double h = conditions.throatHalfHeight;
  const bool round = design.IsAxisymmetric();
  std::vector<EdgePoint> edge;
  double s = 0.0;
  for (std::size_t i = 0; i < design.wall.size(); ++i) {
    const nozzle::FlowPoint& p = design.wall[i];
    if (i > 0) s += std::hypot(p.x - design.wall[i - 1].x, p.y - design.wall[i - 1].y) * h;
    edge.push_back({s, p.y * h, p.M});
  }
  const double g = conditions.gas.gamma;
  const double Tstar = conditions.T0 * 2.0 / (g + 1.0);
  const double pStar = conditions.p0 * std::pow(2.0 / (g + 1.0), g / (g - 1.0));
  const double muStar = conditions.gas.viscosity.Viscosity(Tstar);  // 0 when T* underflows
  const double ReStar = muStar > 0.0
                            ? pStar / (conditions.gas.R * Tstar) * std::sqrt(g * conditions.gas.R * Tstar) * h / muStar
                            : std::numeric_limits<double>::infinity();
  if (!(std::isfinite(ReStar) && ReStar >= kLeastReStar)) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3g", ReStar);
    return std::string("these conditions give a throat Reynolds number Re* = ") + text +
           ": a boundary layer of the integral method needs Re* of 100 at least, and finite gas properties.";
  }
  const March march = MarchLayer(edge, conditions, round);
  for (std::size_t i = 0; i < march.stations.size(); ++i) {
    const Station& st = march.stations[i];
    if (!(std::isfinite(st.deltaStar) && std::isfinite(st.theta) && std::isfinite(st.Cf) && std::isfinite(st.ReTheta))) {
      return "the boundary layer cannot be computed for these conditions: it leaves the range of doubles at x = " +
             Millimetres(design.wall[i].x * h) + ".";
    }
  }

  nozzle::WallCorrection c;
  c.conditions = conditions.Description();
  c.metresPerHalfHeight = h;
  const std::string height = round ? "radius" : "half-height";
  double thickest = 0.0, thickestX = 0.0;
  double separationX = -1.0;
  for (std::size_t i = 0; i < design.wall.size(); ++i) {
    const nozzle::FlowPoint& p = design.wall[i];
    const Station& st = march.stations[i];
    const double normal = st.deltaStar / std::cos(p.Teta * gas::Pi_180) / h;  // throat units
    nozzle::FlowPoint moved = p;
    moved.y = round ? std::sqrt(p.y * p.y + 2.0 * p.y * normal) : p.y + normal;
    c.wall.push_back(moved);
    c.layer.push_back({p.x * h, p.y * h, moved.y * h, p.M, st.deltaStar, st.theta, st.H, st.Cf, st.ReTheta,
                       st.separated   ? "separated"
                       : st.turbulent ? "turbulent"
                                      : "laminar"});
    if (normal / p.y > thickest) {
      thickest = normal / p.y;
      thickestX = p.x * h;
    }
    if (st.separated && separationX < 0.0) separationX = p.x * h;
    if (st.turbulent) c.turbulent = true;
  }
  if (thickest >= kFillsShare) {
    return "the boundary layer would fill the nozzle: its displacement thickness reaches " + Percent(thickest) +
           " of the local " + height + " at x = " + Millimetres(thickestX) +
           "; a higher stagnation pressure or a larger throat gives a thinner layer.";
  }
  if (march.transitionS >= 0.0) {
    for (std::size_t i = 0; i < edge.size(); ++i) {
      if (edge[i].s >= march.transitionS) {
        c.transitionX = design.wall[i].x * h;
        break;
      }
    }
  }
  c.ReStar = ReStar;
  const nozzle::FlowPoint& lip = design.wall.back();
  c.exitDeltaStar = march.stations.back().deltaStar;
  c.exitDeltaStarShare = c.exitDeltaStar / (lip.y * h) * 100.0;
  c.correctedExitHeight = c.wall.back().y;
  const double normal = c.exitDeltaStar / std::cos(lip.Teta * gas::Pi_180) / h;
  const double effective = round ? lip.y * lip.y - 2.0 * lip.y * normal : lip.y - normal;
  c.uncorrectedExitMach = conditions.gas.SupersonicMachOfAreaRatio(effective);
  {
    const Flow flow(conditions, round);
    const Station& st = march.stations.back();
    const Edge e = flow.At(lip.M);
    const double Tw = flow.Wall(e, lip.M, st.turbulent);
    const double rhoW = e.rho * e.T / Tw;
    const double uTau = std::sqrt(0.5 * st.Cf * e.rho * e.u * e.u / rhoW);
    c.exitViscousLength = conditions.gas.viscosity.Viscosity(Tw) / (rhoW * uTau);
  }
  c.sutherlandSOverTStar = conditions.gas.viscosity.S / Tstar;
  c.wallTemperatureOverTStar = conditions.Tw ? *conditions.Tw / Tstar : 0.0;
  if (thickest >= kThickShare) {
    c.warnings.push_back(
        "the boundary layer's displacement thickness reaches " + Percent(thickest) + " of the local " + height +
        " at x = " + Millimetres(thickestX) +
        ": beyond the thin layer the integral method assumes; the corrected wall is an estimate there");
  }
  if (separationX >= 0.0) {
    c.warnings.push_back("the laminar boundary layer separates at x = " + Millimetres(separationX) +
                         " (Thwaites' lambda below -0.09): the corrected wall does not hold beyond");
  }
  return c;
}

void Apply(nozzle::DesignRecord& design, nozzle::WallCorrection correction) {
  for (const std::string& warning : correction.warnings) design.warnings.push_back(warning);
  design.correction = std::move(correction);
}

}  // namespace boundary_layer
