// Paths and folders on POSIX systems: "/" alone separates, the report folder is in the home
// folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files.h"

namespace vmk::platform {
namespace {

TEST(PlatformPosixPaths, OnlySlashSeparates) {
  EXPECT_FALSE(IsPathSeparator('\\'));
  EXPECT_EQ(ParentFolder("a/b/c.csv"), "a/b");
  EXPECT_EQ(ParentFolder("/c.csv"), "/");
  EXPECT_EQ(ParentFolder("c.csv"), ".");
  EXPECT_EQ(ParentFolder("a\\b.csv"), ".");  // a name with a backslash in it
  EXPECT_EQ(JoinPath("a\\", "b"), "a\\/b");
}

TEST(PlatformPosixPaths, ReportFolderIsInTheHomeFolder) {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') GTEST_SKIP() << "no HOME here";
  EXPECT_EQ(DefaultReportFolder(), std::string(home) + "/Vellmark/IO");
}

}  // namespace
}  // namespace vmk::platform
