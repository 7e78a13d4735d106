// The model run: heat flux, the accumulator, the order of the cases and their numbering in the
// report.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "model/model.h"
#include "model/plume.h"
#include "model/plume_rise.h"
#include "model/puff.h"
#include "model_test_support.h"

namespace vmk {
namespace {

using model_test::StartingParameters;

// The first three fields of the rows of each section as the report prints them: number,
// wind class, stability label.
std::vector<std::string> PuffKeys(const ModelResult& r) {
  std::vector<std::string> keys;
  for (const PuffRow& row : r.PuffRows) {
    keys.push_back(std::to_string(row.Number) + "," + std::to_string(row.WindCase) + "," +
                   std::string(StabilityLabels[static_cast<std::size_t>(row.S)]));
  }
  return keys;
}

std::vector<std::string> PlumeKeys(const ModelResult& r) {
  std::vector<std::string> keys;
  for (const PlumeRow& row : r.PlumeRows) {
    keys.push_back(std::to_string(row.Number) + "," + std::to_string(row.K) + "," +
                   std::string(StabilityLabels[static_cast<std::size_t>(row.S)]));
  }
  return keys;
}

// Hours in a few cases of each model, spread so that the skipped cases lie between them.
ModelParameters SomeHours() {
  ModelParameters p = StartingParameters();
  p.DHFormulaCalm = 1; p.DHFormulaWeak = 3; p.DHFormulaWindy = 2;
  p.RepWindSpeed = {0.0f, 0.3f, 1.0f, 0.0f, 1.5f, 2.5f, 3.5f, 5.0f, 7.0f, 10.0f};
  p.CalmAllFreq[2] = 35; p.CalmAllFreq[5] = 12; p.WeakFreq[3] = 2.5f; p.WeakAllFreq[3] = 30;
  p.WeakAllFreq[9] = 50;  // no hours of its own and no correction: skipped
  p.WindyFreq[1][7] = 100; p.WindyFreq[1][8] = 20; p.WindyFreq[3][1] = 4; p.WindyFreq[6][11] = 9;
  return p;
}

// Every case holds hours, with every formula, the correction, the shift and the conversion on.
ModelParameters FullTable() {
  ModelParameters p = SomeHours();
  p.Ho = 40.0f; p.Hr = 20.0f; p.PHrHmDependent = true; p.PHrHmMult = 1.2f;
  p.DHFormulaCalm = 1; p.DHFormulaWeak = 4; p.DHFormulaWindy = 3; p.WDDistribute = true;
  p.SigZShiftMode = 2; p.SigZShift = 1; p.NOxTransform = true; p.Ra = 50.0f;
  p.R = 800.0f; p.z = 1.5f;
  for (int s = StabFirst; s <= StabLast; ++s) {
    p.CalmAllFreq[s] = static_cast<std::int16_t>(10 + s);
    p.WeakFreq[s] = s % 2 == 0 ? 0.0f : 2.5f;
    p.WeakAllFreq[s] = static_cast<std::int16_t>(30 + s);
    for (int k = 1; k <= 6; ++k) p.WindyFreq[k][s] = static_cast<std::int16_t>(5 * k + s);
  }
  return p;
}

// The memos of a section give every case exactly what a fresh computation gives.
TEST(RunModel, SectionMemosChangeNoDigit) {
  const ModelParameters p = FullTable();
  const float qh = ComputeHeatFlux(p);
  const float Rc = p.R;
  float puffSum = 0.0f;
  PowerMemo powers;
  PuffNo2Memo no2;
  for (int windCase : {WindCaseCalm, WindCaseWeak}) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      PuffRow a;
      PuffRow b;
      a.WindCase = b.WindCase = windCase;
      a.S = b.S = s;
      const bool counted = PreparePuffRow(p, qh, Rc, a);
      ASSERT_EQ(PreparePuffRow(p, qh, Rc, b, &powers), counted);
      EXPECT_EQ(b.Wind, a.Wind);
      if (!counted) continue;
      EvaluatePuffRow(p, Rc, a);
      EvaluatePuffRow(p, Rc, b, &no2);
      EXPECT_EQ(a.freq, b.freq);
      EXPECT_EQ(a.NO2r, b.NO2r);
      EXPECT_EQ(a.Cw, b.Cw) << windCase << " " << s;
      puffSum += a.Cw;
    }
  }
  float plumeSum = 0.0f;
  PlumeSectionMemo memo;
  bool error = false;
  Cp932 errorText;
  for (int k = 1; k <= 6; ++k) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      PlumeRow a;
      a.K = k;
      a.S = s;
      a.Hours = p.WindyFreq[k][s];
      PlumeRow b = a;
      ComputePlumeCase(p, qh, Rc, a, {error, errorText});
      ComputePlumeCase(p, qh, Rc, b, {error, errorText}, &memo);
      EXPECT_EQ(b.Wind, a.Wind);
      EXPECT_EQ(a.SigmaZ, b.SigmaZ);
      EXPECT_EQ(a.NO2r, b.NO2r);
      EXPECT_EQ(a.Cw, b.Cw) << k << " " << s;
      plumeSum += a.Cw;
    }
  }
  EXPECT_FALSE(error);
  EXPECT_EQ(RunModel(p).TotalConc, puffSum + plumeSum);
}

