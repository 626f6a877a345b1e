// Text forms of the numbers shown and written.
//
// Every value is first rounded to a number of decimals on its exact binary value,
// halves to even (0.0625 -> 0.062, 0.1875 -> 0.188; 0.0005 lies just above the half
// and gives 0.001), then written in plain decimal notation: a point as decimal
// separator, a 0 before the point of values between -1 and 1, no trailing zeros,
// no point for whole values, never an exponent. A value that rounds to zero is
// written "0", without a minus sign. Precondition: the value is finite and
// 0 <= decimals <= 17.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace report {

// The general form of the results list: r(-0.25) = "-0.25", r(3) = "3".
std::string RoundedText(double value, int decimals = 3);

// The number field of the result file: a blank or a minus sign, the absolute value
// in the general form, one blank: " 2.4 ", "-0.746 ", " 0 ".
std::string NumberField(double value, int decimals = 3);

// One line of text built in place: every number is written straight into a fixed
// buffer, which is cleared and reused line after line. A line holds at most
// kMaxNumbers numbers and kMaxLabels bytes of other text; more throws
// std::length_error.
class LineBuffer {
 public:
  static constexpr std::size_t kMaxNumbers = 16;
  static constexpr std::size_t kMaxLabels = 1024;

  LineBuffer& Text(std::string_view text);
  LineBuffer& Rounded(double value, int decimals = 3);      // the general form
  LineBuffer& Field(double value, int decimals = 3);        // the number field
  std::string_view View() const { return {chars_.data(), size_}; }
  LineBuffer& Clear() {
    size_ = 0;
    return *this;
  }

 private:
  static constexpr std::size_t kMaxNumberLength = 400;  // 309 integer digits, sign, point, 17 decimals, blanks
  std::array<char, kMaxNumbers * kMaxNumberLength + kMaxLabels> chars_;
  std::size_t size_ = 0;
};

// The shortest text that reads back to the same double ("1.2998876543210001").
std::string ShortestText(double value);

}  // namespace report
