// The profile page: the distance range, the profile of every calculation with a result and none
// after one without, the line under the chart with its "peak at the edge" rule, the chart
// fitted to a page, and the export by file extension.
#include <gtest/gtest.h>

#include <string>

#include "casefile/profile_csv.h"
#include "common/numtext.h"
#include "frontend_test_support.h"
#include "plot/profile_chart.h"
#include "plot/svg_writer.h"
#include "scratch_files.h"

namespace {

using namespace vmk;
using fronttest::FakeWindow;

// A windy case with hours, high enough a stack that the maximum lies well off the source.
void EnterWindyCase(FakeWindow& w, const char* r) {
  w.Form().Grid[5][6] = "100";
  w.Form().Text("HoEdit") = " 50.0";
  w.Form().Text("XrpEdit") = r;
}

std::string General4(float x) { return FormatGeneral(x, 4); }

TEST(FrontendProfileTest, RangeTakesInTheReceptor) {
  const struct {
    float r, from, to;
  } cases[] = {{100, 10, 20000}, {10, 10, 20000}, {5, 5, 20000}, {20000, 10, 20000}, {50000, 10, 50000}};
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileRange(c.r), std::make_pair(c.from, c.to)) << c.r;
  }
}

// The receptor distance inside the default range, below it and beyond it.
TEST(FrontendProfileTest, CalculationShowsTheProfileItsMaximumAndTheExportedScene) {
  const struct {
    const char* r;
    float from, to;
  } cases[] = {{" 100.0", 10, 20000}, {" 5.0", 5, 20000}, {" 50000", 10, 50000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.r);
    FakeWindow w;
    EXPECT_FALSE(w.Fe.Profile.HasProfile);
    EnterWindyCase(w, c.r);
    const int shown = w.ProfilesShown;
    Calculate(w.Fe);
    ASSERT_EQ(w.Status(), fronttest::kStatusOk);
    EXPECT_EQ(w.ProfilesShown, shown + 1);
    const ProfileView& v = w.Fe.Profile;
    ASSERT_TRUE(v.HasProfile);
    const Profile expected = ComputeProfile(w.Fe.State.Params, ProfileDistances(c.from, c.to, 200, true));
    ASSERT_GT(expected.Max.C, 0.0f);
    ASSERT_EQ(v.Data.Points.size(), 200u);
    EXPECT_EQ(v.From, c.from);
    EXPECT_EQ(v.To, c.to);
    for (std::size_t i = 0; i < 200; i += 33) {
      EXPECT_EQ(v.Data.Points[i].R, expected.Points[i].R) << i;
      EXPECT_EQ(v.Data.Points[i].C, expected.Points[i].C) << i;
    }
    EXPECT_EQ(v.Receptor, std::make_pair(w.Fe.State.Params.R, w.Fe.State.TotalConc));
    EXPECT_EQ(v.Top.R, expected.Max.R);
    EXPECT_EQ(v.Top.C, expected.Max.C);
    EXPECT_FALSE(v.PeakAtEdge);
    EXPECT_EQ(v.Summary, " 最大濃度 C = " + General4(expected.Max.C) + " (ppb, ng/m3)   距離 R = " +
                             General4(expected.Max.R) + " m");

    // The chart is the picture 保存... writes.
    ProfilePlotInput in;
    in.Data = &expected;
    in.From = c.from;
    in.To = c.to;
    in.LogScale = true;
    in.Receptor = v.Receptor;
    EXPECT_EQ(PlotSvg(v.Scene), PlotSvg(BuildProfilePlot(in)));
  }
}

TEST(FrontendProfileTest, SummaryUsesTheWindowsDecimalSeparator) {
  FakeWindow w;
  w.Fe.Settings.DecimalSep = ",";
  EnterWindyCase(w, " 1000.0");
  Calculate(w.Fe);
  ASSERT_EQ(w.Status(), fronttest::kStatusOk);
  const ProfileView& v = w.Fe.Profile;
  EXPECT_EQ(v.Summary, " 最大濃度 C = " + FormatGeneral(v.Top.C, 4, ",") + " (ppb, ng/m3)   距離 R = " +
                           FormatGeneral(v.Top.R, 4, ",") + " m");
  EXPECT_NE(v.Summary.find(','), std::string::npos);
}

