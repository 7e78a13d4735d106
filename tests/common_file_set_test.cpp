// Replacing files, one or a set: what is refused, all or none for a set, and what runs that no
// longer go on left behind, as every system must give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/file_set.h"
#include "platform/files.h"
#include "platform/output_files.h"
#include "platform/testing.h"
#include "scratch_files.h"

namespace vmk {
namespace {

namespace fs = std::filesystem;
using scratch::ReadBytes;
using scratch::ScratchDir;

// A process number that no process has: above the largest the systems give.
constexpr long kDeadProcess = 999999999;

std::vector<std::string> Names(const ScratchDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.Path())) names.push_back(scratch::TextOf(e.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

std::string TempName(long process, const char* random = "0123456789ab", const char* suffix = "") {
  return ".vmk-tmp-" + std::to_string(process) + "-" + random + suffix;
}

// The cause named by a refused write, or "" when nothing was raised.
std::string Refusal(const std::string& path) {
  try {
    WriteFileAtomically(path, "new");
  } catch (const FileWriteError& e) {
    return e.what();
  }
  return "";
}

// A read-only file is refused whoever runs the program (the superuser too), as the report file
// is; a folder is never replaced by a file.
TEST(FileSet, RefusesReadOnlyFilesAndFolders) {
  ScratchDir dir;
  const std::string readOnly = dir.NewFile("read-only.json", "kept");
  platform::testing::MakeReadOnly(readOnly);
  fs::create_directory(dir / "folder");
  const struct {
    std::string Path;
    const char* Cause;
  } cases[] = {
      {readOnly, "read-only.json: refused: the file is read-only"},
      {dir.File("folder"), "folder: refused: a folder, not a file"},
  };
  for (const auto& c : cases) {
    const std::string what = Refusal(c.Path);
    EXPECT_NE(what.find(c.Cause), std::string::npos) << what;
  }
  EXPECT_EQ(ReadBytes(readOnly), "kept");
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"folder", "read-only.json"}));
}

// A set is replaced whole or not at all: a target that became a folder after its new bytes were
// written stops the commit, and every file of the set is as it was, the removed one too.
TEST(FileSet, FailedCommitLeavesEveryTargetAsItWas) {
  ScratchDir dir;
  dir.NewFile("a.csv", "old a");
  dir.NewFile("gone.csv", "old gone");
  dir.NewFile("mine.txt", "the user's");
  {
    FileSet set;
    set.Write(dir.File("a.csv"), "new a");
    set.Write(dir.File("new.csv"), "new file");
    set.Remove(dir.File("gone.csv"));
    set.Write(dir.File("z.csv"), "new z");
    fs::create_directory(dir / "z.csv");
    EXPECT_THROW(set.Commit(), FileWriteError);
  }
  EXPECT_EQ(ReadBytes(dir / "a.csv"), "old a");
  EXPECT_EQ(ReadBytes(dir / "gone.csv"), "old gone");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.csv", "gone.csv", "mine.txt", "z.csv"}));

  fs::remove(dir / "z.csv");
  {
    FileSet set;
    set.Write(dir.File("a.csv"), "new a");
    set.Write(dir.File("new.csv"), "new file");
    set.Remove(dir.File("gone.csv"));
    set.Remove(dir.File("never.csv"));  // nothing there: nothing to do
    set.Commit();
  }
  EXPECT_EQ(ReadBytes(dir / "a.csv"), "new a");
  EXPECT_EQ(ReadBytes(dir / "new.csv"), "new file");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.csv", "mine.txt", "new.csv"}));
}

// Files of a process that no longer runs go; those of a running one (this one), files of other
// names and folders stay.
TEST(FileSet, NextWriteClearsWhatDeadWritersLeft) {
  ScratchDir dir;
  const std::string own = TempName(platform::CurrentProcessId());
  for (const std::string& name : {TempName(kDeadProcess), own, std::string("keep.tmp")}) dir.NewFile(name, "left");
  fs::create_directory(dir / TempName(kDeadProcess, "abcdefabcdef"));
  WriteFileAtomically(dir.File("case.json"), "new");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{own, TempName(kDeadProcess, "abcdefabcdef"), "case.json",
                                                   "keep.tmp"}));
}

// A dead run's journal: it had moved the old a.csv aside and put the new one in, and moved the
// old b.csv aside before it was killed. The next write into the folder puts the old set back.
TEST(FileSet, JournalOfAKilledCommitIsUndone) {
  ScratchDir dir;
  const std::string oldA = TempName(kDeadProcess, "00000000000a");
  const std::string newA = TempName(kDeadProcess, "00000000001a");
  const std::string oldB = TempName(kDeadProcess, "00000000000b");
  const std::string newB = TempName(kDeadProcess, "00000000001b");
  const std::string oldC = TempName(kDeadProcess, "00000000000c");
  const std::string newC = TempName(kDeadProcess, "00000000001c");
  dir.NewFile(oldA, "old a");
  dir.NewFile("a.csv", "new a");
  dir.NewFile(oldB, "old b");
  dir.NewFile(newB, "new b");
  dir.NewFile("c.csv", "new c");  // put in where none was before
  const std::string journal = JournalText({{true, dir.File("a.csv"), dir.File(newA), dir.File(oldA)},
                                           {true, dir.File("b.csv"), dir.File(newB), dir.File(oldB)},
                                           {true, dir.File("c.csv"), dir.File(newC), dir.File(oldC)}});
  dir.NewFile(TempName(kDeadProcess, "00000000000f", ".journal"), journal);

  WriteFileAtomically(dir.File("other.json"), "x");
  EXPECT_EQ(ReadBytes(dir / "a.csv"), "old a");
  EXPECT_EQ(ReadBytes(dir / "b.csv"), "old b");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.csv", "b.csv", "other.json"}));
}

// The lock of an output folder: one holder at a time; released, it is free again and its file
// gone.
TEST(FileSet, FolderLockKeepsASecondWriterOut) {
  ScratchDir dir;
  const std::string path = dir.File(".lock");
  platform::FolderLock first;
  ASSERT_EQ(first.Acquire(path), 0);
  platform::FolderLock second;
  EXPECT_EQ(second.Acquire(path), platform::kErrorFileLocked);
  EXPECT_FALSE(second.Held());
  platform::FolderLock moved = std::move(first);
  EXPECT_TRUE(moved.Held());
  EXPECT_EQ(second.Acquire(path), platform::kErrorFileLocked);
  moved.Release();
  EXPECT_FALSE(fs::exists(dir / ".lock"));
  EXPECT_EQ(second.Acquire(path), 0);
  EXPECT_NE(second.Acquire(dir.File("missing/.lock")), 0);
}

}  // namespace
}  // namespace vmk
