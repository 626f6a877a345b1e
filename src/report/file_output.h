// Replacing an output file without ever leaving it half written.
//
// The new content goes to a temporary file in the same folder, is flushed to disk
// and then renamed over the old file, so that at every moment the file is either
// the old one, byte for byte, or the new one. A symbolic link in the file's place
// is replaced by the new file; its target is never written through. An existing
// file that may not be written (read-only) is the user's protection and is not
// replaced. Failures throw WriteError, whose text names the file and the reason:
//   cannot write "out/sonuc.txt": Is a directory
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace report {

class WriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The first half of a replacement: the temporary file, written and flushed.
// Commit() renames it into place; destroying an uncommitted one removes it.
// Staging several files and committing them together writes all or (nearly
// always) none of them.
class StagedFile {
 public:
  StagedFile(std::filesystem::path path, std::string_view bytes);
  StagedFile(StagedFile&& other) noexcept;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  StagedFile& operator=(StagedFile&&) = delete;
  ~StagedFile();

  void Commit();

 private:
  std::filesystem::path path_;
  std::filesystem::path temporary_;
};

void ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

// The call that writes the staged bytes, ::write by default. A write may take fewer
// bytes than asked; staging goes on from where it stopped. Tests put a short-writing
// call in its place. Returns the call it replaces.
using WriteCall = long (*)(int fd, const void* data, std::size_t size);
WriteCall SetWriteCall(WriteCall call);

}  // namespace report
