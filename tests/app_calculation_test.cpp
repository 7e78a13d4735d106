// The calculation command over the form record: order of steps, options, result display and
// the report file's failure paths.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <limits>

#include "app/command/calculation.h"
#include "input/frequency_grid.h"
#include "model/plume_rise.h"
#include "common/cp932.h"
#include "platform/files.h"
#include "platform/testing.h"
#include "sanitizer.h"
#include "scratch_files.h"

namespace fs = std::filesystem;
namespace sys = vmk::platform::testing;
using vmk::Sj;

namespace {

class Calculation : public ::testing::Test {
 protected:
  void SetUp() override { settings_.ReportDir = dir_.Path().string(); }

  vmk::CalcOutcome Run() { return vmk::RunCalculation(form_, st_, settings_); }
  std::string& Text(std::string_view name) { return form_.Text(name); }
  void CreateReport(const std::string& name) { dir_.NewFile(name); }
  // One windy case with hours, so that the concentration is not 0.
  void SetOneWindyCase() { form_.Grid[4][8] = "100"; }

  vmk::scratch::ScratchDir dir_;
  vmk::FormRecord form_ = vmk::MakeStartupForm();
  vmk::CalcState st_;
  vmk::CalcSettings settings_;
};

TEST_F(Calculation, DefaultsShowHeatFluxAndZero) {
  auto out = Run();
  EXPECT_TRUE(out.NormalResult);
  EXPECT_FALSE(out.MessageBox);
  EXPECT_FALSE(out.ReportPath);
  EXPECT_EQ(Text("QhResultLabel"), " 5.741E5");
  EXPECT_EQ(Text("ConcResLabel"), " 0");
  EXPECT_EQ(Text("messageLabel"), Sj(" 入力・条件 : O.K."));
  EXPECT_EQ(form_.Grid[10][13], "    0");  // totals written
}

TEST_F(Calculation, InvalidInputShowsErrorFormAndStillTotals) {
  SetOneWindyCase();
  Text("QgEdit") = "abc";
  auto out = Run();
  EXPECT_FALSE(out.NormalResult);
  EXPECT_EQ(Text("QhResultLabel"), " Error ");
  EXPECT_EQ(Text("ConcResLabel"), " Error ");
  EXPECT_EQ(Text("messageLabel"), "Error: Qg: ");
  // Nothing of the grid was read in this calculation: the totals are of the zeroed record.
  EXPECT_EQ(form_.Grid[10][13], "    0");
  // The outcome names the input, as the validation of the same form on its own does.
  ASSERT_TRUE(out.Rejected);
  EXPECT_EQ(out.Rejected->Control, "QgEdit");
  EXPECT_EQ(out.Rejected->Limits.High, vmk::FirstRejectedInput(form_)->Limits.High);
  Text("QgEdit") = vmk::MakeStartupForm().Text("QgEdit");
  EXPECT_FALSE(Run().Rejected);
}

TEST_F(Calculation, InvalidInputDoesNotExamineTheOptionField) {
  Text("memoOption") = "@ver@";
  Text("TempGEdit") = " 14.9";
  Run();
  EXPECT_EQ(Text("messageLabel"), "T<Ta: ");
  EXPECT_EQ(Text("memoOption"), "@ver@");
}

TEST_F(Calculation, OptionPatternSelectsTheReport) {
  struct Case {
    const char* memo;
    const char* file;  // nullptr: no report
  };
  const Case cases[] = {
      {"@WA:1@", "VMKIO1.csv"}, {"@WA:1@ case 3", "VMKIO1.csv"}, {"@wa:z@", "VMKIOZ.csv"},
      {"@wf:q@", "VMKIOQ.csv"},
      // No report: empty, five bytes, a letter outside A to F, mode X, a bad mark or name.
      {"", nullptr}, {"@WA:1", nullptr}, {"@WG:1@", nullptr}, {"@XA:1@", nullptr},
      {"@WA;1@", nullptr}, {"@WA:_@", nullptr}, {"#WA:1@", nullptr}, {"@WA:1#", nullptr},
  };
  for (const char* f : {"VMKIO1.csv", "VMKIOZ.csv", "VMKIOQ.csv"}) CreateReport(f);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.memo);
    Text("memoOption") = c.memo;
    auto out = Run();
    EXPECT_TRUE(out.NormalResult);
    if (c.file == nullptr) {
      EXPECT_FALSE(out.ReportPath);
    } else {
      ASSERT_TRUE(out.ReportPath);
      EXPECT_EQ(fs::path(*out.ReportPath), dir_ / c.file);
    }
  }
  EXPECT_NE(vmk::scratch::ReadBytes(dir_ / "VMKIO1.csv").find("@WA:1@ case 3"),
            std::string::npos);
}