// A maximum on the range's last distance: the line under the chart says higher values may lie beyond.
TEST(FrontendProfileTest, SummarySaysWhenThePeakMayLieBeyondTheRange) {
  FakeWindow w;
  // A tall stack in strong wind, stable air: the ground-level maximum lies far downwind.
  w.Form().Grid[9][10] = "100";
  w.Form().Text("HoEdit") = " 300";
  w.Form().Text("XrpEdit") = " 1000.0";
  Calculate(w.Fe);
  ASSERT_EQ(w.Status(), fronttest::kStatusOk);
  const Profile expected = ComputeProfile(w.Fe.State.Params, ProfileDistances(10, 20000, 200, true));
  ASSERT_EQ(expected.Max.R, 20000.0f) << "the case no longer peaks beyond 20 km";
  EXPECT_TRUE(w.Fe.Profile.PeakAtEdge);
  const std::string note = "  (範囲の端: ピークは範囲の外かもしれません)";
  const std::string& summary = w.Fe.Profile.Summary;
  ASSERT_GE(summary.size(), note.size());
  EXPECT_EQ(summary.substr(summary.size() - note.size()), note);
}

// An input error and the file-read request both end without a result: nothing to show, even
// after a calculation that showed a profile.
TEST(FrontendProfileTest, CalculationWithoutResultShowsNothing) {
  const struct {
    const char* field;
    const char* text;
    const char* status;  // null: any input error
  } failures[] = {{"QgEdit", "abc", nullptr}, {"memoOption", "@RA:1@", " proc. fileRead called "}};
  for (const auto& f : failures) {
    SCOPED_TRACE(f.field);
    FakeWindow w;
    EnterWindyCase(w, " 1000.0");
    Calculate(w.Fe);
    ASSERT_TRUE(w.Fe.Profile.HasProfile);
    w.Form().Text(f.field) = f.text;
    Calculate(w.Fe);
    if (f.status != nullptr) {
      EXPECT_EQ(w.Status(), f.status);
    } else {
      EXPECT_NE(w.Status(), fronttest::kStatusOk);
    }
    EXPECT_FALSE(w.Fe.Profile.HasProfile);
    EXPECT_TRUE(w.Fe.Profile.Data.Points.empty());
    EXPECT_EQ(w.Fe.Profile.Summary, " 計算結果がありません");
    ASSERT_EQ(w.Fe.Profile.Scene.Texts.size(), 1u);
    EXPECT_EQ(w.Fe.Profile.Scene.Texts[0].Text, "計算結果がありません");
  }
}

TEST(FrontendProfileTest, FitSceneFillsTheAreaAndKeepsTextsReadable) {
  PlotScene scene;  // 800 x 500
  scene.Segments.push_back({100, 50, 700, 450, {{0, 0, 0}, 2, true}});
  scene.Polylines.push_back({{{0, 0}, {800, 500}}, {{1, 2, 3}, 1, false}});
  scene.Circles.push_back({400, 250, 8, {}, {}, 1.5});
  scene.Texts.push_back({400, 24, "title", 16, TextAnchor::Middle, true, {}});
  const struct {
    int w, h;
    double x2, y2, width, radius, size;
  } cases[] = {
      {800, 500, 700, 450, 2, 8, 16},       // as drawn
      {400, 250, 350, 225, 1, 6, 12},       // half: lines no thinner than 1 px, texts 3/4
      {1600, 1000, 1400, 900, 4, 16, 32},   // double
      {586, 250, 512.75, 225, 1, 6, 12},    // a page: stretched across, the smaller factor
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.w);
    const PlotScene fitted = FitScene(scene, c.w, c.h);
    EXPECT_EQ(fitted.Width, c.w);
    EXPECT_EQ(fitted.Height, c.h);
    EXPECT_DOUBLE_EQ(fitted.Segments[0].X2, c.x2);
    EXPECT_DOUBLE_EQ(fitted.Segments[0].Y2, c.y2);
    EXPECT_DOUBLE_EQ(fitted.Segments[0].Stroke.Width, c.width);
    EXPECT_TRUE(fitted.Segments[0].Stroke.Dashed);
    EXPECT_DOUBLE_EQ(fitted.Polylines[0].Points[1].first, c.w);
    EXPECT_DOUBLE_EQ(fitted.Polylines[0].Points[1].second, c.h);
    EXPECT_DOUBLE_EQ(fitted.Circles[0].Radius, c.radius);
    EXPECT_DOUBLE_EQ(fitted.Texts[0].Size, c.size);
    EXPECT_DOUBLE_EQ(fitted.Texts[0].X, c.w / 2.0);
    EXPECT_EQ(fitted.Texts[0].Text, "title");
  }
}

