// The Python module nozzle_designer: a thin shell over the design record
// (nozzle/design_record.h) and the outputs that read it. Input faults raise
// ValueError with the command line's message; faults of a run raise a subclass of
// nozzle_designer.Error (a RuntimeError) whose message starts with the step.
#include <cmath>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "boundary_layer/layer.h"
#include "pipeline/pipeline.h"
#include "report/number_text.h"
#include "report/step_file.h"
#include "report/summary.h"
#include "report/wall_spline.h"

namespace py = pybind11;

namespace {

using nozzle::CharacteristicLine;
using nozzle::DesignRecord;
using nozzle::FlowPoint;

// The exception classes, created when the module is imported and kept for the life
// of the interpreter.
py::handle designError, writeError, cfdError;

// Python's spelling of an option: the keyword of design() or of the method that takes it.
std::string KeywordOf(nozzle::Option option) {
  switch (option) {
    case nozzle::Option::kCase: return "folder";
    case nozzle::Option::kCfdCells: return "cells";
    case nozzle::Option::kCfdJobs: return "jobs";
    case nozzle::Option::kCfdCore: return "core";
    case nozzle::Option::kCfdTimeout: return "timeout";
    case nozzle::Option::kBoundaryLayerCsv: return "write_boundary_layer_csv";
    default: break;
  }
  std::string name(nozzle::Key(option));
  for (char& c : name) c = c == '-' ? '_' : c;
  return name;
}

const nozzle::Spelling& PythonSpelling() {
  static const nozzle::Spelling spelling{KeywordOf, [](nozzle::Option option, std::string_view value) {
                                           const bool number = !value.empty() && value.find_first_not_of(
                                                                                     "0123456789.") == value.npos;
                                           return KeywordOf(option) + "=" + (number ? "" : "'") + std::string(value) +
                                                  (number ? "" : "'");
                                         }};
  return spelling;
}

// A ValueError of the faults, one line each, when there are any.
void RaiseFaults(const std::vector<std::string>& faults) {
  std::string message;
  for (const std::string& fault : faults) message += (message.empty() ? "" : "\n") + fault;
  if (!message.empty()) throw py::value_error(message);
}

[[noreturn]] void Raise(py::handle type, const std::string& message) {
  PyErr_SetString(type.ptr(), message.c_str());
  throw py::error_already_set();
}

// A design input as the command line would have it typed: a text as it is, a whole
// number in its digits, a real number in its shortest exact text.
std::string InputText(const py::handle& value, const char* name) {
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  if (py::isinstance<py::bool_>(value)) throw py::type_error(std::string(name) + " must be a number or a text");
  if (py::isinstance<py::int_>(value)) return py::str(value).cast<std::string>();
  if (py::isinstance<py::float_>(value) || py::hasattr(value, "__float__")) {
    return report::ShortestText(value.cast<double>());
  }
  throw py::type_error(std::string(name) + " must be a number or a text");
}

report::LengthScale Scale(const py::handle& scale, const std::string& unit) {
  const std::string text = InputText(scale, "scale") + unit;
  const std::optional<report::LengthScale> read = report::ReadLengthScale(text);
  if (!read) throw py::value_error(report::LengthScaleRejection(text, PythonSpelling()));
  return *read;
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
  try {
    report::ReplaceFile(path, bytes);
  } catch (const report::WriteError& error) {
    Raise(writeError, std::string("write: ") + error.what());
  }
}

py::array_t<double> Column(const std::vector<FlowPoint>& points, double FlowPoint::*member) {
  py::array_t<double> column(static_cast<py::ssize_t>(points.size()));
  auto out = column.mutable_unchecked<1>();
  for (std::size_t i = 0; i < points.size(); ++i) out(static_cast<py::ssize_t>(i)) = points[i].*member;
  return column;
}

// A wall or a characteristic line: its points' places and states as arrays.
struct Polyline {
  std::string name;
  std::string family;  // "wall", "C-", "C+", "turning"
  std::vector<FlowPoint> points;
};

const char* FamilyName(CharacteristicLine::Family family) {
  switch (family) {
    case CharacteristicLine::Family::kFanWave: return "C-";
    case CharacteristicLine::Family::kCPlus: return "C+";
    case CharacteristicLine::Family::kTurning: return "turning";
  }
  return "";
}

struct Design {
  DesignRecord record;

  std::string Svg() const {
    return pipeline::DrawingSvg(record);
  }

