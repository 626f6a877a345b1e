// The three design inputs as the user types them, read and checked.
//
// Reading is the designer's own lenient rule for typed numbers: blanks, tabs and
// line feeds anywhere in the text are ignored; a number is read from the start
// (optional sign, digits, one "." as decimal point whatever the locale, optional
// exponent E or D with optional sign), or a hexadecimal (&H) or octal (&O) whole
// number, prefix and digits in either case; reading stops at the first character
// that cannot continue it. A text that does not begin
// with a number reads as 0.
//
// Checking comes before anything is computed: a text is rejected when it holds no
// number or when anything follows the number read; the values must satisfy
// 1 < Me <= 1e150, N a whole number from 2 to 49, 1 < G <= 5/3 and
// 0 <= Teta0 <= TetaMax(Me) of that gas.
// (Beyond 1e150, M * M in the Prandtl-Meyer function leaves the double range;
// the angle itself has long reached its limit there.)
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nozzle {

struct ValReading {
  double value = 0.0;       // 0 when no number was found; +-infinity past the double range
  bool found = false;       // a number (at least one digit) was read
  std::string rest;         // the blank-free text after the number
};

ValReading ReadVal(std::string_view text);
double Val(std::string_view text);

// The texts of Text_Me, Text_Teta0 and Text_N, and the gas's ratio of specific
// heats (air unless the command line says otherwise).
struct InputTexts {
  std::string me = "2.4";
  std::string teta0 = "0.373";
  std::string n = "7";
  std::string gamma = "1.4";
};

inline constexpr double kMaxExitMach = 1e150;

struct DesignInputs {
  double Me = 0.0;
  double Teta0 = 0.0;
  double N = 0.0;
  double gamma = 1.4;  // the ratio of specific heats
  // The wall's radius of curvature downstream of the throat, in throat half-heights
  // (radii); 0 is the sharp corner of the window's design (nozzle/rounded_throat.h).
  double throatRadius = 0.0;
  // The conical nozzle's (nozzle/conical.h): the wall's half-angle, degrees, and the
  // exit's area over the throat's.
  double halfAngle = 15.0;
  double areaRatio = 0.0;
  // The ideal nozzle (nozzle/rounded_throat.h) in place of the minimum-length one, and
  // its wall's angle at the inflection point, degrees; 0: halfway through the range
  // its throat and Me admit.
  bool ideal = false;
  double inflectionAngle = 0.0;
  // A given wall (nozzle/given_wall.h): its points (x, y) from the throat section x = 0,
  // in throat half-heights (radii).
  std::vector<std::array<double, 2>> givenWall{};
  // A rounded throat's convergent section (nozzle/convergent.h): the wall's radius of
  // curvature upstream of the throat (0: the throat radius), the inlet area over the
  // throat area, and the straight wall's angle to the axis, degrees.
  double upstreamRadius = 0.0;
  double contraction = 3.0;
  double convergentAngle = 30.0;
};

// One message, one line per field at fault, naming the text typed and the range
// accepted, for example
//   Number of waves N = "7.5": out of range; accepted: a whole number from 2 to 49.
struct InputRejection {
  std::string message;
};

std::variant<DesignInputs, InputRejection> CheckInputs(const InputTexts& texts);

}  // namespace nozzle