// 保存... writes the profile shown as a picture or as the command line's CSV, by the name's end.
TEST(FrontendProfileTest, ExportWritesPngSvgOrTheCommandLinesCsv) {
  scratch::ScratchDir dir;
  FakeWindow w;
  EXPECT_EQ(ExportProfileTo(w.Fe.Profile, dir.File("x.csv")), "保存する距離分布がありません。");
  ExportProfile(w.Fe);  // nothing to save: no dialog
  EXPECT_TRUE(w.Dialogs.empty());

  EnterWindyCase(w, " 1000.0");
  Calculate(w.Fe);
  ASSERT_EQ(w.Status(), fronttest::kStatusOk);
  const Profile expected = ComputeProfile(w.Fe.State.Params, ProfileDistances(10, 20000, 200, true));
  const struct {
    const char* name;
    std::string starts;  // the file's first bytes
    const char* problem;
  } cases[] = {
      {"p.CSV", "R (m),C,C puff,C plume\n10,", ""},
      {"p.svg", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", ""},
      {"p.png", "\x89PNG\r\n\x1a\n", ""},
      {"p.pdf", "", "ファイル名の終わりを .png, .svg, .csv のどれかにしてください。"},
      {"p", "", "ファイル名の終わりを .png, .svg, .csv のどれかにしてください。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExportProfileTo(w.Fe.Profile, dir.File(c.name)), c.problem);
    const std::string bytes = scratch::ReadBytes(dir / c.name);
    EXPECT_EQ(bytes.substr(0, c.starts.size()), c.starts);
  }
  EXPECT_EQ(scratch::ReadBytes(dir / "p.CSV"), ProfileCsvText(expected));
  EXPECT_EQ(scratch::ReadBytes(dir / "p.svg"), PlotSvg(w.Fe.Profile.Scene));
  EXPECT_NE(scratch::ReadBytes(dir / "p.svg").find(">予測点 R = 1000 m</text>"), std::string::npos);

  // Through the button: the dialog's name gets its kind's extension; a failure says why.
  w.Files = {dir.File("chosen"), dir.File("no-folder/p.csv")};
  ExportProfile(w.Fe);
  ASSERT_EQ(w.Dialogs.size(), 1u);
  EXPECT_EQ(w.Dialogs[0].Suggested, "profile.png");
  EXPECT_EQ(scratch::ReadBytes(dir / "chosen.png").substr(0, 4), "\x89PNG");
  EXPECT_TRUE(w.Messages.empty());
  ExportProfile(w.Fe);
  ASSERT_EQ(w.Messages.size(), 1u);
  EXPECT_EQ(w.Messages[0].Name, "ExportProblemBox");
  EXPECT_EQ(w.Messages[0].Text.rfind("保存できませんでした:\n", 0), 0u);
  EXPECT_GT(w.Messages[0].Text.size(), std::string("保存できませんでした:\n").size());
}

}  // namespace