  py::dict Facts() const {
    const nozzle::DesignFacts& f = record.facts;
    py::dict facts;
    facts["teta_max"] = f.TetaMax;
    facts["largest_wall_angle"] = f.largestWallAngle;
    facts["largest_wall_angle_x"] = f.largestWallAngleX;
    facts["length"] = f.length;
    facts["exit_height"] = f.exitHeight;
    facts["area_ratio"] = f.areaRatio;
    facts["area_deviation_percent"] = f.areaDeviationPercent;
    facts["mass_balance_percent"] = f.massBalancePercent;
    facts["axis_end"] = f.axisEnd;
    if (f.throat.radius > 0.0) {
      facts["throat_radius"] = f.throat.radius;
      facts["discharge_coefficient"] = f.throat.dischargeCoefficient;
      facts["net_mass_flow"] = f.throat.netMass;
      facts["sonic_axis_x"] = f.throat.sonicAxisX;
      facts["sonic_wall_x"] = f.throat.sonicWallX;
      facts["sonic_wall_y"] = f.throat.sonicWallY;
    }
    if (f.throat.inflectionX > 0.0) {
      facts["inflection_angle"] = f.throat.inflectionAngle;
      facts["inflection_x"] = f.throat.inflectionX;
      facts["inflection_y"] = f.throat.inflectionY;
    }
    if (!std::isnan(f.meanExitMach)) facts["mean_exit_mach"] = f.meanExitMach;
    if (const auto& t = f.thrust) {
      facts["thrust_coefficient"] = t->coefficient;
      facts["ideal_thrust_coefficient"] = t->ideal;
      facts["divergence_efficiency"] = t->divergenceEfficiency;
      if (!std::isnan(t->ambient)) {
        facts["ambient_pressure_ratio"] = t->ambient;
        facts["thrust_coefficient_ambient"] = t->coefficientAmbient;
        facts["ideal_thrust_coefficient_ambient"] = t->idealAmbient;
      }
    }
    if (f.shock) {
      facts["shock_x"] = f.shock->x;
      facts["shock_y"] = f.shock->y;
    }
    if (const auto& c = record.correction) {
      facts["re_star"] = c->ReStar;
      facts["turbulent"] = c->turbulent;
      facts["transition_x"] = c->transitionX >= 0.0 ? py::object(py::float_(c->transitionX)) : py::object(py::none());
      facts["exit_delta_star"] = c->exitDeltaStar;
      facts["exit_delta_star_percent"] = c->exitDeltaStarShare;
      facts["corrected_exit_height"] = c->correctedExitHeight;
      facts["uncorrected_exit_mach"] = c->uncorrectedExitMach;
    }
    return facts;
  }

  // The wall's B-spline (report/wall_spline.h) in throat half-heights.
  py::dict WallSpline() const {
    const report::WallSplines fit = report::FitWall(record);
    const report::BSpline& s = fit.pieces.front();
    py::array_t<double> poles({static_cast<py::ssize_t>(s.poles.size()), py::ssize_t{2}});
    auto out = poles.mutable_unchecked<2>();
    for (std::size_t i = 0; i < s.poles.size(); ++i) {
      out(static_cast<py::ssize_t>(i), 0) = s.poles[i].x;
      out(static_cast<py::ssize_t>(i), 1) = s.poles[i].y;
    }
    py::dict spline;
    spline["degree"] = s.degree;
    spline["knots"] = py::array_t<double>(static_cast<py::ssize_t>(s.knots.size()), s.knots.data());
    spline["poles"] = poles;
    spline["sites"] = py::array_t<double>(static_cast<py::ssize_t>(s.sites.size()), s.sites.data());
    spline["point_distance"] = fit.pointDistance;
    spline["polyline_distance"] = fit.polylineDistance;
    return spline;
  }

  // The layer along the wall as numpy arrays, SI units, or None without one.
  py::object BoundaryLayer() const {
    if (!record.correction) return py::none();
    const std::vector<nozzle::LayerPoint>& layer = record.correction->layer;
    py::dict columns;
    const auto column = [&layer](double nozzle::LayerPoint::*member) {
      py::array_t<double> values(static_cast<py::ssize_t>(layer.size()));
      auto out = values.mutable_unchecked<1>();
      for (std::size_t i = 0; i < layer.size(); ++i) out(static_cast<py::ssize_t>(i)) = layer[i].*member;
      return values;
    };
    columns["x"] = column(&nozzle::LayerPoint::x);
    columns["y"] = column(&nozzle::LayerPoint::y);
    columns["y_corrected"] = column(&nozzle::LayerPoint::yCorrected);
    columns["M"] = column(&nozzle::LayerPoint::M);
    columns["delta_star"] = column(&nozzle::LayerPoint::deltaStar);
    columns["theta"] = column(&nozzle::LayerPoint::theta);
    columns["H"] = column(&nozzle::LayerPoint::H);
    columns["Cf"] = column(&nozzle::LayerPoint::Cf);
    columns["Re_theta"] = column(&nozzle::LayerPoint::ReTheta);
    std::vector<std::string> states;
    for (const nozzle::LayerPoint& p : layer) states.push_back(p.state);
    columns["state"] = states;
    return columns;
  }