TEST_F(Calculation, VersionQuery) {
  Text("memoOption") = "@ver@";
  EXPECT_TRUE(Run().NormalResult);
  EXPECT_EQ(Text("memoOption"), "@ver@:04.3.16 c");
  EXPECT_EQ(Text("QhResultLabel"), " 5.741E5");
  Run();
  EXPECT_EQ(Text("memoOption"), "@ver@::04.3.16 c");
  Run();
  EXPECT_EQ(Text("memoOption"), "@ver@::04.3.16 c");

  Text("memoOption") = "@ver@ note";
  Run();
  EXPECT_EQ(Text("memoOption"), "@ver@ :04.3.16 c");
  // A double-byte character across the sixth byte is dropped whole, not cut in half.
  Text("memoOption") = "@ver@" + Sj("濃度");
  Run();
  EXPECT_EQ(Text("memoOption"), "@ver@:04.3.16 c");
  // Upper case is no version query.
  Text("memoOption") = "@VER@";
  Run();
  EXPECT_EQ(Text("memoOption"), "@VER@");
}

TEST_F(Calculation, FileReadRequestLeavesResultsAlone) {
  Text("QhResultLabel") = "before";
  Text("ConcResLabel") = "before";
  Text("memoOption") = "@RA:1@";
  auto out = Run();
  EXPECT_FALSE(out.NormalResult);
  EXPECT_FALSE(out.ReportPath);
  EXPECT_EQ(Text("messageLabel"), " proc. fileRead called ");
  EXPECT_EQ(Text("QhResultLabel"), "before");
  EXPECT_EQ(Text("ConcResLabel"), "before");
  Text("memoOption") = "@ra:Z@";
  Run();
  EXPECT_EQ(Text("messageLabel"), " proc. fileRead called ");
}

TEST_F(Calculation, ReportFileFailuresEndTheCalculationWithTheirMessage) {
  Run();  // results of an earlier calculation stay shown
  Text("QhResultLabel") = "kept";
  SetOneWindyCase();
  Text("memoOption") = "@WA:1@";
  auto missingFile = Run();
  ASSERT_TRUE(missingFile.MessageBox);
  EXPECT_EQ(*missingFile.MessageBox, Sj("ﾌｧｲﾙが見つかりません."));
  EXPECT_FALSE(missingFile.NormalResult);
  EXPECT_FALSE(missingFile.ReportPath);  // nothing appended
  EXPECT_EQ(missingFile.RequestedReportPath, (dir_ / "VMKIO1.csv").string());
  EXPECT_EQ(Text("QhResultLabel"), "kept");
  EXPECT_EQ(Text("ConcResLabel"), " 0");
  EXPECT_EQ(Text("messageLabel"), Sj(" 入力・条件 : O.K."));

  settings_.ReportDir = (dir_ / "no-such-folder").string();
  auto missingFolder = Run();
  ASSERT_TRUE(missingFolder.MessageBox);
  EXPECT_EQ(*missingFolder.MessageBox, Sj("不正なﾌｧｲﾙ名です."));

  // The next press starts afresh.
  settings_.ReportDir = dir_.Path().string();
  CreateReport("VMKIO1.csv");
  auto fine = Run();
  EXPECT_TRUE(fine.NormalResult);
  EXPECT_FALSE(fine.MessageBox);
}

