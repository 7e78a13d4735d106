// The report file: opening only an existing file, the failure kinds, the end-of-file mark cut,
// the single-writer lock, buffering and closing on every path.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/testing.h"
#include "report/report.h"
#include "report/report_io.h"
#include "report_test_support.h"
#include "sanitizer.h"

namespace vmk {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::OpenEnabled;
using testing::WriteBytes;

namespace fs = std::filesystem;
namespace sys = platform::testing;

int OpenDescriptorCount() { return sys::OpenHandleCount(); }

// The kind of the error that opening `path` raises; fails the test when nothing is raised.
IoErrorKind OpenFailure(const std::string& path, int* sysErrno = nullptr) {
  ReportFile rf;
  try {
    OpenEnabled(rf, path);
  } catch (const ReportIoError& e) {
    EXPECT_FALSE(rf.IsOpen());
    if (sysErrno != nullptr) *sysErrno = e.SysErrno;
    return e.Kind;
  }
  ADD_FAILURE() << "opening " << path << " raised nothing";
  return IoErrorKind::Other;
}

// Appends one short text through the writers' path and closes.
void AppendReport(const std::string& path, const std::string& text) {
  ReportFile rf;
  OpenEnabled(rf, path);
  rf.Append(text);
  CloseReportFile(rf);
}

TEST(ReportFileOpen, AppendsToAnExistingFile) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO1.csv", "first\r\n");
  AppendReport(path, "second\r\n");
  AppendReport(path, "third\r\n");
  EXPECT_EQ(ReadBytes(path), "first\r\nsecond\r\nthird\r\n");
}

TEST(ReportFileOpen, FailureKinds) {
  ScratchDir dir;
  const std::string plain = dir.NewFile("plain.csv", "x");
  const int before = OpenDescriptorCount();
  EXPECT_EQ(OpenFailure(dir.File("VMKIO9.csv")), IoErrorKind::FileNotFound);
  EXPECT_EQ(OpenFailure(dir.File("missing/VMKIO9.csv")), IoErrorKind::PathNotFound);
  EXPECT_EQ(OpenFailure(dir.File("missing/deeper/VMKIO9.csv")), IoErrorKind::PathNotFound);
  EXPECT_EQ(OpenFailure(plain + "/VMKIO9.csv"), IoErrorKind::PathNotFound);  // not a folder
  EXPECT_EQ(OpenFailure(dir.File("")), IoErrorKind::AccessDenied);           // a folder
  EXPECT_EQ(OpenDescriptorCount(), before);
  // The file is never created.
  EXPECT_FALSE(fs::exists(dir / "VMKIO9.csv"));
}

// A file without write permission is refused, also for the superuser, so this holds as root.
TEST(ReportFileOpen, ReadOnlyFileIsDenied) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO2.csv", "kept\x1A");
  sys::MakeReadOnly(path);
  const int before = OpenDescriptorCount();
  int err = 0;
  EXPECT_EQ(OpenFailure(path, &err), IoErrorKind::AccessDenied);
  EXPECT_EQ(err, platform::kErrorAccessDenied);
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(ReadBytes(path), "kept\x1A");  // not even the end-of-file mark is cut
}

TEST(ReportFileOpen, TooManyOpenFiles) {
  if (vmk::testing_support::kUnderSanitizer) {
    GTEST_SKIP() << "without a free file descriptor the sanitizer's runtime itself fails";
  }
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO3.csv");
  IoErrorKind kind = IoErrorKind::Other;
  int err = 0;
  {
    const sys::OpenFileLimit limit;
    if (!limit.Active()) GTEST_SKIP() << "no limit of open files to lower on this system";
    kind = OpenFailure(path, &err);
  }
  EXPECT_EQ(kind, IoErrorKind::TooManyOpenFiles);
  EXPECT_EQ(err, sys::OpenFileLimit::Error());
}

TEST(ReportFileOpen, ParentFolder) {
  EXPECT_EQ(ParentFolder("a/b/c.csv"), "a/b");
  EXPECT_EQ(ParentFolder("/c.csv"), "/");
  EXPECT_EQ(ParentFolder("c.csv"), ".");
}