  cfd::CaseOptions CaseOptions(std::optional<int> given, int jobs, const py::handle& scale,
                               const std::string& unit) const {
    const int cells = given.value_or(cfd::DefaultCellsAlong(record.facts.length));
    RaiseFaults(pipeline::CheckOptionFaults(given, jobs, 0.8, std::nullopt, PythonSpelling()));
    // A corrected wall's viscous case is made for the size it was corrected for.
    double metres = report::InMetres(Scale(scale, unit));
    if (const auto& c = record.correction) {
      if (unit.empty() && metres == 1.0 && !py::isinstance<py::str>(scale)) metres = c->metresPerHalfHeight;
      if (metres != c->metresPerHalfHeight) {
        throw py::value_error("scale: the wall was corrected for a throat of " +
                              report::ShortestText(c->metresPerHalfHeight) + " m; give that size or none");
      }
    }
    return cfd::LadderOptions(cells, jobs, metres);
  }

  // The refusals of the command line, before anything is written.
  static void CheckCaseFolder(const std::filesystem::path& folder, const cfd::CaseOptions& options) {
    const std::vector<std::string> refusals = cfd::CaseRefusals(folder, options, PythonSpelling());
    if (!refusals.empty()) throw py::value_error(refusals.front());
  }

  cfd::CheckRun RunCheck(const std::filesystem::path& folder, const cfd::CaseOptions& options, bool verify,
                         const cfd::RunOptions& run) const {
    const cfd::DesignCase design = cfd::CaseOf(record);
    std::optional<cfd::CheckRun> result;
    std::string failure;
    {
      py::gil_scoped_release release;
      try {
        result = cfd::CheckDesign(design, folder, options, verify, run);
      } catch (const std::runtime_error& error) {  // CaseError, FieldError, report::WriteError
        failure = error.what();
      }
    }
    if (!result) Raise(cfdError, "OpenFOAM check: " + failure);
    if (result->outcome.kind == cfd::RunOutcome::Kind::kInterrupted) {
      PyErr_SetString(PyExc_KeyboardInterrupt, result->outcome.message.c_str());
      throw py::error_already_set();
    }
    if (result->outcome.kind != cfd::RunOutcome::Kind::kFinished) {
      Raise(cfdError, "OpenFOAM check: " + result->outcome.message);
    }
    return *result;
  }
};

constexpr const char* kDesignDoc = R"(Designs a supersonic nozzle by the method of characteristics.

The inputs are those of the command line (nozzle-cli), each a number or a text read
as the command line reads it:
  me            exit Mach number, greater than 1 (None: 2.4)
  n             number of expansion waves, a whole number from 2 to 49
  teta0         angle of the first expansion wave at the throat corner, degrees,
                from 0 to TetaMax (half the Prandtl-Meyer angle of me); None: 0.373
                (a rounded throat has none: 0)
  gamma         ratio of specific heats of the perfect gas, 1 < gamma <= 5/3
                ("5/3" may be given as a text)
  axisymmetric  False: a planar nozzle (lengths in throat half-heights);
                True: a round one (lengths in throat radii, y the radius)
  family        the nozzle family: "minimum-length" (the default), "conical"
                (a rounded throat and a cone, planar a wedge, whose flow is
                analysed: exit_profile, and facts gains mean_exit_mach, or shock_x
                and shock_y where its characteristics cross) or "ideal" (the
                gradual expansion of wind tunnels: a rounded throat, a radial-flow
                region and the wall that cancels its waves; facts gains
                inflection_angle, inflection_x and inflection_y) or "given-wall"
                (the flow through the wall of a file, see wall)
  inflection_angle
                ideal: the wall's largest angle, degrees, within the range the
                throat and me admit (None: halfway through it)
  wall          family "given-wall": the path of the wall's CSV file, x,y from
                the throat section (x = 0, y = 1) in throat half-heights (radii),
                or in the unit of scale; its flow is analysed as a conical
                nozzle's (exit_profile, mean_exit_mach), its throat radius read
                from its first two points unless throat_radius is given
  half_angle    conical: the wall's half-angle, degrees, above 0 up to 45 (None: 15)
  area_ratio    conical: the exit's area over the throat's, above 1 (needed); me
                and teta0 belong to minimum-length and are refused beside it
  throat_radius the wall's radius of curvature downstream of the throat, in throat
                half-heights (radii): 0 or None the sharp corner; a rounded throat
                (1.5 to 100, round 1 to 100) starts the characteristics from the
                transonic flow of the throat, and facts gains throat_radius,
                discharge_coefficient, net_mass_flow, sonic_axis_x, sonic_wall_x and
                sonic_wall_y (its OpenFOAM check is not built yet); it has no fan,
                so no teta0; None: 0, for a conical or ideal nozzle 1.5
  ambient_pressure
                for the thrust: a ratio pa/p0, or with p0 a pressure with its unit
                ("0.5bar"); facts always hold thrust_coefficient (vacuum, over
                p0 A*, from the exit's flow), ideal_thrust_coefficient (one-
                dimensional, vacuum, same exit area) and divergence_efficiency,
                and with it ambient_pressure_ratio, thrust_coefficient_ambient and
                ideal_thrust_coefficient_ambient
  upstream_radius, contraction, convergent_angle
                a rounded throat's convergent section, which write_csv,
                write_dxf, write_svg and write_step begin with: the wall's radius
                of curvature upstream of the throat (None: throat_radius), the
                inlet's area over the throat's (None: 3) and the straight wall's
                angle to the axis, degrees (None: 30)

A nozzle to be built: with p0 and t0 (and the size, scale) the wall is corrected for
its boundary layer, as the command line's options of the same names do:
  gas               "air", "nitrogen", "helium", "argon" or "co2" (brings its gamma),
                    or None: air when gamma is 1.4
  p0                stagnation pressure with a unit, a text: "0.13bar", "13 kPa"
  t0                stagnation temperature, K
  gas_constant, viscosity, prandtl
                    a gas given by its constants instead of by name: R in
                    J/(kg K), Sutherland's law "muRef,TRef,S" (Pa s, K, K) and the
                    Prandtl number, with gamma
  scale             the throat half-height (radius) with a unit, a text: "10mm"
  wall_temperature  "adiabatic" (default) or a temperature in K
  layer             "laminar", "turbulent" or "transition" (default)
The Design then has corrected_wall, boundary_layer and more facts; its CSV, DXF, SVG
and OpenFOAM case take the corrected wall.

Returns a Design: the wall and the characteristic lines with their flow state, the
design's facts and its warnings, and methods that write its files.

Raises ValueError for an input it refuses, with the command line's message in
Python's names (one line a fault), and DesignError (a RuntimeError) when the design
run fails, for example a round nozzle whose Teta0 is above the corner angle the
design needs. An iteration that did not converge and a wall that turns back on itself
are UserWarnings (the wall's also in Design.warnings).

>>> import nozzle_designer
>>> d = nozzle_designer.design(me=2.4, n=49)
>>> round(d.facts["teta_max"], 3)
18.373)";

std::string OptionalText(const py::object& value, const char* name) {
  return value.is_none() ? std::string() : InputText(value, name);
}

// A notice or a warning of the design, as a Python warning.
void Warn(const std::string& text) {
  if (PyErr_WarnEx(PyExc_UserWarning, text.c_str(), 1) != 0) throw py::error_already_set();
}

Design MakeDesign(const py::object& me, const py::object& n, const py::object& teta0, const py::object& gamma,
                  bool axisymmetric, const std::string& family, const py::object& gas, const py::object& p0,
                  const py::object& t0, const py::object& scale, const py::object& wallTemperature,
                  const py::object& layer, const py::object& gasConstant, const py::object& viscosity,
                  const py::object& prandtl, const py::object& throatRadius, const py::object& halfAngle,
                  const py::object& areaRatio, const py::object& inflectionAngle, const py::object& wall,
                  const py::object& upstreamRadius, const py::object& contraction,
                  const py::object& convergentAngle, const py::object& ambientPressure) {
  pipeline::Request request;
  request.family = family;
  request.teta0Given = !teta0.is_none();
  request.meGiven = !me.is_none();
  request.texts = {request.meGiven ? InputText(me, "me") : "2.4", request.teta0Given ? InputText(teta0, "teta0") : "0.373", InputText(n, "n"),
                   "1.4"};
  request.gammaGiven = !gamma.is_none();
  if (request.gammaGiven) request.texts.gamma = InputText(gamma, "gamma");
  request.axisymmetric = axisymmetric;
  if (!scale.is_none()) request.scale = InputText(scale, "scale");
  request.throatRadiusGiven = !throatRadius.is_none();
  if (request.throatRadiusGiven) request.throatRadius = InputText(throatRadius, "throat_radius");
  request.halfAngle = OptionalText(halfAngle, "half_angle");
  request.areaRatio = OptionalText(areaRatio, "area_ratio");
  request.inflectionAngle = OptionalText(inflectionAngle, "inflection_angle");
  request.upstreamRadius = OptionalText(upstreamRadius, "upstream_radius");
  request.contraction = OptionalText(contraction, "contraction");
  request.convergentAngle = OptionalText(convergentAngle, "convergent_angle");
  request.ambientPressure = OptionalText(ambientPressure, "ambient_pressure");
  if (!wall.is_none()) request.wallFile = py::cast<std::string>(py::module_::import("os").attr("fspath")(wall));
  request.physical = {OptionalText(p0, "p0"), OptionalText(t0, "t0"), OptionalText(gas, "gas"),
                      OptionalText(gasConstant, "gas_constant"), OptionalText(viscosity, "viscosity"),
                      OptionalText(prandtl, "prandtl"), OptionalText(wallTemperature, "wall_temperature"),
                      OptionalText(layer, "layer")};
  auto checked = pipeline::Check(request, PythonSpelling());
  if (const auto* faults = std::get_if<std::vector<pipeline::Fault>>(&checked)) {
    std::vector<std::string> texts;
    for (const pipeline::Fault& fault : *faults) texts.push_back(fault.text);
    RaiseFaults(texts);
  }
  std::vector<std::string> notices;
  std::optional<std::variant<pipeline::Designed, std::string>> made;
  try {
    made.emplace(pipeline::Design(std::get<pipeline::Checked>(checked),
                                  [&notices](std::string_view notice) { notices.emplace_back(notice); }, false));
  } catch (const nozzle::RunError& error) {
    Raise(designError, std::string("design: ") + error.what());
  }
  for (const std::string& notice : notices) Warn(notice);
  if (const auto* refusal = std::get_if<std::string>(&*made)) throw py::value_error(*refusal);
  Design design{std::move(std::get<pipeline::Designed>(*made).record)};
  for (const std::string& warning : design.record.warnings) Warn(warning);
  return design;
}

void BindModule(py::module_& m) {
  m.doc() = R"(Nozzle Designer: the divergent wall of a minimum-length supersonic nozzle by the
method of characteristics, planar or round, for a perfect gas, with its contour for
CAD (CSV, DXF), its drawing (SVG) and an OpenFOAM check of the design.

  design(me, n, teta0, gamma, axisymmetric)  ->  Design

Errors: ValueError for an input that is refused; Error (a RuntimeError) and its
subclasses DesignError, WriteError and CfdError for a run that fails.)";

