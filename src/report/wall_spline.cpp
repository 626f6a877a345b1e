#include "report/wall_spline.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace report {
namespace {

constexpr int kMaxDegree = 3;
constexpr int kSamplesPerSpan = 64;

// The knot span of u: knots[span] <= u < knots[span + 1], the last span for the end.
std::size_t FindSpan(const BSpline& s, double u) {
  const std::size_t last = s.knots.size() - static_cast<std::size_t>(s.degree) - 2;  // the last pole
  if (u >= s.knots[last + 1]) return last;
  const auto first = s.knots.begin() + s.degree;
  const auto it = std::upper_bound(first, s.knots.begin() + static_cast<std::ptrdiff_t>(last) + 1, u);
  return static_cast<std::size_t>(it - s.knots.begin()) - 1;
}

// The degree + 1 basis functions that are not zero on the span (Cox-de Boor recursion).
std::array<double, kMaxDegree + 1> Basis(const BSpline& s, std::size_t span, double u) {
  std::array<double, kMaxDegree + 1> n{1.0}, left{}, right{};
  for (int j = 1; j <= s.degree; ++j) {
    left[static_cast<std::size_t>(j)] = u - s.knots[span + 1 - static_cast<std::size_t>(j)];
    right[static_cast<std::size_t>(j)] = s.knots[span + static_cast<std::size_t>(j)] - u;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      const auto ur = static_cast<std::size_t>(r);
      const double temp = n[ur] / (right[ur + 1] + left[static_cast<std::size_t>(j - r)]);
      n[ur] = saved + right[ur + 1] * temp;
      saved = left[static_cast<std::size_t>(j - r)] * temp;
    }
    n[static_cast<std::size_t>(j)] = saved;
  }
  return n;
}

// Solves the banded collocation system A P = Q for the poles, by elimination without
// pivoting (the matrix is totally positive). Row k holds the basis at sites[k].
std::vector<ContourPoint> SolvePoles(const BSpline& s, const std::vector<ContourPoint>& points) {
  const std::size_t m = points.size();
  const auto p = static_cast<std::size_t>(s.degree);
  const std::size_t width = 2 * p + 1;  // columns row - p ... row + p
  std::vector<double> band(m * width, 0.0);
  const auto at = [&](std::size_t row, std::size_t col) -> double& { return band[row * width + col + p - row]; };
  for (std::size_t k = 0; k < m; ++k) {
    const std::size_t span = FindSpan(s, s.sites[k]);
    const auto n = Basis(s, span, s.sites[k]);
    for (std::size_t j = 0; j <= p; ++j) {
      const std::size_t col = span - p + j;
      if (n[j] != 0.0) at(k, col) = n[j];
    }
  }
  std::vector<ContourPoint> q = points;
  for (std::size_t c = 0; c < m; ++c) {
    const double pivot = at(c, c);
    if (!(std::fabs(pivot) > 0.0)) throw std::runtime_error("the wall's B-spline: a singular collocation system");
    for (std::size_t r = c + 1; r < std::min(m, c + p + 1); ++r) {
      const double factor = at(r, c) / pivot;
      if (factor == 0.0) continue;
      for (std::size_t j = c; j < std::min(m, c + p + 1); ++j) at(r, j) -= factor * at(c, j);
      q[r].x -= factor * q[c].x;
      q[r].y -= factor * q[c].y;
    }
  }
  for (std::size_t c = m; c-- > 0;) {
    for (std::size_t j = c + 1; j < std::min(m, c + p + 1); ++j) {
      q[c].x -= at(c, j) * q[j].x;
      q[c].y -= at(c, j) * q[j].y;
    }
    q[c].x /= at(c, c);
    q[c].y /= at(c, c);
  }
  return q;
}

