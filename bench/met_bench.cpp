// vmk-met's work on its files: a year of hourly lines (8784, a leap year) read, classified and
// written as the met statistics file; ten years of which --from and --to choose one; the
// agency's code page 932 form of a year.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "common/atomic_file.h"
#include "common/cp932.h"
#include "met/hourly_reader.h"
#include "met/met_stats.h"

namespace {

// `hours` plain lines from 2016-01-01 01:00: Japanese directions, speeds from calm to 9.9 m/s,
// solar radiation by day and net radiation always, in the pattern of a real file.
std::string PlainFile(int hours) {
  std::string text = "日時,風向,風速,日射量,放射収支量\n";
  const vmk::HourNumber first = *vmk::ParseHourText("2016-01-01 01:00");
  unsigned int seed = 12345;
  char line[160];
  for (int i = 0; i < hours; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int hourOfDay = (i + 1) % 24;
    const bool day = hourOfDay >= 7 && hourOfDay <= 17;
    const int tenths = static_cast<int>((seed >> 8) % 100);
    const int dir = static_cast<int>((seed >> 20) % 16);
    const std::string when = vmk::HourText(first + i);
    std::snprintf(line, sizeof line, "%s,%s,%d.%d,%s,%s\n", when.c_str(),
                  tenths <= 4 ? "静穏" : std::string(vmk::kDirectionNamesJa[dir]).c_str(),
                  tenths / 10, tenths % 10, day ? "0.45" : "0.00", day ? "0.210" : "-0.035");
    text += line;
  }
  return text;
}

std::string AgencyFile(int hours) {
  std::string text =
      "ダウンロードした時刻：2025/05/10 10:20:30\n\n,東京,東京,東京,東京,東京,東京,東京,東京\n"
      "年月日時,風速(m/s),風速(m/s),風速(m/s),風速(m/s),風速(m/s),日射量(MJ/㎡),日射量(MJ/㎡),"
      "日射量(MJ/㎡)\n,,,風向,風向,,,,\n,,品質情報,,品質情報,均質番号,,品質情報,均質番号\n";
  const vmk::HourNumber first = *vmk::ParseHourText("2016-01-01 01:00");
  char line[200];
  for (int i = 0; i < hours; ++i) {
    const int hourOfDay = (i + 1) % 24;
    const bool day = hourOfDay >= 7 && hourOfDay <= 17;
    const int tenths = (i * 37) % 100;
    std::string when = vmk::HourText(first + i);
    std::snprintf(line, sizeof line, "%s,%d.%d,8,%s,8,1,%s,8,1\n", when.c_str(), tenths / 10,
                  tenths % 10,
                  tenths <= 4 ? "静穏" : std::string(vmk::kDirectionNamesJa[i % 16]).c_str(),
                  day ? "1.62" : "0");
    text += line;
  }
  return vmk::Utf8ToCp932(text);
}

vmk::HourlyReadResult ReadText(const std::string& text, const vmk::HourlyReadOptions& o) {
  std::istringstream in(text);
  return vmk::ReadHourlyObservations(in, o);
}

// Read, classified and the file's text made.
void BM_MetYear(benchmark::State& state) {
  const std::string text = PlainFile(8784);
  for (auto _ : state) {
    const vmk::HourlyReadResult r = ReadText(text, {});
    benchmark::DoNotOptimize(vmk::MetStatsJson(r.Stats));
  }
  state.SetItemsProcessed(state.iterations() * 8784);
}
BENCHMARK(BM_MetYear)->Unit(benchmark::kMillisecond);

// The same with the file written to the disk as vmk-met writes it (flushed, renamed).
void BM_MetYearWritten(benchmark::State& state) {
  const std::string text = PlainFile(8784);
  std::random_device random;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("vmk-bench-" + std::to_string(random()) + ".json"))
                               .string();
  for (auto _ : state) {
    const vmk::HourlyReadResult r = ReadText(text, {});
    vmk::WriteFileAtomically(path, vmk::MetStatsJson(r.Stats));
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_MetYearWritten)->Unit(benchmark::kMillisecond);

// Ten years, of which --from and --to count one.
void BM_MetTenYearsFromTo(benchmark::State& state) {
  const std::string text = PlainFile(87840);
  vmk::HourlyReadOptions o;
  o.From = vmk::ParseHourOrDay("2020-01-01", false);
  o.To = vmk::ParseHourOrDay("2020-12-31", true);
  for (auto _ : state) {
    const vmk::HourlyReadResult r = ReadText(text, o);
    benchmark::DoNotOptimize(vmk::MetStatsJson(r.Stats));
  }
  state.SetItemsProcessed(state.iterations() * 87840);
}
BENCHMARK(BM_MetTenYearsFromTo)->Unit(benchmark::kMillisecond);

// A year of the agency's form: code page 932, quality flags, MJ/m2.
void BM_MetAgencyYear(benchmark::State& state) {
  const std::string text = AgencyFile(8784);
  for (auto _ : state) {
    const vmk::HourlyReadResult r = ReadText(text, {});
    benchmark::DoNotOptimize(vmk::MetStatsJson(r.Stats));
  }
}
BENCHMARK(BM_MetAgencyYear)->Unit(benchmark::kMillisecond);

}  // namespace