  const py::handle error = py::exception<std::runtime_error>(m, "Error", PyExc_RuntimeError).release();
  error.attr("__doc__") = "A run of the designer failed; the message starts with the step.";
  designError = py::exception<nozzle::RunError>(m, "DesignError", error.ptr()).release();
  designError.attr("__doc__") = "The design run failed (message: \"design: ...\").";
  writeError = py::exception<report::WriteError>(m, "WriteError", error.ptr()).release();
  writeError.attr("__doc__") = "A file could not be written (message: \"write: ...\", naming the file).";
  cfdError = py::exception<cfd::CaseError>(m, "CfdError", error.ptr()).release();
  cfdError.attr("__doc__") = "The OpenFOAM check failed (message: \"OpenFOAM check: ...\").";
}

void BindPolyline(py::module_& m) {
  py::class_<Polyline>(m, "Polyline", "A wall or a characteristic line: its points from one end to the other.")
      .def_readonly("name", &Polyline::name, "\"wall\", \"C- line 3\", \"C+ line 0.2\", \"turning line 2\"")
      .def_readonly("family", &Polyline::family, "\"wall\", \"C-\" (a wave of the fan), \"C+\" or \"turning\"")
      .def_property_readonly("x", [](const Polyline& p) { return Column(p.points, &FlowPoint::x); },
                             "x of each point, throat half-heights (radii), numpy array")
      .def_property_readonly("y", [](const Polyline& p) { return Column(p.points, &FlowPoint::y); },
                             "y of each point (the radius of a round nozzle), numpy array")
      .def_property_readonly("theta", [](const Polyline& p) { return Column(p.points, &FlowPoint::Teta); },
                             "flow angle, degrees, numpy array")
      .def_property_readonly("nu", [](const Polyline& p) { return Column(p.points, &FlowPoint::Nu); },
                             "Prandtl-Meyer angle, degrees, numpy array")
      .def_property_readonly("M", [](const Polyline& p) { return Column(p.points, &FlowPoint::M); },
                             "Mach number, numpy array")
      .def_property_readonly("mu", [](const Polyline& p) { return Column(p.points, &FlowPoint::Mu); },
                             "Mach angle, degrees, numpy array")
      .def("__len__", [](const Polyline& p) { return p.points.size(); })
      .def("__repr__", [](const Polyline& p) {
        return "<Polyline '" + p.name + "', " + std::to_string(p.points.size()) + " points>";
      });
}

