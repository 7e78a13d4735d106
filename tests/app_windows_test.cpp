// The calculation's report on Windows: the folder c:\Vellmark\IO, paths joined with "\".
#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "app/command/calculation.h"
#include "input/frequency_grid.h"
#include "common/cp932.h"
#include "scratch_files.h"

namespace fs = std::filesystem;
using vmk::Sj;

namespace {

class WindowsReport : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.Text("memoOption") = "@WA:7@ drive c";
    form_.Grid[4][8] = "100";
  }
  vmk::CalcOutcome Run() { return vmk::RunCalculation(form_, st_, settings_); }

  vmk::FormRecord form_ = vmk::MakeStartupForm();
  vmk::CalcState st_;
  vmk::CalcSettings settings_;
};

TEST_F(WindowsReport, PathsAreJoinedWithBackslash) {
  vmk::scratch::ScratchDir dir;
  dir.NewFile("VMKIO7.csv");
  settings_.ReportDir = dir.Path().string();
  auto out = Run();
  ASSERT_TRUE(out.ReportPath);
  EXPECT_EQ(*out.ReportPath, settings_.ReportDir + "\\VMKIO7.csv");
  settings_.ReportDir = dir.Path().generic_string() + "/";
  out = Run();
  ASSERT_TRUE(out.ReportPath);
  EXPECT_EQ(*out.ReportPath, settings_.ReportDir + "VMKIO7.csv");
  EXPECT_NE(vmk::scratch::ReadBytes(dir / "VMKIO7.csv").find("drive c"), std::string::npos);

  settings_.ReportDir = dir.Path().string() + "\\no-such-folder";
  out = Run();
  ASSERT_TRUE(out.MessageBox);
  EXPECT_EQ(*out.MessageBox, Sj("不正なﾌｧｲﾙ名です."));
}

// The default folder itself, end to end. It is made for the test and removed again, so the
// test leaves a machine that has its own report folder alone.
TEST_F(WindowsReport, DefaultFolderOnDriveC) {
  const fs::path top = "c:\\Vellmark";
  const fs::path folder = top / "IO";
  if (fs::exists(top)) GTEST_SKIP() << "c:\\Vellmark is there already; left alone";

  auto missingFolder = Run();
  ASSERT_TRUE(missingFolder.MessageBox);
  EXPECT_EQ(*missingFolder.MessageBox, Sj("不正なﾌｧｲﾙ名です."));

  ASSERT_TRUE(fs::create_directories(folder));
  auto missingFile = Run();
  ASSERT_TRUE(missingFile.MessageBox);
  EXPECT_EQ(*missingFile.MessageBox, Sj("ﾌｧｲﾙが見つかりません."));

  vmk::scratch::WriteBytes(folder / "VMKIO7.csv", "");
  auto written = Run();
  EXPECT_TRUE(written.NormalResult);
  ASSERT_TRUE(written.ReportPath);
  EXPECT_EQ(*written.ReportPath, "c:\\Vellmark\\IO\\VMKIO7.csv");
  const std::string report = vmk::scratch::ReadBytes(folder / "VMKIO7.csv");
  std::error_code ec;
  fs::remove_all(top, ec);
  EXPECT_NE(report.find("plume total(ppb)"), std::string::npos);
  EXPECT_FALSE(ec) << ec.message();
}

}  // namespace
