#include "report/drawing_plan.h"

#include <algorithm>

#include "report/contour.h"
#include "report/number_text.h"

namespace report {

DrawingPlan MakeDrawingPlan(const nozzle::DesignRecord& design) {
  using nozzle::FlowPoint;
  DrawingPlan plan;
  plan.note = DesignNote(design);
  const auto extend = [&plan](const std::vector<FlowPoint>& points) {
    for (const FlowPoint& p : points) {
      plan.xMax = std::max(plan.xMax, p.x);
      plan.yMax = std::max(plan.yMax, p.y);
    }
  };
  extend(design.wall);
  extend(design.convergent);
  if (design.correction) extend(design.correction->wall);
  std::size_t pieces = design.wall.size() + design.convergent.size();
  for (const nozzle::CharacteristicLine& line : design.lines) {
    extend(line.points);
    pieces += line.points.size();
  }
  const double X = 1.1 * plan.xMax;
  const double Y = 1.1 * plan.yMax;
  plan.scale = {-0.1 * X, -Y, X, Y};
  if (!design.convergent.empty()) plan.scale.left = design.convergent.front().x - 0.1 * X;

  plan.segments.reserve(2 * pieces);
  const auto polyline = [&plan](const std::vector<FlowPoint>& points, Rgb upper, Rgb lower) {
    for (std::size_t i = 1; i < points.size(); ++i) {
      const auto x1 = static_cast<float>(points[i - 1].x), y1 = static_cast<float>(points[i - 1].y);
      const auto x2 = static_cast<float>(points[i].x), y2 = static_cast<float>(points[i].y);
      plan.segments.push_back({x1, -y1, x2, -y2, upper});
      plan.segments.push_back({x1, y1, x2, y2, lower});
    }
  };
  if (!design.convergent.empty()) {
    std::vector<FlowPoint> upstream = design.convergent;
    upstream.push_back(design.wall.front());
    polyline(upstream, kBlack, kBlack);
  }
  polyline(design.wall, kBlack, kBlack);
  for (const nozzle::CharacteristicLine& line : design.lines) {
    if (line.IsCMinus()) {
      polyline(line.points, kRed, kBlue);
    } else {
      polyline(line.points, kBlue, kRed);
    }
  }
  if (design.correction) {
    const std::vector<FlowPoint>& corrected = design.correction->wall;
    polyline(corrected, kGreen, kGreen);
    plan.labels.push_back(
        {static_cast<float>(corrected.back().x), static_cast<float>(-corrected.back().y), "corrected wall", kGreen});
  }
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
  svg += "</g>\n";
  for (const Label& label : plan.labels) {
    const PixelPoint at = ToPixels(plan.scale, label.x, label.y, width, height);
    svg += line.Clear()
               .Text("<text x=\"")
               .Rounded(at.x)
               .Text("\" y=\"")
               .Rounded(at.y - 3.0)
               .Text("\" font-family=\"sans-serif\" font-size=\"10\" text-anchor=\"end\" fill=\"")
               .Text(colour(label.colour))
               .Text("\">")
               .Text(label.text)
               .Text("</text>\n")
               .View();
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace report
