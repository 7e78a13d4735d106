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
  file_.Append(buffer_);
  buffer_.clear();
  file_.CloseQuietly();
  path_.clear();
}

void ReportFile::FailAndClose(int err, const char* what) {
  const std::string path = path_;
  buffer_.clear();
  file_.CloseQuietly();
  path_.clear();
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

  // Cut the file at the first end-of-file mark among its last bytes; appending then goes on
  // from the new end.
  std::uint64_t size = 0;
  if (const int err = file_.Size(size); err != 0) FailAndClose(err, "cannot examine");
  if (size > 0) {
    const std::uint64_t n = std::min(size, kEofMarkWindow);
    const std::uint64_t start = size - n;
    char tail[kEofMarkWindow];
    if (const int err = file_.ReadAt(start, tail, n); err != 0) FailAndClose(err, "cannot read");
    const char* mark = std::find(tail, tail + n, kEofMark);
    if (mark != tail + n) {
      if (const int err = file_.Truncate(start + static_cast<std::uint64_t>(mark - tail));
          err != 0) {
        FailAndClose(err, "cannot cut");
      }
    }
  }
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
  if (const int err = file_.Append(buffer_); err != 0) FailAndClose(err, "cannot write");
  buffer_.clear();
}

void ReportFile::Close() {
  if (!file_.IsOpen()) return;
  Flush();  // closes the file itself when it fails
  const std::string path = path_;
  const int err = file_.Close();
  path_.clear();
  if (err != 0) Raise(IoErrorKindOf(err), err, "cannot close", path);
}

}  // namespace vmk
