// The distance profile: each point is what a calculation at that distance shows, and the
// maximum lies where the model has it.
#include <gtest/gtest.h>

#include <charconv>
#include <bit>
#include <cmath>
#include <cstring>

#include "app/command/calculation.h"
#include "input/frequency_grid.h"
#include "model/profile.h"

namespace {

std::string ShortestText(float x) {
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, res.ptr);
}

// A 50 m stack with a warm exhaust, Briggs rise for calm, CONCAWE for windy hours.
vmk::FormRecord FiftyMetreStack(const char* weakWindFormula) {
  vmk::FormRecord form = vmk::MakeStartupForm();
  form.Text("QgEdit") = " 50";
  form.Text("QpEdit") = " 0.005";
  form.Text("TempGEdit") = " 150.0";
  form.Text("HoEdit") = " 50.0";
  form.Text("HmEdit") = " 20.0";
  form.Text("HrankgEdit") = " 20.0";
  form.Text("dHformulaCalmEdit") = " 1";
  form.Text("dHformulaWWEdit") = weakWindFormula;
  form.Text("dHformulaWindyEdit") = " 2";
  return form;
}

// Calm, weak-wind and windy hours in several classes, and NOx conversion on, so that every
// section and the conversion take part.
vmk::FormRecord SiteForm() {
  vmk::FormRecord form = FiftyMetreStack(" 4");
  form.Text("Phm_h0multEdit") = " 1.0";
  form["NOxTrnCheckBox"].Checked = true;
  const char* cells[][3] = {{"1", "5", "12"}, {"2", "5", "3.5"}, {"3", "5", "40"},
                            {"4", "8", "30"}, {"5", "7", "55"},  {"6", "9", "20"},
                            {"7", "3", "14"}, {"9", "11", "2"},  {"2", "10", "0.75"}};
  for (auto& c : cells) form.Grid[std::stoi(c[0])][std::stoi(c[1])] = c[2];
  return form;
}

TEST(Profile, EachPointEqualsACalculationAtThatDistanceBitForBit) {
  vmk::FormRecord form = SiteForm();
  vmk::CalcState st;
  ASSERT_TRUE(vmk::RunCalculation(form, st, {}).NormalResult);
  const vmk::ModelParameters validated = st.Params;

  const auto distances = vmk::ProfileDistances(10.0f, 20000.0f, 23, true);
  const vmk::Profile profile = vmk::ComputeProfile(validated, distances);
  ASSERT_EQ(profile.Points.size(), distances.size());
  for (const auto& pt : profile.Points) {
    SCOPED_TRACE(pt.R);
    form.Text("XrpEdit") = " " + ShortestText(pt.R);
    ASSERT_TRUE(vmk::RunCalculation(form, st, {}).NormalResult);
    ASSERT_EQ(st.Params.R, pt.R);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(st.TotalConc), std::bit_cast<std::uint32_t>(pt.C));
    EXPECT_EQ(pt.C, static_cast<float>(static_cast<long double>(pt.CPuff) + pt.CPlume));
  }
  // Near the stack the raised plume does not reach the ground yet; far off both sections count.
  EXPECT_GT(profile.Points.back().CPuff, 0.0f);
  EXPECT_GT(profile.Points.back().CPlume, 0.0f);
}

TEST(Profile, DoesNotTouchTheStateOfTheLastCalculation) {
  vmk::FormRecord form = SiteForm();
  vmk::CalcState st;
  ASSERT_TRUE(vmk::RunCalculation(form, st, {}).NormalResult);
  const vmk::ModelParameters before = st.Params;
  const float total = st.TotalConc;
  vmk::ComputeProfile(st.Params, vmk::ProfileDistances(10.0f, 5000.0f, 9, false));
  EXPECT_EQ(std::memcmp(&before, &st.Params, sizeof before), 0);
  EXPECT_EQ(st.TotalConc, total);
}

// The validated inputs of one windy case of class C (a single power law for sigma-z) from a
// 50 m stack without plume rise.
void SinglePlumeCase(vmk::CalcState& st) {
  vmk::FormRecord form = vmk::MakeStartupForm();
  form.Text("HoEdit") = " 50.0";
  form.Grid[5][6] = "100";  // windy class 2, class C
  ASSERT_TRUE(vmk::RunCalculation(form, st, {}).NormalResult);
}

