// The report file on Windows: GetLastError codes, paths written with "\", a missing folder in
// them, and binary bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "report/report.h"
#include "report/report_io.h"
#include "report_test_support.h"

namespace vmk {
namespace {

using testing::OpenEnabled;
using testing::ReadBytes;
using testing::ScratchDir;

TEST(ReportWindows, ErrorCodeKinds) {
  const std::pair<DWORD, IoErrorKind> cases[] = {
      {ERROR_FILE_NOT_FOUND, IoErrorKind::FileNotFound},
      {ERROR_PATH_NOT_FOUND, IoErrorKind::PathNotFound},
      {ERROR_ACCESS_DENIED, IoErrorKind::AccessDenied},
      {ERROR_SHARING_VIOLATION, IoErrorKind::AccessDenied},
      {ERROR_DISK_FULL, IoErrorKind::DiskFull},
      {ERROR_HANDLE_DISK_FULL, IoErrorKind::DiskFull},
      {ERROR_TOO_MANY_OPEN_FILES, IoErrorKind::TooManyOpenFiles},
      {ERROR_CRC, IoErrorKind::Other},
  };
  for (const auto& [code, kind] : cases) EXPECT_EQ(IoErrorKindOf(static_cast<int>(code)), kind);
}

IoErrorKind OpenFailure(const std::string& path) {
  ReportFile rf;
  try {
    OpenEnabled(rf, path);
  } catch (const ReportIoError& e) {
    return e.Kind;
  }
  ADD_FAILURE() << "opening " << path << " raised nothing";
  return IoErrorKind::Other;
}

// A missing folder is told from a missing file whichever separator the path uses.
TEST(ReportWindows, MissingFolderInABackslashPath) {
  ScratchDir dir;
  const std::string base = dir.Path().string();  // "C:\...\vmk-test-..."
  ASSERT_NE(base.find('\\'), std::string::npos);
  EXPECT_EQ(OpenFailure(base + "\\VMKIO9.csv"), IoErrorKind::FileNotFound);
  EXPECT_EQ(OpenFailure(base + "\\missing\\VMKIO9.csv"), IoErrorKind::PathNotFound);
  EXPECT_EQ(OpenFailure(base + "\\missing/VMKIO9.csv"), IoErrorKind::PathNotFound);
  EXPECT_EQ(OpenFailure(base + "/missing\\deeper\\VMKIO9.csv"), IoErrorKind::PathNotFound);
  EXPECT_EQ(OpenErrorKind(ERROR_FILE_NOT_FOUND, base + "\\missing\\VMKIO9.csv"),
            IoErrorKind::PathNotFound);
  EXPECT_EQ(OpenErrorKind(ERROR_FILE_NOT_FOUND, base + "\\VMKIO9.csv"),
            IoErrorKind::FileNotFound);
}

// The report is CR LF text as written: nothing doubles the CR, a lone LF stays alone, and the
// end-of-file mark cut still finds its byte.
TEST(ReportWindows, BytesAreWrittenAsTheyAre) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO1.csv", "old\r\nend\x1A\x1A");
  ReportFile rf;
  OpenEnabled(rf, path);
  rf.Append("one\r\ntwo\n\x1A three\r\n");
  CloseReportFile(rf);
  EXPECT_EQ(ReadBytes(path), "old\r\nendone\r\ntwo\n\x1A three\r\n");
}

}  // namespace
}  // namespace vmk
