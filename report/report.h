// The calculation report: appended to an existing comma-separated file, code page 932, CR LF.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/cp932.h"
#include "model/model.h"
#include "platform/files.h"

namespace vmk {

// What went wrong with the report file; the calculation command turns it into its message:
//   FileNotFound      "ﾌｧｲﾙが見つかりません"
//   PathNotFound      "不正なﾌｧｲﾙ名です" (missing folder)
//   AccessDenied      "ﾌｧｲﾙへのｱｸｾｽが拒否されました" (also a read-only file)
//   DiskFull          "ﾃﾞｨｽｸがいっぱいです"
//   TooManyOpenFiles  "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"
//   Other             "I/O ｴﾗｰ (%d)" with the system error number
using IoErrorKind = platform::FileErrorKind;

class ReportIoError : public std::runtime_error {
 public:
  ReportIoError(IoErrorKind kind, int sysErrno, const std::string& what)
      : std::runtime_error(what), Kind(kind), SysErrno(sysErrno) {}
  IoErrorKind Kind;
  int SysErrno;  // system error number of the failing call (errno; GetLastError on Windows)
};

// The report file of one calculation and its switch. Every writer does nothing while
// `ReportEnabled` is clear (`WriteReportTrailer` is only called when it is set).
class ReportFile {
 public:
  ReportFile() = default;
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  ~ReportFile();  // closes without raising if still open

  bool ReportEnabled = false;
  Cp932 Memo;  // the whole text of `memoOption`, written into the headers and the trailer

  bool IsOpen() const { return file_.IsOpen(); }

  // Internal: buffered output. Raise ReportIoError on failure.
  void Append(std::string_view bytes);
  void Flush();
  void OpenExisting(const std::string& path);
  void Close();

 private:
  // Writes what is buffered if it can, then closes, ignoring every failure.
  void CloseQuietly() noexcept;
  // Drops the buffer and closes the file, ignoring failures; then raises `err`.
  [[noreturn]] void FailAndClose(int err, const char* what);

  platform::AppendFile file_;
  std::string path_;
  std::string buffer_;
};

// Opens the existing file at `path` for appending (never creates it), cutting it at an
// end-of-file mark (0x1A) found in its last 128 bytes; a lock (the share mode on Windows) keeps
// a second writer out. Raises ReportIoError.
void OpenReportFile(ReportFile& rf, const std::string& path);

void WritePuffHeader(ReportFile& rf);
void WritePuffRow(ReportFile& rf, const PuffRow& row);
void WriteSectionTotal(ReportFile& rf, std::string_view label, float sum);
void WritePlumeHeader(ReportFile& rf);
void WritePlumeRow(ReportFile& rf, const PlumeRow& row);
void WriteReportTrailer(ReportFile& rf, float qh, float totalConc);

// The two sections of a model run in their order: the puff header, rows and total, then the
// plume header, rows and total.
void WriteModelSections(ReportFile& rf, const ModelResult& result);
void CloseReportFile(ReportFile& rf);

// Field texts of the rows.
std::string FormatReportValue(float x);                    // FormatGeneral(x, 5), at most 20
std::string FormatFixedWidth(long double x, int w, int d);  // fixed w.d, "." always
std::string FormatIntWidth(long long v, int w);             // right-aligned, never cut

}  // namespace vmk
