#include "cli/designer.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "nozzle/design.h"
#include "nozzle/inputs.h"
#include "report/contour.h"
#include "report/drawing_plan.h"
#include "report/file_output.h"
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

}  // namespace

int RunDesigner(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Designs the divergent wall of a minimum-length planar supersonic nozzle by the method of characteristics.",
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
  app.add_option("--dir", dir, "folder in which sonuc.txt is written")->capture_default_str();
  app.add_option("--svg", svgPath, "also draw the nozzle into this SVG file");
  app.add_option("--csv", csvPath, "also write the wall contour (x,y) into this CSV file");
  app.add_option("--dxf", dxfPath, "also write the nozzle outline into this DXF file (AutoCAD R12) for CAD");
  app.add_option("--scale", scaleText,
                 "physical throat half-height of the CSV and DXF coordinates: a number with an optional unit "
                 "mm, cm, m or in (10mm, 25.4mm, 0.5in)")
      ->capture_default_str();
  bool summary = false;
  app.add_flag("--summary", summary,
               "print TetaMax, the length, the exit half-height and its deviation from A/A* instead of the list");
  app.set_version_flag("--version", std::string("nozzle-cli ") + NOZZLE_VERSION);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, out, err);
  }

  const auto checked = nozzle::CheckInputs(texts);
  const std::optional<report::LengthScale> scale = report::ReadLengthScale(scaleText);
  const auto* rejection = std::get_if<nozzle::InputRejection>(&checked);
  if (rejection != nullptr || !scale) {
    if (rejection != nullptr) err << rejection->message << "\n";
    if (!scale) err << report::LengthScaleRejection(scaleText) << "\n";
    return 2;
  }

  try {
    const nozzle::DesignResult result = nozzle::Design(
        std::get<nozzle::DesignInputs>(checked), [&err](std::string_view notice) { err << notice << "\n"; });
    if (!result.wallWarning.empty()) err << "warning: " << result.wallWarning << "\n";

    std::vector<report::StagedFile> files;
    files.emplace_back(dir / report::kResultFileName, report::ResultFileText(result));
    if (!svgPath.empty()) {
      files.emplace_back(svgPath, report::DrawingSvg(report::MakeDrawingPlan(result), kPictureWidth, kPictureHeight));
    }
    if (!csvPath.empty()) files.emplace_back(csvPath, report::WallContourCsv(result, *scale));
    if (!dxfPath.empty()) files.emplace_back(dxfPath, report::NozzleOutlineDxf(result, *scale));
    for (report::StagedFile& file : files) file.Commit();

    if (summary) {
      out << report::SummaryText(report::Summarize(result));
    } else {
      out << report::ResultsListText(result);
    }
  } catch (const nozzle::RunError& e) {
    err << "nozzle-cli: " << e.what() << "\n";
    return 1;
  } catch (const report::WriteError& e) {
    err << "nozzle-cli: " << e.what() << "\n";
    return 1;
  }
  out.flush();
  return 0;
}

}  // namespace cli
