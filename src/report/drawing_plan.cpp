#include "report/drawing_plan.h"

#include <algorithm>

#include "nozzle/geometry.h"
#include "report/contour.h"
#include "report/number_text.h"

namespace report {

DrawingPlan MakeDrawingPlan(const nozzle::DesignResult& result) {
  using nozzle::CountedLoop;
  using nozzle::Index;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;

  DrawingPlan plan;
  plan.note = GasNote(result);
  const nozzle::Extents extents = nozzle::FindExtents(net, N);
  plan.xMax = extents.xMax;
  plan.yMax = extents.yMax;
  const double X = 1.1 * plan.xMax;
  const double Y = 1.1 * plan.yMax;
  plan.scale = {-0.1 * X, -Y, X, Y};

  const auto line = [&](int j1, int k1, int j2, int k2, Rgb upper, Rgb lower) {
    const auto x1 = static_cast<float>(net.x(j1, k1));
    const auto y1 = static_cast<float>(net.y(j1, k1));
    const auto x2 = static_cast<float>(net.x(j2, k2));
    const auto y2 = static_cast<float>(net.y(j2, k2));
    plan.segments.push_back({x1, -y1, x2, -y2, upper});
    plan.segments.push_back({x1, y1, x2, y2, lower});
  };
  const int W = Index(N + 1.0);
  CountedLoop(1.0, N, [&](double j) { line(Index(j - 1.0), W, Index(j), W, kBlack, kBlack); });
  CountedLoop(1.0, N, [&](double k) {
    CountedLoop(1.0, k, [&](double j) { line(Index(j - 1.0), Index(k), Index(j), Index(k), kRed, kBlue); });
  });
  CountedLoop(1.0, N, [&](double j) {
    CountedLoop(j + 1.0, N + 1.0, [&](double k) {
      line(Index(j), Index(k - 1.0), Index(j), Index(k), kBlue, kRed);
    });
  });
  return plan;
}

PixelPoint ToPixels(const UserScale& scale, double u, double v, double width, double height) {
  return {(u - scale.left) / (scale.right - scale.left) * width, (v - scale.top) / (scale.bottom - scale.top) * height};
}

std::string DrawingSvg(const DrawingPlan& plan, int width, int height) {
  const auto colour = [](Rgb c) {
    return "rgb(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue) + ")";
  };
  const std::string w = std::to_string(width);
  const std::string h = std::to_string(height);
  const std::string note = plan.note.empty() ? std::string() : "<!-- " + plan.note + " -->\n";
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + note +
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
                    "\" viewBox=\"0 0 " + w + " " + h + "\">\n<rect width=\"" + w + "\" height=\"" + h +
                    "\" fill=\"" + colour(kPictureBackground) + "\"/>\n" +
                    "<g stroke-width=\"1\" stroke-linecap=\"square\" fill=\"none\">\n";
  svg.reserve(svg.size() + plan.segments.size() * 96 + 16);
  struct Stroke {
    Rgb colour;
    std::string closing;  // the end of a line element in this colour
  };
  std::vector<Stroke> strokes;
  LineBuffer line;
  for (const Segment& s : plan.segments) {
    auto stroke = std::find_if(strokes.begin(), strokes.end(), [&s](const Stroke& k) { return k.colour == s.colour; });
    if (stroke == strokes.end()) stroke = strokes.insert(stroke, {s.colour, "\" stroke=\"" + colour(s.colour) + "\"/>\n"});
    const PixelPoint a = ToPixels(plan.scale, s.x1, s.y1, width, height);
    const PixelPoint b = ToPixels(plan.scale, s.x2, s.y2, width, height);
    svg += line.Clear()
               .Text("<line x1=\"")
               .Rounded(a.x)
               .Text("\" y1=\"")
               .Rounded(a.y)
               .Text("\" x2=\"")
               .Rounded(b.x)
               .Text("\" y2=\"")
               .Rounded(b.y)
               .Text(stroke->closing)
               .View();
  }
  svg += "</g>\n</svg>\n";
  return svg;
}

}  // namespace report
