// One model run over a full frequency table: all 22 puff and 66 plume cases hold hours, every
// formula and correction switched on, with the report off and with the report written.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/command/calc_state.h"
#include "model/model.h"
#include "report/report.h"

namespace {

void FillFullTable(vmk::ModelParameters& p) {
  p.Qg = 10.0f;
  p.Qp = 1.0e-3f;
  p.T = 200.0f;
  p.Ta = 15.0f;
  p.Dens = 1293.0f;
  p.Ho = 40.0f;
  p.Hm = 10.0f;
  p.Hr = 10.0f;
  p.PHrHmDependent = true;
  p.PHrHmMult = 1.0f;
  p.PHmHoMult = 1.0f;
  p.PHoHeMult = 1.0f;
  p.DthDzDay = 0.003f;
  p.DthDzNight = 0.010f;
  p.DHFormulaCalm = 1;
  p.DHFormulaWeak = 3;
  p.DHFormulaWindy = 4;
  p.IntULDay = 2.0f;
  p.IntULNight = 2.0f;
  p.WDDistribute = true;
  p.SigZShiftMode = 2;
  p.SigZShift = 1;
  p.NOxTransform = true;
  p.Alpha = 0.83f;
  p.K = 0.0062f;
  p.Ra = 50.0f;
  p.BetaDay = 0.3f;
  p.BetaNight = 0.0f;
  p.O3Day = 0.020f;
  p.O3Night = 0.010f;
  p.R = 800.0f;
  p.z = 1.5f;
  p.FreqTotal = 8760;
  p.RepWindSpeed = {0.0f, 0.3f, 0.5f, 0.0f, 1.5f, 2.5f, 3.5f, 5.0f, 7.0f, 10.0f};
  for (int s = vmk::StabFirst; s <= vmk::StabLast; ++s) {
    p.CalmAllFreq[s] = static_cast<std::int16_t>(10 + s);
    p.WeakFreq[s] = 2.5f;
    p.WeakAllFreq[s] = static_cast<std::int16_t>(30 + s);
    for (int k = 1; k <= 6; ++k) p.WindyFreq[k][s] = static_cast<std::int16_t>(5 * k + s);
  }
}

void BM_RunModel(benchmark::State& state) {
  vmk::ModelParameters p;
  FillFullTable(p);
  for (auto _ : state) {
    const vmk::ModelResult result = vmk::RunModel(p);
    benchmark::DoNotOptimize(result.TotalConc);
  }
}
BENCHMARK(BM_RunModel);

void BM_RunModelWithReport(benchmark::State& state) {
  std::random_device random;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("vmk-bench-" + std::to_string(random()) + ".csv"))
                               .string();
  if (!std::ofstream(path, std::ios::binary)) {
    state.SkipWithError("cannot create the report file");
    return;
  }
  {
    vmk::ModelParameters p;
    FillFullTable(p);
    vmk::ReportFile report;
    report.ReportEnabled = true;
    report.Memo = "@WA:1@ bench";
    vmk::OpenReportFile(report, path);
    for (auto _ : state) {
      const vmk::ModelResult result = vmk::RunModel(p);
      vmk::WriteModelSections(report, result);
      benchmark::DoNotOptimize(result.TotalConc);
    }
    vmk::CloseReportFile(report);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_RunModelWithReport);

}  // namespace

BENCHMARK_MAIN();
