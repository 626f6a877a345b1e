#include "report/step_file.h"

#include <APIHeaderSection_MakeHeader.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <BRep_Builder.hxx>
#include <Geom_BSplineCurve.hxx>
#include <gp_Ax1.hxx>
#include <gp_Ax2.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <STEPControl_Controller.hxx>
#include <STEPControl_Writer.hxx>
#include <StepBasic_Product.hxx>
#include <StepData_StepModel.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TCollection_HAsciiString.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Face.hxx>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <vector>

#include "report/number_text.h"
#include "report/wall_spline.h"

namespace report {
namespace {

// The kernel's curve of a spline, moved up by `lift` (the outer surface).
Handle(Geom_BSplineCurve) KernelCurve(const BSpline& s, double lift) {
  TColgp_Array1OfPnt poles(1, static_cast<int>(s.poles.size()));
  for (std::size_t i = 0; i < s.poles.size(); ++i) {
    poles.SetValue(static_cast<int>(i) + 1, gp_Pnt(s.poles[i].x, s.poles[i].y + lift, 0.0));
  }
  std::vector<double> knots;
  std::vector<int> multiplicities;
  for (const double u : s.knots) {
    if (!knots.empty() && u == knots.back()) {
      ++multiplicities.back();
    } else {
      knots.push_back(u);
      multiplicities.push_back(1);
    }
  }
  TColStd_Array1OfReal k(1, static_cast<int>(knots.size()));
  TColStd_Array1OfInteger m(1, static_cast<int>(knots.size()));
  for (std::size_t i = 0; i < knots.size(); ++i) {
    k.SetValue(static_cast<int>(i) + 1, knots[i]);
    m.SetValue(static_cast<int>(i) + 1, multiplicities[i]);
  }
  return new Geom_BSplineCurve(poles, k, m, s.degree);
}

// The wall's profile between the wall and its radial (upward) offset, as a planar face.
TopoDS_Face Profile(const WallSplines& wall, double thickness) {
  BRepBuilderAPI_MakeWire wire;
  for (const BSpline& piece : wall.pieces) wire.Add(BRepBuilderAPI_MakeEdge(KernelCurve(piece, 0.0)).Edge());
  const ContourPoint first = Evaluate(wall.pieces.front(), wall.pieces.front().sites.front());
  const ContourPoint last = Evaluate(wall.pieces.back(), wall.pieces.back().sites.back());
  wire.Add(BRepBuilderAPI_MakeEdge(gp_Pnt(last.x, last.y, 0), gp_Pnt(last.x, last.y + thickness, 0)).Edge());
  for (auto piece = wall.pieces.rbegin(); piece != wall.pieces.rend(); ++piece) {
    wire.Add(BRepBuilderAPI_MakeEdge(KernelCurve(*piece, thickness)).Edge());
  }
  wire.Add(BRepBuilderAPI_MakeEdge(gp_Pnt(first.x, first.y + thickness, 0), gp_Pnt(first.x, first.y, 0)).Edge());
  if (!wire.IsDone() || !wire.Wire().Closed()) throw StepError("STEP solid: the wall's profile does not close");
  BRepBuilderAPI_MakeFace face(wire.Wire(), true);
  if (!face.IsDone()) throw StepError("STEP solid: the wall's profile is not a plane face");
  if (!BRepCheck_Analyzer(face.Face()).IsValid()) {
    throw StepError("STEP solid: the kernel's checker finds the wall's profile invalid (a wall that turns back on "
                    "itself, or thicker than it can be offset?)");
  }
  return face.Face();
}

TopoDS_Shape Solid(const nozzle::DesignRecord& design, const TopoDS_Face& profile, const SolidOptions& options) {
  if (design.IsAxisymmetric()) {
    BRepPrimAPI_MakeRevol revolved(profile, gp_Ax1(gp_Pnt(0, 0, 0), gp_Dir(1, 0, 0)), 2.0 * M_PI);
    if (!revolved.IsDone()) throw StepError("STEP solid: revolving the wall's profile failed");
    return revolved.Shape();
  }
  gp_Trsf back;
  back.SetTranslation(gp_Vec(0, 0, -0.5 * options.span));
  const TopoDS_Shape start = BRepBuilderAPI_Transform(profile, back, true).Shape();
  BRepPrimAPI_MakePrism upper(start, gp_Vec(0, 0, options.span));
  if (!upper.IsDone()) throw StepError("STEP solid: extruding the wall's profile failed");
  gp_Trsf mirror;
  mirror.SetMirror(gp_Ax2(gp_Pnt(0, 0, 0), gp_Dir(0, 1, 0)));  // y -> -y
  const TopoDS_Shape lower = BRepBuilderAPI_Transform(upper.Shape(), mirror, true).Shape();
  TopoDS_Compound walls;
  BRep_Builder builder;
  builder.MakeCompound(walls);
  builder.Add(walls, upper.Shape());
  builder.Add(walls, lower);
  return walls;
}

std::string KernelUnit(const std::string& unit) {
  if (unit == "in") return "INCH";
  if (unit == "cm") return "CM";
  if (unit == "m") return "M";
  return "MM";
}

std::string WriteStep(const TopoDS_Shape& shape, const std::string& unit, const std::string& note) {
  STEPControl_Controller::Init();
  // The kernel's translation messages are not the program's output.
  Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
  const std::string kernelUnit = KernelUnit(unit);
  Interface_Static::SetCVal("xstep.cascade.unit", kernelUnit.c_str());
  Interface_Static::SetCVal("write.step.unit", kernelUnit.c_str());
  Interface_Static::SetCVal("write.step.schema", "AP214IS");
  STEPControl_Writer writer;
  if (writer.Transfer(shape, STEPControl_AsIs) != IFSelect_RetDone) {
    throw StepError("STEP solid: the kernel could not translate the solid into STEP");
  }
  // The products named for what they are ("nozzle"; a planar nozzle's assembly of its
  // "upper wall" and "lower wall"), not by the kernel's count of the products it has
  // translated, so that the same design gives the same file in any process.
  const Handle(StepData_StepModel) model = writer.Model();
  const char* const names[] = {"nozzle", "upper wall", "lower wall"};
  std::size_t named = 0;
  for (Standard_Integer i = 1; i <= model->NbEntities() && named < std::size(names); ++i) {
    const Handle(StepBasic_Product) product = Handle(StepBasic_Product)::DownCast(model->Value(i));
    if (product.IsNull()) continue;
    product->SetId(new TCollection_HAsciiString(names[named]));
    product->SetName(new TCollection_HAsciiString(names[named]));
    ++named;
  }
  APIHeaderSection_MakeHeader header(model);
  header.SetDescriptionValue(1, new TCollection_HAsciiString(note.c_str()));
  header.SetName(new TCollection_HAsciiString("nozzle"));
  header.SetAuthorValue(1, new TCollection_HAsciiString(""));
  header.SetOrganizationValue(1, new TCollection_HAsciiString(""));
  header.SetOriginatingSystem(new TCollection_HAsciiString("Nozzle Designer"));
  header.SetAuthorisation(new TCollection_HAsciiString(""));
  std::random_device random;
  const std::string name = "nozzle-designer-" + std::to_string(random()) + "-" + std::to_string(random()) + ".step";
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  const IFSelect_ReturnStatus written = writer.Write(path.string().c_str());
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  if (written != IFSelect_RetDone || bytes.empty()) {
    throw StepError("STEP solid: the kernel could not write the STEP text (in " + path.parent_path().string() + ")");
  }
  return bytes;
}

}  // namespace

std::string NozzleStep(const nozzle::DesignRecord& design, const LengthScale& scale, const SolidOptions& options) {
  const WallSplines wall = FitWall(design, scale.factor);
  if (!(wall.pointDistance <= 1e-6 * scale.factor)) {
    throw StepError("STEP solid: the wall's B-spline misses a wall point by " +
                    ShortestText(wall.pointDistance / scale.factor) +
                    " throat half-heights");
  }
  try {
    const TopoDS_Shape solid = Solid(design, Profile(wall, options.wallThickness), options);
    if (!BRepCheck_Analyzer(solid).IsValid()) {
      throw StepError(std::string("STEP solid: the kernel's checker finds the ") +
                      (design.IsAxisymmetric() ? "revolved solid" : "extruded walls") +
                      " invalid (a wall that turns back on itself?)");
    }
    return WriteStep(solid, SolidUnit(scale), SolidNote(design, scale, options));
  } catch (const Standard_Failure& failure) {
    throw StepError(std::string("STEP solid: the kernel failed: ") + failure.GetMessageString());
  }
}

}  // namespace report
