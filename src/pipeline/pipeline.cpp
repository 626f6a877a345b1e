#include "pipeline/pipeline.h"

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <utility>

#include "boundary_layer/layer.h"
#include "moc/transonic.h"
#include "nozzle/convergent.h"
#include "nozzle/given_wall.h"
#include "nozzle/thrust.h"
#include "report/drawing_plan.h"
#include "report/number_text.h"
#include "report/result_file.h"
#include "report/summary.h"
#include "report/wall_spline.h"

namespace pipeline {
namespace {

// The size of the window's drawing surface, in pixels at 96 dots per inch.
constexpr int kPictureWidth = 449;
constexpr int kPictureHeight = 265;

std::string Names(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

}  // namespace

std::vector<std::string> CheckOptionFaults(std::optional<int> cells, int jobs, double core,
                                           std::optional<double> timeout, const nozzle::Spelling& spelling) {
  using nozzle::Option;
  std::vector<std::string> faults;
  const auto fault = [&](Option option, const std::string& value, const std::string& accepted) {
    faults.push_back(spelling.name(option) + " = " + value + ": out of range; accepted: " + accepted);
  };
  if (cells && *cells < cfd::kMinCellsAlong) {
    fault(Option::kCfdCells, std::to_string(*cells),
          "a whole number from " + std::to_string(cfd::kMinCellsAlong) + " on");
  }
  if (jobs < 0) fault(Option::kCfdJobs, std::to_string(jobs), "0 (all cores) or more");
  if (!(core >= 0.05 && core <= 1.0)) fault(Option::kCfdCore, report::ShortestText(core), "0.05 to 1");
  if (timeout && !(*timeout > 0.0)) {
    fault(Option::kCfdTimeout, report::ShortestText(*timeout), "a number of seconds above 0");
  }
  return faults;
}

namespace {

// The throat's radius as typed: a plain number, 0 or within the series' range. A
// conical or an ideal nozzle has a rounded throat, kRoundedThroatRadius unless one is
// typed; a given wall's comes from its file (NaN here, read with the file).
std::optional<double> ThroatRadius(const Request& request, const nozzle::Spelling& spelling,
                                   std::vector<Fault>& faults) {
  const bool conical = request.family == "conical" || request.family == "ideal" || request.family == "given-wall";
  if (request.family == "given-wall" && !request.throatRadiusGiven) return NAN;  // the wall file's, read with it
  const std::string typed =
      conical && !request.throatRadiusGiven ? report::ShortestText(kRoundedThroatRadius) : request.throatRadius;
  const nozzle::ValReading read = nozzle::ReadVal(typed);
  const moc::Flow flow = request.axisymmetric ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar;
  const double least = moc::TransonicThroat::MinRadius(flow, moc::ThroatSeries::kKliegelLevine);
  const double R = read.value;
  if (!read.found || !read.rest.empty() ||
      !((R == 0.0 && !conical) || (R >= least && R <= moc::TransonicThroat::kMaxRadius))) {
    faults.push_back({Fault::Kind::kInput,
                      spelling.name(nozzle::Option::kThroatRadius) + " = \"" + typed + "\": out of range; accepted: " +
                          (conical ? "" : "0 (a sharp throat corner) or ") + report::ShortestText(least) + " to " +
                          report::ShortestText(moc::TransonicThroat::kMaxRadius) + " throat " +
                          (request.axisymmetric ? "radii" : "half-heights") + " (the transonic series' range)."});
    return std::nullopt;
  }
  return R;
}

// A number typed for `option`, within low (open or not) to high, or a fault naming
// what is accepted.
double Number(nozzle::Option option, const std::string& text, double low, double high, bool lowOpen,
              const std::string& accepted, const nozzle::Spelling& spelling, std::vector<Fault>& faults) {
  const nozzle::ValReading read = nozzle::ReadVal(text);
  if (!read.found || !read.rest.empty() || !((lowOpen ? read.value > low : read.value >= low) && read.value <= high)) {
    faults.push_back(
        {Fault::Kind::kInput, spelling.name(option) + " = \"" + text + "\": out of range; accepted: " + accepted + "."});
  }
  return read.value;
}

// The convergent section of a rounded throat (radius R): its options, refused beside a
// sharp throat.
void ConvergentInputs(const Request& request, const nozzle::Spelling& spelling, double R,
                      nozzle::DesignInputs& inputs, std::vector<Fault>& faults) {
  using nozzle::Option;
  const std::array<std::pair<Option, const std::string*>, 3> options{
      {{Option::kUpstreamRadius, &request.upstreamRadius},
       {Option::kContraction, &request.contraction},
       {Option::kConvergentAngle, &request.convergentAngle}}};
  if (!(R > 0.0)) {
    for (const auto& [option, text] : options) {
      if (!text->empty()) {
        faults.push_back({Fault::Kind::kInput, spelling.name(option) +
                                                   " shapes the convergent section of a rounded throat: give " +
                                                   spelling.name(Option::kThroatRadius) + " too"});
      }
    }
    return;
  }
  inputs.upstreamRadius = request.upstreamRadius.empty()
                              ? R
                              : Number(Option::kUpstreamRadius, request.upstreamRadius, 0.0,
                                       moc::TransonicThroat::kMaxRadius, true,
                                       "above 0, up to " + report::ShortestText(moc::TransonicThroat::kMaxRadius) +
                                           " throat " + (request.axisymmetric ? "radii" : "half-heights"),
                                       spelling, faults);
  if (!request.contraction.empty()) {
    inputs.contraction = Number(Option::kContraction, request.contraction, 1.0, kMaxContraction, true,
                                "above 1, up to " + report::ShortestText(kMaxContraction), spelling, faults);
  }
  if (!request.convergentAngle.empty()) {
    inputs.convergentAngle = Number(Option::kConvergentAngle, request.convergentAngle, 0.0, kMaxConvergentAngle, true,
                                    "above 0, up to " + report::ShortestText(kMaxConvergentAngle) + " degrees",
                                    spelling, faults);
  }
}

// The conical nozzle's half-angle and area ratio, the ideal nozzle's inflection angle,
// and the options that belong to another family than the one asked for.
void FamilyInputs(const Request& request, const nozzle::Spelling& spelling, nozzle::DesignInputs& inputs,
                  std::vector<Fault>& faults) {
  using nozzle::Option;
  const auto fault = [&](const std::string& text) { faults.push_back({Fault::Kind::kInput, text}); };
  const auto number = [&](Option option, const std::string& text, double low, double high, bool lowOpen,
                          const std::string& accepted) -> double {
    return Number(option, text, low, high, lowOpen, accepted, spelling, faults);
  };
  if (request.family != "ideal") {
    if (!request.inflectionAngle.empty()) {
      fault(spelling.name(Option::kInflectionAngle) + " shapes an ideal nozzle: give " +
            spelling.given(Option::kFamily, "ideal") + " too");
    }
  } else if (!request.inflectionAngle.empty()) {
    inputs.inflectionAngle = number(Option::kInflectionAngle, request.inflectionAngle, 0.0, kMaxInflectionAngle, true,
                                    "above 0, up to " + report::ShortestText(kMaxInflectionAngle) + " degrees");
  }
  if (request.family != "given-wall" && !request.wallFile.empty()) {
    fault(spelling.name(Option::kWall) + " is the wall whose flow a given-wall analysis finds: give " +
          spelling.given(Option::kFamily, "given-wall") + " too");
  }
  if (request.family == "given-wall") {
    if (request.meGiven) {
      fault(spelling.name(Option::kMe) + " is the exit Mach number a nozzle is designed for: a given wall's exit "
                                         "follows from its shape");
    }
    if (request.wallFile.empty()) {
      fault("a given-wall analysis needs its wall: " + spelling.given(Option::kWall, "wall.csv"));
    }
  }
  if (request.family != "conical") {
    for (const auto& [option, text] :
         {std::pair{Option::kHalfAngle, &request.halfAngle}, std::pair{Option::kAreaRatio, &request.areaRatio}}) {
      if (!text->empty()) {
        fault(spelling.name(option) + " shapes a conical nozzle: give " +
              spelling.given(Option::kFamily, "conical") + " too");
      }
    }
    return;
  }
  if (request.meGiven) {
    fault(spelling.name(Option::kMe) + " is the exit Mach number a minimum-length nozzle is designed for: a conical "
                                       "nozzle's exit follows from its " + spelling.name(Option::kAreaRatio));
  }
  if (request.areaRatio.empty()) {
    fault("a conical nozzle needs its exit's area over the throat's: " + spelling.given(Option::kAreaRatio, "10"));
  } else {
    inputs.areaRatio = number(Option::kAreaRatio, request.areaRatio, 1.0, kMaxConicalAreaRatio, true,
                              "above 1, up to " + report::ShortestText(kMaxConicalAreaRatio));
  }
  if (!request.halfAngle.empty()) {
    inputs.halfAngle = number(Option::kHalfAngle, request.halfAngle, 0.0, kMaxHalfAngle, true,
                              "above 0, up to " + report::ShortestText(kMaxHalfAngle) + " degrees");
  }
}

}  // namespace

std::variant<Checked, std::vector<Fault>> Check(const Request& request, const nozzle::Spelling& spelling) {
  std::vector<Fault> faults;
  Checked checked;
  checked.request = request;
  checked.family = FindFamily(request.family);
  if (checked.family == nullptr) {
    faults.push_back({Fault::Kind::kInput, spelling.name(nozzle::Option::kFamily) + " = \"" + request.family +
                                               "\": unknown nozzle family; accepted: " + Names(FamilyNames()) + "."});
  }
  // A named gas brings its gamma; one typed beside it must agree (boundary_layer::ReadPhysical).
  nozzle::InputTexts texts = request.texts;
  const std::optional<double> throatRadius = ThroatRadius(request, spelling, faults);
  nozzle::DesignInputs conical;
  FamilyInputs(request, spelling, conical, faults);
  if (request.family == "conical" && throatRadius && conical.areaRatio > 1.0) {
    const double exitHeight = request.axisymmetric ? std::sqrt(conical.areaRatio) : conical.areaRatio;
    const double tangentHeight = 1.0 + *throatRadius * (1.0 - std::cos(conical.halfAngle * gas::Pi_180));
    if (!(exitHeight > tangentHeight)) {
      faults.push_back({Fault::Kind::kInput,
                        spelling.name(nozzle::Option::kAreaRatio) + " = \"" + request.areaRatio +
                            "\": the exit lies on the throat's arc, which reaches the half-angle only at " +
                            (request.axisymmetric ? "a radius " : "a half-height ") + report::RoundedText(tangentHeight) +
                            ": a larger area ratio, a smaller half-angle or a smaller throat radius"});
    }
  }
  if (throatRadius && !(*throatRadius <= 0.0)) {  // NaN: a given wall's, from its file
    // A rounded throat has no fan, and no first wave to give an angle.
    if (request.teta0Given) {
      faults.push_back({Fault::Kind::kInput, spelling.name(nozzle::Option::kTeta0) +
                                                 " is the first wave of a sharp throat corner: a rounded throat (" +
                                                 spelling.name(nozzle::Option::kThroatRadius) + ") has none"});
    }
    texts.teta0 = "0";
  }
  if (const auto named = gas::NamedGas(request.physical.gas); named && !request.gammaGiven) {
    texts.gamma = report::ShortestText(named->gamma);
  }
  const auto inputs = nozzle::CheckInputs(texts);
  const auto* rejection = std::get_if<nozzle::InputRejection>(&inputs);
  if (rejection != nullptr) faults.push_back({Fault::Kind::kInput, rejection->message});
  const std::optional<report::LengthScale> scale = report::ReadLengthScale(request.scale);
  if (!scale) faults.push_back({Fault::Kind::kInput, report::LengthScaleRejection(request.scale, spelling)});
  const std::optional<double> metres =
      scale && !scale->unit.empty() ? std::optional<double>(report::InMetres(*scale)) : std::nullopt;
  const std::optional<double> gamma =
      rejection == nullptr ? std::optional<double>(std::get<nozzle::DesignInputs>(inputs).gamma) : std::nullopt;
  const boundary_layer::PhysicalReading physical = boundary_layer::ReadPhysical(
      request.physical, !request.layerCsv.empty(), gamma, request.gammaGiven, metres, spelling);
  for (const std::string& fault : physical.faults) faults.push_back({Fault::Kind::kInput, fault});
  if (request.dxfCurve != "polyline" && request.dxfCurve != "spline") {
    faults.push_back({Fault::Kind::kInput, spelling.name(nozzle::Option::kDxfCurve) + " = \"" + request.dxfCurve +
                                               "\": unknown; accepted: polyline, spline."});
  }
  if (!request.step.empty() && !StepAvailable()) {
    faults.push_back({Fault::Kind::kInput, spelling.name(nozzle::Option::kStep) +
                                               ": this build writes no STEP solids: it was built without OpenCASCADE "
                                               "(libocct-modeling-algorithms-dev, libocct-data-exchange-dev)"});
  }
  if (request.step.empty()) {
    for (const auto& [option, text] : {std::pair{nozzle::Option::kWallThickness, &request.wallThickness},
                                       std::pair{nozzle::Option::kSpan, &request.span}}) {
      if (!text->empty()) {
        faults.push_back({Fault::Kind::kInput, spelling.name(option) + " shapes the STEP solid: give " +
                                                   spelling.name(nozzle::Option::kStep) + " too"});
      }
    }
  } else if (scale) {
    for (std::string& fault : SolidFaults(request.wallThickness, request.span, request.axisymmetric, *scale,
                                          checked.wallThickness, checked.span, spelling)) {
      faults.push_back({Fault::Kind::kInput, std::move(fault)});
    }
  }
  if (!request.caseFolder.empty()) {
    for (std::string& fault :
         CheckOptionFaults(request.cfdCells != 0 ? std::optional<int>(request.cfdCells) : std::nullopt, request.cfdJobs,
                           request.cfdCore,
                           request.cfdTimeout != 0.0 ? std::optional<double>(request.cfdTimeout) : std::nullopt,
                           spelling)) {
      faults.push_back({Fault::Kind::kInput, std::move(fault)});
    }
    // Refused up front for the largest ladder the default may choose.
    const cfd::CaseOptions largest =
        cfd::LadderOptions(request.cfdCells > 0 ? request.cfdCells : cfd::kLongNozzleCells, request.cfdJobs,
                           scale ? report::InMetres(*scale) : 1.0);
    for (std::string& refusal : cfd::CaseRefusals(request.caseFolder, largest, spelling)) {
      faults.push_back({Fault::Kind::kCase, std::move(refusal)});
    }
  }
  nozzle::WallContour wall;
  if (request.family == "given-wall" && !request.wallFile.empty() && scale) {
    const std::string named = spelling.name(nozzle::Option::kWall) + " = \"" + request.wallFile.string() + "\": ";
    std::ifstream in(request.wallFile, std::ios::binary);
    std::stringstream text;
    if (in) text << in.rdbuf();
    if (!in || in.bad()) {
      faults.push_back({Fault::Kind::kInput, named + "cannot be read"});
    } else {
      wall = nozzle::ReadWallContour(text.str(), scale->factor, spelling);
      if (!wall.fault.empty()) faults.push_back({Fault::Kind::kInput, named + wall.fault});
    }
    const moc::Flow flow = request.axisymmetric ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar;
    const double least = moc::TransonicThroat::MinRadius(flow, moc::ThroatSeries::kKliegelLevine);
    if (wall.fault.empty() && !wall.points.empty() && throatRadius && std::isnan(*throatRadius) &&
        !(wall.radius >= least && wall.radius <= moc::TransonicThroat::kMaxRadius)) {
      faults.push_back({Fault::Kind::kInput,
                        named + "its throat's radius of curvature, from its first two points, is " +
                            (std::isnan(wall.radius) ? std::string("not finite (the wall does not rise there)")
                                                     : report::RoundedText(wall.radius, 4)) +
                            ", outside the transonic series' range (" + report::ShortestText(least) + " to " +
                            report::ShortestText(moc::TransonicThroat::kMaxRadius) + "): give " +
                            spelling.name(nozzle::Option::kThroatRadius)});
    }
  }
  double ambient = NAN;
  if (!request.ambientPressure.empty()) {
    const std::string& text = request.ambientPressure;
    const std::string named = spelling.name(nozzle::Option::kAmbientPressure) + " = \"" + text + "\": ";
    double ratio = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), ratio);
    const bool plain = error == std::errc() && end == text.data() + text.size();
    const std::optional<double> pressure = boundary_layer::Pressure(text);
    const std::optional<double> p0 = boundary_layer::Pressure(request.physical.p0);
    if (plain || (pressure && p0)) {
      ambient = plain ? ratio : *pressure / *p0;
      if (!(ambient >= 0.0 && ambient < 1.0)) {
        faults.push_back({Fault::Kind::kInput, named + "out of range; accepted: from 0 (vacuum) up to, not "
                                                       "including, the stagnation pressure"});
      }
    } else if (pressure) {
      faults.push_back({Fault::Kind::kInput, named + "a pressure with a unit is compared with the stagnation "
                                                     "pressure: give " +
                                                     spelling.name(nozzle::Option::kP0) + " too, or a ratio pa/p0"});
    } else {
      faults.push_back({Fault::Kind::kInput,
                        named + "not a pressure; accepted: a ratio pa/p0 from 0 up to, not including, 1, or with " +
                            spelling.name(nozzle::Option::kP0) +
                            " a pressure with a unit Pa, kPa, MPa, bar, atm or psi (0.5bar)"});
    }
  }
  nozzle::DesignInputs convergent;
  if (throatRadius) {
    const double R = std::isnan(*throatRadius) ? wall.radius : *throatRadius;
    if (!std::isnan(R)) ConvergentInputs(request, spelling, R, convergent, faults);
  }
  if (!faults.empty()) return faults;
  checked.inputs = std::get<nozzle::DesignInputs>(inputs);
  checked.inputs.throatRadius = std::isnan(*throatRadius) ? wall.radius : *throatRadius;
  checked.inputs.upstreamRadius = convergent.upstreamRadius;
  checked.inputs.contraction = convergent.contraction;
  checked.inputs.convergentAngle = convergent.convergentAngle;
  checked.inputs.givenWall = std::move(wall.points);
  checked.inputs.halfAngle = conical.halfAngle;
  checked.inputs.areaRatio = conical.areaRatio;
  checked.inputs.ideal = request.family == "ideal";
  checked.inputs.inflectionAngle = conical.inflectionAngle;
  checked.scale = *scale;
  checked.ambient = ambient;
  checked.conditions = physical.conditions;
  return checked;
}

