#include "report/contour.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(WallContourCsv, ListsEveryWallPointFromTheThroatCornerToTheExitLipAtFullPrecision) {
  const nozzle::DesignResult r = nozzle::Design({2.4, 0.373, 7.0});
  std::istringstream csv(report::WallContourCsv(r));
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "x,y");
  for (int j = 0; j <= 7; ++j) {
    ASSERT_TRUE(std::getline(csv, line)) << "missing wall point " << j;
    const std::size_t comma = line.find(',');
    EXPECT_EQ(std::stod(line.substr(0, comma)), r.net.x(j, 8)) << line;
    EXPECT_EQ(std::stod(line.substr(comma + 1)), r.net.y(j, 8)) << line;
  }
  EXPECT_FALSE(std::getline(csv, line));
  EXPECT_EQ(report::WallContourCsv(r).substr(0, 8), "x,y\n0,1\n");
}

}  // namespace
