// Replacing files on POSIX systems: links followed, the permissions kept, a file of another user
// refused, and the temporary files removed when a signal ends the program. (Pipes, devices and
// folders: cli_posix_outputs_test.cpp.)
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "common/file_set.h"
#include "platform/output_files.h"
#include "platform/testing.h"
#include "output_files_support.h"
#include "scratch_files.h"

namespace vmk {
namespace {

namespace fs = std::filesystem;
using scratch::CountTemporaryFiles;
using scratch::PermissionBits;
namespace sys = platform::testing;
using scratch::ReadBytes;
using scratch::ScratchDir;

// A link is followed, through a chain and relative to its own folder: the file it leads to is
// replaced and the link stays; a link to a missing file creates that file.
TEST(FileSetPosix, LinksAreFollowed) {
  ScratchDir dir;
  fs::create_directory(dir / "real");
  dir.NewFile("real/case.json", "old");
  fs::create_symlink("real/case.json", dir / "first");
  fs::create_symlink(dir / "first", dir / "second");
  fs::create_symlink("../real/new.json", dir / "real" / "dangling");
  WriteFileAtomically(dir.File("second"), "through two links");
  WriteFileAtomically(dir.File("real/dangling"), "made");
  EXPECT_TRUE(fs::is_symlink(dir / "first"));
  EXPECT_TRUE(fs::is_symlink(dir / "second"));
  EXPECT_TRUE(fs::is_symlink(dir / "real" / "dangling"));
  EXPECT_EQ(ReadBytes(dir / "real" / "case.json"), "through two links");
  EXPECT_EQ(ReadBytes(dir / "real" / "new.json"), "made");
  EXPECT_EQ(CountTemporaryFiles(dir.Path()) + CountTemporaryFiles(dir / "real"), 0);

  fs::create_symlink("loop", dir / "loop");
  try {
    WriteFileAtomically(dir.File("loop"), "x");
    ADD_FAILURE() << "a loop of links was written";
  } catch (const FileWriteError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot examine"), std::string::npos) << e.what();
  }
}

// A replaced file keeps its permission bits, also through a link.
TEST(FileSetPosix, ReplacedFileKeepsItsMode) {
  ScratchDir dir;
  for (const unsigned mode : {0600u, 0640u, 0755u, 0200u}) {
    const std::string path = dir.NewFile("f" + std::to_string(mode), "old");
    ::chmod(path.c_str(), mode);
    fs::create_symlink(path, dir / ("link" + std::to_string(mode)));
    WriteFileAtomically(dir.File("link" + std::to_string(mode)), "new");
    EXPECT_EQ(PermissionBits(path), mode) << std::oct << mode;
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadBytes(path), "new");
  }
}

// A file this user may not write is refused, by the permission the system gives the user (the
// superuser may write any file that has a write permission at all, so this needs another user).
TEST(FileSetPosix, FileOfAnotherUserIsRefused) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write every file that is not read-only";
  ScratchDir dir;
  const std::string path = dir.NewFile("theirs.json", "kept");
  ::chmod(path.c_str(), 0464);  // the group may write, the owner (this user) may not
  try {
    WriteFileAtomically(path, "new");
    ADD_FAILURE() << "written";
  } catch (const FileWriteError& e) {
    EXPECT_NE(std::string(e.what()).find("theirs.json: refused: Permission denied"), std::string::npos)
        << e.what();
  }
  ::chmod(path.c_str(), 0664);
  EXPECT_EQ(ReadBytes(path), "kept");
}

// ---- Signals, in a child process: this test program again, running one of the tests below,
// which end by a signal when all is right.

constexpr const char* kChildVariable = "VMK_FILE_SET_SIGNAL_TEST_FOLDER";

int RunChild(const std::string& test, const std::string& folder) {
  const sys::ScopedEnvironment child(kChildVariable, folder);
  return sys::RunProcess(sys::CurrentProgram(), {"--gtest_filter=FileSetSignalChild." + test},
                         "/dev/null", folder + "/child-out", folder + "/child-err");
}

// SIGTERM while new bytes wait beside their targets: the temporary files go, the targets stay
// as they were, and the program ends by the signal.
TEST(FileSetPosix, SignalRemovesTheTemporaryFiles) {
  ScratchDir dir;
  dir.NewFile("a.csv", "old a");
  EXPECT_EQ(RunChild("Terminated", dir.Path().string()), -1) << ReadBytes(dir / "child-out");
  EXPECT_EQ(ReadBytes(dir / "a.csv"), "old a");
  EXPECT_TRUE(fs::exists(dir / "started"));
  EXPECT_EQ(CountTemporaryFiles(dir.Path()), 0);
}

// A signal during the renames waits for them: the set is replaced whole, then the program ends.
TEST(FileSetPosix, SignalWaitsForTheRenames) {
  ScratchDir dir;
  dir.NewFile("a.csv", "old a");
  EXPECT_EQ(RunChild("DuringCommit", dir.Path().string()), -1) << ReadBytes(dir / "child-out");
  EXPECT_TRUE(fs::exists(dir / "went-on"));
  EXPECT_EQ(ReadBytes(dir / "a.csv"), "new a");
  EXPECT_EQ(ReadBytes(dir / "b.csv"), "new b");
  EXPECT_EQ(CountTemporaryFiles(dir.Path()), 0);
}

const char* ChildFolder() { return std::getenv(kChildVariable); }

TEST(FileSetSignalChild, Terminated) {
  if (ChildFolder() == nullptr) GTEST_SKIP() << "runs only when started by SignalRemovesTheTemporaryFiles";
  const std::string folder = ChildFolder();
  platform::InstallInterruptCleanup();
  FileSet set;
  set.Write(folder + "/a.csv", "new a");
  set.Write(folder + "/b.csv", "new b");
  scratch::WriteBytes(folder + "/started", "");
  std::raise(SIGTERM);
}

TEST(FileSetSignalChild, DuringCommit) {
  if (ChildFolder() == nullptr) GTEST_SKIP() << "runs only when started by SignalWaitsForTheRenames";
  const std::string folder = ChildFolder();
  platform::InstallInterruptCleanup();
  FileSet set;
  set.Write(folder + "/a.csv", "new a");
  set.Write(folder + "/b.csv", "new b");
  {
    const platform::InterruptionDeferred renames;
    std::raise(SIGTERM);
    scratch::WriteBytes(folder + "/went-on", "");
    set.Commit();  // defers on its own as well; the signal ends the program after both
  }
  scratch::WriteBytes(folder + "/not-reached", "");
}

}  // namespace
}  // namespace vmk
