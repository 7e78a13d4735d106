// The platform layer's files and paths, as every system must give them: the report file's
// single writer, binary bytes, file names in any script.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/output_files.h"
#include "platform/testing.h"
#include "scratch_files.h"

namespace vmk::platform {
namespace {

using scratch::ReadBytes;
using scratch::ScratchDir;

std::string ReadWhole(const std::string& path) {
  std::FILE* f = OpenFile(path, "rb");
  if (f == nullptr) return "(cannot open)";
  std::string text;
  char buf[256];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
  std::fclose(f);
  return text;
}

TEST(PlatformPaths, JoinAddsOneSeparator) {
  EXPECT_EQ(JoinPath("", "VMKIO1.csv"), "VMKIO1.csv");
  EXPECT_EQ(JoinPath("io/", "VMKIO1.csv"), "io/VMKIO1.csv");
  EXPECT_EQ(JoinPath("io", "VMKIO1.csv"), std::string("io") + kPathSeparator + "VMKIO1.csv");
  EXPECT_TRUE(IsPathSeparator('/'));
  EXPECT_TRUE(IsPathSeparator(kPathSeparator));
  EXPECT_FALSE(IsPathSeparator(':'));
}

// Bytes go out and come back as they are: no line-end translation, 0x1A and 0 are data.
TEST(PlatformAppendFile, ReadsCutsAndAppendsBinaryBytes) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO1.csv", std::string("a\nb\r\n\x1A\0c", 8));
  AppendFile file;
  ASSERT_EQ(file.OpenExisting(path), 0);
  std::uint64_t size = 0;
  ASSERT_EQ(file.Size(size), 0);
  EXPECT_EQ(size, 8u);
  char bytes[3] = {};
  ASSERT_EQ(file.ReadAt(5, bytes, 3), 0);
  EXPECT_EQ(std::string(bytes, 3), std::string("\x1A\0c", 3));
  EXPECT_NE(file.ReadAt(6, bytes, 3), 0) << "a read past the end is an error";
  ASSERT_EQ(file.Truncate(5), 0);
  ASSERT_EQ(file.Append("x\n"), 0);
  ASSERT_EQ(file.Append(std::string("\x1A\r\n", 3)), 0);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(ReadBytes(path), "a\nb\r\nx\n\x1A\r\n");
}

TEST(PlatformAppendFile, NeverCreatesAFile) {
  ScratchDir dir;
  AppendFile file;
  const int err = file.OpenExisting(dir.File("VMKIO2.csv"));
  EXPECT_EQ(KindOfError(err), FileErrorKind::FileNotFound) << ErrorText(err);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(dir / "VMKIO2.csv"));
  EXPECT_NE(file.OpenExisting(dir.File("")), 0) << "a folder is no report file";
}

TEST(PlatformAppendFile, OneWriterAndAnyReaders) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO3.csv", "first\r\n");
  AppendFile writer;
  ASSERT_EQ(writer.OpenExisting(path), 0);
  AppendFile second;
  EXPECT_EQ(second.OpenExisting(path), kErrorFileLocked);
  EXPECT_EQ(KindOfError(kErrorFileLocked), FileErrorKind::AccessDenied);
  EXPECT_FALSE(second.IsOpen());
  EXPECT_EQ(ReadWhole(path), "first\r\n") << "readers are let in";
  ASSERT_EQ(writer.Append("second\r\n"), 0);
  ASSERT_EQ(writer.Close(), 0);
  ASSERT_EQ(second.OpenExisting(path), 0) << "free again once the writer is gone";
  ASSERT_EQ(second.Append("third\r\n"), 0);
  second.CloseQuietly();
  EXPECT_EQ(ReadBytes(path), "first\r\nsecond\r\nthird\r\n");
}

TEST(PlatformAppendFile, ReadOnlyFileIsRefused) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO4.csv", "kept");
  testing::MakeReadOnly(path);
  AppendFile file;
  EXPECT_EQ(file.OpenExisting(path), kErrorAccessDenied);
  EXPECT_EQ(KindOfError(kErrorAccessDenied), FileErrorKind::AccessDenied);
  EXPECT_EQ(ReadBytes(path), "kept");
}

// Names in Japanese and with blanks reach the system intact (the wide-character calls on
// Windows), for folders and files alike.
TEST(PlatformFiles, NamesInAnyScript) {
  ScratchDir dir;
  const std::string folder = dir.File("濃度 データ");
  ASSERT_TRUE(std::filesystem::create_directory(scratch::PathOf(folder)));
  EXPECT_TRUE(IsFolder(folder));
  EXPECT_FALSE(IsFolder(dir.File("濃度 データ2")));
  const std::string path = JoinPath(folder, "ケース①.json");
  EXPECT_EQ(ParentFolder(path), folder);

  int err = -1;
  std::FILE* f = CreateReplacement(path, OutputTarget{}, err);
  ASSERT_NE(f, nullptr) << ErrorText(err);
  EXPECT_EQ(err, 0);
  ASSERT_EQ(std::fwrite("old\n", 1, 4, f), 4u);
  ASSERT_TRUE(FlushToDisk(f));
  std::fclose(f);
  EXPECT_EQ(ReadBytes(scratch::PathOf(path)), "old\n");
  EXPECT_FALSE(IsFolder(path));

  // Never over an existing file.
  EXPECT_EQ(CreateReplacement(path, OutputTarget{}, err), nullptr);
  EXPECT_EQ(err, kErrorExists);

  const std::string other = JoinPath(folder, "新しい.json");
  f = OpenFile(other, "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("new\r\n", f);
  std::fclose(f);
  EXPECT_EQ(RenameReplacing(other, path), 0);
  EXPECT_EQ(ReadWhole(path), "new\r\n");
  EXPECT_EQ(OpenFile(other, "rb"), nullptr);

  AppendFile report;
  ASSERT_EQ(report.OpenExisting(path), 0);
  ASSERT_EQ(report.Append("more\r\n"), 0);
  ASSERT_EQ(report.Close(), 0);
  EXPECT_EQ(ReadWhole(path), "new\r\nmore\r\n");

  RemoveFileQuietly(path);
  EXPECT_EQ(OpenFile(path, "rb"), nullptr);
  EXPECT_NE(RenameReplacing(path, other), 0) << "nothing left to rename";
}

TEST(PlatformErrors, EveryNumberHasAText) {
  EXPECT_FALSE(ErrorText(kErrorAccessDenied).empty());
  EXPECT_FALSE(ErrorText(kErrorFileLocked).empty());
  EXPECT_EQ(ErrorText(kErrorAccessDenied).find('\n'), std::string::npos);
}

}  // namespace
}  // namespace vmk::platform
