// The boundary layer along a nozzle's inviscid wall, and the wall corrected for it.
//
// The edge of the layer carries the inviscid wall's flow: Mach number M from the
// design, isentropic from p0, T0. The layer starts at the throat corner with zero
// thickness (the convergent part's layer is not modelled; the corner's expansion thins
// it drastically) and is marched along the wall's arc length s, the edge linear in s
// between the wall points.
//
// Laminar: Thwaites' method carried to compressible flow by Stewartson's
// transformation and, for a round nozzle, Mangler's (B. Thwaites, Aeronaut. Q. 1 (1949)
// 245; K. Stewartson, Proc. R. Soc. A 200 (1949) 84; the compressible form as in
// C. B. Cohen and E. Reshotko, NACA Report 1294 (1956) and F. M. White, Viscous Fluid
// Flow, 3rd ed., chapters 4 and 7), with stagnation reference 0 and the
// Chapman-Rubesin factor C = (mu_w / mu_0) (T_0 / T_w):
//   dX = C (p_e / p_0) (a_e / a_0) ds,   U_e = M a_0,
//   Theta^2 = 0.45 nu_0 / (U_e^6 r^2j) * integral U_e^5 r^2j dX   (j = 1 round, 0 planar)
//   lambda  = Theta^2 (dU_e / dX) / nu_0,   theta = Theta (rho_0 / rho_e) (a_0 / a_e)
//   Cf = 2 S(lambda) / Re_theta',  Re_theta' = rho_e u_e theta / (C mu_0 T_e / T_0)
// with White's fits S(lambda) = (lambda + 0.09)^0.62 and H_i(lambda), a quintic in 0.25 - lambda.
// It separates where lambda < -0.09.
//
// Turbulent: the von Karman momentum integral of compressible flow
//   d theta / ds = Cf / 2 - theta ((2 + H - M^2) (du_e / ds) / u_e + j (dr / ds) / r)
// by the classical Runge-Kutta method, Cf by van Driest's second transformation
// (Cf = Cf_i(Re_theta mu_e / mu_w) / F_c, E. R. van Driest, J. Aeronaut. Sci. 18 (1951)
// 145, in the form of E. J. Hopkins and M. Inouye, AIAA J. 9 (1971) 993) with the
// Karman-Schoenherr law 1 / Cf_i = 17.08 L^2 + 25.11 L + 6.012, L = log10 Re_theta_i,
// and H_i = 9/7, the one-seventh-power profile's. A transition keeps theta.
//
// Both take the compressible shape factor of the Crocco-Busemann temperature profile,
//   H = (T_w / T_e) H_i + T_aw / T_e - 1,   T_aw = T_e (1 + r (gamma - 1) / 2 M^2),
// recovery factor r = Pr^(1/2) laminar, Pr^(1/3) turbulent; an adiabatic wall has T_w = T_aw.
//
// The corrected wall: each wall point moved outward by the displacement thickness,
// planar y + delta* / cos(theta_wall); a round wall to the ring of the same displaced
// area, r_c = sqrt(r^2 + 2 r delta* / cos(theta_wall)).
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "boundary_layer/conditions.h"
#include "nozzle/design_record.h"

namespace boundary_layer {

// A point of the layer's edge: arc length along the wall and the wall's radius (m;
// the radius only for a round nozzle), and the Mach number.
struct EdgePoint {
  double s = 0.0, r = 0.0, M = 0.0;
};

struct Station {
  double deltaStar = 0.0, theta = 0.0, H = 0.0, Cf = 0.0, ReTheta = 0.0;
  bool turbulent = false;
  bool separated = false;  // a laminar layer past lambda = -0.09
};

struct March {
  std::vector<Station> stations;  // one an edge point
  double transitionS = -1.0;      // where the layer turned turbulent, -1 when it did not
};

// The layer along the edge (at least two points, s increasing), `steps` integration
// steps in all at the least, spread over the pieces between the points.
March MarchLayer(const std::vector<EdgePoint>& edge, const Conditions& conditions, bool axisymmetric, int steps = 400);

// A layer this share of the local height or more: the integral method is beyond its
// assumptions there (a warning). At kFillsShare the layer would fill the nozzle (refused).
inline constexpr double kThickShare = 0.1;
inline constexpr double kFillsShare = 0.5;

// Below this throat Reynolds number rho* a* h / mu* a layer is no thin layer anywhere.
inline constexpr double kLeastReStar = 100.0;

// The design's wall corrected for its layer, or the refusal (a sentence) of conditions
// whose layer would fill the nozzle, whose Re* is below kLeastReStar or not finite, or
// whose layer leaves the range of doubles. The conditions' gas must have the design's
// gamma.
std::variant<nozzle::WallCorrection, std::string> CorrectWall(const nozzle::DesignRecord& design,
                                                              const Conditions& conditions);

// Puts the correction into the record and its warnings (a thick or separated layer)
// after the design's.
void Apply(nozzle::DesignRecord& design, nozzle::WallCorrection correction);

}  // namespace boundary_layer
