#include "pipeline/families.h"

#include <array>

#include "nozzle/conical.h"
#include "nozzle/design.h"
#include "nozzle/given_wall.h"
#include "nozzle/minimum_length.h"
#include "nozzle/rounded_throat.h"
#include "report/axisymmetric_outputs.h"
#include "report/given_wall_outputs.h"
#include "report/throat_outputs.h"
#include "report/result_file.h"
#include "report/results_list.h"

namespace pipeline {
namespace {

FamilyRun MinimumLength(const nozzle::DesignInputs& inputs, bool axisymmetric, FamilyTexts texts,
                        const gas::NoticeSink& notice) {
  FamilyRun run;
  if (inputs.throatRadius > 0.0) {
    const nozzle::RoundedThroatDesign design =
        nozzle::DesignRoundedThroat(inputs, axisymmetric ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar);
    if (texts.resultFile) run.resultFile = report::RoundedThroatResultFileText(design);
    if (texts.list) run.list = report::RoundedThroatListText(design);
    run.record = nozzle::RecordOf(design);
  } else if (axisymmetric) {
    const nozzle::MarchedDesign design = nozzle::DesignAxisymmetric(inputs);
    if (texts.resultFile) run.resultFile = report::AxisymmetricResultFileText(design);
    if (texts.list) run.list = report::AxisymmetricListText(design);
    run.record = nozzle::RecordOf(design);
  } else {
    const nozzle::DesignResult design = nozzle::Design(inputs, notice);
    if (texts.resultFile) run.resultFile = report::ResultFileText(design);
    if (texts.list) run.list = report::ResultsListText(design);
    run.record = nozzle::RecordOf(design);
  }
  return run;
}

// The texts and the record of a flow through a given wall, as the family `name` made it.
FamilyRun OfGivenWall(const nozzle::GivenWallFlow& flow, const char* name, const nozzle::DesignInputs& inputs,
                      FamilyTexts texts) {
  FamilyRun run;
  if (texts.resultFile) run.resultFile = report::GivenWallResultFileText(flow);
  if (texts.list) run.list = report::GivenWallListText(flow);
  run.record = nozzle::RecordOf(flow, name, inputs);
  return run;
}

FamilyRun Conical(const nozzle::DesignInputs& inputs, bool axisymmetric, FamilyTexts texts, const gas::NoticeSink&) {
  return OfGivenWall(nozzle::DesignConical(inputs, axisymmetric ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar),
                     "conical", inputs, texts);
}

FamilyRun GivenWall(const nozzle::DesignInputs& inputs, bool axisymmetric, FamilyTexts texts,
                    const gas::NoticeSink&) {
  return OfGivenWall(nozzle::DesignGivenWall(inputs, axisymmetric ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar),
                     "given-wall", inputs, texts);
}

FamilyRun Ideal(const nozzle::DesignInputs& inputs, bool axisymmetric, FamilyTexts texts, const gas::NoticeSink&) {
  FamilyRun run;
  const nozzle::RoundedThroatDesign design =
      nozzle::DesignRoundedThroat(inputs, axisymmetric ? moc::Flow::kAxisymmetric : moc::Flow::kPlanar);
  if (texts.resultFile) run.resultFile = report::RoundedThroatResultFileText(design);
  if (texts.list) run.list = report::RoundedThroatListText(design);
  run.record = nozzle::RecordOf(design);
  run.record.family = "ideal";
  return run;
}

const std::array<Family, 4>& Families() {
  static const std::array<Family, 4> families{{
      {"minimum-length",
       "the shortest nozzle with a uniform exit: a sharp throat corner and a centred fan, or a rounded throat",
       MinimumLength},
      {"conical", "a rounded throat and a cone (planar: a wedge) of a half-angle to an area ratio, its flow analysed",
       Conical},
      {"ideal",
       "the gradual expansion of wind tunnels with a uniform exit: a rounded throat, a straight wall at the inflection "
       "angle, and the wall that cancels its waves",
       Ideal},
      {"given-wall", "the flow through a wall read from a file (--wall): its exit profile, wall pressure and mass balance",
       GivenWall},
  }};
  return families;
}

}  // namespace

const Family* FindFamily(std::string_view name) {
  for (const Family& family : Families()) {
    if (family.name == name) return &family;
  }
  return nullptr;
}

std::vector<std::string> FamilyNames() {
  std::vector<std::string> names;
  for (const Family& family : Families()) names.emplace_back(family.name);
  return names;
}

}  // namespace pipeline
