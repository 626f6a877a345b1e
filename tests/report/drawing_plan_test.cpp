#include "report/drawing_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "report/number_text.h"
#include "support/svg_shape.h"
#include "support/temp_folder.h"

namespace {

using report::DrawingPlan;
using report::Segment;

int Count(const DrawingPlan& plan, report::Rgb colour) {
  return static_cast<int>(std::count_if(plan.segments.begin(), plan.segments.end(),
                                        [&](const Segment& s) { return s.colour == colour; }));
}

TEST(DrawingPlan, DefaultDesignHasTheSegmentCountsOfEachColour) {
  const DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(nozzle::Design({2.4, 0.373, 7.0})));
  EXPECT_EQ(plan.segments.size(), 126u);  // 2 N (N + 2)
  EXPECT_EQ(Count(plan, report::kBlack), 14);
  EXPECT_EQ(Count(plan, report::kRed), 56);
  EXPECT_EQ(Count(plan, report::kBlue), 56);

  const DrawingPlan two = report::MakeDrawingPlan(nozzle::RecordOf(nozzle::Design({2.4, 0.373, 2.0})));
  EXPECT_EQ(two.segments.size(), 16u);
  EXPECT_EQ(Count(two, report::kBlack), 4);
  EXPECT_EQ(Count(two, report::kRed), 6);
}

TEST(DrawingPlan, ScalesToTheExitLipWithMargins) {
  const nozzle::DesignResult r = nozzle::Design({2.4, 0.373, 7.0});
  const DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(r));
  EXPECT_EQ(plan.xMax, r.net.x(7, 8));
  EXPECT_EQ(plan.yMax, r.net.y(7, 8));
  EXPECT_NEAR(plan.scale.left, -0.89, 0.005);
  EXPECT_NEAR(plan.scale.right, 8.88, 0.005);
  EXPECT_NEAR(plan.scale.top, -2.64, 0.005);
  EXPECT_NEAR(plan.scale.bottom, 2.64, 0.005);
  EXPECT_EQ(plan.scale.left, -0.1 * (1.1 * plan.xMax));
  const report::PixelPoint throatCorner = report::ToPixels(plan.scale, 0.0, 0.0, 1100.0, 400.0);
  EXPECT_NEAR(throatCorner.x, 100.0, 1e-9);  // the throat section lies at 1/11 of the width
  EXPECT_NEAR(throatCorner.y, 200.0, 1e-9);  // the axis runs across the middle
}

TEST(DrawingPlan, DrawsEachSegmentAsUpperImageThenLowerImageInTableOrder) {
  const nozzle::DesignResult r = nozzle::Design({2.4, 0.373, 7.0});
  const DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(r));
  const Segment& wallUpper = plan.segments[0];
  const Segment& wallLower = plan.segments[1];
  EXPECT_EQ(wallUpper.x1, 0.0f);
  EXPECT_EQ(wallUpper.y1, -1.0f);
  EXPECT_EQ(wallUpper.x2, static_cast<float>(r.net.x(1, 8)));
  EXPECT_EQ(wallUpper.y2, -static_cast<float>(r.net.y(1, 8)));
  EXPECT_EQ(wallLower.y1, 1.0f);
  EXPECT_EQ(wallLower.y2, static_cast<float>(r.net.y(1, 8)));
  // Then C- line 1 from the throat corner to its axis point, red above, blue below.
  EXPECT_EQ(plan.segments[14].colour, report::kRed);
  EXPECT_EQ(plan.segments[15].colour, report::kBlue);
  EXPECT_EQ(plan.segments[14].x1, 0.0f);
  EXPECT_EQ(plan.segments[14].y1, -1.0f);
  EXPECT_EQ(plan.segments[14].y2, 0.0f);
  // The last: C+ line 7 from its axis point to the exit lip, blue above, red below.
  EXPECT_EQ(plan.segments[124].colour, report::kBlue);
  EXPECT_EQ(plan.segments[125].colour, report::kRed);
  EXPECT_EQ(plan.segments[125].x2, static_cast<float>(r.net.x(7, 8)));
}

// On the picture (v downwards) red lines fall from left to right and blue lines rise,
// in both halves.
TEST(DrawingPlan, RedLinesFallAndBlueLinesRiseOnThePicture) {
  const DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(nozzle::Design({2.4, 0.373, 13.0})));
  for (const Segment& s : plan.segments) {
    if (s.colour == report::kBlack) continue;
    ASSERT_GT(s.x2, s.x1);
    if (s.colour == report::kRed) {
      EXPECT_GT(s.y2, s.y1);  // v grows downwards: the line falls
    } else {
      EXPECT_LT(s.y2, s.y1);
    }
  }
}

TEST(DrawingSvg, PaintsTheBackgroundAndEverySegmentInItsColour) {
  const DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(nozzle::Design({2.4, 0.373, 2.0})));
  const std::string svg = report::DrawingSvg(plan, 449, 265);
  EXPECT_NE(svg.find("<rect width=\"449\" height=\"265\" fill=\"rgb(255,255,192)\"/>"), std::string::npos);
  testing_support::TempFolder folder;
  std::ofstream(folder.path() / "n.svg", std::ios::binary) << svg;
  const testing_support::SvgShape shape = testing_support::ReadSvgShape(folder.path() / "n.svg");
  ASSERT_TRUE(shape.parsed) << svg;
  EXPECT_EQ(shape.lines, 16);  // 2 N (N + 2)
  ASSERT_EQ(shape.strokes.size(), plan.segments.size());
  for (std::size_t i = 0; i < plan.segments.size(); ++i) {
    const report::Rgb c = plan.segments[i].colour;
    EXPECT_EQ(shape.strokes[i], "rgb(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," +
                                    std::to_string(c.blue) + ")")
        << "segment " << i;
  }
  // The first wall segment's upper image starts at the throat corner: x = 449/11, v = -1.
  const report::PixelPoint corner = report::ToPixels(plan.scale, 0.0, -1.0, 449, 265);
  EXPECT_NE(svg.find("<line x1=\"" + report::RoundedText(corner.x) + "\" y1=\"" + report::RoundedText(corner.y) + "\""),
            std::string::npos);
  EXPECT_LT(corner.y, 265 / 2.0);
}

}  // namespace
