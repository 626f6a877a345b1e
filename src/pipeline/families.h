// The nozzle families the designer knows, each by its name: the inputs it takes, and
// its run on the checked inputs, which fills the design record (nozzle/design_record.h)
// and gives the family's own list and result file.
//
//   minimum-length  the shortest nozzle with a uniform, parallel exit at Me: a sharp
//                   throat corner, a centred fan and the wall that cancels its waves
//                   (nozzle/design.h planar, nozzle/minimum_length.h round), or with a
//                   throat radius of curvature R > 0 the throat's arc and the wall
//                   that cancels its waves (nozzle/rounded_throat.h). Inputs: Me,
//                   Teta0 (the sharp corner's), N, the gas's gamma, R.
//   conical         a rounded throat and a cone, its flow analysed (nozzle/conical.h).
//                   Inputs: the half-angle, the area ratio, N, gamma, R.
//   ideal           a rounded throat, a straight wall at the inflection angle and the
//                   wall that cancels its waves (nozzle/rounded_throat.h). Inputs: Me,
//                   N, gamma, R, the inflection angle.
//   given-wall      the flow through a wall read from a file (nozzle/given_wall.h).
//                   Inputs: the wall's points, N, gamma, R (else the file's).
//
// Whether a nozzle is planar or round is the flow's geometry, apart from its family:
// every family is designed in either. A family is added by its inputs, its solver on
// the characteristics toolkit (src/moc) and one entry in families.cpp; no output
// branches on the family.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gas/prandtl_meyer.h"
#include "nozzle/design_record.h"
#include "nozzle/inputs.h"

namespace pipeline {

// What a family's run gives: the record every output past the list reads, and the
// list and result file of the family's own net.
struct FamilyRun {
  nozzle::DesignRecord record;
  std::string list;
  std::string resultFile;
};

// Which of the family's own texts are made (each costs a walk through the net).
struct FamilyTexts {
  bool list = true;
  bool resultFile = true;
};

struct Family {
  std::string_view name;
  std::string_view description;
  // Throws nozzle::RunError naming the step that failed. Notices of an iteration that
  // did not converge go to `notice` as they come.
  std::function<FamilyRun(const nozzle::DesignInputs& inputs, bool axisymmetric, FamilyTexts texts,
                          const gas::NoticeSink& notice)>
      run;
};

// The family of that name, or null.
const Family* FindFamily(std::string_view name);
std::vector<std::string> FamilyNames();

}  // namespace pipeline
