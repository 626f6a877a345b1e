// The processes that still work inside a folder (their current folder lies in it),
// read from /proc: after a run is ended, none may be left.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

inline std::vector<std::string> ProcessesWorkingIn(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  const std::string root = fs::weakly_canonical(folder).string();
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code unreadable;
    const fs::path cwd = fs::read_symlink(entry.path() / "cwd", unreadable);
    if (unreadable || cwd.string().rfind(root, 0) != 0) continue;
    std::error_code gone;
    const fs::path exe = fs::read_symlink(entry.path() / "exe", gone);
    if (!gone) found.push_back(pid + " " + exe.filename().string());  // zombies have no exe: already ended
  }
  return found;
}

}  // namespace testing_support