// The parameter record keeps, for later calculations and the window, the wind and rise of the
// last case whose wind was computed, even one dropped afterwards for want of hours.
TEST_F(Calculation, StateKeepsTheWindOfTheLastComputedCase) {
  Text("dHformulaWWEdit") = " 1";
  form_.Grid[1][2] = "5";   // calm, class A
  form_.Grid[3][12] = "40";  // weak wind of all directions only, class G: computed, then dropped
  ASSERT_TRUE(Run().NormalResult);
  const vmk::ModelParameters& p = st_.Params;
  EXPECT_EQ(p.Qh, 574092.0f);
  const vmk::WindAndRise weakG = vmk::ComputeWindAndRise(p, p.Qh, 11, 2, 1, 0.7f);
  EXPECT_EQ(p.Uhr, 0.7f);
  EXPECT_EQ(p.Uhm, weakG.Uhm);
  EXPECT_EQ(p.Uh0, weakG.Uh0);
  EXPECT_EQ(p.Uhe, weakG.Uhe);
  EXPECT_EQ(p.DH, weakG.DH);
  EXPECT_EQ(p.He, weakG.He);
  EXPECT_GT(p.DH, 0.0f);

  // A run that computes no case leaves them as they were.
  form_.Grid[1][2] = "   0";
  form_.Grid[3][12] = "   0";
  Text("TempGEdit") = " 100.0";
  ASSERT_TRUE(Run().NormalResult);
  EXPECT_EQ(st_.TotalConc, 0.0f);
  EXPECT_EQ(p.Uhr, 0.7f);
  EXPECT_EQ(p.He, weakG.He);
  EXPECT_NE(p.Qh, 574092.0f);  // the heat flux is computed every time
}

// Every report failure has its message; each test sets up the memo option and one windy case.
class ReportFailure : public Calculation {
 protected:
  void SetUp() override {
    Calculation::SetUp();
    Text("memoOption") = "@WA:1@";
    SetOneWindyCase();
  }
};

TEST_F(ReportFailure, ReadOnlyFileIsDenied) {
  CreateReport("VMKIO1.csv");
  fs::permissions(dir_ / "VMKIO1.csv", fs::perms::owner_read | fs::perms::group_read);
  auto readOnly = Run();
  ASSERT_TRUE(readOnly.MessageBox);
  EXPECT_EQ(*readOnly.MessageBox, Sj("ﾌｧｲﾙへのｱｸｾｽが拒否されました."));
}

TEST_F(ReportFailure, AnyOtherFailureShowsItsNumber) {
  if (vmk::platform::kWindows) GTEST_SKIP() << "symbolic links need a privilege on Windows";
  fs::create_symlink("VMKIO1.csv", dir_ / "VMKIO1.csv");  // a link to itself: ELOOP
  auto other = Run();
  ASSERT_TRUE(other.MessageBox);
  EXPECT_EQ(*other.MessageBox, Sj("I/O ｴﾗｰ (" + std::to_string(ELOOP) + ")."));
}

TEST_F(ReportFailure, TooManyOpenFiles) {
  if (vmk::testing_support::kUnderSanitizer) {
    GTEST_SKIP() << "without a free file descriptor the sanitizer's runtime itself fails";
  }
  CreateReport("VMKIO1.csv");
  vmk::CalcOutcome tooMany;
  {
    const sys::OpenFileLimit noDescriptorLeft;
    if (!noDescriptorLeft.Active()) GTEST_SKIP() << "no limit of open files to lower here";
    tooMany = Run();
  }
  ASSERT_TRUE(tooMany.MessageBox);
  EXPECT_EQ(*tooMany.MessageBox, Sj("ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます."));
  EXPECT_TRUE(Run().NormalResult);  // and the next press works
}

TEST_F(ReportFailure, DiskFull) {
  const std::string full = sys::AlwaysFullFile();
  if (full.empty()) GTEST_SKIP() << "no device that is always full here";
  fs::create_symlink(full, dir_ / "VMKIO1.csv");
  auto outcome = Run();
  ASSERT_TRUE(outcome.MessageBox);
  EXPECT_EQ(*outcome.MessageBox, Sj("ﾃﾞｨｽｸがいっぱいです."));
}

