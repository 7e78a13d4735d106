// The report file itself: opening an existing file for appending, the end-of-file mark cut,
// the lock that keeps a second writer out, buffered writes and closing, with every failure
// raised as a ReportIoError. The system calls are the platform layer's.
#include <algorithm>
#include <cstdint>

#include "platform/files.h"
#include "report/report.h"
#include "report/report_io.h"

namespace vmk {
namespace {

// The text is written out once this much has collected.
constexpr std::size_t kFlushThreshold = 64 * 1024;
// An end-of-file mark (0x1A) this close to the end is cut off before appending.
constexpr std::uint64_t kEofMarkWindow = 128;
constexpr char kEofMark = 0x1A;

std::string Describe(const char* what, const std::string& path, int err) {
  std::string text = "report file ";
  text += path;
  text += ": ";
  text += what;
  if (err != 0) {
    text += ": ";
    text += platform::ErrorText(err);
  }
  return text;
}

[[noreturn]] void Raise(IoErrorKind kind, int err, const char* what, const std::string& path) {
  throw ReportIoError(kind, err, Describe(what, path, err));
}

}  // namespace

IoErrorKind IoErrorKindOf(int err) { return platform::KindOfError(err); }

IoErrorKind OpenErrorKind(int err, const std::string& path) {
  const IoErrorKind kind = IoErrorKindOf(err);
  if (kind == IoErrorKind::FileNotFound && !platform::IsFolder(ParentFolder(path))) {
    return IoErrorKind::PathNotFound;
  }
  return kind;
}

ReportFile::~ReportFile() { CloseQuietly(); }

void ReportFile::CloseQuietly() noexcept {
  if (!file_.IsOpen()) return;
  try {
    Close();
  } catch (...) {
    // Close has taken the report back and closed the file.
  }
}

void ReportFile::Abandon() noexcept {
  if (!file_.IsOpen()) return;
  RollBack();
  buffer_.clear();
  file_.CloseQuietly();
  path_.clear();
}

void ReportFile::RollBack() noexcept {
  if (!written_) return;
  // The length first, so that the file holds no byte of this report; then the bytes from the
  // end-of-file mark on, over the place they had (already the file's, so no new room is taken).
  file_.Truncate(sizeBefore_);
  if (!cut_.empty()) file_.WriteAt(start_, cut_);
  file_.Sync();
  written_ = false;
}

void ReportFile::FailAndClose(int err, const char* what) {
  const std::string path = path_;
  Abandon();
  Raise(IoErrorKindOf(err), err, what, path);
}

void ReportFile::OpenExisting(const std::string& path) {
  // A file left open by an abandoned calculation is finished off first.
  CloseQuietly();

  // Never created: the report file must already exist. Read-only files are refused, and only
  // one writer at a time gets in: a second instance of the program is denied access.
  if (const int err = file_.OpenExisting(path); err != 0) {
    Raise(OpenErrorKind(err, path), err,
          err == platform::kErrorFileLocked ? "in use by another writer" : "cannot open", path);
  }
  path_ = path;
  written_ = false;
  cut_.clear();

  // The report begins at the first end-of-file mark among the file's last bytes, or at its end.
  // The file is cut there by the report's first write, not before: a calculation that fails
  // leaves it as it was.
  std::uint64_t size = 0;
  if (const int err = file_.Size(size); err != 0) FailAndClose(err, "cannot examine");
  sizeBefore_ = size;
  start_ = size;
  if (size > 0) {
    const std::uint64_t n = std::min(size, kEofMarkWindow);
    const std::uint64_t first = size - n;
    char tail[kEofMarkWindow];
    if (const int err = file_.ReadAt(first, tail, n); err != 0) FailAndClose(err, "cannot read");
    const char* mark = std::find(tail, tail + n, kEofMark);
    if (mark != tail + n) {
      start_ = first + static_cast<std::uint64_t>(mark - tail);
      cut_.assign(mark, static_cast<std::size_t>(tail + n - mark));
    }
  }
  end_ = start_;
}

void ReportFile::Append(std::string_view bytes) {
  if (!file_.IsOpen()) Raise(IoErrorKind::Other, platform::kErrorNotOpen, "not open", path_);
  buffer_.append(bytes);
  if (buffer_.size() >= kFlushThreshold) Flush();
}

void ReportFile::Flush() {
  if (!file_.IsOpen()) {
    if (buffer_.empty()) return;
    Raise(IoErrorKind::Other, platform::kErrorNotOpen, "not open", path_);
  }
  if (buffer_.empty()) return;
  written_ = true;
  if (const int err = file_.WriteAt(end_, buffer_); err != 0) FailAndClose(err, "cannot write");
  end_ += buffer_.size();
  buffer_.clear();
}

void ReportFile::Close() {
  if (!file_.IsOpen()) return;
  Flush();  // takes the report back and closes the file itself when it fails
  // A report shorter than the bytes after the end-of-file mark: the rest of them go.
  if (written_ && end_ < sizeBefore_) {
    if (const int err = file_.Truncate(end_); err != 0) FailAndClose(err, "cannot cut");
  }
  // A failure to store the bytes shows here, while the report can still be taken back.
  if (const int err = file_.Sync(); err != 0) FailAndClose(err, "cannot write");
  const std::string path = path_;
  const int err = file_.Close();
  path_.clear();
  if (err != 0) {
    TakeBackClosed(path);
    Raise(IoErrorKindOf(err), err, "cannot close", path);
  }
}

void ReportFile::TakeBackClosed(const std::string& path) noexcept {
  // The bytes were stored before the close failed; the report is not written, so the file is
  // opened again and put back, unless another writer has changed it meanwhile.
  if (!written_ || file_.OpenExisting(path) != 0) return;
  std::uint64_t size = 0;
  if (file_.Size(size) == 0 && size == end_) RollBack();
  file_.CloseQuietly();
}

}  // namespace vmk
