// The distance profile the window draws after each calculation: 200 distances from 10 m to
// 20 km on a log scale, with the search for the maximum.
#include <benchmark/benchmark.h>

#include "app/command/calculation.h"
#include "input/frequency_grid.h"
#include "model/profile.h"

namespace {

void BM_Profile200WithMaximum(benchmark::State& state) {
  vmk::FormRecord form = vmk::MakeStartupForm();
  form.Text("QgEdit") = " 50";
  form.Text("HoEdit") = " 50.0";
  form.Text("dHformulaCalmEdit") = " 1";
  form.Text("dHformulaWWEdit") = " 4";
  form.Text("dHformulaWindyEdit") = " 2";
  form["NOxTrnCheckBox"].Checked = true;
  for (int r = 1; r <= 9; ++r) {
    for (int c = 2; c <= 12; ++c) form.Grid[r][c] = r == 2 ? "1.5" : "7";
  }
  vmk::CalcState st;
  vmk::RunCalculation(form, st, {});
  const auto distances = vmk::ProfileDistances(10.0f, 20000.0f, 200, true);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vmk::ComputeProfile(st.Params, distances));
  }
}
BENCHMARK(BM_Profile200WithMaximum)->Unit(benchmark::kMillisecond);

}  // namespace