std::variant<Designed, std::string> Design(const Checked& checked, const gas::NoticeSink& notice, bool texts) {
  const Request& request = checked.request;
  const bool resultFile = texts && !request.resultFolder.empty();
  FamilyRun run;
  try {
    run = checked.family->run(checked.inputs, request.axisymmetric, {texts && !request.summary, resultFile}, notice);
  } catch (const nozzle::InputRefusal& refusal) {
    return std::string(refusal.what());
  }
  Designed designed;
  if (resultFile) designed.resultFile.emplace(request.resultFolder / report::kResultFileName, run.resultFile);
  designed.record = std::move(run.record);
  nozzle::DesignRecord& record = designed.record;
  record.facts.thrust = nozzle::ThrustOf(record, checked.ambient);
  if (record.facts.thrust && record.facts.thrust->separates) {
    record.warnings.push_back("the wall's pressure at the lip, p/p0 = " +
                              report::RoundedText(record.facts.thrust->lipPressure, 4) + ", is below " +
                              report::ShortestText(nozzle::kSeparationPressureRatio) +
                              " of the ambient (Summerfield's criterion): the flow would separate inside the nozzle");
  }
  if (const nozzle::DesignInputs& in = checked.inputs; in.throatRadius > 0.0) {
    record.convergent =
        nozzle::ConvergentWall(in.upstreamRadius, in.contraction, in.convergentAngle, request.axisymmetric, in.gamma);
  }
  if (checked.conditions) {
    for (const nozzle::FlowPoint& p : record.wall) {
      if (std::isnan(p.M)) {
        return "the boundary layer needs the flow along the whole wall, and the net stops short of the lip at x = " +
               report::RoundedText(record.facts.shock ? record.facts.shock->x : p.x) +
               " (a shock forms): the wall cannot be corrected";
      }
    }
    auto corrected = boundary_layer::CorrectWall(record, *checked.conditions);
    if (auto* refusal = std::get_if<std::string>(&corrected)) return std::move(*refusal);
    boundary_layer::Apply(record, std::move(std::get<nozzle::WallCorrection>(corrected)));
  }
  if (!texts) return designed;
  designed.shown = request.summary ? report::SummaryText(record) : std::move(run.list);
  if (request.summary && (!request.step.empty() || request.dxfCurve == "spline")) {
    designed.shown += report::SplineSummary(record);
  }
  if (!request.svg.empty()) {
    designed.files.emplace_back(request.svg, DrawingSvg(record));
  }
  if (!request.csv.empty()) designed.files.emplace_back(request.csv, report::WallContourCsv(record, checked.scale));
  if (!request.dxf.empty()) {
    const auto curve = request.dxfCurve == "spline" ? report::DxfCurve::kSpline : report::DxfCurve::kPolyline;
    designed.files.emplace_back(request.dxf, report::NozzleOutlineDxf(record, checked.scale, curve));
  }
  if (!request.layerCsv.empty()) designed.files.emplace_back(request.layerCsv, report::BoundaryLayerCsv(record));
  if (!request.step.empty()) {
    designed.files.emplace_back(request.step, StepSolid(record, checked.scale, checked.wallThickness, checked.span));
  }
  return designed;
}

