#include "cfd/convergence_picture.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "cfd/png_file.h"
#include "report/number_text.h"

namespace cfd {
namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 500;
constexpr double kPanel = 500;  // width of a panel's plot area
constexpr double kTop = 50, kBottom = kHeight - 80;
// The meshes' curves, coarse light to fine dark.
constexpr std::array<std::array<double, 3>, 3> kShades{{{0.55, 0.75, 1.0}, {0.2, 0.45, 0.9}, {0.0, 0.1, 0.45}}};

struct Axes {
  double left, xMin, xMax, yMin, yMax;
  double X(double x) const { return left + (x - xMin) / (xMax - xMin) * kPanel; }
  double Y(double y) const { return kBottom - (y - yMin) / (yMax - yMin) * (kBottom - kTop); }
};

// Lower and upper bounds a little beyond the values and Me, never empty.
std::pair<double, double> Range(double low, double high) {
  const double pad = std::max(0.05 * (high - low), 1e-3);
  return {low - pad, high + pad};
}

void Text(cairo_t* c, double x, double y, const std::string& text) {
  cairo_move_to(c, x, y);
  cairo_show_text(c, text.c_str());
}

void Frame(cairo_t* c, const Axes& a, const std::string& title, const std::string& xLabel) {
  cairo_set_source_rgb(c, 0, 0, 0);
  cairo_set_line_width(c, 1.0);
  cairo_rectangle(c, a.left, kTop, kPanel, kBottom - kTop);
  cairo_stroke(c);
  cairo_set_font_size(c, 13);
  for (int k = 0; k <= 4; ++k) {
    const double y = a.yMin + (a.yMax - a.yMin) * k / 4.0;
    Text(c, a.left - 52, a.Y(y) + 4, report::RoundedText(y, 3));
    const double x = a.xMin + (a.xMax - a.xMin) * k / 4.0;
    Text(c, a.X(x) - 12, kBottom + 18, report::RoundedText(x, x >= 100 ? 0 : 2));
  }
  cairo_set_font_size(c, 15);
  Text(c, a.left, kTop - 14, title);
  cairo_set_font_size(c, 13);
  Text(c, a.left + kPanel / 2 - 40, kBottom + 38, xLabel);
}

void Dashed(cairo_t* c, double x0, double y0, double x1, double y1) {
  const double dashes[] = {6.0, 4.0};
  cairo_set_dash(c, dashes, 2, 0.0);
  cairo_set_source_rgb(c, 0.3, 0.3, 0.3);
  cairo_move_to(c, x0, y0);
  cairo_line_to(c, x1, y1);
  cairo_stroke(c);
  cairo_set_dash(c, nullptr, 0, 0.0);
}

void Curve(cairo_t* c, const Axes& a, const std::vector<double>& x, const std::vector<double>& y) {
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (i == 0) {
      cairo_move_to(c, a.X(x[i]), a.Y(y[i]));
    } else {
      cairo_line_to(c, a.X(x[i]), a.Y(y[i]));
    }
  }
  cairo_stroke(c);
}

// A white picture of kWidth x kHeight, its font set.
struct Canvas {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface{
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight), &cairo_surface_destroy};
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context{cairo_create(surface.get()), &cairo_destroy};
  Canvas() {
    cairo_set_source_rgb(context.get(), 1, 1, 1);
    cairo_paint(context.get());
    cairo_select_font_face(context.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  }
};

// The meshes' shades and sizes along the picture's foot.
void MeshLegend(cairo_t* c, const std::array<MeshFigures, 3>& meshes) {
  for (std::size_t m = 0; m < meshes.size(); ++m) {
    cairo_set_source_rgb(c, kShades[m][0], kShades[m][1], kShades[m][2]);
    cairo_rectangle(c, 90 + 200.0 * static_cast<double>(m), kHeight - 18, 14, 4);
    cairo_fill(c);
    cairo_set_source_rgb(c, 0, 0, 0);
    Text(c, 110 + 200.0 * static_cast<double>(m), kHeight - 12,
         std::to_string(meshes[m].nx) + " x " + std::to_string(meshes[m].ny) + " cells");
  }
}

