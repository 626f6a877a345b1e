#include "nozzle/net.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace nozzle {
namespace {

std::string Shortest(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string IndexName(double index) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", index);
  std::string name = text;
  name.erase(name.find_last_not_of('0') + 1);
  if (name.back() == '.') name.pop_back();
  return name;
}

int RoundedIndex(double value) {
  const double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
  if (!(rounded >= 0.0 && rounded <= kIndexMax)) {
    throw IndexError("index " + Shortest(rounded) + " out of range 0.." + std::to_string(kIndexMax));
  }
  return static_cast<int>(rounded);
}

std::string RunPlace::Describe() const {
  switch (step) {
    case Step::kGas: return "for the gas";
    case Step::kTetaMax: return "in TetaMax = Nu_f_M(Me) / 2";
    case Step::kDTeta: return "in dTeta = (TetaMax - Teta0) / (N - 1)";
    case Step::kFan: return "in the fan at the throat corner";
    case Step::kFanPoint: return "at fan point " + Shortest(k);
    case Step::kNetPoint: return "at net point (" + Shortest(j) + ", " + Shortest(k) + ")";
    case Step::kFirstWallPoint: return "at the first wall point (column N + 1 = " + Shortest(k) + ")";
    case Step::kWallPoint: return "at wall point " + Shortest(j);
  }
  return {};
}

}  // namespace nozzle
