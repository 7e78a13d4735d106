// How errno values of failed file calls map onto the report file's failure kinds (POSIX
// systems; Windows has its own codes, see report_windows_test.cpp).
#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

#include "report/report.h"
#include "report/report_io.h"

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

}  // namespace
}  // namespace vmk
