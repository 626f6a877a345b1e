// The path of "Calculate" and of the command line: the input is split at line feeds
// into the texts of Me, Teta0, N and the ratio of specific heats (the rest of the
// input, line feeds included; air when there is no fourth line); they are read and
// checked, and an accepted input is designed and presented.
// An accepted input must design without error; a rejected one must say why.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "fuzz/invariants.h"
#include "nozzle/inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  nozzle::InputTexts texts;
  const std::size_t first = input.find('\n');
  const std::size_t second = first == std::string::npos ? std::string::npos : input.find('\n', first + 1);
  texts.me = input.substr(0, first);
  texts.teta0 = first == std::string::npos ? "" : input.substr(first + 1, second - first - 1);
  const std::size_t third = second == std::string::npos ? std::string::npos : input.find('\n', second + 1);
  texts.n = second == std::string::npos ? "" : input.substr(second + 1, third - second - 1);
  if (third != std::string::npos) texts.gamma = input.substr(third + 1);

  const auto checked = nozzle::CheckInputs(texts);
  if (const auto* rejection = std::get_if<nozzle::InputRejection>(&checked)) {
    fuzzing::Require(!rejection->message.empty(), "a rejection says why");
    return 0;
  }
  try {
    fuzzing::CheckResult(nozzle::Design(std::get<nozzle::DesignInputs>(checked)), true);
  } catch (const nozzle::RunError& error) {
    std::fprintf(stderr, "accepted input failed: %s\n", error.what());
    std::abort();
  }
  return 0;
}