std::string DrawingSvg(const nozzle::DesignRecord& record) {
  return report::DrawingSvg(report::MakeDrawingPlan(record), kPictureWidth, kPictureHeight);
}

void Commit(Designed& designed) {
  std::vector<report::StagedFile> staged;
  for (const auto& [path, bytes] : designed.files) staged.emplace_back(path, bytes);
  if (designed.resultFile) designed.resultFile->Commit();
  for (report::StagedFile& file : staged) file.Commit();
}

cfd::CaseOptions LadderOf(const Checked& checked, const nozzle::DesignRecord& record) {
  const Request& request = checked.request;
  const int cells = request.cfdCells > 0 ? request.cfdCells : cfd::DefaultCellsAlong(record.facts.length);
  return cfd::LadderOptions(cells, request.cfdJobs, report::InMetres(checked.scale));
}

Verification Verify(const Checked& checked, const nozzle::DesignRecord& record, const cfd::RunOptions& run) {
  Verification verification;
  const cfd::CaseOptions options = LadderOf(checked, record);
  if (checked.request.verify) {
    verification.missing = cfd::MissingOpenFoam(options.jobs);
    if (verification.missing) return verification;
  }
  verification.run =
      cfd::CheckDesign(cfd::CaseOf(record), checked.request.caseFolder, options, checked.request.verify, run);
  return verification;
}

}  // namespace pipeline
