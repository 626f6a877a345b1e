// Text forms of the numbers shown and written.
//
// Every value is first rounded to a number of decimals on its exact binary value,
// halves to even (0.0625 -> 0.062, 0.1875 -> 0.188; 0.0005 lies just above the half
// and gives 0.001), then written in plain decimal notation: a point as decimal
// separator, a 0 before the point of values between -1 and 1, no trailing zeros,
// no point for whole values, never an exponent. A value that rounds to zero is
// written "0", without a minus sign. Precondition: the value is finite.
#pragma once

#include <string>

namespace report {

// The general form of the results list: r(-0.25) = "-0.25", r(3) = "3".
std::string RoundedText(double value, int decimals = 3);

// The number field of the result file: a blank or a minus sign, the absolute value
// in the general form, one blank: " 2.4 ", "-0.746 ", " 0 ".
std::string NumberField(double value, int decimals = 3);

// The shortest text that reads back to the same double ("1.2998876543210001").
std::string ShortestText(double value);

}  // namespace report
