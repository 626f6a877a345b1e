#include "moc/unit_processes.h"

#include <algorithm>
#include <cmath>

#include "gas/isentropic.h"

namespace moc {
namespace {

using gas::Divide;
using gas::Finite;

// The factor f of a piece's term f (theta_end + theta_p): sin(mu) sinc(theta) /
// (sin(direction) y) dy / 2 of its mean state.
double Factor(double mu, double theta, double direction, double y, double dy) {
  const double sinc = theta == 0.0 ? 1.0 : std::sin(theta) / theta;
  return Divide(std::sin(mu) * sinc * 0.5 * dy, std::sin(direction) * y);
}

// sin(mu) sin(theta) / (sin(direction) y) of a mean state.
double Coefficient(double mu, double theta, double direction, double y) {
  return Divide(std::sin(mu) * std::sin(theta), std::sin(direction) * y);
}

double Change(const Point& p, const Point& q) {
  return std::max({std::fabs(q.x - p.x) / (1.0 + std::fabs(q.x)), std::fabs(q.y - p.y) / (1.0 + std::fabs(q.y)),
                   std::fabs(q.theta - p.theta), std::fabs(q.nu - p.nu)});
}

// The state with the Prandtl-Meyer angle nu, and whether two estimates agree: on the
// hot path of every process, so kept where the compiler inlines them.
inline Point StateWithNu(const gas::Gas& gas, const Tolerances& tolerances, Point s, double nu, double guessM) {
  s.nu = nu;
  s.M = tolerances.machOfNu ? tolerances.machOfNu(nu / gas::Pi_180, gas, guessM)
                            : gas::ExactMachFromNu(nu / gas::Pi_180, gas, guessM);
  s.mu = std::asin(1.0 / s.M);
  return s;
}

inline bool Agree(const Point& p, const Point& q, const Tolerances& tolerances) {
  return std::fabs(q.x - p.x) <= tolerances.position * (1.0 + std::fabs(q.x)) &&
         std::fabs(q.y - p.y) <= tolerances.position * (1.0 + std::fabs(q.y)) &&
         std::fabs(q.theta - p.theta) <= tolerances.angle && std::fabs(q.nu - p.nu) <= tolerances.angle;
}

// The C+ relation's radius term on the piece from b to a new point at height y, with the
// mean state (tp, mp, yp) of the piece: its factor q, and theta_b - nu_b less the term,
// so that theta_p - nu_p = difference - q theta_p. At a C+ line's start on the axis
// (b.y = 0, theta_b = 0) the factor is sin(mu) / sin(theta + mu): its limit, as
// sin(theta_p / 2) / (y_p / 2) times y_p / 2 tends to theta_p / 2. The predictor
// (`first`) takes the coefficient of the known end alone.
struct CPlusTerm {
  double q, difference;
};
inline CPlusTerm CPlus(const Point& b, double tp, double mp, double yp, double y, bool first) {
  const double q = b.y == 0.0 ? Divide(std::sin(mp), std::sin(tp + mp))
                   : first    ? 0.0
                              : Factor(mp, tp, tp + mp, yp, y - b.y);
  return {q, (b.theta - b.nu) - (first && b.y != 0.0 ? Coefficient(mp, tp, tp + mp, yp) * (y - b.y) : q * b.theta)};
}

// How far q lies above the straight line through `from` of slope `slope`, vertically.
double Height(const Point& from, double slope, const Point& q) { return (q.y - from.y) - slope * (q.x - from.x); }

// The interior process, with the flow known when compiled: the planar one carries no
// radius terms at all.
template <bool axisymmetric>
Point InteriorPoint(const gas::Gas& gas, const Tolerances tolerances, const Point& a, const Point& b,
                    const Point* guess) {
  Point p = guess ? *guess : Point{};
  bool first = guess == nullptr;
  double weight = 1.0, lastChange = INFINITY;
  for (int pass = 0; pass < tolerances.maxCorrections; ++pass) {
    // The coefficients of the mean state on each piece; the known end alone first.
    const Point& pa = first ? a : p;
    const Point& pb = first ? b : p;
    const double tm = 0.5 * (a.theta + pa.theta), mm = 0.5 * (a.mu + pa.mu), ym = 0.5 * (a.y + pa.y);
    const double tp = 0.5 * (b.theta + pb.theta), mp = 0.5 * (b.mu + pb.mu), yp = 0.5 * (b.y + pb.y);
    // The pieces as directions, not slopes: near Mach 1 a C+ line may stand upright.
    const double alpha = tm - mm, beta = tp + mp;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double det = std::sin(beta - alpha);
    const double t = Divide(dx * std::sin(alpha) - dy * std::cos(alpha), det);  // along C+ from b
    Point next;
    next.x = Finite(b.x + t * std::cos(beta));
    next.y = Finite(b.y + t * std::sin(beta));
    // The two relations are solved for theta_p at once with the factors of the last
    // estimate; the predictor takes the coefficients of the known ends alone.
    double r = 0.0, q = 0.0, sum0 = a.theta + a.nu, difference0 = b.theta - b.nu;
    if constexpr (axisymmetric) {
      // A C- line traced upstream from the axis (a.y = 0, theta_a = 0), as in a flow
      // given by its axis: the factor's limit, as the C+ relation's at its start.
      r = a.y == 0.0 ? Divide(std::sin(mm), std::sin(tm - mm))
          : first    ? 0.0
                     : Factor(mm, tm, tm - mm, ym, next.y - a.y);
      sum0 += first && a.y != 0.0 ? Coefficient(mm, tm, tm - mm, ym) * (next.y - a.y) : r * a.theta;
      const CPlusTerm plus = CPlus(b, tp, mp, yp, next.y, first);
      q = plus.q;
      difference0 = plus.difference;
    }
    next.theta = Finite(Divide(sum0 + difference0, 2.0 - r + q));
    const double nu = sum0 + r * next.theta - next.theta;
    next = StateWithNu(gas, tolerances, next, Finite(nu), first ? 0.5 * (a.M + b.M) : p.M);
    if (!first) {
      if (Agree(p, next, tolerances)) return next;
      // Damped once the corrections grow.
      const double change = Change(p, next);
      if (change > lastChange) weight = std::max(weight * 0.5, 1.0 / 64.0);
      lastChange = change;
      if (weight < 1.0) {
        Point s;
        s.x = p.x + weight * (next.x - p.x);
        s.y = p.y + weight * (next.y - p.y);
        s.theta = p.theta + weight * (next.theta - p.theta);
        next = StateWithNu(gas, tolerances, s, p.nu + weight * (next.nu - p.nu), next.M);
      }
    }
    p = next;
    first = false;
  }
  throw ProcessError("the interior unit process did not converge");
}

}  // namespace

Point Between(const Point& a, const Point& b, double t) {
  Point s;
  s.x = a.x + t * (b.x - a.x);
  s.y = a.y + t * (b.y - a.y);
  s.theta = a.theta + t * (b.theta - a.theta);
  s.nu = a.nu + t * (b.nu - a.nu);
  s.M = a.M + t * (b.M - a.M);
  s.mu = a.mu + t * (b.mu - a.mu);
  return s;
}

Point UnitProcesses::WithNu(Point s, double nu, double guessM) const { return StateWithNu(gas_, tolerances_, s, nu, guessM); }

Point UnitProcesses::Interior(const Point& a, const Point& b, const Point* guess) const {
  return axisymmetric_ ? InteriorPoint<true>(gas_, tolerances_, a, b, guess)
                       : InteriorPoint<false>(gas_, tolerances_, a, b, guess);
}

Point UnitProcesses::Axis(const Point& a, const Point* guess) const {
  Point p = guess ? *guess : Point{};
  bool first = guess == nullptr;
  for (int pass = 0; pass < tolerances_.maxCorrections; ++pass) {
    const Point& pa = first ? a : p;
    const double tm = 0.5 * (a.theta + pa.theta), mm = 0.5 * (a.mu + pa.mu), ym = 0.5 * (a.y + pa.y);
    const double alpha = tm - mm;
    Point next;
    next.x = Finite(a.x - Divide(a.y * std::cos(alpha), std::sin(alpha)));
    next.y = 0.0;
    next.theta = 0.0;
    // The mean of the piece from a to the axis, formed with theta and y halved as
    // every mean here, is sin(theta_a / 2) / (y_a / 2): theta odd in y.
    const double cMinus = axisymmetric_ ? Coefficient(mm, tm, tm - mm, ym) : 0.0;
    next = StateWithNu(gas_, tolerances_, next, Finite(a.theta + a.nu - cMinus * a.y), first ? a.M : p.M);
    if (!first && Agree(p, next, tolerances_)) return next;
    p = next;
    first = false;
  }
  throw ProcessError("the axis unit process did not converge");
}

Point UnitProcesses::OnWall(const Point& b, const WallCurve& wall) const {
  Point p = b;
  bool first = true;
  for (int pass = 0; pass < tolerances_.maxCorrections; ++pass) {
    const Point& pb = first ? b : p;
    const double tp = 0.5 * (b.theta + pb.theta), mp = 0.5 * (b.mu + pb.mu), yp = 0.5 * (b.y + pb.y);
    const double beta = tp + mp;
    // Where the straight piece from b, at the angle beta, meets the wall: Newton's
    // method on the height of the wall above the piece, kept inside the wall's range.
    const double c = std::cos(beta), s = std::sin(beta);
    double x = first ? b.x : p.x;
    bool met = false;
    for (int step = 0; step < 100 && !met; ++step) {
      const double t = (x - b.x) / c;
      const double gap = wall.Y(x) - (b.y + t * s);
      const double slope = std::tan(wall.Angle(x)) - s / c;
      const double next = Finite(x - Divide(gap, slope));
      met = std::fabs(next - x) <= tolerances_.position * (1.0 + std::fabs(next));
      x = std::clamp(next, wall.XBegin(), wall.XEnd());
      if (!met && (x == wall.XBegin() || x == wall.XEnd()) && step > 2) {
        throw ProcessError("the C+ line does not meet the wall inside its range");
      }
    }
    if (!met) throw ProcessError("the wall unit process did not converge");
    Point next;
    next.x = x;
    next.y = wall.Y(x);
    next.theta = wall.Angle(x);
    const CPlusTerm plus = axisymmetric_ ? CPlus(b, tp, mp, yp, next.y, first) : CPlusTerm{0.0, b.theta - b.nu};
    next = StateWithNu(gas_, tolerances_, next, Finite(next.theta - plus.difference + plus.q * next.theta), first ? b.M : p.M);
    if (!first && Agree(p, next, tolerances_)) return next;
    p = next;
    first = false;
  }
  throw ProcessError("the wall unit process did not converge");
}

Point UnitProcesses::OnWallAt(const Point& a, const Point& b, const WallCurve& wall, double x) const {
  const auto reach = [&](double t) { return OnWall(Between(a, b, t), wall).x - x; };
  if (!(a.x <= x && reach(1.0) >= 0.0)) {
    throw ProcessError("the wall point sought does not lie on the piece's C+ lines");
  }
  double lo = 0.0, hi = 1.0;
  for (int step = 0; step < 60; ++step) {
    const double t = 0.5 * (lo + hi);
    (reach(t) < 0.0 ? lo : hi) = t;
  }
  Point p = OnWall(Between(a, b, 0.5 * (lo + hi)), wall);
  if (!(std::fabs(p.x - x) <= 1e-9 * (1.0 + std::fabs(x)))) {
    // The last halving's foot, moved along the wall onto x: the state of the C+ line's
    // end changes by no more than the wall's over the gap.
    p.x = x;
    p.y = wall.Y(x);
    p.theta = wall.Angle(x);
  }
  return p;
}

StreamlineCrossing UnitProcesses::Streamline(const Point& from, const Point& first, double massToFirst,
                                             const std::function<const Point&(int)>& next, int maxPoints) const {
  StreamlineCrossing crossing;
  double wallTheta = from.theta;
  for (int pass = 0; pass < tolerances_.maxCorrections; ++pass) {
    const double slope = std::tan(0.5 * (from.theta + wallTheta));
    Point below = first;
    if (Height(from, slope, below) >= 0.0) throw ProcessError("the wall cuts into the kernel");
    crossing.mass = massToFirst;
    int i = 1;
    for (;; ++i) {
      if (i > maxPoints) throw ProcessError("the wall does not meet its C+ line");
      const Point above = next(i);
      const double ha = Height(from, slope, above);
      if (ha >= 0.0) {
        const double hb = Height(from, slope, below);
        crossing.point = Between(below, above, Divide(hb, hb - ha));
        break;
      }
      crossing.mass += MassAcross(below, above);
      below = above;
    }
    crossing.mass += MassAcross(below, crossing.point);
    crossing.inside = i - 1;
    const bool placed = pass > 0 && std::fabs(crossing.point.theta - wallTheta) <= tolerances_.angle;
    wallTheta = crossing.point.theta;
    if (placed) return crossing;
  }
  throw ProcessError("the wall point did not converge");
}

double UnitProcesses::MassAcross(const Point& a, const Point& b) const {
  if (axisymmetric_) {
    const double fa = a.y / gas_.AreaRatio(a.M), fb = b.y / gas_.AreaRatio(b.M);
    return (b.y - a.y) * (fa * std::cos(a.theta) + fb * std::cos(b.theta)) -
           (b.x - a.x) * (fa * std::sin(a.theta) + fb * std::sin(b.theta));
  }
  const double fa = 1.0 / gas_.AreaRatio(a.M), fb = 1.0 / gas_.AreaRatio(b.M);
  return 0.5 * ((b.y - a.y) * (fa * std::cos(a.theta) + fb * std::cos(b.theta)) -
                (b.x - a.x) * (fa * std::sin(a.theta) + fb * std::sin(b.theta)));
}

}  // namespace moc
