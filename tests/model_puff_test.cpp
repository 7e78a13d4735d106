// Puff model: calm and weak-wind rows, the near-source frequency correction, skipping rules and
// the section sum.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "model/model.h"
#include "model/no2.h"
#include "model/puff.h"
#include "model_test_support.h"

namespace vmk {
namespace {

using model_test::ShowsAs;
using model_test::StartingParameters;

// A row of the case and class with the wind and rise of `wind` (He and Uhe are what count).
PuffRow RowOf(int windCase, int s, WindAndRise wind = {}) {
  PuffRow row;
  row.Wind = wind;
  row.WindCase = windCase;
  row.S = s;
  row.DayNight = DayNightIndex(s);
  row.alpha = PuffAlphaGamma[s][windCase == WindCaseCalm ? 0 : 1];
  row.gamma = PuffAlphaGamma[s][PuffGammaColumn];
  return row;
}

struct WorkedColumn {
  int windCase;
  const char *eta2Minus, *eta2Plus, *fMinus, *fPlus, *f, *c1, *cw;
};

// Class C, Rc 200, z 1.5, He 30, Uhe 1.2, Qp 0.01, 10 hours of 8760.
TEST(PuffRow, WorkedExample) {
  const WorkedColumn columns[] = {
      {WindCaseCalm, "47570.3", "49247.9", "2.10215e-5", "2.03054e-5", "4.13270e-5", "126.154",
       "0.144011"},
      {WindCaseWeak, "43552.6", "44339.8", "1.68342e-5", "1.55405e-5", "3.23748e-5", "1581.22",
       "1.80505"},
  };
  ModelParameters p = StartingParameters();
  p.z = 1.5f;
  p.Qp = 0.01f;
  p.FreqTotal = 8760;
  for (const WorkedColumn& c : columns) {
    PuffRow row = RowOf(c.windCase, 5, {.Uhe = 1.2f, .He = 30.0f});
    row.freq = 10.0f;
    EvaluatePuffRow(p, 200.0f, row);
    SCOPED_TRACE(c.windCase);
    EXPECT_TRUE(ShowsAs(row.Eta2Minus, c.eta2Minus));
    EXPECT_TRUE(ShowsAs(row.Eta2Plus, c.eta2Plus));
    EXPECT_TRUE(ShowsAs(row.FMinus, c.fMinus));
    EXPECT_TRUE(ShowsAs(row.FPlus, c.fPlus));
    EXPECT_TRUE(ShowsAs(row.F, c.f));
    EXPECT_TRUE(ShowsAs(row.C1, c.c1));
    EXPECT_TRUE(ShowsAs(row.Cw, c.cw));
    EXPECT_EQ(row.NO2r, 1.0f);
    EXPECT_EQ(row.U, c.windCase == WindCaseCalm ? 0.0f : 1.2f);
  }
}

TEST(PuffRow, CorrectionExample) {
  PuffRow row = RowOf(WindCaseWeak, 5, {.Uhe = 0.5f, .He = 30.0f});
  row.n = 40;
  row.f = 2.0f;
  row.freq = 2.0f;
  CorrectWeakWindFrequency(20.0f, row);
  EXPECT_TRUE(ShowsAs(row.X, "50.9933"));
  EXPECT_TRUE(ShowsAs(row.freq, "2.30390"));
  CorrectWeakWindFrequency(60.0f, row);
  EXPECT_EQ(row.freq, 2.0f);
  // On X itself the direction's own hours stand.
  CorrectWeakWindFrequency(row.X, row);
  EXPECT_EQ(row.freq, 2.0f);
  CorrectWeakWindFrequency(row.X - 1.0f, row);
  EXPECT_GT(row.freq, 2.0f);
}

// Heights all 30 m and no rise, so Uhe equals the representative wind speed and He = 30.
ModelParameters WeakWindSite() {
  ModelParameters p = StartingParameters();
  p.Ho = p.Hm = p.Hr = 30.0f;
  p.DHFormulaCalm = 0;
  p.DHFormulaWeak = 0;
  p.WDDistribute = true;
  p.RepWindSpeed[1] = 0.3f;
  p.RepWindSpeed[2] = 0.5f;
  return p;
}

// PreparePuffRow with the site's heat flux.
bool Prepare(const ModelParameters& p, float Rc, PuffRow& row) {
  return PreparePuffRow(p, ComputeHeatFlux(p), Rc, row);
}

TEST(PuffRow, CorrectionOnlyBelowOneAndAHalfAlpha) {
  ModelParameters p = WeakWindSite();
  const int s = 3;  // B: weak-wind alpha 0.581, and 1.5 * 0.581f is itself a float
  const long double limit = 1.5L * PuffAlphaGamma[s][1];
  p.RepWindSpeed[2] = static_cast<float>(limit);
  ASSERT_EQ(static_cast<long double>(p.RepWindSpeed[2]), limit);
  p.WeakFreq[s] = 2.0f;
  p.WeakAllFreq[s] = 40;

  PuffRow row = RowOf(WindCaseWeak, s);
  ASSERT_TRUE(Prepare(p, 1.0f, row));
  EXPECT_EQ(row.Wind.Uhe, p.RepWindSpeed[2]);
  EXPECT_EQ(row.freq, 2.0f);  // equal: no correction

  p.RepWindSpeed[2] = std::nextafter(p.RepWindSpeed[2], 0.0f);
  row = RowOf(WindCaseWeak, s);
  ASSERT_TRUE(Prepare(p, 1.0f, row));
  EXPECT_GT(row.freq, 2.0f);

  p.WDDistribute = false;
  row = RowOf(WindCaseWeak, s);
  ASSERT_TRUE(Prepare(p, 1.0f, row));
  EXPECT_EQ(row.freq, 2.0f);
}

TEST(PuffRow, WeakRowWithoutOwnHours) {
  ModelParameters p = WeakWindSite();
  const int s = 5;
  p.WeakFreq[s] = 0.0f;
  p.WeakAllFreq[s] = 40;

  // Corrected near the source: a row with n/16 blended toward 0 at X.
  PuffRow row = RowOf(WindCaseWeak, s);
  ASSERT_TRUE(Prepare(p, 20.0f, row));
  EXPECT_TRUE(ShowsAs(row.X, "50.9933"));  // from the row's own Uhe and He
  EXPECT_FLOAT_EQ(row.freq, (row.X - 20.0f) * 40.0f / 16.0f / row.X);

  // Beyond X, or without the correction, the row is skipped after the wind and rise.
  row = RowOf(WindCaseWeak, s);
  EXPECT_FALSE(Prepare(p, 60.0f, row));
  EXPECT_TRUE(row.WindComputed);
  p.WDDistribute = false;
  row = RowOf(WindCaseWeak, s);
  EXPECT_FALSE(Prepare(p, 20.0f, row));
  EXPECT_TRUE(row.WindComputed);
  EXPECT_EQ(row.Wind.Uhr, p.RepWindSpeed[2]);
  EXPECT_EQ(row.Wind.He, 30.0f);

  // No hours at all: skipped before anything is computed.
  p.WeakAllFreq[s] = 0;
  row = RowOf(WindCaseWeak, s);
  EXPECT_FALSE(Prepare(p, 20.0f, row));
  EXPECT_FALSE(row.WindComputed);
}

TEST(PuffRow, CalmRowWithoutHoursIsNotComputed) {
  ModelParameters p = WeakWindSite();
  p.CalmAllFreq[4] = 0;
  PuffRow row = RowOf(WindCaseCalm, 4);
  EXPECT_FALSE(Prepare(p, 20.0f, row));
  EXPECT_FALSE(row.WindComputed);
  p.CalmAllFreq[4] = 7;
  EXPECT_TRUE(Prepare(p, 20.0f, row));
  EXPECT_TRUE(row.WindComputed);
  EXPECT_EQ(row.Wind.Uhr, 0.3f);
  EXPECT_EQ(row.freq, 7.0f);
}

// Calm rows take the calm alpha and formula, weak-wind rows their own; gamma is shared.
TEST(PuffRow, InputsOfCalmAndWeakRows) {
  ModelParameters p = WeakWindSite();
  p.DHFormulaCalm = 1;
  p.DHFormulaWeak = 3;
  for (int s = StabFirst; s <= StabLast; ++s) {
    p.CalmAllFreq[s] = 5;
    p.WeakFreq[s] = 1.5f;
    p.WeakAllFreq[s] = 9;
    PuffRow calm = RowOf(WindCaseCalm, s);
    PuffRow weak = RowOf(WindCaseWeak, s);
    ASSERT_TRUE(Prepare(p, 500.0f, calm));
    ASSERT_TRUE(Prepare(p, 500.0f, weak));
    EXPECT_EQ(calm.FormulaCode, 1);
    EXPECT_EQ(weak.FormulaCode, 3);
    EXPECT_EQ(calm.n, 0);
    EXPECT_EQ(weak.n, 9);
    EXPECT_EQ(calm.gamma, weak.gamma);
    EXPECT_FLOAT_EQ(calm.alpha - weak.alpha, 0.2f) << s;
  }
}

TEST(PuffRow, ReceptorAtTheEffectiveHeight) {
  ModelParameters p = StartingParameters();
  p.z = 25.0f;
  for (int windCase : {WindCaseCalm, WindCaseWeak}) {
    PuffRow row = RowOf(windCase, 7, {.Uhe = 2.0f, .He = 25.0f});
    row.freq = 3.0f;
    EvaluatePuffRow(p, 40.0f, row);
    EXPECT_EQ(row.Eta2Minus, 1600.0f);
    EXPECT_EQ(row.FMinus, static_cast<float>(1.0L / 1600.0L));
  }
}

TEST(PuffRow, No2RatioOnlyWhenSwitchedOn) {
  const WindAndRise wind{.Uhe = 1.0f, .He = 20.0f};
  ModelParameters p = StartingParameters();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  p.Alpha = p.K = p.BetaDay = p.BetaNight = p.O3Day = p.O3Night = p.Ra = nan;
  for (int windCase : {WindCaseCalm, WindCaseWeak}) {
    PuffRow row = RowOf(windCase, 2, wind);
    row.freq = 4.0f;
    EvaluatePuffRow(p, 150.0f, row);
    EXPECT_EQ(row.NO2r, 1.0f);
    EXPECT_TRUE(std::isfinite(row.C1));
  }

  p = StartingParameters();
  p.NOxTransform = true;
  p.Ra = 100.0f;
  for (int s : {2, 9}) {
    PuffRow calm = RowOf(WindCaseCalm, s, wind);
    PuffRow weak = RowOf(WindCaseWeak, s, wind);
    calm.freq = weak.freq = 4.0f;
    EvaluatePuffRow(p, 150.0f, calm);
    EvaluatePuffRow(p, 150.0f, weak);
    EXPECT_EQ(calm.NO2r, No2Ratio(p, DayNightIndex(s), 150.0f, 100.0f));
    EXPECT_EQ(weak.NO2r, No2Ratio(p, DayNightIndex(s), 150.0f, 0.0f));
    EXPECT_NE(calm.NO2r, weak.NO2r);
    PuffRow plain = RowOf(WindCaseWeak, s, wind);
    plain.freq = 4.0f;
    p.NOxTransform = false;
    EvaluatePuffRow(p, 150.0f, plain);
    p.NOxTransform = true;
    EXPECT_EQ(weak.C1, static_cast<float>(static_cast<long double>(plain.C1) * weak.NO2r));
  }
}

// Every calm and weak-wind row with hours: the sum in case order, skipping the empty ones.
TEST(RunPuffModel, SectionSum) {
  ModelParameters p = WeakWindSite();
  p.R = 20.0f;
  p.z = 1.5f;
  for (int s = StabFirst; s <= StabLast; ++s) {
    p.CalmAllFreq[s] = static_cast<std::int16_t>(s % 3 == 0 ? 0 : 10 + s);
    p.WeakFreq[s] = s % 4 == 0 ? 0.0f : 0.5f * s;
    p.WeakAllFreq[s] = static_cast<std::int16_t>(3 * s);
  }
  p.WindyFreq[1][5] = 100;  // not the puff model's
  float expected = 0.0f;
  std::vector<PuffRow> rows;
  std::optional<WindAndRise> lastWind;
  for (int windCase : {WindCaseCalm, WindCaseWeak}) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      PuffRow row = RowOf(windCase, s);
      const bool counted = Prepare(p, 20.0f, row);
      if (row.WindComputed) lastWind = row.Wind;
      if (!counted) continue;
      EvaluatePuffRow(p, 20.0f, row);
      expected += row.Cw;
      rows.push_back(row);
    }
  }
  // Calm: 8 classes with hours. Weak: 9 with hours of their own, B-C corrected from its
  // all-direction hours, Dn skipped (0.5 m/s is not below 1.5 alpha there).
  ASSERT_EQ(rows.size(), 8u + 9u + 1u);
  ModelResult section;
  RunPuffModel(p, ComputeHeatFlux(p), section);
  EXPECT_EQ(section.PuffSum, expected);
  EXPECT_GT(expected, 0.0f);
  ASSERT_EQ(section.PuffRows.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(section.PuffRows[i].Number, static_cast<int>(i) + 1);
    EXPECT_EQ(section.PuffRows[i].WindCase, rows[i].WindCase);
    EXPECT_EQ(section.PuffRows[i].S, rows[i].S);
    EXPECT_EQ(section.PuffRows[i].Cw, rows[i].Cw);
  }
  EXPECT_EQ(section.LastWind, lastWind);
}

TEST(RunPuffModel, DistanceFloor) {
  const auto totalAt = [](float r) {
    ModelParameters p = WeakWindSite();
    p.CalmAllFreq[7] = 30;
    p.WeakFreq[7] = 3.0f;
    p.z = 30.0f;  // at He: the eta terms are ruled by Rc
    p.R = r;
    ModelResult section;
    RunPuffModel(p, ComputeHeatFlux(p), section);
    return section.PuffSum;
  };
  EXPECT_EQ(totalAt(0.09999f), totalAt(0.1f));
  EXPECT_NE(totalAt(0.10001f), totalAt(0.1f));
}

}  // namespace
}  // namespace vmk
