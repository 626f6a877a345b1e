#include "nozzle/inputs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using nozzle::CheckInputs;
using nozzle::DesignInputs;
using nozzle::InputRejection;
using nozzle::InputTexts;
using nozzle::ReadVal;
using nozzle::Val;

TEST(Val, ReadsSignDigitsPointAndExponent) {
  EXPECT_EQ(Val("2.4"), 2.4);
  EXPECT_EQ(Val("-0.373"), -0.373);
  EXPECT_EQ(Val("+7"), 7.0);
  EXPECT_EQ(Val(".5"), 0.5);
  EXPECT_EQ(Val("5."), 5.0);
  EXPECT_EQ(Val("1.5E3"), 1500.0);
  EXPECT_EQ(Val("1.5e-2"), 0.015);
  EXPECT_EQ(Val("25D-1"), 2.5);
}

TEST(Val, IgnoresBlanksTabsAndLineFeedsAnywhere) {
  EXPECT_EQ(Val("  2 . 4 "), 2.4);
  EXPECT_EQ(Val("\t7\n"), 7.0);
  EXPECT_EQ(Val("1 2"), 12.0);
  EXPECT_EQ(Val("- 3"), -3.0);
}

TEST(Val, StopsAtTheFirstCharacterThatCannotContinueTheNumber) {
  EXPECT_EQ(Val("2,4"), 2.0);
  EXPECT_EQ(ReadVal("2,4").rest, ",4");
  EXPECT_EQ(Val("7abc"), 7.0);
  EXPECT_EQ(Val("1.2.3"), 1.2);
  EXPECT_EQ(ReadVal("1e").rest, "e");  // an exponent without digits is not part of the number
  EXPECT_EQ(Val("1e"), 1.0);
}

TEST(Val, ReadsHexadecimalAndOctalWholeNumbers) {
  EXPECT_EQ(Val("&H1F"), 31.0);
  EXPECT_EQ(Val("&hff"), 255.0);
  EXPECT_EQ(Val("&O17"), 15.0);
  EXPECT_EQ(Val("&Ha"), 10.0);
  EXPECT_EQ(Val("&hFf"), 255.0);
  EXPECT_EQ(Val("&o7"), 7.0);
  EXPECT_EQ(Val("&o8"), 0.0);
  EXPECT_FALSE(ReadVal("&H").found);
  EXPECT_EQ(ReadVal("&O78").rest, "8");
}

TEST(Val, GivesZeroWhenTheTextDoesNotBeginWithANumber) {
  for (const char* text : {"", "abc", "-", ".", "e5", "&", "&X1", "+-1"}) {
    const auto reading = ReadVal(text);
    EXPECT_FALSE(reading.found) << text;
    EXPECT_EQ(reading.value, 0.0) << text;
  }
}

TEST(Val, GoesToInfinityPastTheDoubleRangeAndToZeroBelowIt) {
  EXPECT_EQ(Val("1e999"), INFINITY);
  EXPECT_EQ(Val("-1e999"), -INFINITY);
  EXPECT_EQ(Val("0.00001e-400"), 0.0);
  EXPECT_EQ(Val("1e99999999999999999999"), INFINITY);
}

DesignInputs Accepted(const InputTexts& texts) {
  const auto checked = CheckInputs(texts);
  if (const auto* rejection = std::get_if<InputRejection>(&checked)) {
    ADD_FAILURE() << "rejected: " << rejection->message;
    return {};
  }
  return std::get<DesignInputs>(checked);
}

std::string Rejection(const InputTexts& texts) {
  const auto checked = CheckInputs(texts);
  if (const auto* rejection = std::get_if<InputRejection>(&checked)) return rejection->message;
  ADD_FAILURE() << "accepted";
  return {};
}

TEST(CheckInputs, AcceptsTheDefaultsAndTheLimits) {
  const DesignInputs d = Accepted({});
  EXPECT_EQ(d.Me, 2.4);
  EXPECT_EQ(d.Teta0, 0.373);
  EXPECT_EQ(d.N, 7.0);
  EXPECT_EQ(Accepted({"2.4", "0", "2"}).N, 2.0);
  EXPECT_EQ(Accepted({"2.4", "0.373", "49"}).N, 49.0);
  EXPECT_EQ(Accepted({"2.4", "0.373", " 7.0e0 "}).N, 7.0);
  EXPECT_EQ(Accepted({"1.0000001", "0", "2"}).Me, 1.0000001);
  EXPECT_EQ(Accepted({"2.4", "18.373", "7"}).Teta0, 18.373);  // TetaMax = 18.3733, cut to 18.373
}

TEST(CheckInputs, RejectsTextsThatHoldNoNumberOrMoreThanANumber) {
  EXPECT_EQ(Rejection({"abc", "0.373", "7"}),
            "Exit Mach number Me = \"abc\": not a number; accepted: a number greater than 1 and not above 1e150.");
  EXPECT_EQ(Rejection({"2,4", "0.373", "7"}),
            "Exit Mach number Me = \"2,4\": not a number (use a point as the decimal separator); "
            "accepted: a number greater than 1 and not above 1e150.");
  EXPECT_EQ(Rejection({"2.4", "0.373", "7 waves"}),
            "Number of waves N = \"7 waves\": not a number; accepted: a whole number from 2 to 49.");
  EXPECT_EQ(Rejection({"2.4", "", "7"}).rfind("First wave angle Teta0 = \"\": not a number", 0), 0u);
}

