#include "gas/prandtl_meyer.h"

#include "gas/real_gas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

TEST(Constants, AreFormedFromArctangentAndSquareRoot) {
  EXPECT_EQ(gas::Pi, std::atan(1.0) * 4.0);
  EXPECT_EQ(gas::Pi_180, gas::Pi / 180.0);
  EXPECT_EQ(gas::Sqr6, std::sqrt(6.0));
  EXPECT_NEAR(gas::NuMax, 130.454, 1e-3);  // (sqrt 6 - 1) 90 degrees
}

// Air keeps the window's constants bit for bit; other gases form theirs from gamma.
// nu_max = 90 (sqrt((g+1)/(g-1)) - 1) degrees (Anderson, Modern Compressible Flow,
// 4.14): 90 for a monatomic gas, 208.496 for g = 1.2.
TEST(Gas, AirKeepsTheWindowsConstantsAndOtherGasesFormTheirsFromGamma) {
  const gas::Gas air = gas::Gas::WithGamma(1.4);
  EXPECT_EQ(air.root, gas::Sqr6);
  EXPECT_EQ(air.half, 0.2);
  EXPECT_NE(std::sqrt((1.4 + 1.0) / (1.4 - 1.0)), gas::Sqr6);  // why air is not formed from 1.4
  EXPECT_TRUE(air.IsAir());
  const gas::Gas monatomic = gas::Gas::WithGamma(5.0 / 3.0);
  EXPECT_FALSE(monatomic.IsAir());
  EXPECT_NEAR(monatomic.NuMax(), 90.0, 1e-12);
  EXPECT_NEAR(gas::Gas::WithGamma(1.2).NuMax(), 208.496, 1e-3);
  EXPECT_EQ(gas::Gas::WithGamma(1.2).half, (1.2 - 1.0) / 2.0);
  // nu(2) for g = 5/3: 2 atan(sqrt(3) / 2) - atan(sqrt(3)) = 21.787 degrees.
  EXPECT_NEAR(gas::Nu_f_M(2.0, monatomic), 21.7868, 1e-4);
  EXPECT_NEAR(monatomic.Nu(2.0), 21.7868, 1e-4);
  EXPECT_NEAR(monatomic.MachOfNu(21.7868), 2.0, 1e-5);
  // A named gas of gamma 1.4 is air's perfect gas bit for bit, with its constants beside;
  // the window's air has none.
  const gas::Gas nitrogen = *gas::NamedGas("nitrogen");
  EXPECT_EQ(nitrogen.root, gas::Sqr6);
  EXPECT_EQ(nitrogen.half, 0.2);
  EXPECT_TRUE(nitrogen.HasConstants());
  EXPECT_EQ(nitrogen.R, 296.8);
  EXPECT_FALSE(gas::kAir.HasConstants());
  EXPECT_EQ(gas::NamedGas("co2")->half, (1.289 - 1.0) / 2.0);
  EXPECT_FALSE(gas::NamedGas("xenon"));
}

// Newton's start sqrt(2.5) and the cap of 50 updates serve every gas the command
// line accepts, over every Mach number it accepts (1 to 1e150, 200 a decade).
TEST(MachFromNu, ConvergesForEveryGasOverTheWholeMachRange) {
  for (const double g : {std::nextafter(1.0, 2.0), 1.0 + 1e-7, 1.01, 1.2, 1.3, 1.4, 5.0 / 3.0}) {
    const gas::Gas theGas = gas::Gas::WithGamma(g);
    int worst = 0;
    for (int i = 0; i <= 150 * 200; ++i) {
      const double M = std::pow(10.0, i / 200.0);
      const double nu = gas::Nu_f_M(M, theGas);
      const gas::MachIteration r = gas::IterateMachFromNu(nu, theGas);
      ASSERT_TRUE(r.converged) << "gamma " << g << ", M " << M;
      ASSERT_LT(std::fabs(gas::Nu_f_M(r.M, theGas) - nu) * gas::Pi_180, 1e-5) << "gamma " << g << ", M " << M;
      worst = std::max(worst, r.evaluations);
    }
    EXPECT_LE(worst, 44) << "gamma " << g;
  }
}