// The design's inputs, wall, lines and facts.
void BindFigures(py::class_<Design>& design) {
  design
      .def_property_readonly(
          "kind", [](const Design& d) { return d.record.IsAxisymmetric() ? "axisymmetric" : "planar"; },
          "\"planar\" or \"axisymmetric\"")
      .def_property_readonly(
          "inputs",
          [](const Design& d) {
            py::dict inputs;
            inputs["me"] = d.record.inputs.Me;
            inputs["n"] = static_cast<int>(d.record.inputs.N);
            inputs["teta0"] = d.record.inputs.Teta0;
            inputs["gamma"] = d.record.gas.gamma;
            inputs["axisymmetric"] = d.record.IsAxisymmetric();
            inputs["family"] = d.record.family;
            return inputs;
          },
          "the inputs as read: me, n, teta0, gamma, axisymmetric, family")
      .def_property_readonly("gamma", [](const Design& d) { return d.record.gas.gamma; },
                             "ratio of specific heats of the gas")
      .def_property_readonly(
          "wall", [](const Design& d) { return Polyline{"wall", "wall", d.record.wall}; },
          "the wall from the throat corner to the exit lip, each point with the state of the flow along it "
          "(a Polyline: x, y, theta, nu, M, mu as numpy arrays)")
      .def_property_readonly(
          "convergent", [](const Design& d) { return Polyline{"convergent", "wall", d.record.convergent}; },
          "a rounded throat's convergent section from the inlet to the last point before the throat section "
          "(empty for a sharp throat), which the files begin with; M is the one-dimensional subsonic Mach number "
          "of the area, theta the wall's angle (negative)")
      .def_property_readonly(
          "lines",
          [](const Design& d) {
            std::vector<Polyline> lines;
            for (const CharacteristicLine& line : d.record.lines) {
              lines.push_back({line.name, FamilyName(line.family), line.points});
            }
            return lines;
          },
          "the characteristic lines (Polylines) in drawing order: the fan's C- waves from the corner to the axis, "
          "the C+ lines from the axis to the wall (the last is the exit characteristic), and for a round nozzle "
          "the turning region's C- lines")
      .def_property_readonly("wall_spline", &Design::WallSpline,
                             "the wall to build as the cubic B-spline of the STEP solid and the spline DXF, a dict: "
                             "degree, knots, poles (an n x 2 array), sites (the parameters of the wall points, "
                             "chord length), point_distance and polyline_distance (its largest distance from the "
                             "wall points and from the straight lines between them), in throat half-heights")
      .def_property_readonly("facts", &Design::Facts,
                             "a dict: teta_max (the wall angle at the corner, degrees), largest_wall_angle and "
                             "largest_wall_angle_x, length, exit_height, area_ratio (isentropic A/A* of me), "
                             "area_deviation_percent (of y, or y^2 for a round nozzle, from A/A*), "
                             "mass_balance_percent (the net's own error), axis_end (where the axis reaches me)");
}