TEST(CheckInputs, RejectsValuesOutsideTheirRanges) {
  EXPECT_NE(Rejection({"1", "0", "7"}).find("Me = \"1\": out of range"), std::string::npos);
  EXPECT_NE(Rejection({"1e999", "0", "7"}).find("Me = \"1e999\": out of range"), std::string::npos);
  EXPECT_NE(Rejection({"1e151", "0", "7"}).find("Me = \"1e151\": out of range"), std::string::npos);
  EXPECT_EQ(Accepted({"1e150", "0", "7"}).Me, 1e150);
  EXPECT_NE(Rejection({"2.4", "0.373", "1"}).find("N = \"1\": out of range"), std::string::npos);
  EXPECT_NE(Rejection({"2.4", "0.373", "50"}).find("N = \"50\": out of range"), std::string::npos);
  EXPECT_NE(Rejection({"2.4", "0.373", "7.5"}).find("N = \"7.5\": out of range"), std::string::npos);
  EXPECT_NE(Rejection({"2.4", "0.373", "&H32"}).find("N = \"&H32\": out of range"), std::string::npos);
  EXPECT_EQ(Rejection({"2.4", "-0.1", "7"}),
            "First wave angle Teta0 = \"-0.1\": out of range; accepted: a number of degrees from 0 to 18.373 "
            "(TetaMax for Me = 2.4).");
  EXPECT_NE(Rejection({"2.4", "18.374", "7"}).find("out of range"), std::string::npos);
}

TEST(CheckInputs, ReadsTheRatioOfSpecificHeatsAsANumberOrAFractionWithinTheIdealGasRange) {
  EXPECT_EQ(Accepted({}).gamma, 1.4);
  EXPECT_EQ(Accepted({"2.4", "0.373", "7", " 7/5"}).gamma, 1.4);  // the same double as 1.4: air
  EXPECT_EQ(Accepted({"2.4", "0.373", "7", "5/3"}).gamma, 5.0 / 3.0);
  EXPECT_EQ(Accepted({"2.4", "0.373", "7", "1.0001"}).gamma, 1.0001);
  // The upper bound of Teta0 is TetaMax of the gas: nu(2.4) = 45.193 degrees for g = 1.2.
  EXPECT_EQ(Accepted({"2.4", "22.596", "7", "1.2"}).Teta0, 22.596);
  EXPECT_EQ(Rejection({"2.4", "22.597", "7", "1.2"}),
            "First wave angle Teta0 = \"22.597\": out of range; accepted: a number of degrees from 0 to 22.596 "
            "(TetaMax for Me = 2.4, G = 1.2).");
  const std::string accepted =
      "accepted: a number greater than 1 and not above 5/3 (the ideal-gas range; 5/3 may be typed as a fraction).";
  for (const char* outside : {"1", "1.7", "1.6666667", "-5/3", "0"}) {
    EXPECT_EQ(Rejection({"2.4", "0.373", "7", outside}),
              "Ratio of specific heats G = \"" + std::string(outside) + "\": out of range; " + accepted);
  }
  for (const char* bad : {"air", "1,4", "5/", "5/0", "5/3/2", "1.4x"}) {
    EXPECT_NE(Rejection({"2.4", "0.373", "7", bad}).find("G = \"" + std::string(bad) + "\": not a number"),
              std::string::npos)
        << bad;
  }
  // Below G = 1.25 nu can pass 180 degrees: a wall angle of 90 degrees at the corner
  // bounds Me (nu = 180 degrees at M = 4.618 for G = 1.001).
  EXPECT_EQ(Accepted({"4.6", "0", "7", "1.001"}).Me, 4.6);
  EXPECT_EQ(Rejection({"4.7", "0", "7", "1.001"}),
            "Exit Mach number Me = \"4.7\": out of range; accepted: a number greater than 1 whose TetaMax, half the "
            "Prandtl-Meyer angle, lies below 90 degrees: below about 4.618 for G = 1.001.");
  EXPECT_EQ(Accepted({"1e150", "0", "7", "1.26"}).Me, 1e150);
  // Reported with the other faults, and without the gas the bound of Teta0 is not judged.
  EXPECT_EQ(Rejection({"2.4", "40", "60", "2"}),
            "Number of waves N = \"60\": out of range; accepted: a whole number from 2 to 49.\n"
            "Ratio of specific heats G = \"2\": out of range; " + accepted);
}

TEST(CheckInputs, ListsEveryFieldAtFaultInOneMessage) {
  const std::string message = Rejection({"0.5", "x", "60"});
  EXPECT_EQ(message,
            "Exit Mach number Me = \"0.5\": out of range; accepted: a number greater than 1 and not above 1e150.\n"
            "First wave angle Teta0 = \"x\": not a number; accepted: a number of degrees from 0 to TetaMax, half "
            "the Prandtl-Meyer angle of Me.\n"
            "Number of waves N = \"60\": out of range; accepted: a whole number from 2 to 49.");
}

}  // namespace
