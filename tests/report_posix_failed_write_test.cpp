// A report that cannot be written whole leaves the file exactly as it was: the file-size limit
// (which binds root too) stops it when the buffer is written out part-way or at the close. (A
// full disk: cli_posix_outputs_test.cpp.)
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "file_size_limit.h"
#include "report/report.h"
#include "report_test_support.h"

namespace vmk {
namespace {

using testing::OpenEnabled;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

// Appends `report` and closes; returns the error raised, after checking that there was one.
ReportIoError FailedReport(const std::string& path, const std::string& report) {
  ReportFile rf;
  OpenEnabled(rf, path);
  try {
    rf.Append(report);
    CloseReportFile(rf);
  } catch (const ReportIoError& e) {
    EXPECT_FALSE(rf.IsOpen());
    return e;
  }
  ADD_FAILURE() << "a report of " << report.size() << " bytes was written";
  return ReportIoError(IoErrorKind::Other, 0, "");
}

TEST(ReportFileFailedWrite, FileSizeLimitLeavesTheFileAsItWas) {
  const std::string plain(5000, 'a');
  const std::string marked = plain + "\x1A" + std::string(60, 'z');
  const struct {
    const char* Name;
    std::string Before;
    rlim_t Limit;
    std::size_t Report;
  } cases[] = {
      {"at the close, a mark cut", marked, 8192, 4000},
      {"part-way, 64 KiB written out first", plain, 100000, 140000},
      {"at the first byte", plain, 5000, 10},
  };
  ScratchDir dir;
  const std::string path = dir.File("VMKIO1.csv");
  for (const auto& c : cases) {
    WriteBytes(path, c.Before);
    ReportIoError error(IoErrorKind::Other, 0, "");
    {
      const scratch::FileSizeLimit limit(c.Limit);
      ASSERT_TRUE(limit.Active());
      error = FailedReport(path, std::string(c.Report, 'r'));
    }
    EXPECT_EQ(error.SysErrno, EFBIG) << c.Name;
    EXPECT_EQ(error.Kind, IoErrorKind::Other) << c.Name;
    EXPECT_EQ(ReadBytes(path), c.Before) << c.Name;
  }
}

}  // namespace
}  // namespace vmk
