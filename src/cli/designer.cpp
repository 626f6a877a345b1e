#include "cli/designer.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "boundary_layer/conditions.h"
#include "boundary_layer/layer.h"
#include "cfd/check.h"
#include "nozzle/minimum_length.h"
#include "nozzle/design.h"
#include "nozzle/design_record.h"
#include "nozzle/inputs.h"
#include "report/axisymmetric_outputs.h"
#include "report/contour.h"
#include "report/drawing_plan.h"
#include "report/file_output.h"
#include "report/number_text.h"
#include "report/result_file.h"
#include "report/results_list.h"
#include "report/summary.h"

#ifndef NOZZLE_VERSION
#define NOZZLE_VERSION "0"
#endif

namespace cli {
namespace {

// The size of the window's drawing surface, in pixels at 96 dots per inch.
constexpr int kPictureWidth = 449;
constexpr int kPictureHeight = 265;

// Writes the case and, when asked, runs it on its three meshes and reports the
// check. Returns the exit status.
int CheckWithOpenFoam(const cfd::DesignCase& design, const std::filesystem::path& caseDir,
                      const cfd::CaseOptions& options, bool verify, double timeout, double coreFraction,
                      std::ostream& out, std::ostream& err) {
  if (verify) {
    if (const auto missing = cfd::MissingOpenFoam(options.jobs)) {
      err << "nozzle-cli: " << *missing << "\n";
      return 1;
    }
  }
  cfd::RunOptions run;
  run.timeoutSeconds = timeout;
  run.progress = &err;
  run.terminal = (&err == &std::cerr) && ::isatty(STDERR_FILENO) != 0;
  run.coreFraction = coreFraction;
  try {
    const cfd::CheckRun check = cfd::CheckDesign(design, caseDir, options, verify, run);
    if (check.outcome.kind != cfd::RunOutcome::Kind::kFinished) {
      err << "nozzle-cli: " << check.outcome.message << "\n";
      return check.outcome.kind == cfd::RunOutcome::Kind::kInterrupted ? 130 : 1;
    }
    if (check.check) out << cfd::CheckReport(*check.check, check.facts);
    if (check.check && check.uncorrected) out << cfd::UncorrectedReport(*check.check, *check.uncorrected);
    out.flush();
  } catch (const std::runtime_error& e) {  // cfd::CaseError, cfd::FieldError, report::WriteError
    err << "nozzle-cli: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int RunDesigner(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Designs the divergent wall of a minimum-length supersonic nozzle, planar or round (--axisymmetric), by "
               "the method of characteristics.",
               "nozzle-cli"};
  nozzle::InputTexts texts;
  std::filesystem::path dir = ".";
  std::string svgPath;
  std::string csvPath;
  std::string dxfPath;
  std::string scaleText = "1";
  app.add_option("--me", texts.me, "exit Mach number, as typed in the window")->capture_default_str();
  app.add_option("--teta0", texts.teta0, "angle of the first expansion wave, degrees")->capture_default_str();
  app.add_option("--n", texts.n, "number of expansion waves")->capture_default_str();
  bool axisymmetric = false;
  app.add_flag("--axisymmetric", axisymmetric,
               "design a round nozzle (axisymmetric flow; y is the radius) instead of a planar one; every output says "
               "so, and --openfoam writes a wedge case");
  app.add_option("--gamma", texts.gamma,
                 "ratio of specific heats of the gas, 1 < G <= 5/3 (the ideal-gas range; 5/3 may be typed as a "
                 "fraction)")
      ->capture_default_str();
  app.add_option("--dir", dir, "folder in which sonuc.txt is written")->capture_default_str();
  app.add_option("--svg", svgPath, "also draw the nozzle into this SVG file");
  app.add_option("--csv", csvPath, "also write the wall contour (x,y) into this CSV file");
  app.add_option("--dxf", dxfPath, "also write the nozzle outline into this DXF file (AutoCAD R12) for CAD");
  app.add_option("--scale", scaleText,
                 "physical throat half-height of the CSV and DXF coordinates: a number with an optional unit "
                 "mm, cm, m or in (10mm, 25.4mm, 0.5in)")
      ->capture_default_str();
  std::string caseDir;
  bool verify = false;
  int cfdJobs = 0;
  double cfdTimeout = 0.0;
  app.add_option("--openfoam", caseDir,
                 "also write an OpenFOAM case of the design into this folder (created; an existing non-empty "
                 "folder is refused)");
  app.add_flag("--verify", verify,
               "run the OpenFOAM case on its three meshes (blockMesh, checkMesh, rhoCentralFoam) and report the "
               "grid-convergence study of the exit flow and its verdict; needs --openfoam")
      ->needs("--openfoam");
  app.add_option("--cfd-jobs", cfdJobs, "cores for the solver (default: all; a mesh of up to 2,500 cells runs on one)")
      ->check(CLI::PositiveNumber);
  int cfdCells = 0;  // by the nozzle's length
  app.add_option("--cfd-cells", cfdCells,
                 "cells along the axis of the finest of the three meshes (a quarter of them across); the others have "
                 "a half and a quarter as many each way (default: 256 for a nozzle up to 8.5 throat half-heights long, "
                 "320 beyond)")
      ->check(CLI::Range(cfd::kMinCellsAlong, 1000000));
  double cfdCore = 0.8;
  app.add_option("--cfd-core", cfdCore,
                 "the core of the exit whose uniformity judges the wall, as a fraction of the exit half-height from "
                 "the axis")
      ->check(CLI::Range(0.05, 1.0))
      ->capture_default_str();
  app.add_option("--cfd-timeout", cfdTimeout, "end the solver after this many seconds (default: no limit)")
      ->check(CLI::PositiveNumber);
  boundary_layer::ConditionTexts physical;
  std::string layerCsvPath;
  const std::string gasNames = [] {
    std::string names;
    for (const std::string& name : gas::GasNames()) names += (names.empty() ? "" : "|") + name;
    return names;
  }();
  app.add_option("--gas", physical.gas,
                 "the gas by name (" + gasNames + "): its ratio of specific heats, gas constant, viscosity law and "
                 "Prandtl number; --gamma then need not be given");
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
  app.add_option("--boundary-layer-csv", layerCsvPath,
                 "also write the boundary layer along the wall into this CSV file (needs --p0 and --t0)");
  bool summary = false;
  app.add_flag("--summary", summary,
               "print TetaMax, the length, the exit half-height and its deviation from A/A* instead of the list");
  app.set_version_flag("--version", std::string("nozzle-cli ") + NOZZLE_VERSION);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, out, err) == 0 ? 0 : 2;  // a usage error is a rejected input
  }

