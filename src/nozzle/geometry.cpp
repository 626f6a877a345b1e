#include "nozzle/geometry.h"

#include <cmath>
#include <limits>

#include "gas/prandtl_meyer.h"

namespace nozzle {
namespace {

double TanDegrees(double degrees) { return std::tan(degrees * gas::Pi_180); }

// A coordinate, finite and within the single precision in which it is drawn.
double Coordinate(double value) {
  if (std::fabs(gas::Finite(value)) > std::numeric_limits<float>::max()) {
    throw gas::ArithmeticError("overflow to infinity (single precision of the drawing)");
  }
  return value;
}

// The intersection abscissa of the line through (x1, y1) with slope s1 and the line
// through (x2, y2) with slope s2, numerator formed in exactly this order.
double Intersection(double x1, double y1, double s1, double x2, double y2, double s2) {
  return gas::Divide(gas::Finite(((y1 - y2) + s2 * x2) - s1 * x1), s2 - s1);
}

}  // namespace

void PlaceNet(Net& net, double N, RunPlace& where) {
  const Table& Teta = net.Teta;
  const Table& Mu = net.Mu;
  Table& x = net.x;
  Table& y = net.y;

  CountedLoop(1.0, N, [&](double k) {
    where = {RunPlace::Step::kFanPoint, 0.0, k};
    const int K = Index(k);
    x(0, K) = 0.0;
    y(0, K) = 1.0;
  });

  CountedLoop(1.0, N, [&](double j) {
    CountedLoop(j, N, [&](double k) {
      where = {RunPlace::Step::kNetPoint, j, k};
      const int J = Index(j);
      const int K = Index(k);
      const int Jb = Index(j - 1.0);
      const double SlopeMinus =
          TanDegrees((Teta(Jb, K) + Teta(J, K)) / 2.0 - (Mu(Jb, K) + Mu(J, K)) / 2.0);
      if (k == j) {
        x(J, J) = Coordinate(x(Jb, J) + gas::Divide(y(Jb, J), std::fabs(SlopeMinus)));
        y(J, J) = 0.0;
        return;
      }
      const int Kb = Index(k - 1.0);
      const double SlopePlus =
          TanDegrees((Teta(J, Kb) + Teta(J, K)) / 2.0 + (Mu(J, Kb) + Mu(J, K)) / 2.0);
      x(J, K) = Coordinate(Intersection(x(Jb, K), y(Jb, K), SlopeMinus, x(J, Kb), y(J, Kb), SlopePlus));
      y(J, K) = Coordinate(y(J, Kb) + SlopePlus * (x(J, K) - x(J, Kb)));
    });
  });

  where = {RunPlace::Step::kFirstWallPoint, 0.0, N + 1.0};
  const int W = Index(N + 1.0);
  x(0, W) = 0.0;
  y(0, W) = 1.0;

  CountedLoop(1.0, N, [&](double j) {
    where = {RunPlace::Step::kWallPoint, j, N + 1.0};
    const int J = Index(j);
    const int Jb = Index(j - 1.0);
    const int Last = Index(N);
    const double SlopeWall = TanDegrees((Teta(Jb, Last) + Teta(J, Last)) / 2.0);
    const double SlopeToWall = TanDegrees(Teta(J, Last) + Mu(J, Last));
    x(J, W) = Coordinate(Intersection(x(Jb, W), y(Jb, W), SlopeWall, x(J, Last), y(J, Last), SlopeToWall));
    y(J, W) = Coordinate(y(J, Last) + SlopeToWall * (x(J, W) - x(J, Last)));
  });
}

Extents FindExtents(const Net& net, double N) {
  Extents extents;
  CountedLoop(0.0, N, [&](double j) {
    CountedLoop(0.0, N + 1.0, [&](double k) {
      const int J = Index(j);
      const int K = Index(k);
      if (net.x(J, K) > extents.xMax) extents.xMax = net.x(J, K);
      if (net.y(J, K) > extents.yMax) extents.yMax = net.y(J, K);
    });
  });
  return extents;
}

int FirstNonMonotoneWallPoint(const Net& net, double N) {
  const int W = Index(N + 1.0);
  int first = 0;
  CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    if (first == 0 && !(net.x(J, W) > net.x(J - 1, W) && net.y(J, W) >= net.y(J - 1, W))) first = J;
  });
  return first;
}

}  // namespace nozzle
