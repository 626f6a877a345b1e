#include "report/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace report {

namespace {

constexpr std::array<std::uint64_t, 18> kPowersOfTen = [] {
  std::array<std::uint64_t, 18> powers{};
  std::uint64_t p = 1;
  for (auto& power : powers) {
    power = p;
    p *= 10;
  }
  return powers;
}();

// The integer nearest to a * p, halves to even, for a >= 0 and a * p < 2^52, where
// every candidate and every half in between is a double. The rounded product t is
// within t 2^-53 of the exact one, so it decides wherever it lies clearly off a
// half (a floor one off, next to an integer, is then mended by the same decision).
// Near a half the fma rounds the exact distance to it once, which keeps its sign.
std::uint64_t RoundScaled(double a, double p) {
  const double t = a * p;
  auto n = static_cast<std::uint64_t>(t);  // the floor of t
  const double half = static_cast<double>(n) + 0.5;
  const double margin = t * 0x1p-50 + 0x1p-50;
  const double beyondHalf = t - half;
  if (beyondHalf > margin) return n + 1;
  if (beyondHalf < -margin) return n;
  const double exact = std::fma(a, p, -half);
  return exact > 0.0 || (exact == 0.0 && n % 2 == 1) ? n + 1 : n;
}

// Writes a whole number: the two digits of most values at once, others by the library.
char* WriteWhole(char* out, std::uint64_t whole) {
  if (whole < 10) {
    *out = static_cast<char>('0' + whole);
    return out + 1;
  }
  if (whole < 100) {
    out[0] = static_cast<char>('0' + whole / 10);
    out[1] = static_cast<char>('0' + whole % 10);
    return out + 2;
  }
  return std::to_chars(out, out + 24, whole).ptr;
}

// Writes the general form of n / 10^decimals (n < 2^52) without a sign.
char* WriteScaled(char* out, std::uint64_t n, int decimals) {
  if (decimals == 0) return WriteWhole(out, n);
  if (decimals == 3) {  // the usual case: constant divisors, no loop
    const std::uint64_t fraction = n % 1000;
    out = WriteWhole(out, n / 1000);
    if (fraction == 0) return out;
    out[0] = '.';
    out[1] = static_cast<char>('0' + fraction / 100);
    out[2] = static_cast<char>('0' + fraction / 10 % 10);
    out[3] = static_cast<char>('0' + fraction % 10);
    return out + 2 + (fraction % 100 != 0) + (fraction % 10 != 0);
  }
  const std::uint64_t unit = kPowersOfTen[static_cast<std::size_t>(decimals)];
  std::uint64_t fraction = n % unit;
  out = WriteWhole(out, n / unit);
  if (fraction == 0) return out;
  int digits = decimals;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --digits;
  }
  *out = '.';
  for (int i = digits; i >= 1; --i) {
    out[i] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  return out + digits + 1;
}

// Any magnitude: the library's exact fixed form, trimmed; room for 400 characters.
char* WriteByLibrary(char* out, double value, int decimals) {
  char* end = std::to_chars(out, out + 400, value, std::chars_format::fixed, decimals).ptr;
  if (decimals > 0) {
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
  }
  if (end - out == 2 && out[0] == '-' && out[1] == '0') {
    out[0] = '0';
    return out + 1;
  }
  return end;
}

// Writes the general form, or the number field, into `out`, which has room for 402
// characters, and returns the end.
char* WriteNumber(char* out, double value, int decimals, bool field) {
  const double unit = static_cast<double>(kPowersOfTen[static_cast<std::size_t>(decimals)]);
  const double a = std::fabs(value);
  if (a * unit < 4.0e15) {
    const std::uint64_t n = RoundScaled(a, unit);
    if (value < 0.0 && n != 0) {
      *out++ = '-';
    } else if (field) {
      *out++ = ' ';
    }
    out = WriteScaled(out, n, decimals);
  } else if (!field) {
    out = WriteByLibrary(out, value, decimals);
  } else if (value < 0.0) {
    out = WriteByLibrary(out, value, decimals);
  } else {
    *out = ' ';
    out = WriteByLibrary(out + 1, value, decimals);
  }
  if (field) *out++ = ' ';
  return out;
}

}  // namespace

LineBuffer& LineBuffer::Text(std::string_view text) {
  if (text.size() > chars_.size() - size_) throw std::length_error("a line of text longer than its buffer");
  text.copy(chars_.data() + size_, text.size());
  size_ += text.size();
  return *this;
}

LineBuffer& LineBuffer::Rounded(double value, int decimals) {
  if (chars_.size() - size_ < kMaxNumberLength) throw std::length_error("a line of text longer than its buffer");
  size_ = static_cast<std::size_t>(WriteNumber(chars_.data() + size_, value, decimals, false) - chars_.data());
  return *this;
}

LineBuffer& LineBuffer::Field(double value, int decimals) {
  if (chars_.size() - size_ < kMaxNumberLength) throw std::length_error("a line of text longer than its buffer");
  size_ = static_cast<std::size_t>(WriteNumber(chars_.data() + size_, value, decimals, true) - chars_.data());
  return *this;
}

std::string RoundedText(double value, int decimals) {
  return std::string(LineBuffer().Rounded(value, decimals).View());
}

std::string NumberField(double value, int decimals) {
  return std::string(LineBuffer().Field(value, decimals).View());
}

std::string ShortestText(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace report
