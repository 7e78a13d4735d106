// Whole-file writes: the target is replaced only by a complete file, and kept on failure.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/atomic_file.h"
#include "common/file_set.h"
#include "platform/testing.h"
#include "scratch_files.h"

namespace vmk {
namespace {

namespace fs = std::filesystem;

TEST(WriteFileAtomically, CreatesAndReplaces) {
  scratch::ScratchDir dir;
  const std::string path = dir.File("case.json");
  WriteFileAtomically(path, "first");
  EXPECT_EQ(scratch::ReadBytes(path), "first");
  WriteFileAtomically(path, std::string(100000, 'x'));
  EXPECT_EQ(scratch::ReadBytes(path), std::string(100000, 'x'));
  WriteFileAtomically(path, "");
  EXPECT_EQ(scratch::ReadBytes(path), "");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 1);
}

TEST(WriteFileAtomically, FailureKeepsTheOldFileAndLeavesNoTemporary) {
  scratch::ScratchDir dir;
  const std::string path = dir.NewFile("case.json", "old");
  // A folder that cannot be written: not even root gets past a folder that is gone.
  try {
    WriteFileAtomically(scratch::TextOf(dir / "missing" / "case.json"), "new");
    ADD_FAILURE() << "written into a missing folder";
  } catch (const FileWriteError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot create"), std::string::npos) << e.what();
  }
  // The target is a folder: the rename fails after the bytes were written.
  fs::create_directory(dir / "folder");
  EXPECT_THROW(WriteFileAtomically(dir.File("folder"), "new"), FileWriteError);
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_EQ(scratch::ReadBytes(path), "old");
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir.Path())) {
    ++entries;
    EXPECT_FALSE(IsTemporaryName(e.path().filename().string())) << e.path();
  }
  EXPECT_EQ(entries, 2);

  // Root writes into read-only folders; Windows' read-only mark on a folder does not stop it.
  if (platform::testing::ReadOnlyFoldersRefuseNewFiles()) {
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(WriteFileAtomically(path, "new"), FileWriteError);
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(scratch::ReadBytes(path), "old");
  }
}

}  // namespace
}  // namespace vmk