  // A named gas brings its gamma; one typed beside it must agree (boundary_layer::ReadPhysical).
  const bool gammaTyped = app.count("--gamma") > 0;
  if (const auto named = gas::NamedGas(physical.gas); named && !gammaTyped) {
    texts.gamma = report::ShortestText(named->gamma);
  }
  const auto checked = nozzle::CheckInputs(texts);
  const std::optional<report::LengthScale> scale = report::ReadLengthScale(scaleText);
  const auto* rejection = std::get_if<nozzle::InputRejection>(&checked);
  const std::optional<double> metres =
      scale && !scale->unit.empty() ? std::optional<double>(report::InMetres(*scale)) : std::nullopt;
  const boundary_layer::PhysicalReading physicalReading = boundary_layer::ReadPhysical(
      physical, !layerCsvPath.empty(),
      rejection == nullptr ? std::optional<double>(std::get<nozzle::DesignInputs>(checked).gamma) : std::nullopt,
      gammaTyped, metres);
  const std::vector<std::string>& physicalFaults = physicalReading.faults;
  const std::optional<boundary_layer::Conditions>& conditions = physicalReading.conditions;
  // Refused up front for the largest ladder the default may choose.
  cfd::CaseOptions options = cfd::LadderOptions(cfdCells > 0 ? cfdCells : cfd::kLongNozzleCells, cfdJobs,
                                                scale ? report::InMetres(*scale) : 1.0);
  const std::vector<std::string> caseRefusals =
      caseDir.empty() ? std::vector<std::string>{} : cfd::CaseRefusals(caseDir, options);
  if (rejection != nullptr || !scale || !caseRefusals.empty() || !physicalFaults.empty()) {
    if (rejection != nullptr) err << rejection->message << "\n";
    if (!scale) err << report::LengthScaleRejection(scaleText) << "\n";
    for (const std::string& fault : physicalFaults) err << fault << "\n";
    for (const std::string& refusal : caseRefusals) err << "nozzle-cli: " << refusal << "\n";
    return 2;
  }

  try {
    // The outputs of the design, made before anything is written.
    std::vector<report::StagedFile> files;
    std::string shown;
    const nozzle::DesignInputs& inputs = std::get<nozzle::DesignInputs>(checked);
    nozzle::DesignRecord design;
    if (axisymmetric) {
      const nozzle::MarchedDesign run = nozzle::DesignAxisymmetric(inputs);
      files.emplace_back(dir / report::kResultFileName, report::AxisymmetricResultFileText(run));
      design = nozzle::RecordOf(run);
      if (!summary) shown = report::AxisymmetricListText(run);
    } else {
      const nozzle::DesignResult run =
          nozzle::Design(inputs, [&err](std::string_view notice) { err << notice << "\n"; });
      files.emplace_back(dir / report::kResultFileName, report::ResultFileText(run));
      design = nozzle::RecordOf(run);
      if (!summary) shown = report::ResultsListText(run);
    }
    if (conditions) {
      auto corrected = boundary_layer::CorrectWall(design, *conditions);
      if (const auto* refusal = std::get_if<std::string>(&corrected)) {
        err << "nozzle-cli: " << *refusal << "\n";
        return 2;
      }
      boundary_layer::Apply(design, std::move(std::get<nozzle::WallCorrection>(corrected)));
    }
    if (summary) shown = report::SummaryText(design);
    for (const std::string& warning : design.warnings) err << "warning: " << warning << "\n";
    if (!svgPath.empty()) {
      files.emplace_back(svgPath, report::DrawingSvg(report::MakeDrawingPlan(design), kPictureWidth, kPictureHeight));
    }
    if (!csvPath.empty()) files.emplace_back(csvPath, report::WallContourCsv(design, *scale));
    if (!dxfPath.empty()) files.emplace_back(dxfPath, report::NozzleOutlineDxf(design, *scale));
    if (!layerCsvPath.empty()) files.emplace_back(layerCsvPath, report::BoundaryLayerCsv(design));
    for (report::StagedFile& file : files) file.Commit();
    out << shown;
    if (!caseDir.empty()) {
      if (cfdCells == 0) {
        options = cfd::LadderOptions(cfd::DefaultCellsAlong(design.facts.length), cfdJobs, options.metresPerHalfHeight);
      }
      out.flush();
      const int status =
          CheckWithOpenFoam(cfd::CaseOf(design), caseDir, options, verify, cfdTimeout, cfdCore, out, err);
      if (status != 0) return status;
    }
  } catch (const std::runtime_error& e) {  // nozzle::RunError, report::WriteError
    err << "nozzle-cli: " << e.what() << "\n";
    return 1;
  }
  out.flush();
  return 0;
}

}  // namespace cli
