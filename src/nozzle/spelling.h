// The inputs of a design as the libraries name them in their messages, and how a front
// end spells them: the libraries say which quantity a fault is about, each front end
// writes the quantity as its users type it (the command line "--scale", "--scale 10mm";
// Python "scale", "scale='10mm'").
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace nozzle {

enum class Option {
  kFamily, kMe, kTeta0, kN, kGamma, kAxisymmetric, kThroatRadius, kHalfAngle, kAreaRatio, kInflectionAngle, kWall, kUpstreamRadius, kContraction, kConvergentAngle, kAmbientPressure,
  kScale,
  kGas, kGasConstant, kViscosity, kPrandtl, kP0, kT0, kWallTemperature, kLayer, kBoundaryLayerCsv,
  kCase, kVerify, kCfdCells, kCfdJobs, kCfdCore, kCfdTimeout,
  kStep, kWallThickness, kSpan, kDxfCurve,
};

// The option's key, as the command line's long option without its dashes ("gas-constant",
// "cfd-cells"): the front ends form their spellings from it.
inline std::string_view Key(Option option) {
  switch (option) {
    case Option::kFamily: return "family";
    case Option::kMe: return "me";
    case Option::kTeta0: return "teta0";
    case Option::kN: return "n";
    case Option::kGamma: return "gamma";
    case Option::kAxisymmetric: return "axisymmetric";
    case Option::kThroatRadius: return "throat-radius";
    case Option::kHalfAngle: return "half-angle";
    case Option::kAreaRatio: return "area-ratio";
    case Option::kInflectionAngle: return "inflection-angle";
    case Option::kWall: return "wall";
    case Option::kUpstreamRadius: return "upstream-radius";
    case Option::kContraction: return "contraction";
    case Option::kConvergentAngle: return "convergent-angle";
    case Option::kAmbientPressure: return "ambient-pressure";
    case Option::kScale: return "scale";
    case Option::kGas: return "gas";
    case Option::kGasConstant: return "gas-constant";
    case Option::kViscosity: return "viscosity";
    case Option::kPrandtl: return "prandtl";
    case Option::kP0: return "p0";
    case Option::kT0: return "t0";
    case Option::kWallTemperature: return "wall-temperature";
    case Option::kLayer: return "layer";
    case Option::kBoundaryLayerCsv: return "boundary-layer-csv";
    case Option::kCase: return "openfoam";
    case Option::kVerify: return "verify";
    case Option::kCfdCells: return "cfd-cells";
    case Option::kCfdJobs: return "cfd-jobs";
    case Option::kCfdCore: return "cfd-core";
    case Option::kCfdTimeout: return "cfd-timeout";
    case Option::kStep: return "step";
    case Option::kWallThickness: return "wall-thickness";
    case Option::kSpan: return "span";
    case Option::kDxfCurve: return "dxf-curve";
  }
  return "";
}

struct Spelling {
  // The option's name: "--p0" or "p0".
  std::function<std::string(Option)> name;
  // The option given a value, as an example in a sentence: "--scale 10mm" or "scale='10mm'".
  std::function<std::string(Option, std::string_view)> given;
};

// The options as the command line's long options spell them: "--cfd-cells", "--cfd-cells 640".
inline Spelling LongOptionSpelling() {
  return {[](Option option) { return "--" + std::string(Key(option)); },
          [](Option option, std::string_view value) { return "--" + std::string(Key(option)) + " " + std::string(value); }};
}

// The options by their keys alone, where no front end says how it spells them:
// "cfd-cells", "cfd-cells 640".
inline Spelling KeySpelling() {
  return {[](Option option) { return std::string(Key(option)); },
          [](Option option, std::string_view value) { return std::string(Key(option)) + " " + std::string(value); }};
}

}  // namespace nozzle
