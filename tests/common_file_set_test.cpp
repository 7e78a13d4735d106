// Replacing files, one or a set: what is refused, all or none for a set, what runs that no
// longer go on left behind, and the output folder's lock, as every system must give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "common/atomic_file.h"
#include "common/file_set.h"
#include "platform/output_files.h"
#include "platform/testing.h"
#include "scratch_files.h"

namespace vmk {
namespace {

namespace fs = std::filesystem;
using scratch::ReadBytes;
using scratch::ScratchDir;

constexpr long kDeadProcess = 999999999;  // above the largest process number the systems give

std::vector<std::string> Names(const ScratchDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.Path())) names.push_back(scratch::TextOf(e.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

std::string TempName(long process, const char* random = "0123456789ab", const char* suffix = "") {
  return ".vmk-tmp-" + std::to_string(process) + "-" + random + suffix;
}

// Every target that is no file the user may replace is refused with one line naming it and
// its cause, and stays as it was (a read-only file for the superuser too, as the report file).
TEST(FileSet, RefusedTargetsStayAsTheyWere) {
  ScratchDir dir;
  const std::string readOnly = dir.NewFile("read-only.json", "kept");
  platform::testing::MakeReadOnly(readOnly);
  fs::create_directory(dir / "folder");
  std::vector<std::pair<std::string, std::string>> cases = {
      {readOnly, "refused: the file is read-only"},
      {dir.File("folder"), "refused: a folder, not a file"},
  };
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  cases.push_back({dir.File("fifo"), "refused: a named pipe (FIFO), not a file"});
  cases.push_back({"/dev/null", "refused: a device, not a file"});
  if (::geteuid() != 0) {  // the superuser may write every file that has a write permission
    ::chmod(dir.NewFile("theirs.json", "kept").c_str(), 0464);
    cases.push_back({dir.File("theirs.json"), "refused: Permission denied"});
  }
#endif
  for (const auto& [path, cause] : cases) {
    try {
      WriteFileAtomically(path, "new");
      ADD_FAILURE() << path << " written";
    } catch (const FileWriteError& e) {
      EXPECT_EQ(std::string(e.what()), path + ": " + cause);
    }
  }
  EXPECT_EQ(ReadBytes(readOnly), "kept");
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  const std::vector<std::string> names = Names(dir);
  EXPECT_TRUE(std::none_of(names.begin(), names.end(), [](const std::string& n) { return IsTemporaryName(n); }));
}

// A set is replaced whole or not at all: a target that became a folder after its new bytes were
// written stops the commit, and every file of the set is as it was, the removed one too.
TEST(FileSet, FailedCommitLeavesEveryTargetAsItWas) {
  ScratchDir dir;
  dir.NewFile("a.csv", "old a");
  dir.NewFile("gone.csv", "old gone");
  for (const bool fails : {true, false}) {
    {
      FileSet set;
      set.Write(dir.File("a.csv"), "new a");
      set.Write(dir.File("new.csv"), "new file");
      set.Remove(dir.File("gone.csv"));
      set.Remove(dir.File("never.csv"));  // nothing there: nothing to do
      if (fails) {
        set.Write(dir.File("z.csv"), "new z");
        fs::create_directory(dir / "z.csv");
        EXPECT_THROW(set.Commit(), FileWriteError);
        fs::remove(dir / "z.csv");
      } else {
        set.Commit();
      }
    }
    EXPECT_EQ(ReadBytes(dir / "a.csv"), fails ? "old a" : "new a");
    if (fails) {
      EXPECT_EQ(ReadBytes(dir / "gone.csv"), "old gone");
    }
    const std::vector<std::string> left = {"a.csv", fails ? "gone.csv" : "new.csv"};
    EXPECT_EQ(Names(dir), left);
  }
  EXPECT_EQ(ReadBytes(dir / "new.csv"), "new file");
}

// The next write into a folder clears what dead writers left: the temporary files of a process
// that no longer runs, and a set cut off among its renames put back from its journal (the old
// a.csv moved aside and the new one in, the old b.csv moved aside, c.csv new where none was).
// Files of a running process (this one), of other names, and folders stay.
TEST(FileSet, NextWriteClearsWhatDeadWritersLeft) {
  ScratchDir dir;
  const auto temp = [&](const char* random) { return dir.File(TempName(kDeadProcess, random)); };
  const std::string own = TempName(platform::CurrentProcessId());
  for (const std::string& name : {TempName(kDeadProcess), own, std::string("keep.tmp")}) dir.NewFile(name, "left");
  fs::create_directory(dir / TempName(kDeadProcess, "abcdefabcdef"));
  scratch::WriteBytes(temp("00000000000a"), "old a");
  dir.NewFile("a.csv", "new a");
  scratch::WriteBytes(temp("00000000000b"), "old b");
  scratch::WriteBytes(temp("00000000001b"), "new b");
  dir.NewFile("c.csv", "new c");
  dir.NewFile(TempName(kDeadProcess, "00000000000f", ".journal"),
              JournalText({{true, dir.File("a.csv"), temp("00000000001a"), temp("00000000000a")},
                           {true, dir.File("b.csv"), temp("00000000001b"), temp("00000000000b")},
                           {true, dir.File("c.csv"), temp("00000000001c"), temp("00000000000c")}}));

  WriteFileAtomically(dir.File("other.json"), "x");
  EXPECT_EQ(ReadBytes(dir / "a.csv"), "old a");
  EXPECT_EQ(ReadBytes(dir / "b.csv"), "old b");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{own, TempName(kDeadProcess, "abcdefabcdef"), "a.csv", "b.csv",
                                                   "keep.tmp", "other.json"}));
}

// The lock of an output folder: one holder at a time, also after a move; released, it is free
// again and its file gone.
TEST(FileSet, FolderLockKeepsASecondWriterOut) {
  ScratchDir dir;
  const std::string path = dir.File(".lock");
  platform::FolderLock first;
  platform::FolderLock second;
  ASSERT_EQ(first.Acquire(path), 0);
  platform::FolderLock moved = std::move(first);
  EXPECT_EQ(second.Acquire(path), platform::kErrorFileLocked);
  moved.Release();
  EXPECT_FALSE(fs::exists(dir / ".lock"));
  EXPECT_EQ(second.Acquire(path), 0);
  EXPECT_NE(second.Acquire(dir.File("missing/.lock")), 0);
}

}  // namespace
}  // namespace vmk
