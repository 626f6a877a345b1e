#include "cfd/mach_picture.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "cfd/png_file.h"
#include "report/drawing_plan.h"
#include "report/number_text.h"

namespace cfd {
namespace {

struct Colour {
  double r, g, b;
};

// Blue, cyan, green, yellow, red, linearly between them: s in 0..1.
Colour Scale(double s) {
  static constexpr std::array<Colour, 5> kStops{
      {{0.1, 0.2, 0.8}, {0.0, 0.75, 0.9}, {0.2, 0.8, 0.2}, {0.95, 0.9, 0.1}, {0.85, 0.1, 0.1}}};
  s = std::clamp(s, 0.0, 1.0) * (kStops.size() - 1);
  const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(s), kStops.size() - 2);
  const double t = s - static_cast<double>(i);
  const Colour& a = kStops[i];
  const Colour& b = kStops[i + 1];
  return {a.r + t * (b.r - a.r), a.g + t * (b.g - a.g), a.b + t * (b.b - a.b)};
}

}  // namespace

void WriteMachPicture(const std::filesystem::path& png, const report::DrawingPlan& plan, const CaseFacts& facts,
                      const SolvedFlow& flow) {
  constexpr int kWidth = 1200;
  constexpr int kMargin = 30;
  constexpr int kBar = 110;  // colour bar and its figures
  const double L = facts.flow.length;
  const double H = facts.flow.exitHalfHeight;
  const double unit = (kWidth - 2 * kMargin - kBar) / L;  // pixels per throat half-height
  const int height = static_cast<int>(2.0 * H * unit) + 2 * kMargin;

  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, height), cairo_surface_destroy);
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), cairo_destroy);
  cairo_t* c = cr.get();
  cairo_set_source_rgb(c, 1, 1, 1);
  cairo_paint(c);

  const double axisY = kMargin + H * unit;
  // Mesh points are in metres (blockMesh scale); the design in throat half-heights.
  const double toDesign = 1.0 / facts.metresPerHalfHeight;
  const auto px = [&](double x) { return kMargin + x * unit; };
  const auto py = [&](double y, double side) { return axisY - side * y * unit; };

  const double least = *std::min_element(flow.Ma.begin(), flow.Ma.end());
  const double greatest = *std::max_element(flow.Ma.begin(), flow.Ma.end());
  const double range = std::max(greatest - least, 1e-12);
  const std::size_t nx = static_cast<std::size_t>(flow.nx);
  cairo_set_antialias(c, CAIRO_ANTIALIAS_NONE);
  for (const double side : {1.0, -1.0}) {
    for (std::size_t j = 0; j < static_cast<std::size_t>(flow.ny); ++j) {
      for (std::size_t i = 0; i < nx; ++i) {
        const std::size_t corners[4] = {j * (nx + 1) + i, j * (nx + 1) + i + 1, (j + 1) * (nx + 1) + i + 1,
                                        (j + 1) * (nx + 1) + i};
        cairo_move_to(c, px(flow.pointX[corners[0]] * toDesign), py(flow.pointY[corners[0]] * toDesign, side));
        for (int k = 1; k < 4; ++k) {
          cairo_line_to(c, px(flow.pointX[corners[k]] * toDesign), py(flow.pointY[corners[k]] * toDesign, side));
        }
        cairo_close_path(c);
        const Colour colour = Scale((flow.Ma[j * nx + i] - least) / range);
        cairo_set_source_rgb(c, colour.r, colour.g, colour.b);
        cairo_fill_preserve(c);
        cairo_set_line_width(c, 0.6);
        cairo_stroke(c);  // closes the seams between cells
      }
    }
  }

  cairo_set_antialias(c, CAIRO_ANTIALIAS_DEFAULT);
  for (const report::Segment& s : plan.segments) {
    // The plan's v axis grows downwards: its upper image (x, -y) is above the axis here.
    cairo_move_to(c, px(s.x1), axisY + s.y1 * unit);
    cairo_line_to(c, px(s.x2), axisY + s.y2 * unit);
    const bool wall = s.colour == report::kBlack;
    cairo_set_source_rgba(c, s.colour.red / 255.0, s.colour.green / 255.0, s.colour.blue / 255.0, wall ? 1.0 : 0.45);
    cairo_set_line_width(c, wall ? 2.0 : 0.6);
    cairo_stroke(c);
  }
  cairo_set_source_rgb(c, 0, 0, 0);
  cairo_set_line_width(c, 0.8);
  const double dashes[] = {6.0, 4.0};
  cairo_set_dash(c, dashes, 2, 0.0);
  cairo_move_to(c, px(0.0), axisY);
  cairo_line_to(c, px(L), axisY);
  cairo_stroke(c);
  cairo_set_dash(c, nullptr, 0, 0.0);

  const double barX = kWidth - kBar + 10;
  const double barTop = kMargin, barBottom = height - kMargin;
  for (int k = 0; k < 100; ++k) {
    const double s0 = k / 100.0;
    const Colour colour = Scale(s0);
    cairo_set_source_rgb(c, colour.r, colour.g, colour.b);
    const double y = barBottom - (k + 1) / 100.0 * (barBottom - barTop);
    cairo_rectangle(c, barX, y, 24, (barBottom - barTop) / 100.0 + 1.0);
    cairo_fill(c);
  }
  cairo_select_font_face(c, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(c, 13);
  cairo_set_source_rgb(c, 0, 0, 0);
  for (int k = 0; k <= 4; ++k) {
    const double v = least + range * k / 4.0;
    const double y = barBottom - k / 4.0 * (barBottom - barTop);
    cairo_move_to(c, barX + 30, y + 4);
    cairo_show_text(c, report::RoundedText(v, 3).c_str());
  }
  cairo_move_to(c, barX, barTop - 10);
  cairo_show_text(c, "Mach");
  cairo_move_to(c, kMargin, height - 10.0);
  const std::string caption = std::string(facts.flow.axisymmetric ? "Axisymmetric nozzle (wedge), " : "") +
                              "Mach number, Me = " + report::RoundedText(facts.flow.designMach, 3) + ", " +
                              std::to_string(flow.nx) + " x " + std::to_string(flow.ny) + " cells";
  cairo_show_text(c, caption.c_str());

  SavePng(surface.get(), png);
}

}  // namespace cfd
