#include "report/file_output.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/golden.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempFolder;

void WriteBytes(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string FailureOf(const fs::path& path, const std::string& bytes) {
  try {
    report::ReplaceFile(path, bytes);
  } catch (const report::WriteError& e) {
    return e.what();
  }
  return "no error";
}

// Takes at most three bytes a call, as a write to a pipe or a full disk may.
long ShortWrite(int fd, const void* data, std::size_t size) {
  return static_cast<long>(::write(fd, data, std::min<std::size_t>(size, 3)));
}

TEST(ReplaceFile, GoesOnAfterAShortWriteFromWhereItStopped) {
  TempFolder folder;
  const fs::path file = folder.path() / "sonuc.txt";
  const report::WriteCall previous = report::SetWriteCall(ShortWrite);
  report::ReplaceFile(file, "K- = 0.746  K+ = -0.746\r\n");
  report::SetWriteCall(previous);
  EXPECT_EQ(ReadBytes(file), "K- = 0.746  K+ = -0.746\r\n");
}

TEST(ReplaceFile, CreatesOrReplacesTheWholeFile) {
  TempFolder folder;
  const fs::path file = folder.path() / "sonuc.txt";
  report::ReplaceFile(file, "a longer first content\r\n");
  EXPECT_EQ(ReadBytes(file), "a longer first content\r\n");
  report::ReplaceFile(file, "short\r\n");
  EXPECT_EQ(ReadBytes(file), "short\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});
}

TEST(ReplaceFile, GivesANewFileTheModeOfACreatedFileAndKeepsTheModeOfAnOldOne) {
  TempFolder folder;
  const fs::path file = folder.path() / "sonuc.txt";
  const mode_t mask = ::umask(022);
  report::ReplaceFile(file, "x");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0644));
  fs::permissions(file, fs::perms(0664));
  report::ReplaceFile(file, "y");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0664));
  ::umask(mask);
}

TEST(ReplaceFile, LeavesTheOldFileWhenAFolderOfThatNameIsInTheWay) {
  TempFolder folder;
  const fs::path file = folder.path() / "sonuc.txt";
  fs::create_directory(file);
  EXPECT_EQ(FailureOf(file, "new"), "cannot write \"" + file.string() + "\": Is a directory");
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});
}

TEST(ReplaceFile, LeavesTheOldFileWhenTheFolderIsMissing) {
  TempFolder folder;
  const fs::path file = folder.path() / "missing" / "sonuc.txt";
  EXPECT_EQ(FailureOf(file, "new"), "cannot write \"" + file.string() + "\": No such file or directory");
}

TEST(ReplaceFile, ReplacesASymbolicLinkAndNeverWritesThroughIt) {
  TempFolder folder;
  const fs::path target = folder.path() / "precious.txt";
  const fs::path file = folder.path() / "sonuc.txt";
  WriteBytes(target, "precious");
  fs::create_symlink(target, file);
  report::ReplaceFile(file, "new");
  EXPECT_FALSE(fs::is_symlink(file));
  EXPECT_EQ(ReadBytes(file), "new");
  EXPECT_EQ(ReadBytes(target), "precious");
}

// A file-size limit stops the write halfway, as a full disk would.
TEST(ReplaceFile, LeavesTheOldFileByteForByteWhenAWriteStopsHalfway) {
  TempFolder folder;
  const fs::path file = folder.path() / "sonuc.txt";
  const std::string old = "old content\r\n";
  WriteBytes(file, old);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string message = FailureOf(file, std::string(100000, 'x'));
    ::_exit(message == "cannot write \"" + file.string() + "\": File too large" ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write did not fail with the file's name and reason";
  EXPECT_EQ(ReadBytes(file), old);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});  // no temporary left behind
}

TEST(StagedFile, RemovesItsTemporaryWhenNotCommitted) {
  TempFolder folder;
  {
    report::StagedFile staged(folder.path() / "sonuc.txt", "never committed");
    EXPECT_EQ(folder.Entries().size(), 1u);
  }
  EXPECT_TRUE(folder.Entries().empty());
}

}  // namespace