// The boundary layer, the warnings and the texts.
void BindLayer(py::class_<Design>& design) {
  design
      .def_property_readonly(
          "corrected_wall",
          [](const Design& d) {
            return d.record.correction ? py::cast(Polyline{"corrected wall", "wall", d.record.correction->wall})
                                       : py::object(py::none());
          },
          "the wall corrected for the boundary layer (a Polyline, throat half-heights), or None")
      .def_property_readonly("boundary_layer", &Design::BoundaryLayer,
                             "the boundary layer along the wall as a dict of numpy arrays in SI units (x, y, "
                             "y_corrected, M, delta_star, theta, H, Cf, Re_theta; state, a list), or None")
      .def(
          "write_boundary_layer_csv",
          [](const Design& d, const std::filesystem::path& path) {
            if (!d.record.correction) throw py::value_error("the design has no boundary layer: give p0, t0 and scale");
            Write(path, report::BoundaryLayerCsv(d.record));
          },
          py::arg("path"), "Writes the boundary layer as nozzle-cli --boundary-layer-csv does.")
      .def_property_readonly(
          "exit_profile",
          [](const Design& d) {
            py::dict profile;
            const auto column = [&](double nozzle::ExitPoint::*member) {
              py::array_t<double> values(static_cast<py::ssize_t>(d.record.exitProfile.size()));
              for (std::size_t i = 0; i < d.record.exitProfile.size(); ++i) {
                values.mutable_at(static_cast<py::ssize_t>(i)) = d.record.exitProfile[i].*member;
              }
              return values;
            };
            profile["y"] = column(&nozzle::ExitPoint::y);
            profile["M"] = column(&nozzle::ExitPoint::M);
            profile["theta"] = column(&nozzle::ExitPoint::Teta);
            profile["p_p0"] = column(&nozzle::ExitPoint::pressure);
            return profile;
          },
          "the flow across the exit plane from the axis to the lip, for a nozzle whose exit is not uniform by "
          "design (conical): y, M, theta (degrees) and p_p0 (static over stagnation pressure) as numpy arrays; "
          "empty for a minimum-length nozzle, and where the net stops at a shock short of the exit")
      .def_property_readonly("warnings", [](const Design& d) { return d.record.warnings; },
                             "the warnings for the user, as the command line prints them: a list of texts")
      .def("summary", [](const Design& d) { return report::SummaryText(d.record); },
           "The summary of the command line's --summary, as a text.")
      .def("svg", &Design::Svg,
           "The drawing of the whole nozzle, mirrored about the axis, as SVG text (the window's 449 x 265 pixels).")
      .def("_repr_svg_", &Design::Svg);
}

