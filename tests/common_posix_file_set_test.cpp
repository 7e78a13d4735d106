// Replacing files on POSIX systems: links followed, pipes, devices and sockets refused, the
// permissions kept, and the temporary files removed when a signal ends the program.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
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

// What is not a file is refused with one line and left as it is: a named pipe, a device (as
// root, /dev/null would otherwise be replaced), a socket, and a link to any of them.
TEST(FileSetPosix, PipesDevicesAndSocketsAreRefused) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = dir.File("socket");
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketPath.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  fs::create_symlink(dir / "fifo", dir / "to-fifo");
  const struct {
    std::string Path;
    const char* Cause;
  } cases[] = {
      {dir.File("fifo"), "fifo: refused: a named pipe (FIFO), not a file"},
      {dir.File("to-fifo"), "to-fifo: refused: a named pipe (FIFO), not a file"},
      {"/dev/null", "/dev/null: refused: a device, not a file"},
      {socketPath, "socket: refused: a socket, not a file"},
  };
  for (const auto& c : cases) {
    try {
      WriteFileAtomically(c.Path, "new");
      ADD_FAILURE() << c.Path << " was written";
    } catch (const FileWriteError& e) {
      EXPECT_NE(std::string(e.what()).find(c.Cause), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
  }
  ::close(sock);
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_TRUE(fs::is_symlink(dir / "to-fifo"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(CountTemporaryFiles(dir.Path()), 0);
}

// A replaced file keeps its permission bits (the new bytes are never readable by others
// meanwhile); a new file gets the system's default.
TEST(FileSetPosix, ReplacedFileKeepsItsMode) {
  ScratchDir dir;
  for (const unsigned mode : {0600u, 0640u, 0664u, 0755u, 0200u}) {
    const std::string path = dir.NewFile("f" + std::to_string(mode), "old");
    ::chmod(path.c_str(), mode);
    WriteFileAtomically(path, "new");
    EXPECT_EQ(PermissionBits(path), mode) << std::oct << mode;
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadBytes(path), "new");
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  WriteFileAtomically(dir.File("fresh"), "x");
  EXPECT_EQ(PermissionBits(dir / "fresh"), 0666u & ~mask);
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

// SIGTERM and SIGINT while new bytes wait beside their targets: the temporary files go, the
// targets stay as they were, and the program ends by the signal.
TEST(FileSetPosix, SignalRemovesTheTemporaryFiles) {
  for (const char* test : {"Terminated", "Interrupted"}) {
    ScratchDir dir;
    dir.NewFile("a.csv", "old a");
    EXPECT_EQ(RunChild(test, dir.Path().string()), -1) << ReadBytes(dir / "child-out");
    EXPECT_EQ(ReadBytes(dir / "a.csv"), "old a") << test;
    EXPECT_TRUE(fs::exists(dir / "started")) << test;
    EXPECT_EQ(CountTemporaryFiles(dir.Path()), 0) << test;
  }
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

void WriteSetThenSignal(int sig) {
  const std::string folder = ChildFolder();
  platform::InstallInterruptCleanup();
  FileSet set;
  set.Write(folder + "/a.csv", "new a");
  set.Write(folder + "/b.csv", "new b");
  scratch::WriteBytes(folder + "/started", "");
  std::raise(sig);
  scratch::WriteBytes(folder + "/went-on", "");  // never reached
}

TEST(FileSetSignalChild, Terminated) {
  if (ChildFolder() == nullptr) GTEST_SKIP() << "runs only when started by SignalRemovesTheTemporaryFiles";
  WriteSetThenSignal(SIGTERM);
}

TEST(FileSetSignalChild, Interrupted) {
  if (ChildFolder() == nullptr) GTEST_SKIP() << "runs only when started by SignalRemovesTheTemporaryFiles";
  WriteSetThenSignal(SIGINT);
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
