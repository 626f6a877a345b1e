#include "report/result_file.h"

#include <gtest/gtest.h>

#include "support/golden.h"

namespace {

using testing_support::SplitLines;

TEST(ResultFile, DefaultDesignMatchesTheGoldenBytes) {
  const std::string text = report::ResultFileText(nozzle::Design({2.4, 0.373, 7.0}));
  testing_support::ExpectMatchesGolden(text, "default_sonuc.txt");
}

TEST(ResultFile, TwoWavesMatchTheGoldenBytes) {
  const std::string text = report::ResultFileText(nozzle::Design({2.4, 0.373, 2.0}));
  testing_support::ExpectMatchesGolden(text, "n2_sonuc.txt");
  const auto lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 19u);
  EXPECT_EQ(lines[9].rfind(" 1  1  1 ", 0), 0u);
  EXPECT_EQ(lines[10].rfind(" 1  2  2 ", 0), 0u);
  EXPECT_EQ(lines[11].rfind(" 2  2  4 ", 0), 0u);
}

TEST(ResultFile, EndsEveryLineWithCarriageReturnAndLineFeed) {
  const std::string text = report::ResultFileText(nozzle::Design({2.4, 0.373, 7.0}));
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  std::size_t lineFeeds = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    ++lineFeeds;
    ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at byte " << i;
  }
  EXPECT_EQ(lineFeeds, 49u);  // 9 + 28 + 5 + 7
  EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
}

TEST(ResultFile, LaysOutTheHeadingsAndTheRowsOfTheDefaultDesign) {
  const auto lines = SplitLines(report::ResultFileText(nozzle::Design({2.4, 0.373, 7.0})));
  EXPECT_EQ(lines[0], " Çıkış Mach sayısı  =  2.4 \r");
  EXPECT_EQ(lines[2], " Çıkan dalga sayısı =  7 \r");
  EXPECT_EQ(lines[4], " TetaMax =  18.373 \r");
  EXPECT_EQ(lines[8], " i  j  k Teta   Nu   M   Mu   K-   K+   x   y\r");
  EXPECT_EQ(lines[9].rfind(" 1  1  1  0  0.746 ", 0), 0u) << lines[9];
  EXPECT_NE(lines[9].find(" 0.746 -0.746 "), std::string::npos) << lines[9];
  EXPECT_EQ(lines[36].rfind(" 7  7  34  0 ", 0), 0u) << lines[36];
  EXPECT_EQ(lines[38], "Duvar koordinatları\r");
  EXPECT_EQ(lines[40], " i    x     y\r");
  EXPECT_EQ(lines[42], " 1  1.298  1.426 \r");
  EXPECT_EQ(lines[48], " 7  8.074  2.399 \r");
}

TEST(ResultFile, NumbersThePointRowsAsTheirPlacesInTheResultsList) {
  const auto lines = SplitLines(report::ResultFileText(nozzle::Design({2.4, 0.373, 7.0})));
  const int expected[] = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20, 22, 23, 24, 25, 27, 28, 29,
                          31, 32, 34};
  for (std::size_t row = 0; row < 28; ++row) {
    std::istringstream fields(lines[9 + row]);
    int i = 0, j = 0, k = 0;
    double teta = 0.0;
    fields >> i >> j >> k >> teta;
    EXPECT_EQ(k, expected[row]) << lines[9 + row];
    if (i == j) {
      EXPECT_EQ(teta, 0.0);
      const std::string axisPoint = std::string(" ").append(std::to_string(k)).append("  0 ");
      EXPECT_NE(lines[9 + row].find(axisPoint), std::string::npos);
    }
  }
}

}  // namespace
