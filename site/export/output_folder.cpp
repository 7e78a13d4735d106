#include "site/export/output_folder.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "common/atomic_file.h"
#include "common/file_set.h"
#include "common/json_document.h"
#include "platform/files.h"
#include "site/site_file.h"

namespace vmk {

const std::vector<std::string> kSiteFileNames = {
    "points.csv", "grid.csv", "polar.csv", "grid.tif", "isopleths.gpkg", "isopleths.geojson",
    "map.png", "map.svg"};

namespace {

namespace fs = std::filesystem;
using platform::JoinPath;

constexpr std::string_view kRecordHeader = "vmk-site output files\n";
constexpr std::size_t kMaxRecordBytes = 4096;  // the names of every site file: a tenth of it

bool IsSiteFileName(const std::string& name) {
  return std::find(kSiteFileNames.begin(), kSiteFileNames.end(), name) != kSiteFileNames.end();
}

// The names the record of the folder lists.
std::vector<std::string> RecordedNames(const std::string& dir) {
  try {
    return ParseSiteFileRecord(ReadFileBytes(JoinPath(dir, kSiteFileRecord), kMaxRecordBytes));
  } catch (const JsonFileError&) {
    return {};  // none, unreadable, or far longer than a record: no file is the program's
  }
}

// A temporary file that earlier versions left in the folder when stopped: the check file and
// its temporary files, and those of the program's files ("<name>.tmp-<12 hex digits>").
bool IsEarlierVersionLeftover(std::string_view name) {
  if (name == ".vmk-site-check") return true;
  const std::size_t tmp = name.rfind(".tmp-");
  if (tmp == std::string_view::npos || name.size() != tmp + 5 + 12) return false;
  const std::string base(name.substr(0, tmp));
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(tmp + 5), name.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }) &&
         (base == ".vmk-site-check" || IsSiteFileName(base));
}

// The folder's problem, for the site window's own words.
SiteProblem FolderProblem(const std::string& dir, SiteProblem::FolderIssue issue, const std::string& why = {}) {
  SiteProblem p;
  p.What = SiteProblem::Kind::OutputFolder;
  p.Folder = dir;
  p.Issue = issue;
  p.Detail = why;
  return p;
}

}  // namespace

std::string SiteFileRecordText(const std::vector<SiteFile>& files) {
  std::string text(kRecordHeader);
  for (const SiteFile& f : files) text += f.Name + "\n";
  return text;
}

std::vector<std::string> ParseSiteFileRecord(std::string_view text) {
  std::vector<std::string> names;
  if (!text.starts_with(kRecordHeader)) return names;
  std::size_t at = kRecordHeader.size();
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string name(text.substr(at, end - at));
    if (IsSiteFileName(name)) names.push_back(name);
    at = end + 1;
  }
  return names;
}

OutputFolder PrepareOutputFolder(const std::string& dir) {
  if (dir.empty()) throw SiteError("--out: no output folder named", FolderProblem(dir, SiteProblem::FolderIssue::NotNamed));
  const fs::path path = platform::PathFromUtf8(dir);
  std::error_code ec;
  if (fs::exists(path, ec) && !fs::is_directory(path, ec)) {
    throw SiteError("--out " + dir + ": not a folder", FolderProblem(dir, SiteProblem::FolderIssue::NotAFolder));
  }
  fs::create_directories(path, ec);
  if (ec) {
    throw SiteError("--out " + dir + ": cannot make the folder: " + ec.message(),
                    FolderProblem(dir, SiteProblem::FolderIssue::CannotMake, ec.message()));
  }
  OutputFolder folder;
  // Taking the lock makes a file: the folder takes files.
  if (const int err = folder.lock_.Acquire(JoinPath(dir, kSiteFolderLock)); err != 0) {
    if (err == platform::kErrorFileLocked) {
      throw SiteError("--out " + dir +
                      ": another run of vmk-site (or the site window) is writing into this "
                      "folder; try again when it has finished",
                      FolderProblem(dir, SiteProblem::FolderIssue::Busy));
    }
    throw SiteError("--out " + dir + ": cannot write into the folder: " + platform::ErrorText(err),
                    FolderProblem(dir, SiteProblem::FolderIssue::CannotWrite, platform::ErrorText(err)));
  }
  folder.dir_ = dir;
  ClearDeadLeftovers(dir, IsEarlierVersionLeftover);
  return folder;
}

std::vector<std::string> WriteSiteFiles(const OutputFolder& folder,
                                        const std::vector<SiteFile>& files) {
  const std::string& dir = folder.Path();
  const std::vector<std::string> recorded = RecordedNames(dir);
  const auto made = [&](const std::string& name) {
    return std::any_of(files.begin(), files.end(), [&](const SiteFile& f) { return f.Name == name; });
  };
  FileSet set;
  for (const SiteFile& f : files) set.Write(JoinPath(dir, f.Name), f.Bytes);
  std::vector<std::string> kept;
  for (const std::string& name : kSiteFileNames) {
    const std::string path = JoinPath(dir, name);
    if (made(name) || !platform::PathExists(path)) continue;
    if (std::find(recorded.begin(), recorded.end(), name) != recorded.end()) {
      set.Remove(path);  // a link stays: the program made only the file it leads to
    } else {
      kept.push_back(name + " is not of this run but kept: no record says that vmk-site made it");
    }
  }
  set.Write(JoinPath(dir, kSiteFileRecord), SiteFileRecordText(files));
  set.Commit();
  return kept;
}

}  // namespace vmk