// At ground level C ~ exp(-He^2 / (2 sz^2)) / (R sz), largest where sz^2 = He^2 a / (1 + a).
TEST(Profile, MaximumOfASinglePlumeCaseLiesWhereTheFormulaPutsIt) {
  vmk::CalcState st;
  ASSERT_NO_FATAL_FAILURE(SinglePlumeCase(st));

  const long double a = 0.918f;
  const long double g = 0.1068f;
  const long double he = 50.0L;
  const long double sigma = he * sqrtl(a / (1 + a));
  const long double rMax = powl(sigma / g, 1 / a);  // about 542 m

  for (bool logScale : {true, false}) {
    SCOPED_TRACE(logScale);
    const auto profile =
        vmk::ComputeProfile(st.Params, vmk::ProfileDistances(10.0f, 20000.0f, 200, logScale));
    EXPECT_NEAR(profile.Max.R / rMax, 1.0L, 1e-3L);
    for (const auto& pt : profile.Points) EXPECT_LE(pt.C, profile.Max.C);
    EXPECT_EQ(profile.Max.C, vmk::ConcentrationAt(st.Params, profile.Max.R).C);
  }
}

// A 50 m stack over a full year's table: the calm and weak-wind share falls from the stack,
// the windy share peaks near 1 km, with a dip between them.
TEST(Profile, CoarseGridStillFindsThePeakBehindADip) {
  const char* hours[9][11] = {
      {"12", "35", "48", "20", "10", "6", "110", "240", "30", "25", "150"},
      {"0.35", "1.20", "2.45", "0.80", "0.30", "0.20", "4.10", "6.85", "0.95", "0.70", "3.40"},
      {"9", "30", "52", "20", "8", "5", "85", "140", "22", "18", "70"},
      {"2", "10", "18", "8", "4", "2", "35", "42", "9", "6", "12"},
      {"0", "6", "15", "10", "6", "4", "48", "36", "12", "5", "3"},
      {"0", "0", "6", "7", "8", "5", "40", "22", "6", "0", "0"},
      {"0", "0", "0", "2", "6", "4", "32", "14", "0", "0", "0"},
      {"0", "0", "0", "0", "0", "1", "14", "5", "0", "0", "0"},
      {"0", "0", "0", "0", "0", "0", "6", "2", "0", "0", "0"}};
  vmk::FormRecord form = FiftyMetreStack(" 3");
  for (int r = 1; r <= 9; ++r) {
    for (int c = 2; c <= 12; ++c) form.Grid[r][c] = hours[r - 1][c - 2];
  }
  vmk::CalcState st;
  ASSERT_TRUE(vmk::RunCalculation(form, st, {}).NormalResult);

  const auto fine = vmk::ComputeProfile(st.Params, vmk::ProfileDistances(10.0f, 20000.0f, 2000, true));
  ASSERT_GT(fine.Max.R, 300.0f) << "the peak lies behind the dip";
  // From 14 points on, the largest grid point lies on the peak's slope (with fewer, the largest
  // point is the one at the stack: the grid misses the peak, which no search between
  // neighbours can mend).
  for (int n = 14; n <= 40; ++n) {
    SCOPED_TRACE(n);
    const auto coarse = vmk::ComputeProfile(st.Params, vmk::ProfileDistances(10.0f, 20000.0f, n, false));
    EXPECT_NEAR(coarse.Max.R / fine.Max.R, 1.0f, 1e-3f);
    EXPECT_GE(coarse.Max.C, fine.Max.C * (1 - 1e-6f));
  }
}

TEST(Profile, MaximumAtTheEndOfARisingProfile) {
  vmk::CalcState st;
  ASSERT_NO_FATAL_FAILURE(SinglePlumeCase(st));
  const auto profile = vmk::ComputeProfile(st.Params, vmk::ProfileDistances(10.0f, 300.0f, 30, false));
  EXPECT_EQ(profile.Max.R, 300.0f);
  EXPECT_EQ(profile.Max.C, profile.Points.back().C);
}

TEST(Profile, NoHoursGiveAZeroProfile) {
  vmk::FormRecord form = vmk::MakeStartupForm();
  vmk::CalcState st;
  ASSERT_TRUE(vmk::RunCalculation(form, st, {}).NormalResult);
  const auto profile = vmk::ComputeProfile(st.Params, vmk::ProfileDistances(10.0f, 100.0f, 5, false));
  for (const auto& pt : profile.Points) EXPECT_EQ(pt.C, 0.0f);
  EXPECT_EQ(profile.Max.C, 0.0f);
  EXPECT_EQ(profile.Max.R, 10.0f);
}

TEST(ProfileDistances, EndsExactAndSpacing) {
  const auto lin = vmk::ProfileDistances(10.0f, 20.0f, 11, false);
  ASSERT_EQ(lin.size(), 11u);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(lin[i], 10.0f + i);
  const auto lg = vmk::ProfileDistances(10.0f, 20000.0f, 200, true);
  ASSERT_EQ(lg.size(), 200u);
  EXPECT_EQ(lg.front(), 10.0f);
  EXPECT_EQ(lg.back(), 20000.0f);
  for (std::size_t i = 1; i < lg.size(); ++i) {
    EXPECT_NEAR(lg[i] / lg[i - 1], std::pow(2000.0, 1.0 / 199), 1e-5);
  }
  EXPECT_TRUE(vmk::ProfileDistances(10.0f, 20.0f, 1, false).empty());
}

}  // namespace
