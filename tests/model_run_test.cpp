// The model run: heat flux, the accumulator, the order of the cases and their numbering in the
// report.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "common/numtext.h"
#include "model/model.h"
#include "model/plume.h"
#include "model/plume_rise.h"
#include "model/puff.h"
#include "model_test_support.h"
#include "scratch_files.h"

namespace vmk {
namespace {

using model_test::StartingParameters;

// Runs the model with the report on, into a fresh file, and returns the report's lines.
std::vector<std::string> RunWithReport(CalcState& st) {
  const scratch::ScratchDir dir;
  st.Report.ReportEnabled = true;
  OpenReportFile(st.Report, dir.NewFile("VMKIO1.csv"));
  RunModel(st);
  CloseReportFile(st.Report);
  const std::string bytes = scratch::ReadBytes(dir / "VMKIO1.csv");
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  return lines;
}

// TotalConc after `run` over a fresh state holding `p`.
template <class Run>
float TotalAfter(const ModelParameters& p, Run run) {
  CalcState st;
  st.Params = p;
  run(st);
  return st.TotalConc;
}

bool IsRow(const std::string& line) {
  return line.size() > 3 && std::isdigit(static_cast<unsigned char>(line[1])) && line[2] == ',';
}

// The first three fields of the rows of one section: number, wind class, stability label.
std::vector<std::string> RowKeys(const std::vector<std::string>& lines, bool plume) {
  std::vector<std::string> keys;
  bool inPlume = false;
  for (const std::string& line : lines) {
    if (line.rfind("Plume ", 0) == 0) inPlume = true;
    if (inPlume != plume || !IsRow(line)) continue;
    std::size_t cut = 0;
    for (int field = 0; field < 3; ++field) cut = line.find(", ", cut) + 2;
    keys.push_back(line.substr(0, cut - 2));
  }
  return keys;
}

std::string Find(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& line : lines) {
    if (line.rfind(prefix, 0) == 0) return line;
  }
  return "(missing " + prefix + ")";
}

// Hours in a few cases of each model, spread so that the skipped cases lie between them.
ModelParameters SomeHours() {
  ModelParameters p = StartingParameters();
  p.DHFormulaCalm = 1; p.DHFormulaWeak = 3; p.DHFormulaWindy = 2;
  p.RepWindSpeed = {0.0f, 0.3f, 1.0f, 0.0f, 1.5f, 2.5f, 3.5f, 5.0f, 7.0f, 10.0f};
  p.CalmAllFreq[2] = 35; p.CalmAllFreq[5] = 12; p.WeakFreq[3] = 2.5f; p.WeakAllFreq[3] = 30;
  p.WeakAllFreq[9] = 50;  // no hours of its own and no correction: skipped
  p.WindyFreq[1][7] = 100; p.WindyFreq[1][8] = 20; p.WindyFreq[3][1] = 4; p.WindyFreq[6][11] = 9;
  ComputeHeatFlux(p);  // for the sections run on their own; RunModel computes it again
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
  ComputeHeatFlux(p);
  return p;
}

// The memos of a section give every case exactly what a fresh computation gives.
TEST(RunModel, SectionMemosChangeNoDigit) {
  CalcState fresh;
  fresh.Params = FullTable();
  CalcState kept;
  kept.Params = FullTable();
  const float Rc = kept.Params.R;
  float puffSum = 0.0f;
  PowerMemo powers;
  PuffNo2Memo no2;
  for (int windCase : {WindCaseCalm, WindCaseWeak}) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      PuffRow a;
      PuffRow b;
      a.WindCase = b.WindCase = windCase;
      a.S = b.S = s;
      const bool counted = PreparePuffRow(fresh.Params, Rc, a);
      ASSERT_EQ(PreparePuffRow(kept.Params, Rc, b, &powers), counted);
      EXPECT_EQ(kept.Params.He, fresh.Params.He);
      EXPECT_EQ(kept.Params.Uhe, fresh.Params.Uhe);
      if (!counted) continue;
      EvaluatePuffRow(fresh.Params, Rc, a);
      EvaluatePuffRow(kept.Params, Rc, b, &no2);
      EXPECT_EQ(a.freq, b.freq);
      EXPECT_EQ(a.NO2r, b.NO2r);
      EXPECT_EQ(a.Cw, b.Cw) << windCase << " " << s;
      puffSum += a.Cw;
    }
  }
  float plumeSum = 0.0f;
  PlumeSectionMemo memo;
  for (int k = 1; k <= 6; ++k) {
    for (int s = StabFirst; s <= StabLast; ++s) {
      PlumeCase a;
      a.K = k;
      a.S = s;
      a.Hours = fresh.Params.WindyFreq[k][s];
      PlumeCase b = a;
      ComputePlumeCase(fresh, Rc, a);
      ComputePlumeCase(kept, Rc, b, &memo);
      EXPECT_EQ(kept.Params.Uh0, fresh.Params.Uh0);
      EXPECT_EQ(kept.Params.DH, fresh.Params.DH);
      EXPECT_EQ(a.SigmaZ, b.SigmaZ);
      EXPECT_EQ(a.NO2r, b.NO2r);
      EXPECT_EQ(a.Cw, b.Cw) << k << " " << s;
      plumeSum += a.Cw;
    }
  }
  CalcState st;
  st.Params = FullTable();
  RunModel(st);
  EXPECT_EQ(st.TotalConc, puffSum + plumeSum);
}