// Writes to /dev/full fail with ENOSPC: the failure shows when the buffer is written out, and
// the file is closed all the same.
TEST(ReportFileWrite, DiskFull) {
  const std::string full = sys::AlwaysFullFile();
  if (full.empty()) GTEST_SKIP() << "no writable device that is always full here";
  const int before = OpenDescriptorCount();
  ReportFile rf;
  OpenEnabled(rf, full);
  WritePuffHeader(rf);
  try {
    CloseReportFile(rf);
    ADD_FAILURE() << "closing raised nothing";
  } catch (const ReportIoError& e) {
    EXPECT_EQ(e.Kind, IoErrorKind::DiskFull);
    EXPECT_EQ(e.SysErrno, ENOSPC);
  }
  EXPECT_FALSE(rf.IsOpen());
  EXPECT_EQ(OpenDescriptorCount(), before);

  // A buffer that fills up is written out at once, so the row writer itself raises.
  OpenReportFile(rf, full);
  const std::string block(16 * 1024, 'x');
  try {
    for (int i = 0; i < 8; ++i) rf.Append(block);
    ADD_FAILURE() << "64 KiB of rows raised nothing";
  } catch (const ReportIoError& e) {
    EXPECT_EQ(e.Kind, IoErrorKind::DiskFull);
  }
  EXPECT_FALSE(rf.IsOpen());
  EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST(ReportFileWrite, BufferedUntilCloseOrFull) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO4.csv");
  ReportFile rf;
  OpenEnabled(rf, path);
  WritePuffHeader(rf);
  EXPECT_EQ(fs::file_size(path), 0u);
  const std::string block(16 * 1024, 'y');
  for (int i = 0; i < 4; ++i) rf.Append(block);
  const auto flushed = fs::file_size(path);
  EXPECT_GE(flushed, 64u * 1024u);
  rf.Append("tail\r\n");
  EXPECT_EQ(fs::file_size(path), flushed);
  CloseReportFile(rf);
  EXPECT_EQ(fs::file_size(path), flushed + 6);
}

// A calculation abandoned without closing still leaves its rows in the file.
TEST(ReportFileWrite, DestructorWritesAndCloses) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO5.csv");
  const int before = OpenDescriptorCount();
  {
    ReportFile rf;
    OpenEnabled(rf, path);
    WriteSectionTotal(rf, "puff", 0.0f);
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(ReadBytes(path), "\r\npuff total(ppb) ,,,0\r\n\r\n");
}

TEST(ReportFileWrite, DisabledTouchesNothing) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO6.csv", "same\x1A");
  ReportFile rf;
  rf.ReportEnabled = false;
  OpenReportFile(rf, path);
  EXPECT_FALSE(rf.IsOpen());
  OpenReportFile(rf, dir.File("missing/VMKIO6.csv"));  // not even looked at
  WritePuffHeader(rf);
  WritePuffRow(rf, PuffRow{});
  WriteSectionTotal(rf, "puff", 1);
  WritePlumeHeader(rf);
  WritePlumeRow(rf, PlumeRow{});
  WriteModelSections(rf, ModelResult{});
  WriteSectionTotal(rf, "plume", 1);
  WriteReportTrailer(rf, 1, 1);
  CloseReportFile(rf);
  EXPECT_EQ(ReadBytes(path), "same\x1A");
}

struct EofMarkCase {
  const char* name;
  std::string before;
  std::string after;
};

TEST(ReportFileOpen, EndOfFileMarkInTheLastBytesIsCut) {
  const std::string pad200(200, 'p');
  const std::string pad127(127, 'q');
  const EofMarkCase cases[] = {
      {"mark at the end", "abc\x1A", "abc+"},
      {"mark with bytes after it", "abc\x1Axyz\x1A", "abc+"},
      {"mark alone", "\x1A", "+"},
      {"no mark", "abc", "abc+"},
      {"mark first of the last 128", "r\x1A" + pad127, "r+"},
      {"mark just before the last 128", "\x1A" + pad127 + "s", "\x1A" + pad127 + "s+"},
      {"mark far before the end", "\x1A" + pad200, "\x1A" + pad200 + "+"},
  };
  ScratchDir dir;
  const std::string path = dir.File("VMKIO7.csv");
  for (const auto& c : cases) {
    WriteBytes(path, c.before);
    AppendReport(path, "+");
    EXPECT_EQ(ReadBytes(path), c.after) << c.name;
  }
}

