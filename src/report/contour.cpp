#include "report/contour.h"

#include <array>
#include <charconv>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "report/number_text.h"
#include "report/wall_spline.h"

namespace report {
namespace {

using Point = ContourPoint;

constexpr std::string_view kRevolveNote =
    "Revolve the WALL profile (y the radius) about the AXIS line, the x axis, for the nozzle's inner surface";

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
  wall.reserve(design.convergent.size() + points.size());
  for (const nozzle::FlowPoint& p : design.convergent) wall.push_back({p.x * factor, p.y * factor});
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

// AutoCAD 2000 DXF: every object with its handle (group 5) and owner (330). The fixed
// handles of the tables, the blocks and the dictionaries; the entities' from 100 on.
class Dxf2000 {
 public:
  std::string text;

  void Group(int code, std::string_view value) { report::Group(text, code, value); }
  void Number(int code, double value) { Group(code, ShortestText(value)); }
  void Owned(std::string_view type, std::string_view handle, std::string_view owner) {
    Group(0, type);
    Group(5, handle);
    Group(330, owner);
  }
  void Table(std::string_view name, std::string_view handle, int entries) {
    Group(0, "TABLE");
    Group(2, name);
    Group(5, handle);
    Group(330, "0");
    Group(100, "AcDbSymbolTable");
    Group(70, std::to_string(entries));
  }
  void Record(std::string_view type, std::string_view handle, std::string_view table, std::string_view subclass,
              std::string_view name) {
    Owned(type, handle, table);
    Group(100, "AcDbSymbolTableRecord");
    Group(100, subclass);
    Group(2, name);
    Group(70, "0");
  }
  std::string NextHandle() {
    std::array<char, 16> hex{};
    const auto end = std::to_chars(hex.data(), hex.data() + hex.size(), next_++, 16);
    return std::string(hex.data(), end.ptr);
  }
  void Entity(std::string_view type, std::string_view layer) {
    Owned(type, NextHandle(), "1F");
    Group(100, "AcDbEntity");
    Group(8, layer);
  }
  void Line(std::string_view layer, Point a, Point b) {
    Entity("LINE", layer);
    Group(100, "AcDbLine");
    Number(10, a.x), Number(20, a.y), Group(30, "0");
    Number(11, b.x), Number(21, b.y), Group(31, "0");
  }
  void Spline(const BSpline& s, double ySign) {
    Entity("SPLINE", "WALL");
    Group(100, "AcDbSpline");
    Group(210, "0"), Group(220, "0"), Group(230, "1");
    Group(70, "8");  // planar
    Group(71, std::to_string(s.degree));
    Group(72, std::to_string(s.knots.size()));
    Group(73, std::to_string(s.poles.size()));
    Group(74, "0");
    Group(42, "1e-10"), Group(43, "1e-10");
    for (const double u : s.knots) Number(40, u);
    for (const Point& p : s.poles) Number(10, p.x), Number(20, ySign * p.y), Group(30, "0");
  }
 private:
  unsigned next_ = 0x100;
};

std::string SplineOutlineDxf(const nozzle::DesignRecord& design, const LengthScale& scale) {
  const WallSplines wall = FitWall(design, scale.factor);
  const bool round = design.IsAxisymmetric();
  Dxf2000 entities;
  for (const double ySign : {1.0, -1.0}) {
    if (ySign < 0.0 && round) break;
    for (const BSpline& piece : wall.pieces) entities.Spline(piece, ySign);
  }
  const Point throat = Evaluate(wall.pieces.front(), 0.0);
  const Point lip = Evaluate(wall.pieces.back(), wall.pieces.back().sites.back());
  const double below = round ? 0.0 : -1.0;
  entities.Line("WALL", {throat.x, below * throat.y}, throat);
  entities.Line("WALL", {lip.x, below * lip.y}, lip);
  entities.Line("AXIS", {0.0, 0.0}, {lip.x, 0.0});

  Dxf2000 d;
  if (const std::string note = DesignNote(design); !note.empty()) d.Group(999, note);
  if (round) d.Group(999, kRevolveNote);
  d.Group(0, "SECTION"), d.Group(2, "HEADER");
  d.Group(9, "$ACADVER"), d.Group(1, "AC1015");
  d.Group(9, "$HANDSEED"), d.Group(5, entities.NextHandle());
  d.Group(9, "$INSUNITS"), d.Group(70, std::to_string(scale.dxfUnits));
  d.Group(0, "ENDSEC");
  d.Group(0, "SECTION"), d.Group(2, "CLASSES"), d.Group(0, "ENDSEC");
  d.Group(0, "SECTION"), d.Group(2, "TABLES");
  d.Table("VPORT", "8", 0), d.Group(0, "ENDTAB");
  d.Table("LTYPE", "5", 3);
  for (const auto& [handle, name] : {std::pair{"14", "ByBlock"}, {"15", "ByLayer"}, {"16", "Continuous"}}) {
    d.Record("LTYPE", handle, "5", "AcDbLinetypeTableRecord", name);
    d.Group(3, std::string_view(name) == "Continuous" ? "Solid line" : "");
    d.Group(72, "65"), d.Group(73, "0"), d.Group(40, "0");
  }
  d.Group(0, "ENDTAB");
  d.Table("LAYER", "2", 3);
  for (const auto& [handle, name, colour] : {std::tuple{"10", "0", "7"}, {"20", "WALL", "7"}, {"21", "AXIS", "1"}}) {
    d.Record("LAYER", handle, "2", "AcDbLayerTableRecord", name);
    d.Group(62, colour), d.Group(6, "Continuous"), d.Group(370, "-3"), d.Group(390, "F");
  }
  d.Group(0, "ENDTAB");
  d.Table("STYLE", "3", 1);
  d.Record("STYLE", "11", "3", "AcDbTextStyleTableRecord", "Standard");
  d.Group(40, "0"), d.Group(41, "1"), d.Group(50, "0"), d.Group(71, "0"), d.Group(42, "2.5"), d.Group(3, "txt"),
      d.Group(4, "");
  d.Group(0, "ENDTAB");
  d.Table("VIEW", "6", 0), d.Group(0, "ENDTAB");
  d.Table("UCS", "7", 0), d.Group(0, "ENDTAB");
  d.Table("APPID", "9", 1);
  d.Record("APPID", "12", "9", "AcDbRegAppTableRecord", "ACAD");
  d.Group(0, "ENDTAB");
  d.Table("DIMSTYLE", "A", 0), d.Group(100, "AcDbDimStyleTable"), d.Group(0, "ENDTAB");
  d.Table("BLOCK_RECORD", "1", 2);
  for (const auto& [handle, name] : {std::pair{"1F", "*Model_Space"}, {"1B", "*Paper_Space"}}) {
    d.Owned("BLOCK_RECORD", handle, "1");
    d.Group(100, "AcDbSymbolTableRecord"), d.Group(100, "AcDbBlockTableRecord"), d.Group(2, name);
  }
  d.Group(0, "ENDTAB");
  d.Group(0, "ENDSEC");
  d.Group(0, "SECTION"), d.Group(2, "BLOCKS");
  for (const auto& [block, end, record, name] :
       {std::tuple{"22", "23", "1F", "*Model_Space"}, {"1C", "1D", "1B", "*Paper_Space"}}) {
    d.Owned("BLOCK", block, record);
    d.Group(100, "AcDbEntity"), d.Group(8, "0"), d.Group(100, "AcDbBlockBegin"), d.Group(2, name), d.Group(70, "0");
    d.Group(10, "0"), d.Group(20, "0"), d.Group(30, "0"), d.Group(3, name), d.Group(1, "");
    d.Owned("ENDBLK", end, record);
    d.Group(100, "AcDbEntity"), d.Group(8, "0"), d.Group(100, "AcDbBlockEnd");
  }
  d.Group(0, "ENDSEC");
  d.Group(0, "SECTION"), d.Group(2, "ENTITIES");
  d.text += entities.text;
  d.Group(0, "ENDSEC");
  d.Group(0, "SECTION"), d.Group(2, "OBJECTS");
  d.Owned("DICTIONARY", "C", "0");
  d.Group(100, "AcDbDictionary"), d.Group(281, "1"), d.Group(3, "ACAD_GROUP"), d.Group(350, "D");
  d.Owned("DICTIONARY", "D", "C");
  d.Group(100, "AcDbDictionary"), d.Group(281, "1");
  d.Group(0, "ENDSEC");
  d.Group(0, "EOF");
  return d.text;
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

std::string NozzleOutlineDxf(const nozzle::DesignRecord& design, const LengthScale& scale, DxfCurve curve) {
  if (curve == DxfCurve::kSpline) return SplineOutlineDxf(design, scale);
  const std::vector<Point> wall = WallPoints(design, scale.factor);
  std::vector<std::string> comments;
  if (const std::string note = DesignNote(design); !note.empty()) comments.push_back(note);
  const bool round = design.IsAxisymmetric();
  if (round) {
    comments.emplace_back(kRevolveNote);
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