// Reference values: NACA Report 1135 (Ames Research Staff, 1953), gamma = 1.4:
// mu(2) = 30 deg, nu(2) = 26.3798 deg, nu(2.4) = 36.7465 deg.
TEST(MachAngle, MatchesArcsineOfInverseMach) {
  EXPECT_NEAR(gas::Mu_f_M(2.0), 30.0, 1e-12);
  EXPECT_NEAR(gas::Mu_f_M(1.0 + 1e-12), 90.0, 1e-3);
  for (const double M : {1.01, 1.5, 2.4, 7.0}) EXPECT_NEAR(gas::Mu_f_M(M), std::asin(1.0 / M) / gas::Pi_180, 1e-12);
}

TEST(MachAngle, FailsBelowMachOneAndAtZero) {
  EXPECT_THROW(gas::Mu_f_M(0.0), gas::ArithmeticError);   // division by zero
  EXPECT_THROW(gas::Mu_f_M(1.0), gas::ArithmeticError);   // a / s with s = 0
  EXPECT_THROW(gas::Mu_f_M(-1.0), gas::ArithmeticError);
  EXPECT_THROW(gas::Mu_f_M(0.5), gas::ArithmeticError);   // square root of a negative number
  EXPECT_THROW(gas::Mu_f_M(NAN), gas::ArithmeticError);
}

TEST(PrandtlMeyer, MatchesTablesAndIsZeroAtMachOne) {
  EXPECT_EQ(gas::Nu_f_M(1.0), 0.0);
  EXPECT_NEAR(gas::Nu_f_M(2.0), 26.3798, 1e-4);
  EXPECT_NEAR(gas::Nu_f_M(2.4), 36.7465, 1e-4);
  EXPECT_NEAR(gas::Nu_f_M(2.4) / 2.0, 18.373, 1e-3);  // TetaMax of the default design
  EXPECT_NEAR(gas::Nu_f_M(1e150), gas::NuMax, 1e-9);
  EXPECT_THROW(gas::Nu_f_M(1e300), gas::ArithmeticError);  // M * M overflows
}

TEST(PrandtlMeyer, FailsBelowMachOne) {
  try {
    gas::Nu_f_M(0.9);
    FAIL() << "no error";
  } catch (const gas::ArithmeticError& e) {
    EXPECT_EQ(std::string(e.what()), "square root of a negative number");
  }
  EXPECT_THROW(gas::Nu_f_M(NAN), gas::ArithmeticError);
}

TEST(MachFromNu, ApproachesOneFromAboveForZeroAfterSevenEvaluations) {
  const gas::MachIteration r = gas::IterateMachFromNu(0.0);
  EXPECT_TRUE(r.converged);
  EXPECT_EQ(r.evaluations, 7);
  EXPECT_GT(r.M, 1.0);
  EXPECT_NEAR(r.M - 1.0, 4e-4, 1e-4);
}

TEST(MachFromNu, ConvergesForTheFirstDefaultWaveAfterFiveEvaluations) {
  const gas::MachIteration r = gas::IterateMachFromNu(0.373);
  EXPECT_EQ(r.evaluations, 5);
  EXPECT_NEAR(r.M, 1.04, 5e-3);
}

TEST(MachFromNu, ReturnsTheStartWhenItsResidualIsAlreadyWithinTolerance) {
  const double start = std::sqrt(2.5);
  const gas::MachIteration r = gas::IterateMachFromNu(gas::Nu_f_M(start) + 1e-4);
  EXPECT_EQ(r.evaluations, 1);
  EXPECT_EQ(r.M, start);
}

TEST(MachFromNu, InverseStopsAtFirstIterateWithinTolerance) {
  const gas::MachIteration r = gas::IterateMachFromNu(gas::Nu_f_M(2.0));
  EXPECT_EQ(r.evaluations, 3);
  EXPECT_LT(r.M, 2.0);
  EXPECT_NEAR(2.0 - r.M, 2e-5, 1e-5);
}

TEST(MachFromNu, ConvergesEverywhereInsideTheDomainWithinNineteenEvaluations) {
  int worstBelow60 = 0;
  int worst = 0;
  for (double nu = 0.0; nu < gas::NuMax; nu += 0.01) {
    const gas::MachIteration r = gas::IterateMachFromNu(nu);
    ASSERT_TRUE(r.converged) << nu;
    ASSERT_GE(r.M, 1.0) << nu;
    ASSERT_LT(std::fabs(gas::Nu_f_M(r.M) - nu) * gas::Pi_180, 1e-5) << nu;
    if (nu <= 60.0) worstBelow60 = std::max(worstBelow60, r.evaluations);
    worst = std::max(worst, r.evaluations);
  }
  EXPECT_LE(worstBelow60, 7);
  EXPECT_LE(worst, 19);
}

