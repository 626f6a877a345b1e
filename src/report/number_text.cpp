#include "report/number_text.h"

#include <array>
#include <charconv>

namespace report {

std::string RoundedText(double value, int decimals) {
  std::array<char, 400> buffer{};  // the largest double has 309 integer digits
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  std::string text(buffer.data(), result.ptr);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

std::string NumberField(double value, int decimals) {
  const std::string text = RoundedText(value, decimals);
  return text[0] == '-' ? text + " " : " " + text + " ";
}

std::string ShortestText(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace report