// The files of the design for CAD and for the eye.
void BindFiles(py::class_<Design>& design) {
  design
      .def(
          "write_csv",
          [](const Design& d, const std::filesystem::path& path, const py::object& scale, const std::string& unit) {
            Write(path, report::WallContourCsv(d.record, Scale(scale, unit)));
          },
          py::arg("path"), py::arg("scale") = 1.0, py::arg("unit") = "",
          "Writes the wall contour, \"x,y\" (\"x,r\" for a round nozzle), one line per wall point at full "
          "precision, multiplied by the physical throat half-height `scale` (a number, with `unit` one of mm, "
          "cm, m, in, or a text such as \"10mm\"). The file is replaced whole.")
      .def(
          "write_dxf",
          [](const Design& d, const std::filesystem::path& path, const py::object& scale, const std::string& unit,
             const std::string& curve) {
            if (curve != "polyline" && curve != "spline") {
              throw py::value_error("curve = '" + curve + "': unknown; accepted: polyline, spline.");
            }
            Write(path, report::NozzleOutlineDxf(d.record, Scale(scale, unit),
                                                 curve == "spline" ? report::DxfCurve::kSpline
                                                                   : report::DxfCurve::kPolyline));
          },
          py::arg("path"), py::arg("scale") = 1.0, py::arg("unit") = "", py::arg("curve") = "polyline",
          "Writes the outline as AutoCAD R12 DXF, scaled as write_csv and recording the unit: a planar nozzle "
          "whole, a round one as the profile to revolve about the x axis. curve='spline' writes AutoCAD 2000 DXF "
          "with each wall one SPLINE, the cubic B-spline through every wall point, as nozzle-cli --dxf-curve "
          "spline.")
      .def(
          "write_svg",
          [](const Design& d, const std::filesystem::path& path) {
            Write(path, d.Svg());
          },
          py::arg("path"), "Writes the drawing of svg() into a file.");
  if (!pipeline::StepAvailable()) return;  // built without OpenCASCADE: no write_step
  design.def(
      "write_step",
      [](const Design& d, const std::filesystem::path& path, const py::object& scale, const std::string& unit,
         const py::object& wallThickness, const py::object& span) {
        const report::LengthScale length = Scale(scale, unit);
        std::optional<double> thickness, width;
        RaiseFaults(pipeline::SolidFaults(wallThickness.is_none() ? "" : InputText(wallThickness, "wall_thickness"),
                                          span.is_none() ? "" : InputText(span, "span"), d.record.IsAxisymmetric(),
                                          length, thickness, width, PythonSpelling()));
        std::string bytes;
        try {
          bytes = pipeline::StepSolid(d.record, length, thickness, width);
        } catch (const report::StepError& error) {
          Raise(designError, error.what());
        }
        Write(path, bytes);
      },
      py::arg("path"), py::arg("scale") = 1.0, py::arg("unit") = "", py::kw_only(),
      py::arg("wall_thickness") = py::none(), py::arg("span") = py::none(),
      "Writes the nozzle as a STEP solid (AP214, made by OpenCASCADE), as nozzle-cli --step: a round nozzle "
      "revolved about the x axis into one solid, a planar one as its two walls extruded over `span`; the wall one "
      "cubic B-spline through every wall point (the corrected wall when there is one), `wall_thickness` thick. "
      "Lengths are in the scale's unit, mm when it has none; wall_thickness and span are numbers in that unit or "
      "texts such as '2mm' (None: a fifth of the throat half-height, and the exit height). Raises DesignError when "
      "the kernel cannot make a valid solid (nothing is written).");
}