TEST(RunModel, NoHoursStillGivesHeatFluxHeadersAndTotals) {
  CalcState st;
  st.Params = StartingParameters();
  st.TotalConc = 5.0f;
  st.Report.Memo = "memo";
  const std::vector<std::string> lines = RunWithReport(st);
  EXPECT_EQ(st.Params.Qh, 574092.0f);
  EXPECT_EQ(st.TotalConc, 0.0f);
  EXPECT_EQ(Find(lines, "puff "), "puff      memo");
  EXPECT_EQ(Find(lines, "Plume "), "Plume      memo");
  EXPECT_EQ(Find(lines, "puff total"), "puff total(ppb) ,,,0");
  EXPECT_EQ(Find(lines, "plume total"), "plume total(ppb) ,,,0");
  EXPECT_TRUE(RowKeys(lines, false).empty());
  EXPECT_TRUE(RowKeys(lines, true).empty());
}

TEST(RunModel, RowsInCaseOrderNumberedPerSection) {
  CalcState st;
  st.Params = SomeHours();
  const std::vector<std::string> lines = RunWithReport(st);
  const Cp932 calm = Sj("無");
  const Cp932 weak = Sj("弱");
  EXPECT_EQ(RowKeys(lines, false),
            (std::vector<std::string>{" 1, " + calm + ", A-B", " 2, " + calm + ",  C",
                                      " 3, " + weak + ",  B"}));
  EXPECT_EQ(RowKeys(lines, true), (std::vector<std::string>{" 1, 1, Dd", " 2, 1, Dn",
                                                            " 3, 3,  A", " 4, 6,  G"}));
  // The sections in the file: puff header, puff total, plume header, plume total.
  std::vector<std::size_t> at;
  for (const char* mark : {"puff    ", "puff total", "Plume    ", "plume total"}) {
    at.push_back(std::find_if(lines.begin(), lines.end(),
                              [&](const std::string& l) { return l.rfind(mark, 0) == 0; }) -
                 lines.begin());
  }
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
  EXPECT_LT(at.back(), lines.size());
}

TEST(RunModel, TotalIsPuffSumPlusPlumeSum) {
  const ModelParameters p = SomeHours();
  const float puffSum = TotalAfter(p, RunPuffModel);
  const float plumeSum = TotalAfter(p, PlumeModel);
  ASSERT_GT(puffSum, 0.0f);
  ASSERT_GT(plumeSum, 0.0f);

  CalcState st;
  st.Params = p;
  const std::vector<std::string> lines = RunWithReport(st);
  EXPECT_EQ(st.TotalConc, puffSum + plumeSum);
  EXPECT_EQ(Find(lines, "puff total"), "puff total(ppb) ,,," + FormatGeneral(puffSum, 4));
  EXPECT_EQ(Find(lines, "plume total"), "plume total(ppb) ,,," + FormatGeneral(plumeSum, 4));

  // Only calm hours: the puff sum; only windy hours: the plume sum.
  ModelParameters calm = p;
  calm.WeakFreq = {};
  calm.WeakAllFreq = {};
  calm.WindyFreq = {};
  EXPECT_EQ(TotalAfter(calm, RunModel), TotalAfter(calm, RunPuffModel));
  ModelParameters windy = p;
  windy.CalmAllFreq = {};
  windy.WeakFreq = {};
  windy.WeakAllFreq = {};
  EXPECT_EQ(TotalAfter(windy, RunModel), plumeSum);
}

TEST(RunModel, AccumulatorResetEachRun) {
  CalcState st;
  st.Params = SomeHours();
  RunModel(st);
  const float first = st.TotalConc;
  RunModel(st);
  EXPECT_EQ(st.TotalConc, first);
  st.TotalConc = 1e6f;
  RunModel(st);
  EXPECT_EQ(st.TotalConc, first);
  // The working values are those of the last windy case computed (class 6, G).
  EXPECT_EQ(st.Params.Uhr, 10.0f);
}

}  // namespace
}  // namespace vmk