double SegmentDistance(ContourPoint c, ContourPoint a, ContourPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  const double t = length2 > 0.0 ? std::clamp(((c.x - a.x) * dx + (c.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
  return std::hypot(c.x - (a.x + t * dx), c.y - (a.y + t * dy));
}

// The points with repeated neighbours taken once.
std::vector<ContourPoint> Distinct(const std::vector<ContourPoint>& given) {
  std::vector<ContourPoint> points;
  for (const ContourPoint& point : given) {
    if (points.empty() || point.x != points.back().x || point.y != points.back().y) points.push_back(point);
  }
  return points;
}

std::string Scientific(double value) {
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, 1);
  return std::string(buffer.data(), end.ptr);
}

}  // namespace

BSpline InterpolatingSpline(const std::vector<ContourPoint>& given) {
  const std::vector<ContourPoint> points = Distinct(given);
  if (points.size() < 2) throw std::invalid_argument("a B-spline needs two distinct points");
  BSpline s;
  const std::size_t m = points.size();
  s.degree = static_cast<int>(std::min<std::size_t>(kMaxDegree, m - 1));
  s.sites.assign(m, 0.0);
  for (std::size_t k = 1; k < m; ++k) {
    s.sites[k] = s.sites[k - 1] + std::hypot(points[k].x - points[k - 1].x, points[k].y - points[k - 1].y);
  }
  const auto p = static_cast<std::size_t>(s.degree);
  s.knots.assign(p + 1, s.sites.front());
  // Not-a-knot: the inner knots at the sites, leaving out the (p - 1) / 2 next to each end.
  for (std::size_t j = 1; j + p < m; ++j) s.knots.push_back(s.sites[j + (p - 1) / 2]);
  s.knots.insert(s.knots.end(), p + 1, s.sites.back());
  s.poles = SolvePoles(s, points);
  return s;
}

ContourPoint Evaluate(const BSpline& s, double u) {
  const std::size_t span = FindSpan(s, u);
  const auto n = Basis(s, span, u);
  ContourPoint c{0.0, 0.0};
  const auto p = static_cast<std::size_t>(s.degree);
  for (std::size_t j = 0; j <= p; ++j) {
    c.x += n[j] * s.poles[span - p + j].x;
    c.y += n[j] * s.poles[span - p + j].y;
  }
  return c;
}

WallSplines FitWall(const nozzle::DesignRecord& design, double factor) {
  const std::vector<ContourPoint> points = Distinct(WallPoints(design, factor));
  WallSplines fit;
  fit.pieces.push_back(InterpolatingSpline(points));
  const BSpline& s = fit.pieces.back();
  for (std::size_t k = 0; k < points.size(); ++k) {
    const ContourPoint c = Evaluate(s, s.sites[k]);
    fit.pointDistance = std::max(fit.pointDistance, std::hypot(c.x - points[k].x, c.y - points[k].y));
    if (k + 1 == points.size()) continue;
    for (int i = 1; i < kSamplesPerSpan; ++i) {
      const double u = s.sites[k] + (s.sites[k + 1] - s.sites[k]) * i / kSamplesPerSpan;
      fit.polylineDistance = std::max(fit.polylineDistance, SegmentDistance(Evaluate(s, u), points[k], points[k + 1]));
    }
  }
  return fit;
}

std::string SplineSummary(const nozzle::DesignRecord& design) {
  const WallSplines fit = FitWall(design);
  const std::size_t points = fit.pieces.front().sites.size();
  const int degree = fit.pieces.front().degree;
  const std::string unit = design.IsAxisymmetric() ? "throat radii" : "throat half-heights";
  return "Wall B-spline: " + std::to_string(points) + " points, " + std::to_string(fit.pieces.size()) +
         (fit.pieces.size() == 1 ? " piece, " : " pieces, ") +
         (degree == 3 ? "cubic" : degree == 2 ? "quadratic" : "straight") + "\n" +
         "B-spline to the wall points: " + Scientific(fit.pointDistance) +
         ", to the polyline: " + Scientific(fit.polylineDistance) + " (" + unit + ")\n";
}

}  // namespace report