// The OpenFOAM case and its check.
void BindCheck(py::class_<Design>& design) {
  design
      .def(
          "write_openfoam",
          [](const Design& d, const std::filesystem::path& folder, std::optional<int> cells, int jobs,
             const py::object& scale, const std::string& unit) {
            const cfd::CaseOptions options = d.CaseOptions(cells, jobs, scale, unit);
            Design::CheckCaseFolder(folder, options);
            d.RunCheck(folder, options, false, {});
          },
          py::arg("folder"), py::arg("cells") = py::none(), py::arg("jobs") = 0, py::arg("scale") = 1.0,
          py::arg("unit") = "",
          "Writes the OpenFOAM case of the design into `folder` (new or empty) on three meshes, the finest "
          "`cells` x cells/4 (None: 256 for a nozzle up to 8.5 throat half-heights long, 320 beyond), "
          "ready to run with its ./Allrun; as nozzle-cli --openfoam.")
      .def(
          "check",
          [](const Design& d, const std::filesystem::path& folder, std::optional<int> cells, int jobs, double core,
             std::optional<double> timeout, const py::object& scale, const std::string& unit, bool progress) {
            RaiseFaults(pipeline::CheckOptionFaults(std::nullopt, 0, core, timeout, PythonSpelling()));
            const cfd::CaseOptions options = d.CaseOptions(cells, jobs, scale, unit);
            Design::CheckCaseFolder(folder, options);
            if (const auto missing = cfd::MissingOpenFoam(options.jobs)) Raise(cfdError, "OpenFOAM check: " + *missing);
            cfd::RunOptions run;
            run.timeoutSeconds = timeout.value_or(0.0);
            run.progress = progress ? &std::cerr : nullptr;
            run.coreFraction = core;
            run.spelling = PythonSpelling();
            const cfd::CheckRun result = d.RunCheck(folder, options, true, run);
            return py::module_::import("json").attr("loads")(result.json);
          },
          py::arg("folder"), py::arg("cells") = py::none(), py::arg("jobs") = 0, py::arg("core") = 0.8,
          py::arg("timeout") = py::none(), py::arg("scale") = 1.0, py::arg("unit") = "", py::arg("progress") = false,
          "Writes the OpenFOAM case into `folder` and runs it on its three meshes (`jobs` cores, 0 for all; a "
          "mesh of up to 2,500 cells on one), "
          "as nozzle-cli --openfoam FOLDER --verify: returns what check.json holds as a dict (design, meshes "
          "coarsest first, extrapolated, verdict, reason, seconds; a rounded throat's, checked from the plenum, "
          "discharge_coefficient and sonic_points too; a cone's or a given wall's, whose exit is not uniform, "
          "net: the wall pressure's and the exit Mach number's largest differences from the characteristics'). "
          "`core` is the fraction of the exit that "
          "judges the wall, `timeout` a limit in seconds, `progress` shows the solver's progress on standard "
          "error. Raises CfdError when OpenFOAM is missing or a step fails (the case is kept), "
          "KeyboardInterrupt on Ctrl-C.")
      .def("__repr__", [](const Design& d) {
        const auto& in = d.record.inputs;
        std::string text = std::string("<Design ") + (d.record.IsAxisymmetric() ? "axisymmetric" : "planar") +
                           " me=" + py::repr(py::float_(in.Me)).cast<std::string>() +
                           " n=" + std::to_string(static_cast<int>(in.N)) +
                           " teta0=" + py::repr(py::float_(in.Teta0)).cast<std::string>();
        if (!d.record.gas.IsAir()) text += " gamma=" + py::repr(py::float_(d.record.gas.gamma)).cast<std::string>();
        return text + ">";
      });
}

}  // namespace

PYBIND11_MODULE(nozzle_designer, m) {
  BindModule(m);
  BindPolyline(m);
  py::class_<Design> design(m, "Design", "A finished design: call nozzle_designer.design() to make one.");
  BindFigures(design);
  BindLayer(design);
  BindFiles(design);
  BindCheck(design);

  m.def("design", &MakeDesign, py::arg("me") = py::none(), py::arg("n") = "7", py::arg("teta0") = py::none(),
        py::arg("gamma") = py::none(), py::kw_only(), py::arg("axisymmetric") = false,
        py::arg("family") = "minimum-length", py::arg("gas") = py::none(), py::arg("p0") = py::none(),
        py::arg("t0") = py::none(), py::arg("scale") = py::none(), py::arg("wall_temperature") = py::none(),
        py::arg("layer") = py::none(), py::arg("gas_constant") = py::none(), py::arg("viscosity") = py::none(),
        py::arg("prandtl") = py::none(), py::arg("throat_radius") = py::none(), py::arg("half_angle") = py::none(),
        py::arg("area_ratio") = py::none(), py::arg("inflection_angle") = py::none(), py::arg("wall") = py::none(),
        py::arg("upstream_radius") = py::none(), py::arg("contraction") = py::none(),
        py::arg("convergent_angle") = py::none(), py::arg("ambient_pressure") = py::none(), kDesignDoc);
}
