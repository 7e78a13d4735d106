// A save that the disk cannot hold (a limit on the size of written files stops the write as a
// full disk would, for every user, root included): the old file stays, with no temporary file
// beside it, and the edits stay unsaved.
#include <gtest/gtest.h>

#include <filesystem>

#include "file_size_limit.h"
#include "frontend_test_support.h"
#include "scratch_files.h"

namespace {

using namespace vmk;

TEST(FrontendPosixSaveTest, FileTooLargeForTheDiskKeepsTheOldFile) {
  scratch::ScratchDir dir;
  fronttest::FakeWindow w;
  const std::string path = dir.File("case.json");
  ASSERT_TRUE(SaveCaseFile(w.Fe, path));
  const std::string old = scratch::ReadBytes(dir / "case.json");
  w.Type("QgEdit", "77");
  {
    const scratch::FileSizeLimit limit(512);
    ASSERT_TRUE(limit.Active());
    EXPECT_FALSE(SaveCaseFile(w.Fe, path));
  }
  ASSERT_EQ(w.Messages.size(), 1u);
  EXPECT_EQ(w.Messages[0].Text.rfind("保存できませんでした", 0), 0u);
  EXPECT_EQ(scratch::ReadBytes(dir / "case.json"), old);
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1);
  EXPECT_EQ(w.Title, "VMK - 1 - case.json *");
}

}  // namespace