// A calculation that ends in an error takes its report back: the file is as it was before,
// its end-of-file mark and the bytes after it included, whether the rows were still buffered
// or already written out (a report of more than 64 KiB).
TEST(ReportFileWrite, AbandonedReportLeavesTheFileAsItWas) {
  const std::string befores[] = {"", "abc", "abc\x1A", "abc\x1Axyz\x1A", "\x1A",
                                 std::string(5000, 'a') + "\x1A" + std::string(100, 'z')};
  const std::string reports[] = {"+", std::string(80 * 1024, 'r')};
  ScratchDir dir;
  const std::string path = dir.File("VMKIO9.csv");
  const int before = OpenDescriptorCount();
  for (const std::string& report : reports) {
    for (const std::string& b : befores) {
      WriteBytes(path, b);
      ReportFile rf;
      OpenEnabled(rf, path);
      rf.Append(report);
      AbandonReportFile(rf);
      EXPECT_FALSE(rf.IsOpen());
      EXPECT_EQ(ReadBytes(path), b) << b.size() << " bytes, report of " << report.size();
      AppendReport(path, "next\r\n");  // the lock is free again
    }
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
}

// The file that ReportFileLock.ChildProcess opens, set by the test that starts it.
constexpr const char* kChildFileVariable = "VMK_REPORT_LOCK_TEST_FILE";

TEST(ReportFileLock, SecondWriterIsRefusedUntilClose) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO8.csv");
  ReportFile first;
  OpenEnabled(first, path);
  first.Append("one\r\n");

  const int before = OpenDescriptorCount();
  int err = 0;
  EXPECT_EQ(OpenFailure(path, &err), IoErrorKind::AccessDenied);
  EXPECT_EQ(err, platform::kErrorFileLocked);
  EXPECT_EQ(OpenDescriptorCount(), before);

  // Another process is kept out too; readers are not: this program again, running only the
  // test below, which exits with 0 when both hold.
  int code = -1;
  {
    const sys::ScopedEnvironment child(kChildFileVariable, path);
    code = sys::RunProcess(sys::CurrentProgram(), {"--gtest_filter=ReportFileLock.ChildProcess"},
                           dir.NewFile("none"), dir.File("child-out"), dir.File("child-err"));
  }
  EXPECT_EQ(code, 0) << ReadBytes(dir / "child-out");
  EXPECT_NE(ReadBytes(dir / "child-out").find("[  PASSED  ] 1 test"), std::string::npos);

  CloseReportFile(first);
  AppendReport(path, "two\r\n");
  EXPECT_EQ(ReadBytes(path), "one\r\ntwo\r\n");
}

// Runs only as the other process of the test above.
TEST(ReportFileLock, ChildProcess) {
  const char* path = std::getenv(kChildFileVariable);
  if (path == nullptr) GTEST_SKIP() << "runs only when started by SecondWriterIsRefusedUntilClose";
  ReportFile other;
  EXPECT_EQ(OpenFailure(path), IoErrorKind::AccessDenied);
  std::FILE* reader = platform::OpenFile(path, "rb");
  EXPECT_NE(reader, nullptr) << "a reader is kept out";
  if (reader != nullptr) std::fclose(reader);
}

// Opening again while a file is still open finishes the earlier file and releases its lock.
TEST(ReportFileLock, ReopeningReleasesTheEarlierFile) {
  ScratchDir dir;
  const std::string a = dir.NewFile("VMKIOA.csv");
  const std::string b = dir.NewFile("VMKIOB.csv");
  ReportFile rf;
  OpenEnabled(rf, a);
  rf.Append("to a\r\n");
  OpenReportFile(rf, b);
  rf.Append("to b\r\n");
  AppendReport(a, "again\r\n");
  CloseReportFile(rf);
  EXPECT_EQ(ReadBytes(a), "to a\r\nagain\r\n");
  EXPECT_EQ(ReadBytes(b), "to b\r\n");
}

}  // namespace
}  // namespace vmk
