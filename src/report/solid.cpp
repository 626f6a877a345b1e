#include "report/solid.h"

#include "report/number_text.h"

namespace report {

std::string SolidUnit(const LengthScale& scale) { return scale.unit.empty() ? "mm" : scale.unit; }

SolidOptions DefaultSolidOptions(const nozzle::DesignRecord& design, const LengthScale& scale) {
  SolidOptions options;
  options.wallThickness = 0.2 * scale.factor;
  const std::vector<ContourPoint> wall = WallPoints(design, scale.factor);
  options.span = design.IsAxisymmetric() ? 0.0 : 2.0 * wall.back().y;
  return options;
}

std::optional<double> ReadSolidLength(std::string_view text, const LengthScale& scale) {
  const std::optional<LengthScale> length = ReadLengthScale(text);
  if (!length) return std::nullopt;
  if (length->unit.empty()) return length->factor;
  return InMetres(*length) / InMetres(LengthScale{1.0, SolidUnit(scale), 0});
}

std::string SolidLengthRejection(nozzle::Option option, std::string_view text, const nozzle::Spelling& spelling) {
  const std::string what = option == nozzle::Option::kSpan ? "Span " : "Wall thickness ";
  return what + spelling.name(option) + " = \"" + std::string(text) +
         "\": not a length; accepted: a number greater than 0 with an optional unit mm, cm, m or in "
         "(2mm, 0.1in; without a unit, in the solid's unit: the scale's, mm when it has none).";
}

std::string SolidNote(const nozzle::DesignRecord& design, const LengthScale& scale, const SolidOptions& options) {
  const bool round = design.IsAxisymmetric();
  const std::string unit = SolidUnit(scale);
  std::string note = std::string("Nozzle Designer: ") +
                     (round ? "round nozzle, revolved about the x axis" : "planar nozzle, its two walls") +
                     ", Me = " + ShortestText(design.inputs.Me);
  if (!design.gas.IsAir()) note += ", gamma = " + ShortestText(design.gas.gamma);
  if (design.correction) note += ", wall corrected for the boundary layer";
  note += ", wall " + ShortestText(options.wallThickness) + " " + unit + " thick";
  if (!round) note += ", span " + ShortestText(options.span) + " " + unit;
  note += "; lengths in " + unit;
  const std::string throat = round ? "throat radius" : "throat half-height";
  if (scale.unit.empty()) {
    note += " (no unit was given: one " + throat + " is " + ShortestText(scale.factor) + " mm)";
  } else {
    note += " (the " + throat + " is " + ShortestText(scale.factor) + " " + unit + ")";
  }
  return note;
}

}  // namespace report
