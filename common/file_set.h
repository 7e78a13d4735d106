// Replacing named output files, one or several together: the one way the program writes the
// files the user names (met tables, case files, pictures, the profile CSV, the site files).
//
// - A symbolic link is followed: the file it leads to is replaced and the link stays.
// - A folder, a named pipe (FIFO), a device or a socket is refused, and so is an existing file
//   that is read-only (no write permission for anyone: refused also for the superuser) or that
//   the user may not write.
// - A replaced file keeps its permissions, and its owner and group where the user may give them.
// - New bytes go to a temporary file ".vmk-tmp-<process id>-<random>" beside the file they
//   replace and are made durable on the disk before a rename puts them in place; a failure
//   removes them. SIGINT, SIGTERM and SIGHUP remove them too (platform::InstallInterruptCleanup);
//   what a process that no longer runs left behind is removed by the next write into its folder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/atomic_file.h"

namespace vmk {

// Files replaced and removed together: after `Commit` every one is new (or gone), after a
// failure every one is as it was. While the renames run, an interruption waits for them; were
// the process killed among them, the next write into the first file's folder undoes them from a
// journal ".vmk-tmp-<process id>-<random>.journal" left there.
class FileSet {
 public:
  FileSet() = default;
  ~FileSet();  // without a commit: the temporary files are removed, the targets untouched
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  // Checks `path` and writes `bytes` into a temporary file beside the file it will replace.
  // Raises FileWriteError (nothing of it left).
  void Write(const std::string& path, std::string_view bytes);
  // `path` is removed by the commit when it is a file; anything else (a link, a folder, nothing)
  // stays. Raises FileWriteError for a file that may not be written.
  void Remove(const std::string& path);
  // Puts every new file in place and removes the others, all or none. Raises FileWriteError
  // naming the file that failed; every target is then as it was.
  void Commit();

 private:
  struct Entry {
    std::string Shown;    // the path as the caller named it
    std::string Target;   // the file replaced: links followed
    std::string NewTemp;  // the new bytes; empty for a removal
    std::string OldTemp;  // where the old file waits while the set is replaced
    int Registration = -1;
    bool MovedAside = false;
    bool PutIn = false;
  };
  void ClearFolderOnce(const std::string& folder);
  void RollBack() noexcept;
  void CommitOne();
  void Discard() noexcept;

  std::vector<Entry> entries_;
  std::vector<std::string> clearedFolders_;
  std::string journalFolder_;
  bool committed_ = false;
};

// One file of a set being replaced, as the journal records it: written (a new file put in) or
// removed, the target, the new file's temporary name and the one the old file waits under.
struct JournalEntry {
  bool Written = false;
  std::string Target;
  std::string NewTemp;
  std::string OldTemp;
  bool operator==(const JournalEntry&) const = default;
};

// The journal's text: a header line, then per file "W" or "R" and the three paths, each ended
// by a NUL byte. Reading gives nothing for a text that is not a whole journal.
std::string JournalText(const std::vector<JournalEntry>& entries);
std::optional<std::vector<JournalEntry>> ParseJournal(std::string_view text);

// Removes from `folder` what writers that no longer run left there: a set of replacements cut
// short is undone by its journal, then their temporary files go. Regular files whose names
// `earlierVersions` accepts go too: the temporary files of earlier versions of the program,
// which carry no process id (for a folder that only the program writes into while it holds it).
void ClearDeadLeftovers(const std::string& folder,
                        const std::function<bool(std::string_view)>& earlierVersions = {});

// True for the name of a temporary file or journal of this program (".vmk-tmp-..."), with the
// process id it carries.
bool IsTemporaryName(std::string_view name, long* processId = nullptr);

}  // namespace vmk
