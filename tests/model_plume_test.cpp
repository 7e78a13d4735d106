// Plume model: the worked case, reflection terms, the sigma-z shift, skipping and the sum.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "model/model.h"
#include "model/no2.h"
#include "model/plume.h"
#include "model/plume_rise.h"
#include "model_test_support.h"

namespace vmk {
namespace {

using model_test::ShowsAs;
using model_test::StartingParameters;

// Windy class 1 at 1.5 m/s, class Dd, 100 hours of 8760, R 100 m, z 0, every height 10 m.
struct WorkedSite {
  WorkedSite() {
    Params = StartingParameters();
    Params.RepWindSpeed[4] = 1.5f;
    Params.WindyFreq[1][7] = 100;
  }
  ModelParameters Params;
  bool ModelError = false;
  Cp932 ModelErrorText;
};

PlumeRow CaseOf(int k, int s, std::int16_t hours) {
  PlumeRow c;
  c.K = k; c.S = s; c.Hours = hours;
  return c;
}

// One case of the site at 100 m, computed on its own.
void Compute(WorkedSite& site, PlumeRow& c) {
  ComputePlumeCase(site.Params, ComputeHeatFlux(site.Params), 100.0f, c,
                   SigZErrorState{site.ModelError, site.ModelErrorText});
}

// The plume section alone.
ModelResult PlumeSection(const ModelParameters& p) {
  ModelResult out;
  PlumeModel(p, ComputeHeatFlux(p), out);
  return out;
}

TEST(PlumeCase, WorkedCase) {
  WorkedSite st;
  PlumeRow c = CaseOf(1, 7, 100);
  Compute(st, c);
  EXPECT_EQ(c.Wind.Uhr, 1.5f);
  EXPECT_EQ(c.Wind.Uhm, 1.5f);
  EXPECT_EQ(c.Wind.Uh0, 1.5f);
  EXPECT_EQ(c.Wind.Uhe, 1.5f);
  EXPECT_EQ(c.Wind.He, 10.0f);
  EXPECT_TRUE(ShowsAs(c.SigmaZ, "4.6939"));
  EXPECT_TRUE(ShowsAs(c.FMinus, "0.10338"));
  EXPECT_EQ(c.FMinus, c.FPlus);  // z = 0
  EXPECT_TRUE(ShowsAs(c.F, "0.20675"));
  EXPECT_TRUE(ShowsAs(c.C1, "298.32"));
  EXPECT_TRUE(ShowsAs(c.Cw, "3.4055"));
  EXPECT_EQ(c.NO2r, 1.0f);
  EXPECT_FALSE(st.ModelError);

  const ModelResult section = PlumeSection(st.Params);
  EXPECT_EQ(section.PlumeSum, c.Cw);
  ASSERT_EQ(section.PlumeRows.size(), 1u);
  EXPECT_EQ(section.PlumeRows[0].Number, 1);
  EXPECT_EQ(section.PlumeRows[0].Cw, c.Cw);
}

TEST(PlumeCase, WorkedCaseWithConcaweRise) {
  WorkedSite st;
  st.Params.DHFormulaWindy = 2;
  PlumeRow c = CaseOf(1, 7, 100);
  Compute(st, c);
  EXPECT_TRUE(ShowsAs(c.Wind.He, "107.83"));
  EXPECT_EQ(c.F, 0.0f);
  EXPECT_EQ(c.C1, 0.0f);
  EXPECT_EQ(c.Cw, 0.0f);
}

TEST(PlumeCase, ReceptorAtTheEffectiveHeight) {
  WorkedSite st;
  st.Params.z = 10.0f;
  PlumeRow c = CaseOf(1, 3, 10);
  Compute(st, c);
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
    PlumeRow base = CaseOf(2, s, 40);
    Compute(plain, base);
    for (const Setting& set : settings) {
      SCOPED_TRACE(::testing::Message() << s << " mode " << set.mode << " amount " << set.amount);
      WorkedSite st;
      st.Params = plain.Params;
      st.Params.SigZShiftMode = set.mode;
      st.Params.SigZShift = set.amount;
      PlumeRow c = CaseOf(2, s, 40);
      Compute(st, c);
      EXPECT_EQ(c.Wind, base.Wind);
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
    PlumeRow c = CaseOf(1, s, 100);
    Compute(st, c);
    EXPECT_EQ(c.NO2r, No2Ratio(p, DayNightIndex(s), 100.0f, 0.0f));
  }
  p.NOxTransform = false;
  p.Alpha = std::numeric_limits<float>::quiet_NaN();
  PlumeRow c = CaseOf(1, 4, 100);
  Compute(st, c);
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
  WorkedSite copy;
  copy.Params = p;
  float expected = 0.0f;
  std::vector<PlumeRow> rows;
  for (auto [k, s, h] : {std::tuple{2, 1, 12}, std::tuple{4, 6, 7}, std::tuple{6, 11, 30}}) {
    PlumeRow c = CaseOf(k, s, static_cast<std::int16_t>(h));
    Compute(copy, c);
    c.Number = static_cast<int>(rows.size()) + 1;
    rows.push_back(c);
    expected += c.Cw;
  }
  const ModelResult section = PlumeSection(p);
  EXPECT_EQ(section.PlumeSum, expected);
  ASSERT_EQ(section.PlumeRows.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(section.PlumeRows[i].Number, rows[i].Number);
    EXPECT_EQ(section.PlumeRows[i].K, rows[i].K);
    EXPECT_EQ(section.PlumeRows[i].Cw, rows[i].Cw);
  }
  // The last computed case (6, G) leaves its wind speeds behind.
  ASSERT_TRUE(section.LastWind);
  EXPECT_EQ(section.LastWind->Uhr, 7.0f);
}

TEST(PlumeModel, NoHoursNoRowsAndNoWind) {
  WorkedSite st;
  st.Params.WindyFreq[1][7] = 0;
  const ModelResult section = PlumeSection(st.Params);
  EXPECT_EQ(section.PlumeSum, 0.0f);
  EXPECT_TRUE(section.PlumeRows.empty());
  EXPECT_FALSE(section.LastWind);
}

TEST(PlumeModel, DistanceFloor) {
  const auto totalAt = [](float r) {
    WorkedSite st;
    st.Params.z = 10.0f;  // at He, where sigma-z is at its floor
    st.Params.R = r;
    return PlumeSection(st.Params).PlumeSum;
  };
  EXPECT_EQ(totalAt(0.09999f), totalAt(0.1f));
  EXPECT_GT(totalAt(0.1f), 0.0f);
  EXPECT_NE(totalAt(0.10001f), totalAt(0.1f));
}

}  // namespace
}  // namespace vmk
