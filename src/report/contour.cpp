#include "report/contour.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "report/number_text.h"

namespace report {
namespace {

using Point = ContourPoint;

// DXF group code and value, each on its own line.
void Group(std::string& dxf, int code, std::string_view value) {
  dxf.append(std::to_string(code)).append("\n").append(value).append("\n");
}

void Vertex(std::string& dxf, int code, Point p) {
  Group(dxf, code, ShortestText(p.x));
  Group(dxf, code + 10, ShortestText(p.y));
  Group(dxf, code + 20, "0");
}

void Polyline(std::string& dxf, const std::vector<Point>& points, double ySign) {
  Group(dxf, 0, "POLYLINE");
  Group(dxf, 8, "WALL");
  Group(dxf, 66, "1");
  Vertex(dxf, 10, {0.0, 0.0});
  Group(dxf, 70, "0");
  for (const Point& p : points) {
    Group(dxf, 0, "VERTEX");
    Group(dxf, 8, "WALL");
    Vertex(dxf, 10, {p.x, ySign * p.y});
  }
  Group(dxf, 0, "SEQEND");
  Group(dxf, 8, "WALL");
}

void Line(std::string& dxf, std::string_view layer, Point a, Point b) {
  Group(dxf, 0, "LINE");
  Group(dxf, 8, layer);
  Vertex(dxf, 10, a);
  Vertex(dxf, 11, b);
}

void Layer(std::string& dxf, std::string_view name, std::string_view colour) {
  Group(dxf, 0, "LAYER");
  Group(dxf, 2, name);
  Group(dxf, 70, "0");
  Group(dxf, 62, colour);
  Group(dxf, 6, "CONTINUOUS");
}

}  // namespace

std::string DesignNote(const nozzle::DesignRecord& design) {
  std::string note;
  if (design.IsAxisymmetric()) note = "axisymmetric nozzle";
  if (!design.gas.IsAir()) {
    note += (note.empty() ? "" : ", ") + std::string("ratio of specific heats gamma = ") + ShortestText(design.gas.gamma);
  }
  if (design.correction) {
    note += (note.empty() ? "" : ", ") + std::string("wall corrected for the boundary layer (") +
            design.correction->conditions + ", throat " + ShortestText(design.correction->metresPerHalfHeight) + " m)";
  }
  return note.empty() ? note : "Nozzle Designer: " + note;
}

std::vector<ContourPoint> WallPoints(const nozzle::DesignRecord& design, double factor) {
  const std::vector<nozzle::FlowPoint>& points = design.correction ? design.correction->wall : design.wall;
  std::vector<ContourPoint> wall;
  wall.reserve(points.size());
  for (const nozzle::FlowPoint& p : points) wall.push_back({p.x * factor, p.y * factor});
  return wall;
}

std::optional<LengthScale> ReadLengthScale(std::string_view text) {
  LengthScale scale;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, scale.factor);
  if (ec != std::errc() || !std::isfinite(scale.factor) || !(scale.factor > 0.0)) return std::nullopt;
  std::string_view unit(ptr, static_cast<std::size_t>(end - ptr));
  if (!unit.empty() && unit.front() == ' ') unit.remove_prefix(1);
  static constexpr std::array<std::pair<std::string_view, int>, 4> kUnits{
      {{"mm", 4}, {"cm", 5}, {"m", 6}, {"in", 1}}};
  if (unit.empty()) return scale;
  for (const auto& [name, code] : kUnits) {
    if (unit == name) {
      scale.unit = name;
      scale.dxfUnits = code;
      return scale;
    }
  }
  return std::nullopt;
}

double InMetres(const LengthScale& scale) {
  if (scale.unit == "mm") return scale.factor * 1e-3;
  if (scale.unit == "cm") return scale.factor * 1e-2;
  if (scale.unit == "in") return scale.factor * 0.0254;
  return scale.factor;
}

std::string LengthScaleRejection(std::string_view text, const nozzle::Spelling& spelling) {
  return "Throat half-height " + spelling.name(nozzle::Option::kScale) + " = \"" + std::string(text) +
         "\": not a length; accepted: a number greater than 0 with an optional unit mm, cm, m or in "
         "(10mm, 25.4mm, 0.5in, 1).";
}

