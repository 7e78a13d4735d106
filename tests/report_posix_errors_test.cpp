// How errno values of failed file calls map onto the report file's failure kinds (POSIX
// systems; Windows has its own codes, see report_windows_test.cpp), and a report that the
// file-size limit stops leaving the file as it was. (A full disk: cli_posix_outputs_test.cpp.)
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>

#include "file_size_limit.h"
#include "report/report.h"
#include "report/report_io.h"
#include "report_test_support.h"

namespace vmk {
namespace {

TEST(ReportFileOpen, ErrnoKinds) {
  const std::pair<int, IoErrorKind> cases[] = {
      {ENOENT, IoErrorKind::FileNotFound},     {ENOTDIR, IoErrorKind::PathNotFound},
      {ENAMETOOLONG, IoErrorKind::PathNotFound}, {EACCES, IoErrorKind::AccessDenied},
      {EPERM, IoErrorKind::AccessDenied},      {EROFS, IoErrorKind::AccessDenied},
      {EISDIR, IoErrorKind::AccessDenied},     {EWOULDBLOCK, IoErrorKind::AccessDenied},
      {ENOSPC, IoErrorKind::DiskFull},         {EDQUOT, IoErrorKind::DiskFull},
      {EMFILE, IoErrorKind::TooManyOpenFiles}, {ENFILE, IoErrorKind::TooManyOpenFiles},
      {EIO, IoErrorKind::Other},               {ELOOP, IoErrorKind::Other},
  };
  for (const auto& [err, kind] : cases) EXPECT_EQ(IoErrorKindOf(err), kind) << err;
}

// The limit (which binds root too) stops the report when the buffer is written out part-way,
// at the close, or at its first byte: the file is exactly as it was, end-of-file mark and all.
TEST(ReportFileFailedWrite, FileSizeLimitLeavesTheFileAsItWas) {
  const std::string plain(5000, 'a');
  const struct {
    std::string Before;
    rlim_t Limit;
    std::size_t Report;
  } cases[] = {
      {plain + "\x1A" + std::string(60, 'z'), 8192, 4000},
      {plain, 100000, 140000},
      {plain, 5000, 10},
  };
  testing::ScratchDir dir;
  const std::string path = dir.File("VMKIO1.csv");
  for (const auto& c : cases) {
    testing::WriteBytes(path, c.Before);
    ReportFile rf;
    testing::OpenEnabled(rf, path);
    const scratch::FileSizeLimit limit(c.Limit);
    ASSERT_TRUE(limit.Active());
    try {
      rf.Append(std::string(c.Report, 'r'));
      CloseReportFile(rf);
      ADD_FAILURE() << "a report of " << c.Report << " bytes was written";
    } catch (const ReportIoError& e) {
      EXPECT_EQ(e.SysErrno, EFBIG);
      EXPECT_EQ(e.Kind, IoErrorKind::Other);
    }
    EXPECT_FALSE(rf.IsOpen());
    EXPECT_EQ(testing::ReadBytes(path), c.Before) << c.Report;
  }
}

}  // namespace
}  // namespace vmk