TEST(RunModel, NoHoursStillGivesHeatFluxAndZeroSums) {
  const ModelResult r = RunModel(StartingParameters());
  EXPECT_EQ(r.Qh, 574092.0f);
  EXPECT_EQ(r.TotalConc, 0.0f);
  EXPECT_EQ(r.PuffSum, 0.0f);
  EXPECT_EQ(r.PlumeSum, 0.0f);
  EXPECT_TRUE(r.PuffRows.empty());
  EXPECT_TRUE(r.PlumeRows.empty());
  EXPECT_FALSE(r.LastWind);
  EXPECT_FALSE(r.ModelError);
}

TEST(RunModel, RowsInCaseOrderNumberedPerSection) {
  const ModelResult r = RunModel(SomeHours());
  EXPECT_EQ(PuffKeys(r), (std::vector<std::string>{"1,1,A-B", "2,1, C", "3,2, B"}));
  EXPECT_EQ(PlumeKeys(r), (std::vector<std::string>{"1,1,Dd", "2,1,Dn", "3,3, A", "4,6, G"}));
}

TEST(RunModel, TotalIsPuffSumPlusPlumeSum) {
  const ModelParameters p = SomeHours();
  const ModelResult r = RunModel(p);
  ModelResult puff;
  RunPuffModel(p, r.Qh, puff);
  ModelResult plume;
  PlumeModel(p, r.Qh, plume);
  ASSERT_GT(puff.PuffSum, 0.0f);
  ASSERT_GT(plume.PlumeSum, 0.0f);
  EXPECT_EQ(r.PuffSum, puff.PuffSum);
  EXPECT_EQ(r.PlumeSum, plume.PlumeSum);
  EXPECT_EQ(r.TotalConc, puff.PuffSum + plume.PlumeSum);

  // Only calm hours: the puff sum; only windy hours: the plume sum.
  ModelParameters calm = p;
  calm.WeakFreq = {};
  calm.WeakAllFreq = {};
  calm.WindyFreq = {};
  const ModelResult calmRun = RunModel(calm);
  EXPECT_EQ(calmRun.TotalConc, calmRun.PuffSum);
  EXPECT_GT(calmRun.TotalConc, 0.0f);
  ModelParameters windy = p;
  windy.CalmAllFreq = {};
  windy.WeakFreq = {};
  windy.WeakAllFreq = {};
  EXPECT_EQ(RunModel(windy).TotalConc, plume.PlumeSum);
}

TEST(RunModel, SameInputsSameResult) {
  const ModelParameters p = SomeHours();
  const ModelResult first = RunModel(p);
  const ModelResult second = RunModel(p);
  EXPECT_EQ(second.TotalConc, first.TotalConc);
  // The working values are those of the last windy case computed (class 6, G).
  ASSERT_TRUE(first.LastWind);
  EXPECT_EQ(first.LastWind->Uhr, 10.0f);
  EXPECT_EQ(second.LastWind, first.LastWind);
}

// Runs on two threads at once, each on its own inputs, give the bits of runs one after the
// other: the model shares nothing.
TEST(RunModel, ConcurrentRunsMatchSequentialRuns) {
  std::vector<ModelParameters> inputs;
  for (int i = 0; i < 8; ++i) {
    ModelParameters p = FullTable();
    p.R = 50.0f + 400.0f * static_cast<float>(i);
    p.NOxTransform = i % 2 == 0;
    p.SigZShiftMode = static_cast<std::int16_t>(i % 3);
    inputs.push_back(p);
  }
  std::vector<ModelResult> expected;
  for (const ModelParameters& p : inputs) expected.push_back(RunModel(p));

  constexpr int kRounds = 25;
  std::vector<std::vector<ModelResult>> got(2);
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        // The two threads walk the inputs in opposite orders.
        for (std::size_t j = 0; j < inputs.size(); ++j) {
          const std::size_t i = t == 0 ? j : inputs.size() - 1 - j;
          ModelResult r = RunModel(inputs[i]);
          if (round == kRounds - 1) got[t].push_back(std::move(r));
        }
      }
    });
  }
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < 2; ++t) {
    ASSERT_EQ(got[t].size(), inputs.size());
    for (std::size_t j = 0; j < inputs.size(); ++j) {
      const std::size_t i = t == 0 ? j : inputs.size() - 1 - j;
      const ModelResult& a = expected[i];
      const ModelResult& b = got[t][j];
      SCOPED_TRACE(::testing::Message() << "thread " << t << " input " << i);
      EXPECT_EQ(std::bit_cast<std::uint32_t>(b.TotalConc), std::bit_cast<std::uint32_t>(a.TotalConc));
      EXPECT_EQ(b.PuffSum, a.PuffSum);
      EXPECT_EQ(b.PlumeSum, a.PlumeSum);
      ASSERT_EQ(b.PuffRows.size(), a.PuffRows.size());
      ASSERT_EQ(b.PlumeRows.size(), a.PlumeRows.size());
      for (std::size_t k = 0; k < a.PuffRows.size(); ++k) {
        EXPECT_EQ(b.PuffRows[k].Cw, a.PuffRows[k].Cw);
        EXPECT_EQ(b.PuffRows[k].Wind, a.PuffRows[k].Wind);
      }
      for (std::size_t k = 0; k < a.PlumeRows.size(); ++k) {
        EXPECT_EQ(b.PlumeRows[k].Cw, a.PlumeRows[k].Cw);
        EXPECT_EQ(b.PlumeRows[k].SigmaZ, a.PlumeRows[k].SigmaZ);
      }
    }
  }
}

}  // namespace
}  // namespace vmk
