#include "report/results_list.h"

#include <gtest/gtest.h>

#include "support/golden.h"

namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

TEST(ResultsList, DefaultDesignMatchesTheGoldenLines) {
  const auto lines = report::ResultsListLines(nozzle::Design({2.4, 0.373, 7.0}));
  EXPECT_EQ(lines.size(), 51u);  // 2 + 7 + 42
  testing_support::ExpectMatchesGolden(Joined(lines), "default_list.txt");
}

TEST(ResultsList, TwoWavesMatchTheGoldenLines) {
  const auto lines = report::ResultsListLines(nozzle::Design({2.4, 0.373, 2.0}));
  EXPECT_EQ(lines.size(), 11u);  // 2 + 2 + (4 + 3)
  testing_support::ExpectMatchesGolden(Joined(lines), "n2_list.txt");
}

TEST(ResultsList, HasTheLineCountOfEveryWaveCount) {
  for (const double N : {3.0, 13.0, 49.0}) {
    const auto n = static_cast<std::size_t>(N);
    std::size_t expected = 2 + n;
    for (std::size_t j = 1; j <= n; ++j) expected += n - j + 3;
    EXPECT_EQ(report::ResultsListLines(nozzle::Design({2.4, 0.373, N})).size(), expected) << N;
  }
}

TEST(ResultsList, OpensEveryGroupWithAnAxisPointAndClosesItWithTheWallPoint) {
  const auto lines = report::ResultsListLines(nozzle::Design({2.4, 0.373, 7.0}));
  EXPECT_EQ(lines[0], "TetaMax  = 18.373");
  EXPECT_EQ(lines[1], " ");
  EXPECT_EQ(lines[2], "K- = 0.746  K+ = -0.746");
  std::size_t i = 9;
  for (int j = 1; j <= 7; ++j) {
    ASSERT_EQ(lines[i], "") << "group " << j;
    EXPECT_EQ(lines[i + 1].rfind("TETA = 0   Nu = ", 0), 0u) << lines[i + 1];
    i += static_cast<std::size_t>(7 - j + 2);
    EXPECT_EQ(lines[i].rfind("TETA = 0   Nu = 0   M = 0   x = ", 0), 0u) << lines[i];
    ++i;
  }
  EXPECT_EQ(lines.back(), "TETA = 0   Nu = 0   M = 0   x = 8.074   y = 2.399");
}

}  // namespace
