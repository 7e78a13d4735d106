// A write that the system stops halfway (a file-size limit, which binds root too) leaves the old
// file as it was and names its own cause.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "file_size_limit.h"
#include "scratch_files.h"

namespace vmk {
namespace {

TEST(WriteFileAtomically, WriteStoppedHalfwayKeepsTheOldFile) {
  scratch::ScratchDir dir;
  const std::string path = dir.NewFile("case.json", "old bytes");
  std::string what;
  {
    const scratch::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.Active());
    try {
      WriteFileAtomically(path, std::string(100000, 'x'));
    } catch (const FileWriteError& e) {
      what = e.what();
    }
  }

  EXPECT_NE(what.find("cannot write: File too large"), std::string::npos) << what;
  EXPECT_EQ(scratch::ReadBytes(path), "old bytes");
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    ++entries;
    EXPECT_EQ(e.path().filename(), "case.json");
  }
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace vmk
