// The options spelt as the command line spells them, for the tests of the libraries'
// messages.
#pragma once

#include <string>
#include <string_view>

#include "nozzle/spelling.h"

namespace testing_support {

inline const nozzle::Spelling& CommandLineSpelling() {
  static const nozzle::Spelling spelling{
      [](nozzle::Option option) { return "--" + std::string(nozzle::Key(option)); },
      [](nozzle::Option option, std::string_view value) {
        return "--" + std::string(nozzle::Key(option)) + " " + std::string(value);
      }};
  return spelling;
}

}  // namespace testing_support
