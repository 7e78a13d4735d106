// The output folder of vmk-site holds one run's files only: an earlier run's files that the new
// run does not make are removed (the user's own files stay), a second run is refused while one
// writes, and the same inputs give the same bytes in every file. On every system.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"
#include "scratch_files.h"
#include "site/export/output_folder.h"
#include "site_output_folder_support.h"

namespace vmk {
namespace {

using namespace site_output_folder;

// A folder of earlier runs: what stopped runs left there goes (of this version, by a dead
// process, and of earlier ones), a run without a grid removes the grid's files of the run
// before, the user's files stay, and the same inputs give the same bytes in every file, the
// GeoPackage too, at any time (so that an assessment's files can be checked by checksums).
// Without the record, a file with a name of the program (of an earlier version, or the user's)
// is kept and the summary says so.
TEST(SiteOutputFolder, EachRunLeavesItsOwnFilesOnly) {
  scratch::ScratchDir dir;
  const std::string withGrid = SmallSite(dir, "grid.json", true);
  const std::string noGrid = SmallSite(dir, "nogrid.json", false);
  const fs::path out = dir / "out";
  const Snapshot gridSet = ReferenceSet(dir, withGrid, "reference-grid");
  const Snapshot noGridSet = ReferenceSet(dir, noGrid, "reference-nogrid");
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // a later time of writing
  ASSERT_EQ(Site({withGrid, "--out", out.string()}).ExitCode, 0);
  EXPECT_EQ(Files(out), gridSet);
  const std::vector<std::string> leftovers = {".vmk-tmp-999999999-0123456789ab", "grid.csv.tmp-0123456789ab",
                                              ".vmk-site-check", ".vmk-site-check.tmp-abcdef012345"};
  for (const std::string& name : leftovers) scratch::WriteBytes(out / name, std::string(1000, 'x'));
  scratch::WriteBytes(out / "grid.csv.tmp-mine", "the user's");

  const RunResult r = Site({noGrid, "--out", out.string()});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  Snapshot expected = noGridSet;
  expected["grid.csv.tmp-mine"] = "the user's";
  EXPECT_EQ(Files(out), expected);
  EXPECT_FALSE(fs::exists(out / kSiteFolderLock));
  EXPECT_EQ(r.Out.find("is not of this run"), std::string::npos) << r.Out;

  fs::remove(out / kSiteFileRecord);
  scratch::WriteBytes(out / "grid.csv", "x,y\n");
  const RunResult kept = Site({noGrid, "--out", out.string()});
  ASSERT_EQ(kept.ExitCode, 0) << kept.Err;
  EXPECT_EQ(scratch::ReadBytes(out / "grid.csv"), "x,y\n");
  EXPECT_NE(kept.Out.find("note       : grid.csv is not of this run but kept: no record says that "
                          "vmk-site made it\n"),
            std::string::npos)
      << kept.Out;
}

// A second run while one holds the folder (here this test, as the site window would) is refused
// before it computes anything, and the folder keeps the earlier run's set; the lock goes with
// the holder.
TEST(SiteOutputFolder, SecondRunIsRefusedWhileOneHoldsTheFolder) {
  scratch::ScratchDir dir;
  const TwoSets two = PrepareTwoSets(dir);
  const auto& [siteA, siteB, setA, setB, out, runTime] = two;
  {
    const OutputFolder held = PrepareOutputFolder(out.string());
    clitest::ExpectUnusable(Site({siteB, "--out", out.string()}),
                            "another run of vmk-site (or the site window) is writing into this folder");
    EXPECT_THROW(PrepareOutputFolder(out.string()), SiteError);
  }
  EXPECT_EQ(Files(out), setA);
  EXPECT_FALSE(fs::exists(out / kSiteFolderLock));
  ASSERT_EQ(Site({siteB, "--out", out.string()}).ExitCode, 0);
  EXPECT_EQ(Files(out), setB);
}

}  // namespace
}  // namespace vmk
