// The wall as a smooth curve for CAD: a B-spline through every wall point.
//
// The curve is the cubic B-spline that interpolates the points at their chord-length
// parameters,
//
//   u_0 = 0,  u_k = u_{k-1} + |P_k - P_{k-1}|,      C(u_k) = P_k,
//
// with de Boor's "not-a-knot" end conditions: the knots are the parameters u_2 ...
// u_{n-2} of the inner points, clamped (four-fold) at u_0 and u_n (de Boor, A Practical
// Guide to Splines, 2001, ch. XIII; Piegl and Tiller, The NURBS Book, 2nd ed., 1997,
// sec. 9.2.1). Interior knots are simple, so the curve is twice continuously
// differentiable: tangent- and curvature-continuous. The basis matrix is totally
// positive and banded, solved by elimination without pivoting. Its error on a smooth
// curve falls as the fourth power of the spacing. Two points give a straight line,
// three a parabola.
//
// A corner of the wall (a sharp throat corner) is an end of a piece: each piece is a
// spline of its own, and pieces meet at the corner point without any condition on
// their tangents. The wall of today's nozzles starts at its corner, so it is one piece
// whose start keeps the wall's angle there.
#pragma once

#include <vector>

#include "nozzle/design_record.h"
#include "report/contour.h"

namespace report {

// A clamped B-spline curve in the plane: knots.size() == poles.size() + degree + 1.
struct BSpline {
  int degree = 3;
  std::vector<double> knots;
  std::vector<ContourPoint> poles;
  std::vector<double> sites;  // the parameters at which it passes through its points
};

// The spline through `points` (at least 2; repeated neighbours are taken once).
BSpline InterpolatingSpline(const std::vector<ContourPoint>& points);

// The point of the curve at parameter u (de Boor's algorithm), u within the knots.
ContourPoint Evaluate(const BSpline& spline, double u);

// The wall of a design (the wall to build, in units of `factor` per throat
// half-height) as splines, and how closely they follow it: the largest distance of a
// curve from the wall points, and from the straight lines between them (sampled at 64
// points a span), in the same units.
struct WallSplines {
  std::vector<BSpline> pieces;
  double pointDistance = 0.0;
  double polylineDistance = 0.0;
};
WallSplines FitWall(const nozzle::DesignRecord& design, double factor = 1.0);

// The summary's lines on the spline of the wall, in throat half-heights (radii):
//   "Wall B-spline: 8 points, 1 piece, cubic"
//   "B-spline to the wall points: 1.1e-16, to the polyline: 0.0021 (throat half-heights)"
std::string SplineSummary(const nozzle::DesignRecord& design);

}  // namespace report
