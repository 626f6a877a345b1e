// The axisymmetric design run called directly with any doubles for Me, Teta0, N and
// gamma (air when the input holds only three), no checks: every outcome is a
// complete, finite result or a named RunError.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double values[4] = {0.0, 0.0, 0.0, 1.4};
  std::memcpy(values, data, size < sizeof values ? size : sizeof values);
  const nozzle::DesignInputs inputs{values[0], values[1], values[2], values[3]};
  try {
    fuzzing::CheckResult(nozzle::DesignAxisymmetric(inputs));
  } catch (const nozzle::RunError& error) {
    fuzzing::Require(std::strlen(error.what()) > 0, "an error says what failed");
  }
  return 0;
}
