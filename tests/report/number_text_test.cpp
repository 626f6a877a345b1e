#include "report/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

namespace {

using report::NumberField;
using report::RoundedText;

TEST(RoundedText, RoundsTheExactBinaryValueHalvesToEven) {
  EXPECT_EQ(RoundedText(0.0625), "0.062");   // exactly halfway: to the even 2
  EXPECT_EQ(RoundedText(0.1875), "0.188");   // exactly halfway: to the even 8
  EXPECT_EQ(RoundedText(0.0005), "0.001");   // the double lies just above the half
  EXPECT_EQ(RoundedText(1.0005), "1");       // the double lies just below the half
  EXPECT_EQ(RoundedText(18.37326557), "18.373");
  EXPECT_EQ(RoundedText(2.5, 0), "2");
  EXPECT_EQ(RoundedText(3.5, 0), "4");
}

TEST(RoundedText, WritesTheGeneralFormWithPointAndLeadingZero) {
  EXPECT_EQ(RoundedText(0.5), "0.5");
  EXPECT_EQ(RoundedText(-0.25), "-0.25");
  EXPECT_EQ(RoundedText(3.0), "3");
  EXPECT_EQ(RoundedText(0.0), "0");
  EXPECT_EQ(RoundedText(1.2399999), "1.24");
  EXPECT_EQ(RoundedText(1e20), "100000000000000000000");  // never an exponent
  EXPECT_EQ(RoundedText(123456.789), "123456.789");
}

TEST(RoundedText, WritesValuesThatRoundToZeroWithoutMinusSign) {
  EXPECT_EQ(RoundedText(-0.0), "0");
  EXPECT_EQ(RoundedText(-0.0004), "0");
  EXPECT_EQ(RoundedText(-0.4, 0), "0");
  EXPECT_EQ(RoundedText(-0.0006), "-0.001");
}

// The exact fixed form of the C++ library, trimmed as the general form asks.
std::string LibraryRounded(double value, int decimals) {
  char buffer[400];
  std::string text(buffer, std::to_chars(buffer, buffer + 400, value, std::chars_format::fixed, decimals).ptr);
  if (decimals > 0) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

TEST(RoundedText, AgreesWithTheLibrarysExactFixedFormOnHalvesNeighboursAndRandomValues) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> exponent(-12.0, 18.0);
  std::uniform_int_distribution<long long> counter(-5'000'000, 5'000'000);
  for (int i = 0; i < 200'000; ++i) {
    const int decimals = i % 7;
    const double halves = std::ldexp(static_cast<double>(counter(random)), -(i % 12));  // many exact halves
    const double wide = std::pow(10.0, exponent(random)) * (i % 2 ? 1.0 : -1.0);
    for (const double v : {halves, std::nextafter(halves, 0.0), std::nextafter(halves, 1e300), wide}) {
      ASSERT_EQ(RoundedText(v, decimals), LibraryRounded(v, decimals)) << std::hexfloat << v << " " << decimals;
    }
  }
}

TEST(NumberField, HasASignPositionAndATrailingBlank) {
  EXPECT_EQ(NumberField(2.4), " 2.4 ");
  EXPECT_EQ(NumberField(-0.746), "-0.746 ");
  EXPECT_EQ(NumberField(0.0), " 0 ");
  EXPECT_EQ(NumberField(-0.0001), " 0 ");
  EXPECT_EQ(NumberField(3.0004), " 3 ");
  EXPECT_EQ(NumberField(34.0, 0), " 34 ");
}

TEST(ShortestText, ReadsBackToTheSameDouble) {
  EXPECT_EQ(report::ShortestText(0.1), "0.1");
  EXPECT_EQ(report::ShortestText(1.0), "1");
  EXPECT_EQ(std::stod(report::ShortestText(8.0741234567891234)), 8.0741234567891234);
}

}  // namespace
