#include "moc/transonic.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <sstream>

#include "gas/prandtl_meyer.h"

namespace moc {
namespace {

// A term c(gamma) z^i y^j of u_n or v_n, c(gamma) = c[0] + c[1] gamma + c[2] gamma^2.
struct Term {
  int n, i, j;
  double c[3];
};

// Planar throat (delta = 0).
constexpr Term kPlanarU[] = {
    {1, 0, 0, {-1.0 / 6, 0, 0}},
    {1, 0, 2, {1.0 / 2, 0, 0}},
    {1, 1, 0, {1.0, 0, 0}},
    {2, 0, 0, {1.0 / 9, 1.0 / 270, 0}},
    {2, 0, 2, {-1.0 / 2, -1.0 / 9, 0}},
    {2, 0, 4, {1.0 / 3, 1.0 / 18, 0}},
    {2, 1, 0, {-1.0 / 2, 0, 0}},
    {2, 1, 2, {1.0, 0, 0}},
    {2, 2, 0, {1.0 / 2, -1.0 / 3, 0}},
    {3, 0, 0, {-2543.0 / 30240, -263.0 / 12960, -391.0 / 136080}},
    {3, 0, 2, {751.0 / 1440, 1229.0 / 4320, 427.0 / 6480}},
    {3, 0, 4, {-185.0 / 288, -31.0 / 96, -97.0 / 1296}},
    {3, 0, 6, {353.0 / 1440, 161.0 / 1440, 181.0 / 6480}},
    {3, 1, 0, {581.0 / 1440, 143.0 / 1440, 67.0 / 2160}},
    {3, 1, 2, {-21.0 / 16, -17.0 / 48, -13.0 / 72}},
    {3, 1, 4, {79.0 / 96, 3.0 / 32, 13.0 / 144}},
    {3, 2, 0, {-1.0 / 2, 7.0 / 36, 0}},
    {3, 2, 2, {0, -5.0 / 4, 0}},
    {3, 3, 0, {1.0 / 8, -11.0 / 24, 1.0 / 36}},
};
constexpr Term kPlanarV[] = {
    {1, 0, 1, {-1.0 / 6, 0, 0}},
    {1, 0, 3, {1.0 / 6, 0, 0}},
    {1, 1, 1, {1.0, 0, 0}},
    {2, 0, 1, {13.0 / 72, 17.0 / 540, 0}},
    {2, 0, 3, {-7.0 / 18, -5.0 / 54, 0}},
    {2, 0, 5, {5.0 / 24, 11.0 / 180, 0}},
    {2, 1, 1, {-1.0, -2.0 / 9, 0}},
    {2, 1, 3, {4.0 / 3, 2.0 / 9, 0}},
    {2, 2, 1, {1.0, 0, 0}},
    {3, 0, 1, {-10973.0 / 60480, -27.0 / 320, -757.0 / 54432}},
    {3, 0, 3, {5153.0 / 8640, 2839.0 / 8640, 2513.0 / 38880}},
    {3, 0, 5, {-1831.0 / 2880, -3371.0 / 8640, -1127.0 / 12960}},
    {3, 0, 7, {4451.0 / 20160, 1261.0 / 8640, 3287.0 / 90720}},
    {3, 1, 1, {751.0 / 720, 1229.0 / 2160, 427.0 / 3240}},
    {3, 1, 3, {-185.0 / 72, -31.0 / 24, -97.0 / 324}},
    {3, 1, 5, {353.0 / 240, 161.0 / 240, 181.0 / 1080}},
    {3, 2, 1, {-21.0 / 16, -17.0 / 48, -13.0 / 72}},
    {3, 2, 3, {79.0 / 48, 3.0 / 16, 13.0 / 72}},
    {3, 3, 1, {0, -5.0 / 6, 0}},
};

// Round throat (delta = 1).
constexpr Term kRoundU[] = {
    {1, 0, 0, {-1.0 / 4, 0, 0}},
    {1, 0, 2, {1.0 / 2, 0, 0}},
    {1, 1, 0, {1.0, 0, 0}},
    {2, 0, 0, {19.0 / 96, 5.0 / 144, 0}},
    {2, 0, 2, {-5.0 / 8, -1.0 / 6, 0}},
    {2, 0, 4, {3.0 / 8, 1.0 / 12, 0}},
    {2, 1, 0, {-5.0 / 8, 0, 0}},
    {2, 1, 2, {1.0, 0, 0}},
    {2, 2, 0, {1.0 / 2, -1.0 / 3, 0}},
    {3, 0, 0, {-1579.0 / 9216, -871.0 / 9216, -677.0 / 20736}},
    {3, 0, 2, {23.0 / 32, 277.0 / 576, 19.0 / 108}},
    {3, 0, 4, {-209.0 / 256, -129.0 / 256, -97.0 / 576}},
    {3, 0, 6, {341.0 / 1152, 193.0 / 1152, 139.0 / 2592}},
    {3, 1, 0, {71.0 / 128, 5.0 / 32, 23.0 / 288}},
    {3, 1, 2, {-93.0 / 64, -25.0 / 64, -13.0 / 48}},
    {3, 1, 4, {109.0 / 128, 17.0 / 128, 13.0 / 96}},
    {3, 2, 0, {-9.0 / 16, 13.0 / 48, 0}},
    {3, 2, 2, {3.0 / 8, -7.0 / 8, 0}},
    {3, 3, 0, {3.0 / 16, -19.0 / 48, 1.0 / 36}},
};
constexpr Term kRoundV[] = {
    {1, 0, 1, {-1.0 / 4, 0, 0}},
    {1, 0, 3, {1.0 / 4, 0, 0}},
    {1, 1, 1, {1.0, 0, 0}},
    {2, 0, 1, {31.0 / 96, 7.0 / 72, 0}},
    {2, 0, 3, {-21.0 / 32, -5.0 / 24, 0}},
    {2, 0, 5, {1.0 / 3, 1.0 / 9, 0}},
    {2, 1, 1, {-5.0 / 4, -1.0 / 3, 0}},
    {2, 1, 3, {3.0 / 2, 1.0 / 3, 0}},
    {2, 2, 1, {1.0, 0, 0}},
    {3, 0, 1, {-3361.0 / 9216, -2479.0 / 9216, -1775.0 / 20736}},
    {3, 0, 3, {141.0 / 128, 3757.0 / 4608, 107.0 / 432}},
    {3, 0, 5, {-1699.0 / 1536, -3797.0 / 4608, -845.0 / 3456}},
    {3, 0, 7, {3403.0 / 9216, 853.0 / 3072, 1709.0 / 20736}},
    {3, 1, 1, {23.0 / 16, 277.0 / 288, 19.0 / 54}},
    {3, 1, 3, {-209.0 / 64, -129.0 / 64, -97.0 / 144}},
    {3, 1, 5, {341.0 / 192, 193.0 / 192, 139.0 / 432}},
    {3, 2, 1, {-93.0 / 64, -25.0 / 64, -13.0 / 48}},
    {3, 2, 3, {109.0 / 64, 17.0 / 64, 13.0 / 48}},
    {3, 3, 1, {1.0 / 4, -7.0 / 12, 0}},
};

std::string Text(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// The root of f in [a, b], where f(a) and f(b) differ in sign: bisection, 200 halvings.
double Bisect(const std::function<double(double)>& f, double a, double b) {
  double fa = f(a);
  for (int step = 0; step < 200 && b - a > 1e-15 * (1.0 + std::fabs(a)); ++step) {
    const double m = 0.5 * (a + b);
    const double fm = f(m);
    if ((fm < 0.0) == (fa < 0.0)) {
      a = m;
      fa = fm;
    } else {
      b = m;
    }
  }
  return 0.5 * (a + b);
}

// The first x in [from, to] where f changes from negative to not negative, scanned in
// `steps` pieces and then bisected; throws ThroatError naming `what` when there is none.
double FirstRise(const std::function<double(double)>& f, double from, double to, int steps, const std::string& what) {
  double a = from, fa = f(from);
  for (int k = 1; k <= steps; ++k) {
    const double b = from + (to - from) * k / steps;
    const double fb = f(b);
    if (std::isfinite(fa) && std::isfinite(fb) && fa < 0.0 && fb >= 0.0) return Bisect(f, a, b);
    a = b;
    fa = fb;
  }
  throw ThroatError("transonic throat: the series has no " + what);
}

// Gauss-Legendre nodes and weights of order n on [0, 1].
struct Quadrature {
  explicit Quadrature(int n);
  std::vector<double> nodes, weights;
};

Quadrature::Quadrature(int n) : nodes(static_cast<std::size_t>(n)), weights(static_cast<std::size_t>(n)) {
  for (int k = 0; k < n; ++k) {
    double t = std::cos(gas::Pi * (k + 0.75) / (n + 0.5));
    double derivative = 1.0;
    for (int step = 0; step < 100; ++step) {
      double p0 = 1.0, p1 = t;
      for (int m = 2; m <= n; ++m) {
        const double p2 = ((2.0 * m - 1.0) * t * p1 - (m - 1.0) * p0) / m;
        p0 = p1;
        p1 = p2;
      }
      derivative = n * (t * p1 - p0) / (t * t - 1.0);
      const double change = p1 / derivative;
      t -= change;
      if (std::fabs(change) < 1e-16) break;
    }
    nodes[static_cast<std::size_t>(k)] = 0.5 * (1.0 - t);
    weights[static_cast<std::size_t>(k)] = 1.0 / ((1.0 - t * t) * derivative * derivative);
  }
}

}  // namespace

TransonicThroat::TransonicThroat(const gas::Gas& gas, Flow flow, double R, ThroatSeries series)
    : gas_(gas), delta_(flow == Flow::kAxisymmetric ? 1 : 0), R_(R), series_(series) {
  const double least = MinRadius(flow, series);
  if (!(R >= least && R <= kMaxRadius))
    throw ThroatError("transonic throat: the radius of curvature " + Text(R) + " is outside the series' range " +
                      Text(least) + " to " + Text(kMaxRadius) + " throat " +
                      (delta_ == 1 ? "radii" : "half-heights"));
  if (!gas::InGasRange(gas.gamma)) {
    throw ThroatError("transonic throat: ratio of specific heats outside 1 < gamma <= 5/3");
  }
  const double g = gas.gamma;
  const double eps = 1.0 / R;
  if (series == ThroatSeries::kHall) {
    e_[0] = eps;
    e_[1] = eps * eps;
    e_[2] = eps * eps * eps;
  } else {
    const double s = 1.0 / (R + 1.0);
    e_[0] = s + s * s + s * s * s;
    e_[1] = s * s + 2.0 * s * s * s;
    e_[2] = s * s * s;
  }
  zScale_ = std::sqrt((1.0 + delta_) * R / (g + 1.0));
  vScale_ = std::sqrt((g + 1.0) * eps / (1.0 + delta_));
  const auto fill = [&](const Term* begin, const Term* end, double* into) {
    for (const Term* t = begin; t != end; ++t)
      into[t->i * 8 + t->j] += e_[t->n - 1] * (t->c[0] + g * (t->c[1] + g * t->c[2]));
  };
  if (delta_ == 1) {
    fill(std::begin(kRoundU), std::end(kRoundU), uCoefficients_);
    fill(std::begin(kRoundV), std::end(kRoundV), vCoefficients_);
  } else {
    fill(std::begin(kPlanarU), std::end(kPlanarU), uCoefficients_);
    fill(std::begin(kPlanarV), std::end(kPlanarV), vCoefficients_);
  }

  cd_ = MassFlowAt(0.0);

  // The sonic points, sought within a throat's reach of Sauer's: the axis's downstream
  // of the throat, the wall's upstream.
  const double z0 = (1.0 + delta_) / (2.0 * (3.0 + delta_));
  const auto axis = [&](double x) { return VelocityAt(x, 0.0).u - 1.0; };
  sonicAxisX_ = FirstRise(axis, (z0 - 1.0) / zScale_, (z0 + 1.0) / zScale_, 400, "sonic point on the axis");
  const auto wall = [&](double x) {
    const Velocity w = VelocityAt(x, WallY(x));
    return std::hypot(w.u, w.v) - 1.0;
  };
  sonicWallX_ = FirstRise(wall, (z0 - 1.5) / zScale_, sonicAxisX_, 400, "sonic point on the wall");
}

TransonicThroat::Velocity TransonicThroat::VelocityAt(double x, double y) const {
  const double z = x * zScale_;
  double zp[4] = {1.0, z, z * z, z * z * z};
  double yp[8];
  yp[0] = 1.0;
  for (int j = 1; j < 8; ++j) yp[j] = yp[j - 1] * y;
  Velocity w{1.0, 0.0};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 8; ++j) {
      w.u += uCoefficients_[i * 8 + j] * zp[i] * yp[j];
      w.v += vCoefficients_[i * 8 + j] * zp[i] * yp[j];
    }
  w.v *= vScale_;
  return w;
}

double TransonicThroat::Mach(const Velocity& w) const {
  const double q2 = w.u * w.u + w.v * w.v;
  const double a2 = 0.5 * (gas_.gamma + 1.0) - 0.5 * (gas_.gamma - 1.0) * q2;
  if (!(a2 > 0.0)) throw ThroatError("transonic throat: the series' speed exceeds the gas's limit");
  return std::sqrt(q2 / a2);
}

double TransonicThroat::MachAt(double x, double y) const { return Mach(VelocityAt(x, y)); }

double TransonicThroat::MassFlux(double x, double y) const {
  const Velocity w = VelocityAt(x, y);
  const double a2 = 0.5 * (gas_.gamma + 1.0) - 0.5 * (gas_.gamma - 1.0) * (w.u * w.u + w.v * w.v);
  return std::pow(std::max(a2, 0.0), 1.0 / (gas_.gamma - 1.0)) * w.u;
}

double TransonicThroat::MassFlowAt(double x) const {
  static const Quadrature quadrature(16);
  const double top = WallY(x);
  double mass = 0.0;
  for (std::size_t k = 0; k < quadrature.nodes.size(); ++k) {
    const double y = top * quadrature.nodes[k];
    mass += quadrature.weights[k] * MassFlux(x, y) * (delta_ == 1 ? 2.0 * y : 1.0);
  }
  return mass * top;
}

double TransonicThroat::WallY(double x) const { return ThroatArc(R_, 0.0, 0.0).Y(x); }
double TransonicThroat::WallAngle(double x) const { return ThroatArc(R_, 0.0, 0.0).Angle(x); }

// 1 + R - sqrt(R^2 - x^2), written without the cancellation near the throat.
double ThroatArc::Y(double x) const { return 1.0 + x * x / (R_ + std::sqrt(R_ * R_ - x * x)); }
double ThroatArc::Angle(double x) const { return std::asin(x / R_); }

double TransonicThroat::SonicX(double y) const {
  const auto sonic = [&](double x) {
    const Velocity w = VelocityAt(x, y);
    return std::hypot(w.u, w.v) - 1.0;
  };
  return FirstRise(sonic, sonicWallX_ - 1.0 / zScale_, sonicAxisX_ + 1.0 / zScale_, 400,
                   "sonic point at y = " + Text(y));
}

double TransonicThroat::StartLineX(double axisMach) const {
  if (!(axisMach > 1.0 && axisMach <= 1.5))
    throw ThroatError("transonic throat: the start line's axis Mach number " + Text(axisMach) +
                      " is outside 1 < M <= 1.5");
  const auto mach = [&](double x) { return MachAt(x, 0.0) - axisMach; };
  const double reach = (2.0 + 0.5 * R_) / zScale_;
  const double x = FirstRise(mach, sonicAxisX_, std::min(sonicAxisX_ + reach, 0.5 * R_), 800,
                             "axis point of Mach " + Text(axisMach));
  return x;
}

namespace {

// How far the line of direction phi (radians, from the x axis) lies outside the Mach
// cone theta -+ mu of the point: the least angle to either characteristic direction,
// negative when the line lies inside the cone.
double OutsideCone(double phi, const Point& p) {
  return std::min(phi - (p.theta + p.mu), (p.theta - p.mu + gas::Pi) - phi);
}

}  // namespace

std::vector<Point> TransonicThroat::StartLine(int points, double axisMach, double wallX, double margin) const {
  if (points < 2) throw ThroatError("transonic throat: a start line needs at least 2 points");
  const double xs = StartLineX(axisMach);
  if (!(wallX <= xs && wallX >= sonicWallX_)) {
    throw ThroatError("transonic throat: the start line's wall point lies outside the sonic wall point to the section");
  }
  const double top = WallY(wallX);
  const double phi = std::atan2(top, wallX - xs);
  std::vector<Point> line;
  line.reserve(static_cast<std::size_t>(points));
  for (int k = 0; k < points; ++k) {
    Point p;
    const double t = static_cast<double>(k) / (points - 1);
    p.x = k == points - 1 ? wallX : xs + t * (wallX - xs);
    p.y = k == points - 1 ? top : t * top;
    const Velocity w = VelocityAt(p.x, p.y);
    p.theta = k == 0 ? 0.0 : k == points - 1 ? WallAngle(wallX) : std::atan2(w.v, w.u);
    p.M = Mach(w);
    if (!(p.M > 1.0)) throw ThroatError("transonic throat: the start line is not supersonic at y = " + Text(p.y));
    p.mu = std::asin(1.0 / p.M);
    p.nu = gas_.Nu(p.M) * gas::Pi_180;
    if (!(OutsideCone(phi, p) >= margin)) {
      throw ThroatError("transonic throat: the start line lies too near a characteristic at y = " + Text(p.y));
    }
    line.push_back(p);
  }
  return line;
}

double TransonicThroat::MostLeaningWallX(int points, double axisMach, double margin) const {
  const double xs = StartLineX(axisMach);
  const auto keeps = [&](double wallX) {
    try {
      StartLine(points, axisMach, wallX, margin);
      return true;
    } catch (const ThroatError&) {
      return false;
    }
  };
  if (!keeps(xs)) return xs;
  double lo = sonicWallX_, hi = xs;  // hi keeps the margin, lo does not (sonic)
  for (int step = 0; step < 60; ++step) {
    const double m = 0.5 * (lo + hi);
    (keeps(m) ? hi : lo) = m;
  }
  return hi;
}

std::vector<Point> TransonicThroat::StartLine(int points, double axisMach) const {
  if (points < 2) throw ThroatError("transonic throat: a start line needs at least 2 points");
  const double x = StartLineX(axisMach);
  const double top = WallY(x);
  std::vector<Point> line;
  line.reserve(static_cast<std::size_t>(points));
  for (int k = 0; k < points; ++k) {
    Point p;
    p.x = x;
    p.y = k == points - 1 ? top : top * k / (points - 1);
    const Velocity w = VelocityAt(p.x, p.y);
    p.theta = k == 0 ? 0.0 : k == points - 1 ? WallAngle(x) : std::atan2(w.v, w.u);
    p.M = Mach(w);
    if (!(p.M > 1.0))
      throw ThroatError("transonic throat: the start line is not supersonic at y = " + Text(p.y));
    p.mu = std::asin(1.0 / p.M);
    p.nu = gas_.Nu(p.M) * gas::Pi_180;
    if (p.mu + std::fabs(p.theta) > 89.0 * gas::Pi_180)
      throw ThroatError("transonic throat: the start line lies along a characteristic at y = " + Text(p.y));
    line.push_back(p);
  }
  return line;
}

}  // namespace moc