// The net's row and each mesh's beside it, in the panel `a`.
void NetRowCurves(cairo_t* c, const Axes& a, const CheckResult& check, NetRow NetComparison::*row, double unit) {
  cairo_set_line_width(c, 2.0);
  for (std::size_t m = 0; m < check.meshes.size(); ++m) {
    const NetRow& r = (*check.meshes[m].net).*row;
    std::vector<double> at;
    for (const double v : r.at) at.push_back(v / unit);
    cairo_set_source_rgb(c, kShades[m][0], kShades[m][1], kShades[m][2]);
    Curve(c, a, at, r.mesh);
  }
  const NetRow& fine = (*check.meshes.back().net).*row;
  cairo_set_source_rgb(c, 0, 0, 0);
  cairo_set_line_width(c, 1.0);
  std::vector<double> at;
  for (const double v : fine.at) at.push_back(v / unit);
  Curve(c, a, at, fine.net);
  for (std::size_t i = 0; i < at.size(); ++i) {
    cairo_arc(c, a.X(at[i]), a.Y(fine.net[i]), 2.0, 0.0, 2.0 * std::acos(-1.0));
    cairo_fill(c);
  }
}

}  // namespace

void WriteNetPicture(const std::filesystem::path& png, const CheckResult& check, const CaseFacts& facts) {
  const Canvas canvas;
  cairo_t* c = canvas.context.get();
  const auto bounds = [&check](NetRow NetComparison::*row) {
    double atLow = INFINITY, atHigh = -INFINITY, low = INFINITY, high = -INFINITY;
    for (const MeshFigures& m : check.meshes) {
      const NetRow& r = (*m.net).*row;
      for (std::size_t i = 0; i < r.at.size(); ++i) {
        atLow = std::min(atLow, r.at[i]);
        atHigh = std::max(atHigh, r.at[i]);
        low = std::min({low, r.mesh[i], r.net[i]});
        high = std::max({high, r.mesh[i], r.net[i]});
      }
    }
    return std::array<double, 4>{atLow, atHigh, low, high};
  };
  const auto [x0, x1, pLow, pHigh] = bounds(&NetComparison::wall);
  if (std::isfinite(x0)) {
    const auto [pMin, pMax] = Range(pLow, pHigh);
    const Axes wall{80, 0.0, std::max(x1, 1e-3), pMin, pMax};
    Frame(c, wall, "Wall pressure p/p0 beside the characteristics'",
          std::string("x / throat ") + (facts.flow.axisymmetric ? "radius" : "half-height"));
    NetRowCurves(c, wall, check, &NetComparison::wall, 1.0);
  }
  const auto [y0, y1, mLow, mHigh] = bounds(&NetComparison::exit);
  const double left = kWidth - kPanel - 20;
  if (std::isfinite(y0)) {
    const auto [mMin, mMax] = Range(mLow, mHigh);
    const Axes exit{left, 0.0, 1.0, mMin, mMax};
    Frame(c, exit, "Exit Mach number beside the characteristics'", std::string("y / ") + facts.flow.ExitSizeName());
    NetRowCurves(c, exit, check, &NetComparison::exit, facts.flow.exitHalfHeight);
  } else if (facts.flow.net && facts.flow.net->shock) {
    cairo_set_source_rgb(c, 0, 0, 0);
    cairo_set_font_size(c, 15);
    Text(c, left, kTop + 40, "The net stops where a shock forms, at x = " +
                                 report::RoundedText((*facts.flow.net->shock)[0], 3) + ", y = " +
                                 report::RoundedText((*facts.flow.net->shock)[1], 3) + ":");
    Text(c, left, kTop + 62, "it has no exit flow to compare.");
  }
  cairo_set_font_size(c, 13);
  MeshLegend(c, check.meshes);
  cairo_rectangle(c, 690, kHeight - 18, 14, 1);
  cairo_fill(c);
  Text(c, 710, kHeight - 12, "the characteristics; verdict: " + std::string(VerdictName(check.verdict)));
  SavePng(canvas.surface.get(), png);
}

