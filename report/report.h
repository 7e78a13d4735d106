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

  // Internal: buffered output. Raise ReportIoError on failure; a failure leaves the file as it
  // was before it was opened (cut back to its length, the end-of-file mark put back) and closed.
  void Append(std::string_view bytes);
  void Flush();
  void OpenExisting(const std::string& path);
  // Writes out the rest, makes the report durable on the disk and closes: only then is the
  // report written.
  void Close();
  // Takes back everything this report appended and closes, ignoring failures: for a
  // calculation that ended in an error.
  void Abandon() noexcept;

 private:
  // Closes as `Close` does, ignoring every failure (a failure takes the report back).
  void CloseQuietly() noexcept;
  // Takes the report back and closes the file, ignoring failures; then raises `err`.
  [[noreturn]] void FailAndClose(int err, const char* what);
  // Puts the file back as it was when opened: its length, and the bytes from the end-of-file
  // mark on. Ignores failures (the caller already has one to raise).
  void RollBack() noexcept;
  // After a failed close: opens the file again to take the report back.
  void TakeBackClosed(const std::string& path) noexcept;

  platform::AppendFile file_;
  std::string path_;
  std::string buffer_;
  std::uint64_t sizeBefore_ = 0;  // the file's length when opened
  std::uint64_t start_ = 0;       // where the report begins: the end, or the end-of-file mark
  std::uint64_t end_ = 0;         // where the next bytes go
  std::string cut_;               // the bytes from the mark to the end, cut by the first write
  bool written_ = false;          // some bytes went to the file
};

// Opens the existing file at `path` for appending (never creates it); the report goes from an
// end-of-file mark (0x1A) found in its last 128 bytes on, cutting the file there; a lock (the
// share mode on Windows) keeps a second writer out. Raises ReportIoError.
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
// For a calculation ended by an error: the file is left as it was before `OpenReportFile`.
void AbandonReportFile(ReportFile& rf) noexcept;

// Field texts of the rows.
std::string FormatReportValue(float x);                    // FormatGeneral(x, 5), at most 20
std::string FormatFixedWidth(long double x, int w, int d);  // fixed w.d, "." always
std::string FormatIntWidth(long long v, int w);             // right-aligned, never cut

}  // namespace vmk
