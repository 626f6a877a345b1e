// Comparing a whole output with a golden file kept in tests/golden, with a readable
// line diff on a mismatch. NOZZLE_UPDATE_GOLDEN=1 rewrites the golden files instead.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

inline std::filesystem::path GoldenPath(const std::string& name) {
  return std::filesystem::path(NOZZLE_GOLDEN_DIR) / name;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Lines that differ, as "line 12:\n  - expected\n  + actual", at most 20 of them.
inline std::string LineDiff(const std::string& expected, const std::string& actual) {
  const auto a = SplitLines(expected);
  const auto b = SplitLines(actual);
  std::ostringstream diff;
  int shown = 0;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()) && shown < 20; ++i) {
    const std::string* left = i < a.size() ? &a[i] : nullptr;
    const std::string* right = i < b.size() ? &b[i] : nullptr;
    if (left && right && *left == *right) continue;
    diff << "line " << i + 1 << ":\n  - " << (left ? *left : "(none)") << "\n  + " << (right ? *right : "(none)")
         << "\n";
    ++shown;
  }
  if (shown == 0) diff << "the lines agree; the bytes differ (line ends or a final line end)\n";
  return diff.str();
}

inline void ExpectMatchesGolden(const std::string& actual, const std::string& name) {
  const auto path = GoldenPath(name);
  if (const char* update = std::getenv("NOZZLE_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(path)) << "missing golden file " << path;
  const std::string expected = ReadBytes(path);
  EXPECT_TRUE(expected == actual) << "output differs from " << path << ":\n" << LineDiff(expected, actual);
}

}  // namespace testing_support
