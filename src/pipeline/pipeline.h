// One design, from a request to its results, as every front end makes it: the command
// line and the Python module only translate their arguments into a Request and
// present what comes back.
//
//   Check    every input read and checked before anything is computed: the family and
//            its inputs, the gas, the size (the throat half-height or radius with a
//            unit), the physical conditions of a wall corrected for its boundary layer,
//            and the case folder of a check; each fault a line, naming the option as
//            the front end spells it (nozzle/spelling.h).
//   Design   the family's run, the boundary layer when asked for, and every output
//            made in memory: the list or the summary, sonuc.txt, SVG, CSV, DXF and the
//            layer's CSV.
//   Commit   the files staged beside their places, then put in place together
//            (report/file_output.h): all of them or, nearly always, none.
//   Verify   the OpenFOAM case written and, when asked, run and judged (cfd/check.h).
//
// Failure contract: Check returns the faults of a request (nothing is computed or
// written); Design throws nozzle::RunError when the run fails, report::WriteError when
// sonuc.txt cannot be staged, report::StepError when the kernel cannot make the STEP
// solid (nothing written), and returns a refusal
// when the layer cannot be formed (nothing written); Commit throws report::WriteError
// (the files before unchanged); Verify returns what is missing to run the check, or
// the check's run, whose outcome says a failed, stopped or interrupted solver, and
// throws cfd::CaseError, cfd::FieldError or report::WriteError.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "boundary_layer/conditions.h"
#include "cfd/check.h"
#include "nozzle/design_record.h"
#include "nozzle/inputs.h"
#include "nozzle/spelling.h"
#include "pipeline/families.h"
#include "report/contour.h"
#include "report/file_output.h"

namespace pipeline {

// The throat radius of a family whose throat is always rounded (conical, ideal) when
// none is typed (throat half-heights or radii: within the transonic series' range for
// both flows), and the limits of the families' own inputs.
inline constexpr double kRoundedThroatRadius = 1.5;
inline constexpr double kMaxHalfAngle = 45.0;
inline constexpr double kMaxConicalAreaRatio = 1e4;
inline constexpr double kMaxInflectionAngle = 45.0;
inline constexpr double kMaxContraction = 100.0;
inline constexpr double kMaxConvergentAngle = 80.0;

struct Request {
  std::string family = "minimum-length";
  nozzle::InputTexts texts;  // Me, Teta0, N and gamma as typed
  bool gammaGiven = false;   // gamma was typed (a named gas brings its own otherwise)
  bool teta0Given = false;   // Teta0 was typed (a rounded throat has none)
  bool axisymmetric = false;
  // The throat's radius of curvature in throat half-heights (radii), as typed: "0" the
  // sharp corner, else within the transonic series' range (moc/transonic.h).
  std::string throatRadius = "0";
  bool throatRadiusGiven = false;  // a family with a rounded throat of its own takes its default otherwise
  bool meGiven = false;            // Me was typed (a conical nozzle's follows from its area ratio)
  // The conical nozzle's half-angle (degrees) and area ratio, as typed; empty: not given.
  std::string halfAngle, areaRatio;
  std::string inflectionAngle;  // the ideal nozzle's, degrees, as typed; empty: halfway through its range
  // The given wall's file (nozzle::ReadWallContour), its lengths in the unit of `scale`.
  std::filesystem::path wallFile;
  // A rounded throat's convergent section (nozzle/convergent.h), as typed; empty: the
  // defaults (the throat radius, a contraction of 3, 30 degrees).
  std::string upstreamRadius, contraction, convergentAngle;
  // The ambient pressure for the thrust: a ratio pa / p0, or with --p0 a pressure with
  // its unit; empty: vacuum only.
  std::string ambientPressure;
  std::string scale = "1";   // the throat half-height (radius), with an optional unit
  boundary_layer::ConditionTexts physical;