namespace {

// A whole DXF file: the comments, the header with the unit, the tables of the
// CONTINUOUS line type and the layers WALL and AXIS, and the entities `draw` adds.
template <class Draw>
std::string DxfFile(const std::vector<std::string>& comments, const LengthScale& scale, Draw draw) {
  std::string dxf;
  for (const std::string& comment : comments) Group(dxf, 999, comment);
  Group(dxf, 0, "SECTION");
  Group(dxf, 2, "HEADER");
  Group(dxf, 9, "$ACADVER");
  Group(dxf, 1, "AC1009");
  Group(dxf, 9, "$INSUNITS");
  Group(dxf, 70, std::to_string(scale.dxfUnits));
  Group(dxf, 0, "ENDSEC");

  Group(dxf, 0, "SECTION");
  Group(dxf, 2, "TABLES");
  Group(dxf, 0, "TABLE");
  Group(dxf, 2, "LTYPE");
  Group(dxf, 70, "1");
  Group(dxf, 0, "LTYPE");
  Group(dxf, 2, "CONTINUOUS");
  Group(dxf, 70, "0");
  Group(dxf, 3, "Solid line");
  Group(dxf, 72, "65");
  Group(dxf, 73, "0");
  Group(dxf, 40, "0");
  Group(dxf, 0, "ENDTAB");
  Group(dxf, 0, "TABLE");
  Group(dxf, 2, "LAYER");
  Group(dxf, 70, "2");
  Layer(dxf, "WALL", "7");
  Layer(dxf, "AXIS", "1");
  Group(dxf, 0, "ENDTAB");
  Group(dxf, 0, "ENDSEC");

  Group(dxf, 0, "SECTION");
  Group(dxf, 2, "ENTITIES");
  draw(dxf);
  Group(dxf, 0, "ENDSEC");
  Group(dxf, 0, "EOF");
  return dxf;
}

std::string CsvOf(std::string header, const std::vector<Point>& wall) {
  for (const Point& p : wall) header.append(ShortestText(p.x)).append(",").append(ShortestText(p.y)).append("\n");
  return header;
}

}  // namespace

std::string WallContourCsv(const nozzle::DesignRecord& design, const LengthScale& scale) {
  return CsvOf(design.IsAxisymmetric() ? "x,r\n" : "x,y\n", WallPoints(design, scale.factor));
}

std::string BoundaryLayerCsv(const nozzle::DesignRecord& design) {
  const bool round = design.IsAxisymmetric();
  std::string csv = round ? "x_m,r_inviscid_m,r_corrected_m" : "x_m,y_inviscid_m,y_corrected_m";
  csv += ",Me,delta_star_m,theta_m,H,Cf,Re_theta,state\n";
  if (!design.correction) return csv;
  for (const nozzle::LayerPoint& p : design.correction->layer) {
    for (const double v : {p.x, p.y, p.yCorrected, p.M, p.deltaStar, p.theta, p.H, p.Cf, p.ReTheta}) {
      csv.append(ShortestText(v)).append(",");
    }
    csv.append(p.state).append("\n");
  }
  return csv;
}

std::string NozzleOutlineDxf(const nozzle::DesignRecord& design, const LengthScale& scale) {
  const std::vector<Point> wall = WallPoints(design, scale.factor);
  std::vector<std::string> comments;
  if (const std::string note = DesignNote(design); !note.empty()) comments.push_back(note);
  const bool round = design.IsAxisymmetric();
  if (round) {
    comments.emplace_back(
        "Revolve the WALL profile (y the radius) about the AXIS line, the x axis, for the nozzle's inner surface");
  }
  return DxfFile(comments, scale, [&wall, round](std::string& dxf) {
    const Point throat = wall.front();
    const Point lip = wall.back();
    Polyline(dxf, wall, 1.0);
    if (!round) Polyline(dxf, wall, -1.0);
    // The sections from the axis (round) or from the lower wall (planar) to the upper wall.
    const double below = round ? 0.0 : -1.0;
    Line(dxf, "WALL", {throat.x, below * throat.y}, throat);
    Line(dxf, "WALL", {lip.x, below * lip.y}, lip);
    Line(dxf, "AXIS", {0.0, 0.0}, {lip.x, 0.0});
  });
}

}  // namespace report