void WriteConvergencePicture(const std::filesystem::path& png, const CheckResult& check, const CaseFacts& facts,
                             const CheckResult* uncorrected) {
  const double Me = facts.flow.designMach;
  const double exitHalfHeight = facts.flow.exitHalfHeight * facts.metresPerHalfHeight;  // in the mesh's unit
  const Canvas canvas;
  cairo_t* c = canvas.context.get();

  double low = Me, high = Me, meanLow = Me, meanHigh = Me, lastIteration = 1.0;
  std::array<std::vector<double>, 3> fractions;
  for (std::size_t m = 0; m < check.meshes.size(); ++m) {
    const MeshFigures& f = check.meshes[m];
    for (const double v : f.profileMa) {
      low = std::min(low, v);
      high = std::max(high, v);
    }
    for (const double y : f.profileY) fractions[m].push_back(y / exitHalfHeight);
    // The mean's swing after the start says little: its scale is set by the last half.
    for (std::size_t i = f.means.size() / 2; i < f.means.size(); ++i) {
      meanLow = std::min(meanLow, f.means[i]);
      meanHigh = std::max(meanHigh, f.means[i]);
    }
    if (!f.meanIterations.empty()) lastIteration = std::max(lastIteration, f.meanIterations.back());
  }
  std::vector<double> uncorrectedFractions;
  if (uncorrected != nullptr) {
    for (const double v : uncorrected->meshes.back().profileMa) {
      low = std::min(low, v);
      high = std::max(high, v);
    }
    for (const double y : uncorrected->meshes.back().profileY) uncorrectedFractions.push_back(y / exitHalfHeight);
  }
  const auto [yMin, yMax] = Range(low, high);
  const Axes profile{80, 0.0, 1.0, yMin, yMax};
  const auto [mMin, mMax] = Range(meanLow, meanHigh);
  const Axes history{kWidth - kPanel - 20, 0.0, lastIteration, mMin, mMax};
  Frame(c, profile, "Exit Mach number across the exit", std::string("y / ") + facts.flow.ExitSizeName());
  Frame(c, history, "Exit mean (mass-flow-weighted) while solving", "iteration");

  Dashed(c, profile.X(0.0), profile.Y(Me), profile.X(1.0), profile.Y(Me));
  Dashed(c, profile.X(check.coreFraction), kTop, profile.X(check.coreFraction), kBottom);
  Dashed(c, history.X(0.0), history.Y(Me), history.X(lastIteration), history.Y(Me));
  cairo_set_source_rgb(c, 0.3, 0.3, 0.3);
  Text(c, profile.X(0.01), profile.Y(Me) - 5, "Me");
  Text(c, profile.X(check.coreFraction) + 4, kTop + 16, "core");

  cairo_set_line_width(c, 2.0);
  for (std::size_t m = 0; m < check.meshes.size(); ++m) {
    const MeshFigures& f = check.meshes[m];
    cairo_set_source_rgb(c, kShades[m][0], kShades[m][1], kShades[m][2]);
    Curve(c, profile, fractions[m], f.profileMa);
    std::vector<double> its, means;
    for (std::size_t i = 0; i < f.means.size(); ++i) {
      its.push_back(f.meanIterations[i]);
      means.push_back(std::clamp(f.means[i], mMin, mMax));
    }
    Curve(c, history, its, means);
  }
  MeshLegend(c, check.meshes);
  if (uncorrected != nullptr) {
    cairo_set_source_rgb(c, 0.95, 0.5, 0.0);
    Curve(c, profile, uncorrectedFractions, uncorrected->meshes.back().profileMa);
    cairo_rectangle(c, 90, kBottom - 16, 14, 4);
    cairo_fill(c);
    cairo_set_source_rgb(c, 0, 0, 0);
    Text(c, 110, kBottom - 10, "uncorrected wall, finest mesh (the others: the corrected wall)");
  }
  cairo_set_source_rgb(c, 0, 0, 0);
  Text(c, kWidth - kPanel - 20, kHeight - 12,
       "Me = " + report::RoundedText(Me, 3) + "; verdict: " + std::string(VerdictName(check.verdict)));
  SavePng(canvas.surface.get(), png);
}

}  // namespace cfd
