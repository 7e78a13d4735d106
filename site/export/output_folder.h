// The output folder of a site run: held by one run at a time, and holding one run's files only.
// The files of a run replace the previous run's all together or not at all (common/file_set.h);
// files of the program that the new run does not make are removed, by the record that the
// folder keeps of the files the program made there (".vmk-site-files"); no other file is ever
// removed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/output_files.h"

namespace vmk {

struct SiteFile {
  std::string Name;   // in the output folder
  std::string Bytes;
};

// Every name a site run may write, in the order the files are made.
extern const std::vector<std::string> kSiteFileNames;

// The record of the files the program made in an output folder.
inline constexpr const char* kSiteFileRecord = ".vmk-site-files";
// The lock file that keeps a second run out while one holds the folder.
inline constexpr const char* kSiteFolderLock = ".vmk-site.lock";

// The record's text, and the names it lists that are the program's (others do not count).
std::string SiteFileRecordText(const std::vector<SiteFile>& files);
std::vector<std::string> ParseSiteFileRecord(std::string_view text);

class OutputFolder {
 public:
  OutputFolder() = default;
  const std::string& Path() const { return dir_; }

 private:
  friend OutputFolder PrepareOutputFolder(const std::string& dir);
  std::string dir_;
  platform::FolderLock lock_;
};

// Raises SiteError unless `dir` is a folder that files can be written into; creates it (and its
// parents) when missing. The folder is then this run's until the object is gone: a second run
// on it (another vmk-site, the window's site window) is refused, not made to wait, as a run may
// take minutes. What runs that no longer go on left there is cleared: an interrupted
// replacement undone, temporary files removed (also those of earlier versions of the program).
OutputFolder PrepareOutputFolder(const std::string& dir);

// Replaces the run's files in the folder by `files`, together with the record, and removes the
// files of the program that an earlier run made and this one does not. A file with a name of
// the program that no record says it made is kept; the lines returned say so. Raises
// FileWriteError; then the folder is as it was.
std::vector<std::string> WriteSiteFiles(const OutputFolder& folder,
                                        const std::vector<SiteFile>& files);

}  // namespace vmk
