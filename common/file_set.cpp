#include "common/file_set.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <system_error>

#include "common/json_document.h"
#include "platform/files.h"
#include "platform/output_files.h"

namespace vmk {
namespace {

namespace fs = std::filesystem;
using platform::OutputKind;

constexpr std::string_view kTempPrefix = ".vmk-tmp-";
constexpr std::string_view kJournalSuffix = ".journal";
constexpr std::string_view kJournalHeader = "vmk-file-set/1\n";
constexpr int kRandomDigits = 12;
// A journal names three paths for each of a site's files: far below this.
constexpr std::size_t kMaxJournalBytes = 1024 * 1024;

std::string FileName(const std::string& path) {
  return platform::PathToUtf8(platform::PathFromUtf8(path).filename());
}

// ".vmk-tmp-<process id>-<random>" in `folder`, with `suffix`.
std::string TempName(const std::string& folder, std::string_view suffix = {}) {
  thread_local std::mt19937_64 random{std::random_device{}() ^
                                      (static_cast<unsigned long long>(
                                           platform::CurrentProcessId())
                                       << 20)};
  char name[64];
  std::snprintf(name, sizeof name, "%.*s%ld-%012llx", static_cast<int>(kTempPrefix.size()),
                kTempPrefix.data(), platform::CurrentProcessId(),
                static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
  return platform::JoinPath(folder, std::string(name) + std::string(suffix));
}

// Why a target may not be replaced, or nothing.
std::optional<std::string> Refusal(const platform::OutputTarget& t) {
  switch (t.Kind) {
    case OutputKind::Missing: return std::nullopt;
    case OutputKind::Folder: return "a folder, not a file";
    case OutputKind::Fifo: return "a named pipe (FIFO), not a file";
    case OutputKind::Device: return "a device, not a file";
    case OutputKind::Socket: return "a socket, not a file";
    case OutputKind::Other: return "not a regular file";
    case OutputKind::File: break;
  }
  if (t.ReadOnly) return "the file is read-only";
  if (t.WriteError != 0) return platform::ErrorText(t.WriteError);
  return std::nullopt;
}

platform::OutputTarget Inspect(const std::string& path) {
  platform::OutputTarget t;
  if (const int err = platform::InspectOutput(path, t); err != 0) {
    throw FileWriteError(path, "cannot examine", platform::ErrorText(err));
  }
  return t;
}

struct Temporary {
  std::string Path;
  int Registration = -1;  // removed if the program is interrupted
};

// A new temporary file beside `like.Path` holding `bytes`, durable on the disk. Raises
// FileWriteError naming `shown`.
Temporary WriteTemporary(const std::string& shown, const platform::OutputTarget& like,
                         std::string_view bytes) {
  const std::string folder = platform::ParentFolder(like.Path);
  Temporary temp;
  std::FILE* f = nullptr;
  int err = 0;
  {
    // Made and registered for removal in one step that an interruption does not cut.
    const platform::InterruptionDeferred oneStep;
    for (int attempt = 0; attempt < 8 && f == nullptr; ++attempt) {
      temp.Path = TempName(folder);
      f = platform::CreateReplacement(temp.Path, like, err);  // never over an existing file
      if (f == nullptr && err != platform::kErrorExists) break;
    }
    if (f != nullptr) temp.Registration = platform::RemoveOnInterrupt(temp.Path);
  }
  if (f == nullptr) throw FileWriteError(shown, "cannot create", platform::ErrorText(err));
  // The error number is cleared first, so that a failure names its own cause, not an earlier
  // one.
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || !platform::FlushToDisk(f)) {
    err = errno != 0 ? errno : EIO;
  }
  errno = 0;
  if (std::fclose(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
  if (err != 0) {
    platform::RemoveFileQuietly(temp.Path);
    platform::ForgetOnInterrupt(temp.Registration);
    throw FileWriteError(shown, "cannot write", std::strerror(err));
  }
  return temp;
}

std::optional<std::vector<JournalEntry>> ReadJournal(const std::string& path) {
  try {
    return ParseJournal(ReadFileBytes(path, kMaxJournalBytes));
  } catch (const JsonFileError&) {
    return std::nullopt;  // unreadable, or far longer than any journal: not one
  }
}

// A temporary name of the process `id` in the folder of `target`.
bool TempOf(const std::string& temp, const std::string& target, long id) {
  long owner = 0;
  return platform::ParentFolder(temp) == platform::ParentFolder(target) &&
         IsTemporaryName(FileName(temp), &owner) && owner == id;
}

// Puts back what the journal of a process that no longer runs had moved: each old file to its
// place, and a new file without an old one removed. Only a journal of this user, and only
// temporary files of its own process beside their targets, are followed.
void UndoJournal(const std::string& journal, long id) {
  platform::OutputTarget self;
  if (platform::InspectOutput(journal, self) != 0 || self.Kind != OutputKind::File ||
      !self.OwnedByUser) {
    return;
  }
  const auto entries = ReadJournal(journal);
  if (!entries) return;
  for (auto e = entries->rbegin(); e != entries->rend(); ++e) {
    if (!TempOf(e->OldTemp, e->Target, id) ||
        (e->Written && !TempOf(e->NewTemp, e->Target, id))) {
      continue;
    }
    if (platform::PathExists(e->OldTemp)) {
      platform::RenameReplacing(e->OldTemp, e->Target);
    } else if (e->Written && !platform::PathExists(e->NewTemp)) {
      platform::RemoveFileQuietly(e->Target);  // put in where no file was before
    }
    if (e->Written) platform::RemoveFileQuietly(e->NewTemp);
  }
}

}  // namespace

std::string JournalText(const std::vector<JournalEntry>& entries) {
  std::string text(kJournalHeader);
  for (const JournalEntry& e : entries) {
    for (const std::string& field : {std::string(e.Written ? "W" : "R"), e.Target, e.NewTemp, e.OldTemp}) {
      text += field;
      text += '\0';
    }
  }
  return text;
}

std::optional<std::vector<JournalEntry>> ParseJournal(std::string_view text) {
  if (!text.starts_with(kJournalHeader)) return std::nullopt;
  std::vector<std::string> fields;
  std::size_t at = kJournalHeader.size();
  while (at < text.size()) {
    const std::size_t end = text.find('\0', at);
    if (end == std::string_view::npos) return std::nullopt;  // cut short: not a whole journal
    fields.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  if (fields.size() % 4 != 0) return std::nullopt;
  std::vector<JournalEntry> entries;
  for (std::size_t i = 0; i < fields.size(); i += 4) {
    if (fields[i] != "W" && fields[i] != "R") return std::nullopt;
    entries.push_back({fields[i] == "W", fields[i + 1], fields[i + 2], fields[i + 3]});
  }
  return entries;
}

bool IsTemporaryName(std::string_view name, long* processId) {
  if (!name.starts_with(kTempPrefix)) return false;
  name.remove_prefix(kTempPrefix.size());
  if (name.ends_with(kJournalSuffix)) name.remove_suffix(kJournalSuffix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 10 ||
      name.size() - dash - 1 != kRandomDigits) {
    return false;
  }
  unsigned long long id = 0;  // at most 10 digits: no overflow
  for (char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return false;
    id = id * 10 + static_cast<unsigned long long>(c - '0');
  }
  if (id > static_cast<unsigned long long>(std::numeric_limits<long>::max())) return false;
  for (char c : name.substr(dash + 1)) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  if (processId != nullptr) *processId = static_cast<long>(id);
  return true;
}

void ClearDeadLeftovers(const std::string& folder,
                        const std::function<bool(std::string_view)>& earlierVersions) {
  std::vector<std::pair<std::string, long>> journals;
  std::vector<std::string> temps;
  std::error_code ec;
  for (fs::directory_iterator it(platform::PathFromUtf8(folder), ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = platform::PathToUtf8(it->path().filename());
    const std::string path = platform::JoinPath(folder, name);
    long id = 0;
    if (IsTemporaryName(name, &id)) {
      if (platform::ProcessRuns(id)) continue;
      if (name.ends_with(kJournalSuffix)) {
        journals.emplace_back(path, id);
      } else {
        temps.push_back(path);
      }
    } else if (earlierVersions && earlierVersions(name)) {
      temps.push_back(path);
    }
  }
  // The journals first: they need the temporary files that hold the old files.
  for (const auto& [journal, id] : journals) {
    UndoJournal(journal, id);
    platform::RemoveFileQuietly(journal);
  }
  for (const std::string& temp : temps) {
    if (platform::IsRegularFile(temp)) platform::RemoveFileQuietly(temp);
  }
}

FileSet::~FileSet() {
  if (!committed_) Discard();
}

void FileSet::ClearFolderOnce(const std::string& folder) {
  for (const std::string& f : clearedFolders_) {
    if (f == folder) return;
  }
  clearedFolders_.push_back(folder);
  ClearDeadLeftovers(folder);
}

void FileSet::Write(const std::string& path, std::string_view bytes) {
  const platform::OutputTarget target = Inspect(path);
  if (const auto refusal = Refusal(target)) throw FileWriteError(path, "refused", *refusal);
  if (journalFolder_.empty()) journalFolder_ = platform::ParentFolder(path);
  const std::string folder = platform::ParentFolder(target.Path);
  ClearFolderOnce(platform::ParentFolder(path));
  ClearFolderOnce(folder);
  Entry e;
  e.Shown = path;
  e.Target = target.Path;
  const Temporary temp = WriteTemporary(path, target, bytes);
  e.NewTemp = temp.Path;
  e.Registration = temp.Registration;
  e.OldTemp = TempName(folder);
  entries_.push_back(std::move(e));
}

void FileSet::Remove(const std::string& path) {
  if (!platform::IsRegularFile(path)) return;  // a link stays; nothing else is a file to remove
  const platform::OutputTarget target = Inspect(path);
  if (const auto refusal = Refusal(target)) throw FileWriteError(path, "refused", *refusal);
  if (journalFolder_.empty()) journalFolder_ = platform::ParentFolder(path);
  Entry e;
  e.Shown = path;
  e.Target = target.Path;
  e.OldTemp = TempName(platform::ParentFolder(target.Path));
  entries_.push_back(std::move(e));
}

void FileSet::Discard() noexcept {
  for (Entry& e : entries_) {
    if (!e.NewTemp.empty() && !e.PutIn) platform::RemoveFileQuietly(e.NewTemp);
    platform::ForgetOnInterrupt(e.Registration);
    e.Registration = -1;
  }
  entries_.clear();
}

// One new file: a single rename replaces it, with no moment without a file.
void FileSet::CommitOne() {
  Entry& e = entries_.front();
  if (const int err = platform::RenameReplacing(e.NewTemp, e.Target); err != 0) {
    throw FileWriteError(e.Shown, "cannot replace", platform::ErrorText(err));
  }
  e.PutIn = true;
}

void FileSet::RollBack() noexcept {
  for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
    if (e->PutIn && !e->MovedAside) {
      platform::RemoveFileQuietly(e->Target);
    } else if (e->MovedAside) {
      platform::RenameReplacing(e->OldTemp, e->Target);
    }
    e->PutIn = false;
    e->MovedAside = false;
  }
}

void FileSet::Commit() {
  if (entries_.empty() || committed_) {
    committed_ = true;
    return;
  }
  const platform::InterruptionDeferred uninterrupted;
  if (entries_.size() == 1 && !entries_.front().NewTemp.empty()) {
    CommitOne();
  } else {
    std::vector<JournalEntry> journalEntries;
    for (const Entry& e : entries_) {
      journalEntries.push_back({!e.NewTemp.empty(), e.Target, e.NewTemp, e.OldTemp});
    }
    const std::string text = JournalText(journalEntries);
    platform::OutputTarget none;
    none.Path = TempName(journalFolder_, kJournalSuffix);
    // Written under its own temporary name, then renamed to the journal's.
    const Temporary written = WriteTemporary(entries_.front().Shown, none, text);
    platform::ForgetOnInterrupt(written.Registration);  // the renames are not interrupted
    const std::string journal = none.Path;
    if (const int err = platform::RenameReplacing(written.Path, journal); err != 0) {
      platform::RemoveFileQuietly(written.Path);
      throw FileWriteError(entries_.front().Shown, "cannot replace", platform::ErrorText(err));
    }
    for (Entry& e : entries_) {
      std::string cause;
      // What became of the target since it was checked: still a file, or none.
      if (platform::PathExists(e.Target) && !platform::IsRegularFile(e.Target)) cause = "not a regular file";
      if (cause.empty() && platform::PathExists(e.Target)) {
        if (const int err = platform::RenameReplacing(e.Target, e.OldTemp); err != 0) {
          cause = platform::ErrorText(err);
        } else {
          e.MovedAside = true;
        }
      }
      if (cause.empty() && !e.NewTemp.empty()) {
        if (const int err = platform::RenameReplacing(e.NewTemp, e.Target); err != 0) {
          cause = platform::ErrorText(err);
        } else {
          e.PutIn = true;
        }
      }
      if (!cause.empty()) {
        RollBack();
        platform::RemoveFileQuietly(journal);
        throw FileWriteError(e.Shown, e.NewTemp.empty() ? "cannot remove" : "cannot replace",
                             cause);
      }
    }
    // The journal gone, the set is replaced; the old files are no longer needed.
    platform::RemoveFileQuietly(journal);
    for (const Entry& e : entries_) {
      if (e.MovedAside) platform::RemoveFileQuietly(e.OldTemp);
    }
  }
  committed_ = true;
  for (Entry& e : entries_) {
    platform::ForgetOnInterrupt(e.Registration);
    e.Registration = -1;
  }
}

}  // namespace vmk