// Near Mach 1, nu = b^3 / 3 (1 - 1 / r^2) - b^5 / 5 (1 - 1 / r^4) + ... with
// b = sqrt(M^2 - 1), r^2 = (g + 1) / (g - 1) (the series of the arctangents in Anderson's
// 4.44); at b = 1e-5 both terms are exact to rounding, and the angle (about 1e-14
// degrees) lies below the digits the difference of the two arctangents keeps, so that
// Newton's method on that difference never settles.
TEST(MachFromNu, ExactInverseKeepsItsDigitsNextToMachOne) {
  for (const double g : {1.2, 1.4}) {
    const gas::Gas gas = gas::Gas::WithGamma(g);
    const double q = (g - 1.0) / (g + 1.0), b = 1e-5;
    const double nu = (b * b * b / 3.0 * (1.0 - q) - std::pow(b, 5) / 5.0 * (1.0 - q * q)) / gas::Pi_180;
    const double M = gas::ExactMachFromNu(nu, gas);
    EXPECT_NEAR(M, std::sqrt(1.0 + b * b), 3e-16) << "g = " << g;
  }
}

// The exact inverse refuses an angle at or past nu_max, or below zero, before it
// iterates: each is a fault of the caller, not a Mach number that failed to converge.
TEST(MachFromNu, ExactInverseRefusesAnglesOutsideZeroToTheMaximum) {
  for (const double g : {1.2, 1.4}) {
    const gas::Gas gas = gas::Gas::WithGamma(g);
    for (const double nu : {gas.NuMax(), gas.NuMax() + 1.0, -1e-3}) {
      try {
        gas::ExactMachFromNu(nu, gas);
        ADD_FAILURE() << "nu = " << nu << " accepted for g = " << g;
      } catch (const gas::ArithmeticError& e) {
        EXPECT_EQ(std::string(e.what()), "Prandtl-Meyer angle outside its range") << "nu = " << nu;
      }
    }
  }
}

TEST(MachFromNu, FailsAboveTheMaximumAngleAndBelowZero) {
  try {
    gas::M_f_Nu(131.0);
    FAIL() << "no error";
  } catch (const gas::ArithmeticError& e) {
    EXPECT_NE(std::string(e.what()).find("infinity"), std::string::npos) << e.what();
  }
  try {
    gas::M_f_Nu(-1.0);
    FAIL() << "no error";
  } catch (const gas::ArithmeticError& e) {
    EXPECT_EQ(std::string(e.what()), "square root of a negative number");
  }
  EXPECT_THROW(gas::M_f_Nu(NAN), gas::ArithmeticError);
}

TEST(MachFromNu, ShowsTheNoticeOnceWhenTheStepsRunOutAndReturnsTheLastIterate) {
  std::vector<std::string> shown;
  const auto sink = [&shown](std::string_view text) { shown.emplace_back(text); };
  const double M = gas::M_f_Nu(0.0, sink, 3);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "iterasyon adımda yakınsamadı");
  EXPECT_EQ(M, gas::IterateMachFromNu(0.0, 3).M);
  EXPECT_GT(M, gas::IterateMachFromNu(0.0).M);  // further from 1 than the converged value

  shown.clear();
  gas::M_f_Nu(0.0, sink);
  EXPECT_TRUE(shown.empty());
}

TEST(CheckedArithmetic, NamesEachFailure) {
  const auto message = [](auto operation) {
    try {
      operation();
    } catch (const gas::ArithmeticError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([] { gas::Divide(1.0, 0.0); }), "division by zero");
  EXPECT_EQ(message([] { gas::Divide(1e308, 1e-308); }), "overflow to infinity");
  EXPECT_EQ(message([] { gas::SquareRoot(-1e-300); }), "square root of a negative number");
  EXPECT_EQ(message([] { gas::Finite(NAN); }), "invalid operation (not a number)");
  EXPECT_EQ(gas::SquareRoot(-0.0), -0.0);
}

}  // namespace
