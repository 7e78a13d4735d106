// What only Windows does: drive letters and "\" in paths, c:\Vellmark\IO, the share mode as the
// single-writer lock, GetLastError codes, binary standard streams.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/streams.h"
#include "scratch_files.h"

namespace vmk::platform {
namespace {

using scratch::ScratchDir;

TEST(PlatformWindowsPaths, BackslashesAndDriveLetters) {
  EXPECT_TRUE(IsPathSeparator('\\'));
  EXPECT_TRUE(IsPathSeparator('/'));
  const std::pair<const char*, const char*> cases[] = {
      {"c:\\Vellmark\\IO\\VMKIO1.csv", "c:\\Vellmark\\IO"},
      {"c:\\Vellmark\\IO\\", "c:\\Vellmark\\IO"},
      {"C:/Vellmark/IO/VMKIO1.csv", "C:/Vellmark/IO"},
      {"c:\\Vellmark/IO\\VMKIO1.csv", "c:\\Vellmark/IO"},
      {"c:\\VMKIO1.csv", "c:\\"},
      {"c:VMKIO1.csv", "c:"},
      {"\\VMKIO1.csv", "\\"},
      {"io\\\\VMKIO1.csv", "io"},
      {"VMKIO1.csv", "."},
      {"a/b/c.csv", "a/b"},
      {"/c.csv", "/"},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(ParentFolder(path), folder) << path;
  EXPECT_EQ(JoinPath("c:\\Vellmark\\IO", "VMKIO1.csv"), "c:\\Vellmark\\IO\\VMKIO1.csv");
  EXPECT_EQ(JoinPath("c:\\Vellmark\\IO\\", "VMKIO1.csv"), "c:\\Vellmark\\IO\\VMKIO1.csv");
  EXPECT_EQ(JoinPath("c:/io/", "VMKIO1.csv"), "c:/io/VMKIO1.csv");
  EXPECT_EQ(JoinPath("c:/io", "VMKIO1.csv"), "c:/io/VMKIO1.csv");
  EXPECT_EQ(JoinPath("c:/io\\x", "VMKIO1.csv"), "c:/io\\x\\VMKIO1.csv");
  EXPECT_EQ(JoinPath("io", "VMKIO1.csv"), "io\\VMKIO1.csv");
}

TEST(PlatformWindowsPaths, ReportFolderOnDriveC) {
  EXPECT_EQ(DefaultReportFolder(), "c:\\Vellmark\\IO");
}

TEST(PlatformWindowsErrors, CodesOfGetLastError) {
  const std::pair<DWORD, FileErrorKind> cases[] = {
      {ERROR_FILE_NOT_FOUND, FileErrorKind::FileNotFound},
      {ERROR_PATH_NOT_FOUND, FileErrorKind::PathNotFound},
      {ERROR_INVALID_NAME, FileErrorKind::PathNotFound},
      {ERROR_INVALID_DRIVE, FileErrorKind::PathNotFound},
      {ERROR_DIRECTORY, FileErrorKind::PathNotFound},
      {ERROR_ACCESS_DENIED, FileErrorKind::AccessDenied},
      {ERROR_SHARING_VIOLATION, FileErrorKind::AccessDenied},
      {ERROR_LOCK_VIOLATION, FileErrorKind::AccessDenied},
      {ERROR_WRITE_PROTECT, FileErrorKind::AccessDenied},
      {ERROR_DISK_FULL, FileErrorKind::DiskFull},
      {ERROR_HANDLE_DISK_FULL, FileErrorKind::DiskFull},
      {ERROR_TOO_MANY_OPEN_FILES, FileErrorKind::TooManyOpenFiles},
      {ERROR_INVALID_HANDLE, FileErrorKind::Other},
      {ERROR_CRC, FileErrorKind::Other},
  };
  for (const auto& [code, kind] : cases) {
    EXPECT_EQ(KindOfError(static_cast<int>(code)), kind) << code;
  }
  EXPECT_EQ(kErrorAccessDenied, static_cast<int>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(kErrorFileLocked, static_cast<int>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(kErrorNotOpen, static_cast<int>(ERROR_INVALID_HANDLE));
}

// Another program's handle on the file, with the given access and sharing.
HANDLE OpenAsAnotherProgram(const std::string& path, DWORD access, DWORD share) {
  return CreateFileW(scratch::PathOf(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The share mode is the lock: readers that share writing come in, writers never, and a
// program that holds the file for writing keeps the report out.
TEST(PlatformWindowsShareMode, OneWriterAndReadersThatShare) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO1.csv", "x");
  constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  {
    AppendFile report;
    ASSERT_EQ(report.OpenExisting(path), 0);
    const HANDLE reader = OpenAsAnotherProgram(path, GENERIC_READ, kShareAll);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    const HANDLE writer = OpenAsAnotherProgram(path, GENERIC_WRITE, kShareAll);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(writer);
  }
  {
    const HANDLE writer = OpenAsAnotherProgram(path, GENERIC_WRITE, kShareAll);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    AppendFile report;
    EXPECT_EQ(report.OpenExisting(path), kErrorFileLocked);
    CloseHandle(writer);
  }
  {
    // A reader that lets nobody write (as some spreadsheet programs open a file).
    const HANDLE reader = OpenAsAnotherProgram(path, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    AppendFile report;
    EXPECT_EQ(report.OpenExisting(path), kErrorFileLocked);
    CloseHandle(reader);
    EXPECT_EQ(report.OpenExisting(path), 0);
  }
}

// Standard input, output and error are binary from the start of the program's main on:
// "\n" stays one byte, and a 0x1A is read like any other byte.
TEST(PlatformWindowsStreams, StandardStreamsAreBinary) {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_TEXT);
  _setmode(_fileno(stdin), _O_TEXT);
  {
    const StandardStreams streams;
    for (std::FILE* stream : {stdin, stdout, stderr}) {
      EXPECT_EQ(_setmode(_fileno(stream), _O_BINARY), _O_BINARY);
    }
  }
  _setmode(_fileno(stdout), _O_TEXT);  // as the test program had it
}

}  // namespace
}  // namespace vmk::platform
