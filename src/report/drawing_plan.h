// The drawing of a design as plain data: what a drawing surface is asked to do,
// in order — clear, set the user coordinate system, draw straight lines.
//
// The computed half above the axis is shown with its mirror image: a point (x, y)
// of the design has the upper image (x, -y) and the lower image (x, y), the surface's
// v axis growing downwards. Extents xMax, yMax are the largest x and y of the wall and
// the characteristic lines (never below 0); with X = 1.1 xMax, Y = 1.1 yMax the
// surface spans (left, top) = (-0.1 X, -Y) to (right, bottom) = (X, Y).
//
// Segments, each drawn as its upper image and at once as its lower image: first the
// wall from the throat corner to the exit lip (black / black), then every piece of
// every characteristic line in the record's order (nozzle/design_record.h), C- lines
// red / blue and C+ lines blue / red. For the planar net of N waves:
//   wall      j = 1..N:                 (j-1, N+1) -> (j, N+1)
//   C- lines  k = 1..N, j = 1..k:       (j-1, k)   -> (j, k)
//   C+ lines  j = 1..N, k = j+1..N+1:   (j, k-1)   -> (j, k)
// 2 N (N + 2) lines in all: 2N black, N(N + 1) red, N(N + 1) blue. Line end points
// are single precision, as the surface takes them.
// A wall corrected for the boundary layer (nozzle::WallCorrection) comes last, green,
// both images, with the label "corrected wall" at the upper image's lip; the extents
// then take it in too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "nozzle/design_record.h"

namespace report {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kPictureBackground{255, 255, 192};  // light yellow

struct Segment {
  float x1, y1, x2, y2;  // user units
  Rgb colour;
};

// A user coordinate system by the values at the four edges of the surface.
struct UserScale {
  double left = 0.0, top = 0.0, right = 1.0, bottom = 1.0;
};

// A text whose end sits at (x, y), user units.
struct Label {
  float x, y;
  std::string text;
  Rgb colour;
};

struct DrawingPlan {
  std::string note;  // report::DesignNote of the design: empty for a planar nozzle in air
  double xMax = 0.0, yMax = 0.0;
  UserScale scale;
  std::vector<Segment> segments;
  std::vector<Label> labels;
};

// Precondition: the design has at least one wave, so xMax > 0.
DrawingPlan MakeDrawingPlan(const nozzle::DesignRecord& design);

// A point in user units placed on a surface of width x height pixels, as the
// surface maps it: u linearly from the left edge (0) to the right edge (width),
// v from the top edge (0) to the bottom edge (height).
struct PixelPoint {
  double x, y;
};
PixelPoint ToPixels(const UserScale& scale, double u, double v, double width, double height);

// The drawing as an SVG image of width x height pixels: the light-yellow surface and
// every segment, in order, as a one-pixel line in its colour, then the labels (10 px
// sans-serif, 3 px above their point); a plan's note as an XML comment after the
// declaration.
std::string DrawingSvg(const DrawingPlan& plan, int width, int height);

}  // namespace report
