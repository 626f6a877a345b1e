#include "report/file_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace report {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& reason) {
  throw WriteError("cannot write \"" + path.string() + "\": " + reason);
}

[[noreturn]] void FailWithErrno(const std::filesystem::path& path, int error) {
  Fail(path, std::strerror(error));
}

// The mode the new file gets: that of the file it replaces, else what creating a
// file would give (0666 less the umask).
mode_t ModeFor(const struct stat* existing) {
  if (existing != nullptr) return existing->st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

long SystemWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

WriteCall writeCall = SystemWrite;

}  // namespace

WriteCall SetWriteCall(WriteCall call) { return std::exchange(writeCall, call); }

StagedFile::StagedFile(std::filesystem::path path, std::string_view bytes) : path_(std::move(path)) {
  struct stat existing {};
  const bool exists = ::lstat(path_.c_str(), &existing) == 0;
  if (exists && S_ISREG(existing.st_mode) && ::faccessat(AT_FDCWD, path_.c_str(), W_OK, AT_EACCESS) != 0) {
    Fail(path_, "the file is read-only");
  }
  // Found now rather than at the rename, so that files staged together fail together.
  if (exists && S_ISDIR(existing.st_mode)) FailWithErrno(path_, EISDIR);

  const std::filesystem::path folder = path_.has_parent_path() ? path_.parent_path() : ".";
  std::string name = ".";
  name.append(path_.filename().string()).append(".XXXXXX");
  std::string pattern = (folder / name).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) FailWithErrno(path_, errno);
  temporary_ = pattern;

  int error = 0;
  for (std::size_t written = 0; written < bytes.size() && error == 0;) {
    const long n = writeCall(fd, bytes.data() + written, bytes.size() - written);
    if (n >= 0) {
      written += static_cast<std::size_t>(n);
    } else if (errno != EINTR) {
      error = errno;
    }
  }
  if (error == 0 && ::fchmod(fd, ModeFor(exists && S_ISREG(existing.st_mode) ? &existing : nullptr)) != 0) {
    error = errno;
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
    FailWithErrno(path_, error);
  }
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : path_(std::move(other.path_)), temporary_(std::exchange(other.temporary_, {})) {}

StagedFile::~StagedFile() {
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void StagedFile::Commit() {
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) FailWithErrno(path_, errno);
  temporary_.clear();
}

void ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
  StagedFile staged(path, bytes);
  staged.Commit();
}

}  // namespace report