  // The outputs: sonuc.txt into `resultFolder` (none when empty), the summary in place
  // of the list, and the files of the paths that are not empty.
  std::filesystem::path resultFolder = ".";
  bool summary = false;
  std::string svg, csv, dxf, layerCsv;
  std::string dxfCurve = "polyline";  // the DXF wall: "polyline" (R12) or "spline" (R2000)
  // The STEP solid (report/step_file.h), when `step` is not empty: its wall thickness
  // and, planar only, its span, as typed (empty: the defaults of report/solid.h).
  std::string step, wallThickness, span;

  // The OpenFOAM case, written into `caseFolder` when it is not empty, and run on its
  // three meshes when `verify`; cells 0 chooses by the nozzle's length, jobs 0 all cores.
  std::string caseFolder;
  bool verify = false;
  int cfdCells = 0;
  int cfdJobs = 0;
  double cfdCore = 0.8;
  double cfdTimeout = 0.0;  // seconds, 0: none
};

struct Checked {
  double ambient = NAN;  // pa / p0; NaN: none given
  Request request;
  const Family* family = nullptr;
  nozzle::DesignInputs inputs;
  report::LengthScale scale;
  std::optional<boundary_layer::Conditions> conditions;
  std::optional<double> wallThickness, span;  // in the solid's unit, when given
};

// A fault of a request: an input refused, or a case folder or ladder that cannot take
// the check (which the command line says as the program's own error).
struct Fault {
  enum class Kind { kInput, kCase };
  Kind kind = Kind::kInput;
  std::string text;
};

std::variant<Checked, std::vector<Fault>> Check(const Request& request, const nozzle::Spelling& spelling);

// The check's options in their ranges: the cells along the finest mesh from
// cfd::kMinCellsAlong (none given: by the nozzle's length), jobs 0 (all cores) or more,
// the core a fraction from 0.05 to 1, a time limit above 0 seconds (none given: no
// limit). A fault a line.
std::vector<std::string> CheckOptionFaults(std::optional<int> cells, int jobs, double core,
                                           std::optional<double> timeout, const nozzle::Spelling& spelling);

struct Designed {
  nozzle::DesignRecord record;
  std::string shown;  // the list, or the summary
  // sonuc.txt, staged as soon as the run has ended: a folder that cannot take it
  // fails the design before anything else is made.
  std::optional<report::StagedFile> resultFile;
  std::vector<std::pair<std::filesystem::path, std::string>> files;  // each other file's path and bytes
};

// `texts` false makes neither the list, the summary nor any file (the Python module's
// design, whose files are written on demand). The text returned instead refuses the
// inputs (nozzle::InputRefusal, a wall a boundary layer cannot correct); other faults
// of the run throw nozzle::RunError.
std::variant<Designed, std::string> Design(const Checked& checked, const gas::NoticeSink& notice, bool texts = true);

void Commit(Designed& designed);

// Whether this build writes STEP solids (it was built with OpenCASCADE).
bool StepAvailable();

// The STEP solid of a record (report/step_file.h) at a scale, with the thickness and
// span given (in the solid's unit) or the defaults. Throws report::StepError, or
// std::logic_error when the build has no STEP writer.
std::string StepSolid(const nozzle::DesignRecord& record, const report::LengthScale& scale,
                      std::optional<double> wallThickness, std::optional<double> span);

// The faults of a solid's thickness and span as typed (empty: the default), read into
// `thickness` and `span`.
std::vector<std::string> SolidFaults(const std::string& thicknessText, const std::string& spanText, bool axisymmetric,
                                     const report::LengthScale& scale, std::optional<double>& thickness,
                                     std::optional<double>& span, const nozzle::Spelling& spelling);

// The drawing of the whole nozzle, mirrored about the axis, as SVG at the window's size.
std::string DrawingSvg(const nozzle::DesignRecord& record);

// The ladder of meshes of the check: the request's cells, or those the nozzle's length
// asks for.
cfd::CaseOptions LadderOf(const Checked& checked, const nozzle::DesignRecord& record);

struct Verification {
  std::optional<std::string> missing;  // what is not installed to run the check
  std::optional<cfd::CheckRun> run;
};
Verification Verify(const Checked& checked, const nozzle::DesignRecord& record, const cfd::RunOptions& run);

}  // namespace pipeline
