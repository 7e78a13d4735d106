// What the tests of vmk-site's output folder share: a small site of their own, runs of the
// program, and the files of a folder.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli_process.h"
#include "output_files_support.h"
#include "scratch_files.h"
#include "site/export/output_folder.h"
#include "site_test_support.h"

namespace vmk::site_output_folder {

using namespace site_test;
namespace fs = std::filesystem;
using scratch::CountTemporaryFiles;
using clitest::RunResult;
using Snapshot = std::map<std::string, std::string>;  // file name -> bytes

inline RunResult Site(const std::vector<std::string>& args) { return clitest::RunProgram(clitest::kVmkSite, args); }

// A small site of its own: the two stacks, a grid, a polar set and a point; `qg` tells runs apart.
inline std::string SmallSite(const scratch::ScratchDir& dir, const std::string& name, bool grid, const char* qg = "30") {
  Json site = TwoStackSite(VariedMet());
  site["sources"][0]["controls"]["QgEdit"] = qg;
  if (grid) site["receptors"]["grid"] = {{"x", "-2000:2000:21"}, {"y", "-2000:2000:21"}};
  site["receptors"]["polar"] = {{"center", {0, 0}}, {"distances", "100:5000:8"}};
  site["receptors"]["points"] = Json::array({{{"name", "p"}, {"x", 900}, {"y", 300}}});
  return dir.NewFile(name, site.dump());
}

// Every file of a folder but the lock file (which a killed run leaves).
inline Snapshot Files(const fs::path& folder) {
  Snapshot s;
  for (const auto& e : fs::directory_iterator(folder)) {
    if (e.path().filename() != kSiteFolderLock) s[e.path().filename().string()] = scratch::ReadBytes(e.path());
  }
  return s;
}

// A complete run into a folder of its own: the set of files a run of `site` makes.
inline Snapshot ReferenceSet(const scratch::ScratchDir& dir, const std::string& site, const std::string& folder) {
  const RunResult r = Site({site, "--out", dir.File(folder)});
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  return Files(dir / folder);
}

// Two small sites told apart by one input, the set of files each makes, and the folder `Out`
// holding the first's set after a run of it that took `RunTime`.
struct TwoSets {
  std::string SiteA, SiteB;
  Snapshot SetA, SetB;
  fs::path Out;
  std::chrono::steady_clock::duration RunTime{};
};

inline TwoSets PrepareTwoSets(const scratch::ScratchDir& dir) {
  TwoSets t;
  t.SiteA = SmallSite(dir, "a.json", true, "30");
  t.SiteB = SmallSite(dir, "b.json", true, "45");
  t.SetA = ReferenceSet(dir, t.SiteA, "a");
  t.SetB = ReferenceSet(dir, t.SiteB, "b");
  t.Out = dir / "out";
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(Site({t.SiteA, "--out", t.Out.string()}).ExitCode, 0);
  t.RunTime = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(Files(t.Out), t.SetA);
  return t;
}

}  // namespace vmk::site_output_folder
