// Permission bits stop nothing for root, and tests and CI run as root: a test of a
// read-only file or folder runs its program as the unprivileged user "nobody"
// (through setpriv) instead. Where no such user can be had, the reason is given and
// the test is skipped.
#pragma once

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

namespace testing_support {

struct UnprivilegedUser {
  uid_t uid;
  gid_t gid;
  // The words that run a command as this user.
  std::string Prefix() const {
    return "setpriv --reuid=" + std::to_string(uid) + " --regid=" + std::to_string(gid) + " --clear-groups";
  }
};

inline bool RunningAsRoot() { return ::geteuid() == 0; }

// The user "nobody" with setpriv to become it; nullopt with `reason` set otherwise.
inline std::optional<UnprivilegedUser> FindUnprivilegedUser(std::string& reason) {
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr) {
    reason = "there is no user \"nobody\" to run as";
    return std::nullopt;
  }
  if (::access("/usr/bin/setpriv", X_OK) != 0) {
    reason = "setpriv is not installed (util-linux)";
    return std::nullopt;
  }
  return UnprivilegedUser{nobody->pw_uid, nobody->pw_gid};
}

// A copy of `program` in `folder` that every user may run, wherever the build lies.
inline std::filesystem::path CopyForEveryone(const std::filesystem::path& program,
                                             const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  fs::permissions(folder, fs::perms(0755));
  const fs::path copy = folder / program.filename();
  fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
  fs::permissions(copy, fs::perms(0755));
  return copy;
}

}  // namespace testing_support
