// The STEP solid from the pipeline: its lengths checked, and the writer, a module of its
// own (report/step_module.cpp) that is loaded the first time a solid is written.
#include <stdexcept>
#include <string>
#include <vector>

#include "pipeline/pipeline.h"
#include "report/solid.h"
#include "report/step_file.h"

#ifdef NOZZLE_HAVE_STEP
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#endif

namespace pipeline {

#ifdef NOZZLE_HAVE_STEP
namespace {

// The folder of the program, or of the Python module, that this code is part of.
std::vector<std::filesystem::path> OwnFolders() {
  std::vector<std::filesystem::path> folders;
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&OwnFolders), &info) != 0 && info.dli_fname != nullptr &&
      info.dli_fname[0] == '/') {
    folders.push_back(std::filesystem::path(info.dli_fname).parent_path());
  }
  std::array<char, 4096> exe{};
  const ssize_t length = ::readlink("/proc/self/exe", exe.data(), exe.size() - 1);
  if (length > 0) {
    folders.push_back(std::filesystem::path(std::string(exe.data(), static_cast<std::size_t>(length))).parent_path());
  }
  return folders;
}

// The STEP writer module, loaded once: installed beside the programs (bin/../lib/
// nozzle-designer) or the Python module (lib/python3.X/dist-packages/../../
// nozzle-designer), else the build tree's.
report::StepModuleEntry StepEntry(std::string& looked) {
  static report::StepModuleEntry entry = nullptr;
  if (entry != nullptr) return entry;
  std::vector<std::filesystem::path> candidates;
  const auto add = [&candidates](const std::filesystem::path& path) {
    if (std::find(candidates.begin(), candidates.end(), path.lexically_normal()) == candidates.end()) {
      candidates.push_back(path.lexically_normal());
    }
  };
  for (const std::filesystem::path& folder : OwnFolders()) {
    add(folder / NOZZLE_STEP_MODULE_NAME);
    add(folder / ".." / "lib" / "nozzle-designer" / NOZZLE_STEP_MODULE_NAME);
    add(folder / ".." / ".." / "nozzle-designer" / NOZZLE_STEP_MODULE_NAME);
  }
  add(NOZZLE_STEP_MODULE_BUILT);
  std::string searched;
  for (const std::filesystem::path& candidate : candidates) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(candidate, ignored)) {
      searched += (searched.empty() ? "" : ", ") + candidate.string();
      continue;
    }
    void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      searched += (searched.empty() ? "" : ", ") + candidate.string() + " (" + ::dlerror() + ")";
      continue;
    }
    entry = reinterpret_cast<report::StepModuleEntry>(::dlsym(module, report::kStepModuleEntry));
    if (entry != nullptr) return entry;
  }
  looked = searched;
  return nullptr;
}

}  // namespace
#endif

bool StepAvailable() {
#ifdef NOZZLE_HAVE_STEP
  return true;
#else
  return false;
#endif
}

std::string StepSolid(const nozzle::DesignRecord& record, const report::LengthScale& scale,
                      std::optional<double> wallThickness, std::optional<double> span) {
#ifdef NOZZLE_HAVE_STEP
  report::SolidOptions options = report::DefaultSolidOptions(record, scale);
  if (wallThickness) options.wallThickness = *wallThickness;
  if (span) options.span = *span;
  std::string looked;
  const report::StepModuleEntry entry = StepEntry(looked);
  if (entry == nullptr) {
    throw report::StepError("STEP solid: the STEP writer " + std::string(NOZZLE_STEP_MODULE_NAME) +
                            " is not installed (looked for " + looked + ")");
  }
  std::string bytes, error;
  if (entry(record, scale, options, bytes, error) != 0) throw report::StepError(error);
  return bytes;
#else
  (void)record, (void)scale, (void)wallThickness, (void)span;
  throw std::logic_error("this build writes no STEP solids (built without OpenCASCADE)");
#endif
}

std::vector<std::string> SolidFaults(const std::string& thicknessText, const std::string& spanText, bool axisymmetric,
                                     const report::LengthScale& scale, std::optional<double>& thickness,
                                     std::optional<double>& span, const nozzle::Spelling& spelling) {
  using nozzle::Option;
  std::vector<std::string> faults;
  if (!thicknessText.empty()) {
    thickness = report::ReadSolidLength(thicknessText, scale);
    if (!thickness) faults.push_back(report::SolidLengthRejection(Option::kWallThickness, thicknessText, spelling));
  }
  if (!spanText.empty() && axisymmetric) {
    faults.push_back(spelling.name(Option::kSpan) + ": a round nozzle is revolved whole; the span is a planar "
                     "nozzle's width");
  } else if (!spanText.empty()) {
    span = report::ReadSolidLength(spanText, scale);
    if (!span) faults.push_back(report::SolidLengthRejection(Option::kSpan, spanText, spelling));
  }
  return faults;
}

}  // namespace pipeline
