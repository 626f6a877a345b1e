#include "cli/designer.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "pipeline/pipeline.h"

#ifndef NOZZLE_VERSION
#define NOZZLE_VERSION "0"
#endif

namespace cli {
namespace {

// Writes the case and, when asked, runs it on its three meshes and reports the
// check. Returns the exit status.
int CheckWithOpenFoam(const pipeline::Checked& checked, const nozzle::DesignRecord& design, std::ostream& out,
                      std::ostream& err) {
  cfd::RunOptions run;
  run.timeoutSeconds = checked.request.cfdTimeout;
  run.progress = &err;
  run.terminal = (&err == &std::cerr) && ::isatty(STDERR_FILENO) != 0;
  run.coreFraction = checked.request.cfdCore;
  run.spelling = nozzle::LongOptionSpelling();
  try {
    const pipeline::Verification verification = pipeline::Verify(checked, design, run);
    if (verification.missing) {
      err << "nozzle-cli: " << *verification.missing << "\n";
      return 1;
    }
    const cfd::CheckRun& check = *verification.run;
    if (check.outcome.kind != cfd::RunOutcome::Kind::kFinished) {
      err << "nozzle-cli: " << check.outcome.message << "\n";
      return check.outcome.kind == cfd::RunOutcome::Kind::kInterrupted ? 130 : 1;
    }
    if (check.check) out << cfd::CheckReport(*check.check, check.facts);
    if (check.check && check.uncorrected) out << cfd::UncorrectedReport(*check.check, *check.uncorrected);
    out.flush();
  } catch (const std::exception& e) {  // cfd::CaseError, cfd::FieldError, report::WriteError, and any other
    err << "nozzle-cli: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

std::string Names(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : "|") + name;
  return text;
}

void AddDesignOptions(CLI::App& app, pipeline::Request& r) {
  app.add_option("--family", r.family, "the nozzle family (" + Names(pipeline::FamilyNames()) + ")")
      ->capture_default_str();
  app.add_option("--me", r.texts.me, "exit Mach number, as typed in the window")->capture_default_str();
  app.add_option("--teta0", r.texts.teta0, "angle of the first expansion wave, degrees")->capture_default_str();
  app.add_option("--n", r.texts.n, "number of expansion waves")->capture_default_str();
  app.add_flag("--axisymmetric", r.axisymmetric,
               "design a round nozzle (axisymmetric flow; y is the radius) instead of a planar one; every output says "
               "so, and --openfoam writes a wedge case");
  app.add_option("--throat-radius", r.throatRadius,
                 "the wall's radius of curvature downstream of the throat, in throat half-heights (radii): 0 is the "
                 "sharp corner; a rounded throat starts the characteristics from the transonic flow of the throat "
                 "(1.5 to 100, round 1 to 100; it has no fan, so no --teta0)")
      ->capture_default_str();
  app.add_option("--half-angle", r.halfAngle,
                 "--family conical: the cone's (planar: the wedge's) half-angle, degrees, above 0 up to 45 (default 15)");
  app.add_option("--area-ratio", r.areaRatio,
                 "--family conical: the exit's area over the throat's, above 1 (its throat radius defaults to 1.5)");
  app.add_option("--inflection-angle", r.inflectionAngle,
                 "--family ideal: the wall's angle at its inflection point, degrees, within the range the throat "
                 "and Me admit (default: halfway through it; the throat radius defaults to 1.5)");
  app.add_option("--wall", r.wallFile,
                 "--family given-wall: the wall's contour, a CSV file of x,y from the throat section (x = 0, y = 1) in "
                 "throat half-heights (radii), or in the unit of --scale; its throat radius of curvature is read from "
                 "its first two points unless --throat-radius is given");
  app.add_option("--upstream-radius", r.upstreamRadius,
                 "a rounded throat's convergent section: the wall's radius of curvature upstream of the throat, throat "
                 "half-heights (radii) (default: the throat radius)");
  app.add_option("--contraction", r.contraction,
                 "a rounded throat's convergent section: the inlet's area over the throat's, above 1 up to 100 "
                 "(default 3)");
  app.add_option("--convergent-angle", r.convergentAngle,
                 "a rounded throat's convergent section: its straight wall's angle to the axis, degrees, above 0 up "
                 "to 80 (default 30)");
  app.add_option("--ambient-pressure", r.ambientPressure,
                 "the ambient pressure for the thrust coefficient: a ratio pa/p0, or with --p0 a pressure with its "
                 "unit (0.5bar); --summary then gives Cf at it, and a lip pressure below 0.4 of it warns of "
                 "separation");
  app.add_option("--gamma", r.texts.gamma,
                 "ratio of specific heats of the gas, 1 < G <= 5/3 (the ideal-gas range; 5/3 may be typed as a "
                 "fraction)")
      ->capture_default_str();
  app.add_option("--dir", r.resultFolder, "folder in which sonuc.txt is written")->capture_default_str();
  app.add_option("--svg", r.svg, "also draw the nozzle into this SVG file");
  app.add_option("--csv", r.csv, "also write the wall contour (x,y) into this CSV file");
  app.add_option("--dxf", r.dxf, "also write the nozzle outline into this DXF file (AutoCAD R12) for CAD");
  app.add_option("--scale", r.scale,
                 "physical throat half-height of the CSV and DXF coordinates: a number with an optional unit "
                 "mm, cm, m or in (10mm, 25.4mm, 0.5in)")
      ->capture_default_str();
}

// The solid and the curves for CAD. A build without OpenCASCADE hides the STEP options
// and says so at the end of the help; given anyway, the check refuses them.
void AddCadOptions(CLI::App& app, pipeline::Request& r) {
  app.add_option("--dxf-curve", r.dxfCurve,
                 "the DXF wall: polyline (AutoCAD R12, straight lines between the wall points) or spline (AutoCAD "
                 "2000, one SPLINE a wall: the cubic B-spline through every wall point)")
      ->capture_default_str();
  const std::string group = pipeline::StepAvailable() ? "Options" : "";
  app.add_option("--step", r.step,
                 "also write the nozzle as a STEP solid for CAD (OpenCASCADE): a round nozzle revolved, a planar one "
                 "as its two walls; the wall one B-spline through every wall point, lengths in the --scale's unit "
                 "(mm when it has none)")
      ->group(group);
  app.add_option("--wall-thickness", r.wallThickness,
                 "the STEP solid's wall thickness, a length (2mm, 0.1in; a plain number is in the solid's unit; "
                 "default: a fifth of the throat half-height)")
      ->needs("--step")
      ->group(group);
  app.add_option("--span", r.span,
                 "a planar nozzle's width in the STEP solid, along z, a length as --wall-thickness (default: the exit "
                 "height, a square exit)")
      ->needs("--step")
      ->group(group);
  if (!pipeline::StepAvailable()) {
    app.footer("This nozzle-cli was built without OpenCASCADE: it writes no STEP solids (--step).");
  }
}

void AddCheckOptions(CLI::App& app, pipeline::Request& r) {
  app.add_option("--openfoam", r.caseFolder,
                 "also write an OpenFOAM case of the design into this folder (created; an existing non-empty "
                 "folder is refused)");
  app.add_flag("--verify", r.verify,
               "run the OpenFOAM case on its three meshes (blockMesh, checkMesh, rhoCentralFoam) and report the "
               "grid-convergence study of the exit flow and its verdict (a cone or a given wall: of its wall "
               "pressure and exit beside the characteristics'); needs --openfoam")
      ->needs("--openfoam");
  app.add_option("--cfd-jobs", r.cfdJobs, "cores for the solver (default: all; a mesh of up to 2,500 cells runs on one)")
      ->check(CLI::PositiveNumber);
  app.add_option("--cfd-cells", r.cfdCells,
                 "cells along the axis of the finest of the three meshes (a quarter of them across); the others have "
                 "a half and a quarter as many each way (default: 256 for a nozzle up to 8.5 throat half-heights long, "
                 "320 beyond)")
      ->check(CLI::Range(cfd::kMinCellsAlong, 1000000));
  app.add_option("--cfd-core", r.cfdCore,
                 "the core of the exit whose uniformity judges the wall, as a fraction of the exit half-height from "
                 "the axis")
      ->check(CLI::Range(0.05, 1.0))
      ->capture_default_str();
  app.add_option("--cfd-timeout", r.cfdTimeout, "end the solver after this many seconds (default: no limit)")
      ->check(CLI::PositiveNumber);
}

void AddPhysicalOptions(CLI::App& app, pipeline::Request& r) {
  boundary_layer::ConditionTexts& physical = r.physical;
  app.add_option("--gas", physical.gas,
                 "the gas by name (" + Names(gas::GasNames()) + "): its ratio of specific heats, gas constant, "
                 "viscosity law and Prandtl number; --gamma then need not be given");
  app.add_option("--gas-constant", physical.gasConstant, "a gas given by its constants: R, J/(kg K)");
  app.add_option("--viscosity", physical.viscosity,
                 "a gas given by its constants: Sutherland's law muRef,TRef,S (Pa s, K, K), e.g. 1.716e-5,273,111");
  app.add_option("--prandtl", physical.prandtl, "a gas given by its constants: the Prandtl number");
  app.add_option("--p0", physical.p0,
                 "stagnation pressure with a unit Pa, kPa, MPa, bar, atm or psi (0.13bar): with --t0 and a --scale "
                 "with a unit, the wall is corrected for its boundary layer");
  app.add_option("--t0", physical.T0, "stagnation temperature, K");
  app.add_option("--wall-temperature", physical.wallTemperature,
                 "the wall's temperature in K, or adiabatic (the default)");
  app.add_option("--layer", physical.regime,
                 "laminar, turbulent, or transition (the default: laminar from the throat, turbulent from where "
                 "Re_theta reaches 470)");
  app.add_option("--boundary-layer-csv", r.layerCsv,
                 "also write the boundary layer along the wall into this CSV file (needs --p0 and --t0)");
}

// The design of a checked request, its files and its check. Returns the exit status.
int Run(const pipeline::Checked& checked, std::ostream& out, std::ostream& err) {
  try {
    auto made = pipeline::Design(checked, [&err](std::string_view notice) { err << notice << "\n"; });
    if (const auto* refusal = std::get_if<std::string>(&made)) {
      err << "nozzle-cli: " << *refusal << "\n";
      return 2;
    }
    pipeline::Designed& designed = std::get<pipeline::Designed>(made);
    for (const std::string& warning : designed.record.warnings) err << "warning: " << warning << "\n";
    pipeline::Commit(designed);
    out << designed.shown;
    if (!checked.request.caseFolder.empty()) {
      out.flush();
      const int status = CheckWithOpenFoam(checked, designed.record, out, err);
      if (status != 0) return status;
    }
  } catch (const std::exception& e) {  // nozzle::RunError, report::WriteError, and any other
    err << "nozzle-cli: " << e.what() << "\n";
    return 1;
  }
  out.flush();
  return 0;
}

}  // namespace

int RunDesigner(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Designs the divergent wall of a minimum-length supersonic nozzle, planar or round (--axisymmetric), by "
               "the method of characteristics.",
               "nozzle-cli"};
  pipeline::Request request;
  AddDesignOptions(app, request);
  AddCadOptions(app, request);
  AddCheckOptions(app, request);
  AddPhysicalOptions(app, request);
  app.add_flag("--summary", request.summary,
               "print TetaMax, the length, the exit half-height and its deviation from A/A* instead of the list");
  app.set_version_flag("--version", std::string("nozzle-cli ") + NOZZLE_VERSION);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, out, err) == 0 ? 0 : 2;  // a usage error is a rejected input
  }
  request.gammaGiven = app.count("--gamma") > 0;
  request.teta0Given = app.count("--teta0") > 0;
  request.meGiven = app.count("--me") > 0;
  request.throatRadiusGiven = app.count("--throat-radius") > 0;
  auto checked = pipeline::Check(request, nozzle::LongOptionSpelling());
  if (const auto* faults = std::get_if<std::vector<pipeline::Fault>>(&checked)) {
    for (const pipeline::Fault& fault : *faults) {
      err << (fault.kind == pipeline::Fault::Kind::kCase ? "nozzle-cli: " : "") << fault.text << "\n";
    }
    return 2;
  }
  return Run(std::get<pipeline::Checked>(checked), out, err);
}

}  // namespace cli