TEST(ShowResults, ConcentrationDisplayThresholds) {
  struct Case {
    float conc;
    const char* text;
  };
  const Case cases[] = {
      {0.0f, " 0"}, {0.0005f, " 5.000E-4"}, {0.000123456f, " 1.235E-4"},
      {0.001f, " 0.001"},  // the float is just above 0.001: general form
      {0.000005f, " 5E-6"}, {0.00099999f, " 1.000E-3"}, {9.999e-6f, " 9.999E-6"},
      {9.998e-6f, " 9.998E-6"}, {12.5f, " 12.5"}, {574092.0f, " 5.741E5"},
  };
  vmk::FormRecord form = vmk::MakeStartupForm();
  vmk::CalcState st;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    st.TotalConc = c.conc;
    vmk::ShowResults(form, st, true);
    EXPECT_EQ(form.Text("ConcResLabel"), c.text);
  }
  st.TotalConc = std::numeric_limits<float>::quiet_NaN();
  vmk::ShowResults(form, st, true);
  EXPECT_EQ(form.Text("ConcResLabel").find('E'), std::string::npos) << "NaN takes the general form";
}

TEST(ShowResults, DecimalSeparatorOfTheLocale) {
  vmk::FormRecord form = vmk::MakeStartupForm();
  vmk::CalcState st;
  st.Params.Qh = 12.5f;
  st.TotalConc = 0.0005f;
  vmk::ShowResults(form, st, true, ",");
  EXPECT_EQ(form.Text("QhResultLabel"), " 12,5");
  EXPECT_EQ(form.Text("ConcResLabel"), " 5,000E-4");
}

TEST_F(Calculation, WeakWindTotalUsesTheDecimalSeparator) {
  settings_.DecimalSep = ",";
  form_.Grid[2][3] = "0.25";
  form_.Grid[2][4] = "0.5";
  Run();
  EXPECT_EQ(form_.Grid[2][13], "0,750");
}

TEST(ShowResults, ModelErrorForm) {
  vmk::FormRecord form = vmk::MakeStartupForm();
  vmk::CalcState st;
  form.Text("messageLabel") = Sj(" 入力・条件 : O.K.");
  st.ModelError = true;
  st.ModelErrorText = "/stab.prm in sigZPG ";
  vmk::ShowResults(form, st, true);
  EXPECT_EQ(form.Text("QhResultLabel"), " Error ");
  EXPECT_EQ(form.Text("ConcResLabel"), " Error ");
  EXPECT_EQ(form.Text("messageLabel"), Sj(" 入力・条件 : O.K.: /stab.prm in sigZPG "));
}

// Without a folder of its own, the report goes into the platform's default folder: drive c:
// stands for the home folder (HOME, pointed at a scratch folder for the test).
TEST(ReportFolder, WithoutAFolderTheReportGoesUnderTheHomeFolder) {
  if (vmk::platform::kWindows) GTEST_SKIP() << "drive c: is there itself (see app_windows_test)";
  vmk::scratch::ScratchDir home;
  const fs::path folder = home / "Vellmark" / "IO";
  fs::create_directories(folder);
  vmk::scratch::WriteBytes(folder / "VMKIO1.csv", "");
  vmk::FormRecord form = vmk::MakeStartupForm();
  form.Text("memoOption") = "@WA:1@";
  form.Grid[4][8] = "100";
  vmk::CalcState st;
  vmk::CalcOutcome out;
  {
    const vmk::platform::testing::ScopedEnvironment homeHere("HOME", home.Path().string());
    out = vmk::RunCalculation(form, st, vmk::CalcSettings{});
  }
  ASSERT_TRUE(out.ReportPath);
  EXPECT_EQ(fs::path(*out.ReportPath), folder / "VMKIO1.csv");
  EXPECT_NE(vmk::scratch::ReadBytes(folder / "VMKIO1.csv").find("@WA:1@"), std::string::npos);
}

}  // namespace
