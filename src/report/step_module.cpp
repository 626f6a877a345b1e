// The STEP writer as a module of its own, loaded by the program only when a STEP
// file is asked for: OpenCASCADE's libraries then load with it, not with every run.
#include <exception>
#include <string>

#include "report/step_file.h"

extern "C" __attribute__((visibility("default"))) int nozzle_step_file(const nozzle::DesignRecord& design,
                                                                       const report::LengthScale& scale,
                                                                       const report::SolidOptions& options,
                                                                       std::string& bytes, std::string& error) {
  try {
    bytes = report::NozzleStep(design, scale, options);
    return 0;
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "STEP solid: the kernel failed";
  }
  return 1;
}
