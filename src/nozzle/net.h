// The characteristic net record of one design run.
//
// Tables indexed (j, k), both 0..50: j numbers the C+ characteristics (0 = the
// throat corner), k the C- characteristics (the fan's waves, 1..N); (j, k) with
// 1 <= j <= k <= N is where C+ line j crosses C- line k, (j, j) lies on the axis,
// and column k = N + 1 holds the wall. Kminus(k) = Teta + Nu is carried by C- line k,
// Kplus(j) = Teta - Nu by C+ line j. Angles in degrees, coordinates in throat
// half-heights. Every element starts at 0 and reads as 0 until written.
//
// The counters of the run are real numbers (N itself need not be whole); a counter
// used as an index is rounded to the nearest whole number, halves to even, and must
// lie in 0..50, else Index throws IndexError.
#pragma once

#include <array>
#include <stdexcept>
#include <string>

namespace nozzle {

inline constexpr int kIndexMax = 50;

class IndexError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// round-half-even(value), checked against 0..50. The counters of the run are whole
// numbers nearly always, so those take the short way.
int RoundedIndex(double value);
inline int Index(double value) {
  if (value >= 0.0 && value <= kIndexMax) {
    const int whole = static_cast<int>(value);
    if (whole == value) return whole;
  }
  return RoundedIndex(value);
}

// A counted loop as the design run uses them: the bounds are evaluated once, the
// counter runs from `from` by steps of +1 while it does not exceed `to`.
template <class Body>
void CountedLoop(double from, double to, Body body) {
  for (double counter = from; counter <= to; counter += 1.0) body(counter);
}

// The tables are held in place, not on the heap: a run then makes no allocation of
// its own for the record, and the record is released with its owner.
class Table {
 public:
  double& operator()(int j, int k) { return values_[static_cast<std::size_t>(j * (kIndexMax + 1) + k)]; }
  double operator()(int j, int k) const { return values_[static_cast<std::size_t>(j * (kIndexMax + 1) + k)]; }

 private:
  std::array<double, (kIndexMax + 1) * (kIndexMax + 1)> values_{};
};

class Column {
 public:
  double& operator()(int i) { return values_[static_cast<std::size_t>(i)]; }
  double operator()(int i) const { return values_[static_cast<std::size_t>(i)]; }

 private:
  std::array<double, kIndexMax + 1> values_{};
};

// The step of a design run being computed, to name it when an operation fails.
struct RunPlace {
  enum class Step { kGas, kTetaMax, kDTeta, kFan, kFanPoint, kNetPoint, kFirstWallPoint, kWallPoint };
  Step step = Step::kGas;
  double j = 0.0;
  double k = 0.0;
  std::string Describe() const;  // "in dTeta = ...", "at net point (2, 5)", "at wall point 1", ...
};

// A point of a design's flow with its state: the place in throat half-heights (radii
// for a round nozzle), the flow angle, Prandtl-Meyer angle and Mach angle in degrees.
struct FlowPoint {
  double x = 0.0, y = 0.0;
  double Teta = 0.0, Nu = 0.0;
  double M = 1.0, Mu = 90.0;
};

// A wave's or a C+ line's number as text, to 3 decimals without trailing zeros:
// "3", "0.2", "0.059".
std::string IndexName(double index);

struct Net {
  Table Teta, Nu, M, Mu, x, y;
  Column Kminus, Kplus;
};

}  // namespace nozzle
