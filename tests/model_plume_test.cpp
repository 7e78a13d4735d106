// Plume model: the worked case, reflection terms, the sigma-z shift, skipping and the sum.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "model/no2.h"
#include "model/plume.h"
#include "model/plume_rise.h"
#include "model_test_support.h"

namespace vmk {
namespace {

using model_test::ShowsAs;
using model_test::StartingParameters;

// Windy class 1 at 1.5 m/s, class Dd, 100 hours of 8760, R 100 m, z 0, every height 10 m.
struct WorkedSite : CalcState {
  WorkedSite() {
    Params = StartingParameters();
    Params.RepWindSpeed[4] = 1.5f;
    Params.WindyFreq[1][7] = 100;
    ComputeHeatFlux(Params);
  }
};

PlumeCase CaseOf(int k, int s, std::int16_t hours) {
  PlumeCase c;
  c.K = k; c.S = s; c.Hours = hours;
  return c;
}

TEST(PlumeCase, WorkedCase) {
  WorkedSite st;
  PlumeCase c = CaseOf(1, 7, 100);
  ComputePlumeCase(st, 100.0f, c);
  const ModelParameters& p = st.Params;
  EXPECT_EQ(p.Uhr, 1.5f);
  EXPECT_EQ(p.Uhm, 1.5f);
  EXPECT_EQ(p.Uh0, 1.5f);
  EXPECT_EQ(p.Uhe, 1.5f);
  EXPECT_EQ(p.He, 10.0f);
  EXPECT_TRUE(ShowsAs(c.SigmaZ, "4.6939"));
  EXPECT_TRUE(ShowsAs(c.FMinus, "0.10338"));
  EXPECT_EQ(c.FMinus, c.FPlus);  // z = 0
  EXPECT_TRUE(ShowsAs(c.F, "0.20675"));
  EXPECT_TRUE(ShowsAs(c.C1, "298.32"));
  EXPECT_TRUE(ShowsAs(c.Cw, "3.4055"));
  EXPECT_EQ(c.NO2r, 1.0f);
  EXPECT_FALSE(st.ModelError);

  PlumeModel(st);
  EXPECT_EQ(st.TotalConc, c.Cw);
}

TEST(PlumeCase, WorkedCaseWithConcaweRise) {
  WorkedSite st;
  st.Params.DHFormulaWindy = 2;
  PlumeCase c = CaseOf(1, 7, 100);
  ComputePlumeCase(st, 100.0f, c);
  EXPECT_TRUE(ShowsAs(st.Params.He, "107.83"));
  EXPECT_EQ(c.F, 0.0f);
  EXPECT_EQ(c.C1, 0.0f);
  EXPECT_EQ(c.Cw, 0.0f);
}

TEST(PlumeCase, ReceptorAtTheEffectiveHeight) {
  WorkedSite st;
  st.Params.z = 10.0f;
  PlumeCase c = CaseOf(1, 3, 10);
  ComputePlumeCase(st, 100.0f, c);
  EXPECT_EQ(c.FMinus, 1.0f);
  EXPECT_LT(c.FPlus, 1.0f);
}

TEST(PlumeCase, ShiftChangesOnlySigmaZ) {
  struct Setting {
    std::int16_t mode, amount;
    bool shifted;
  };
  const Setting settings[] = {{0, 2, false}, {2, 0, false}, {1, 1, true}, {2, 2, true}};
  for (int s : {3, 8, 11}) {
    WorkedSite plain;
    plain.Params.DHFormulaWindy = 3;
    plain.Params.RepWindSpeed[5] = 2.2f;
    PlumeCase base = CaseOf(2, s, 40);
    ComputePlumeCase(plain, 100.0f, base);
    for (const Setting& set : settings) {
      SCOPED_TRACE(::testing::Message() << s << " mode " << set.mode << " amount " << set.amount);
      CalcState st;
      st.Params = plain.Params;
      st.Params.SigZShiftMode = set.mode;
      st.Params.SigZShift = set.amount;
      PlumeCase c = CaseOf(2, s, 40);
      ComputePlumeCase(st, 100.0f, c);
      EXPECT_EQ(st.Params.Uhe, plain.Params.Uhe);
      EXPECT_EQ(st.Params.DH, plain.Params.DH);
      EXPECT_EQ(st.Params.He, plain.Params.He);
      EXPECT_EQ(c.DayNight, base.DayNight);
      EXPECT_EQ(c.SigZClass,
                (set.shifted ? ShiftStability(s, set.mode, set.amount) : SigZTarget{s, false}));
      if (set.shifted) {
        EXPECT_GT(c.SigmaZ, base.SigmaZ);  // toward the unstable side: wider
      } else {
        EXPECT_EQ(c.SigmaZ, base.SigmaZ);
      }
    }
  }
}

TEST(PlumeCase, No2RatioOfTheDistanceAlone) {
  WorkedSite st;
  ModelParameters& p = st.Params;
  p.NOxTransform = true;
  p.Ra = 500.0f;
  for (int s : {4, 9}) {
    PlumeCase c = CaseOf(1, s, 100);
    ComputePlumeCase(st, 100.0f, c);
    EXPECT_EQ(c.NO2r, No2Ratio(p, DayNightIndex(s), 100.0f, 0.0f));
  }
  p.NOxTransform = false;
  p.Alpha = std::numeric_limits<float>::quiet_NaN();
  PlumeCase c = CaseOf(1, 4, 100);
  ComputePlumeCase(st, 100.0f, c);
  EXPECT_EQ(c.NO2r, 1.0f);
}

TEST(PlumeModel, SkipsCasesWithoutHoursAndSumsTheRest) {
  WorkedSite st;
  ModelParameters& p = st.Params;
  p.WindyFreq[1][7] = 0;
  for (int k = 1; k <= 6; ++k) p.RepWindSpeed[k + 3] = 1.0f + k;
  p.RepWindSpeed[3] = std::numeric_limits<float>::quiet_NaN();  // never used
  p.WindyFreq[2][1] = 12;
  p.WindyFreq[2][2] = -3;  // no hours
  p.WindyFreq[6][11] = 30;
  p.WindyFreq[4][6] = 7;
  CalcState copy;
  copy.Params = p;
  float expected = 0.0f;
  for (auto [k, s, h] : {std::tuple{2, 1, 12}, std::tuple{4, 6, 7}, std::tuple{6, 11, 30}}) {
    PlumeCase c = CaseOf(k, s, static_cast<std::int16_t>(h));
    ComputePlumeCase(copy, 100.0f, c);
    expected += c.Cw;
  }
  st.TotalConc = 1.25f;
  PlumeModel(st);
  EXPECT_EQ(st.TotalConc, 1.25f + expected);
  EXPECT_EQ(st.Params.Uhr, 7.0f);  // the last computed case (6, G) leaves its wind speeds behind
}

TEST(PlumeModel, NoHoursKeepsThePuffSum) {
  WorkedSite st;
  st.Params.WindyFreq[1][7] = 0;
  st.Params.Uhr = -1.0f;
  st.TotalConc = 0.75f;
  PlumeModel(st);
  EXPECT_EQ(st.TotalConc, 0.75f);
  EXPECT_EQ(st.Params.Uhr, -1.0f);
}

TEST(PlumeModel, DistanceFloor) {
  const auto totalAt = [](float r) {
    WorkedSite st;
    st.Params.z = 10.0f;  // at He, where sigma-z is at its floor
    st.Params.R = r;
    PlumeModel(st);
    return st.TotalConc;
  };
  EXPECT_EQ(totalAt(0.09999f), totalAt(0.1f));
  EXPECT_GT(totalAt(0.1f), 0.0f);
  EXPECT_NE(totalAt(0.10001f), totalAt(0.1f));
}

}  // namespace
}  // namespace vmk
