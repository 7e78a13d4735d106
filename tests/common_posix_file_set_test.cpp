// Replacing files on POSIX systems: links followed, the permissions kept, and the temporary
// files removed when a signal ends the program. (What is refused: common_file_set_test.cpp.)
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "common/file_set.h"
#include "output_files_support.h"
#include "platform/output_files.h"
#include "platform/testing.h"
#include "scratch_files.h"

namespace vmk {
namespace {

namespace fs = std::filesystem;
using scratch::CountTemporaryFiles;
using scratch::ReadBytes;
using scratch::ScratchDir;

// A link is followed, through a chain and relative to its own folder: the file it leads to is
// replaced, keeping its permission bits, and the links stay; a link to a missing file creates
// that file; a loop of links is refused.
TEST(FileSetPosix, LinksAreFollowedAndModesKept) {
  ScratchDir dir;
  fs::create_directory(dir / "real");
  for (const unsigned mode : {0600u, 0640u, 0755u, 0200u}) {
    const std::string path = dir.NewFile("real/f" + std::to_string(mode), "old");
    ::chmod(path.c_str(), mode);
    fs::create_symlink("real/f" + std::to_string(mode), dir / "first");
    fs::create_symlink(dir / "first", dir / "second");
    WriteFileAtomically(dir.File("second"), "through two links");
    EXPECT_TRUE(fs::is_symlink(dir / "first") && fs::is_symlink(dir / "second"));
    EXPECT_EQ(static_cast<unsigned>(fs::status(path).permissions()), mode) << std::oct << mode;
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadBytes(path), "through two links");
    fs::remove(dir / "first");
    fs::remove(dir / "second");
  }
  fs::create_symlink("../real/new.json", dir / "real" / "dangling");
  WriteFileAtomically(dir.File("real/dangling"), "made");
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

constexpr const char* kChildVariable = "VMK_FILE_SET_SIGNAL_TEST_FOLDER";

// SIGTERM ends the program: the new bytes of a set not yet committed go with it (its targets as
// they were), while a set whose renames are under way is put in whole first. The child process
// is this test program again, running FileSetSignalChild.Terminated.
TEST(FileSetPosix, SignalRemovesTheTemporaryFilesAndWaitsForTheRenames) {
  ScratchDir dir;
  dir.NewFile("a.csv", "old a");
  dir.NewFile("c.csv", "old c");
  const platform::testing::ScopedEnvironment child(kChildVariable, dir.Path().string());
  EXPECT_EQ(platform::testing::RunProcess(platform::testing::CurrentProgram(),
                                          {"--gtest_filter=FileSetSignalChild.Terminated"},
                                          "/dev/null", dir.File("out"), dir.File("err")),
            -1)
      << ReadBytes(dir / "out");
  EXPECT_EQ(ReadBytes(dir / "a.csv"), "new a");
  EXPECT_EQ(ReadBytes(dir / "b.csv"), "new b");
  EXPECT_EQ(ReadBytes(dir / "c.csv"), "old c");
  EXPECT_TRUE(fs::exists(dir / "went-on"));
  EXPECT_FALSE(fs::exists(dir / "not-reached"));
  EXPECT_EQ(CountTemporaryFiles(dir.Path()), 0);
}

TEST(FileSetSignalChild, Terminated) {
  const char* folder = std::getenv(kChildVariable);
  if (folder == nullptr) GTEST_SKIP() << "runs only when started by FileSetPosix.SignalRemoves...";
  const std::string dir = folder;
  platform::InstallInterruptCleanup();
  FileSet waiting;
  waiting.Write(dir + "/c.csv", "new c");
  FileSet set;
  set.Write(dir + "/a.csv", "new a");
  set.Write(dir + "/b.csv", "new b");
  {
    const platform::InterruptionDeferred renames;
    std::raise(SIGTERM);
    scratch::WriteBytes(dir + "/went-on", "");
    set.Commit();  // defers on its own as well; the signal ends the program after both
  }
  scratch::WriteBytes(dir + "/not-reached", "");
}

}  // namespace
}  // namespace vmk
