// The hourly-observation readers over any bytes: a file is refused with one line saying why, or
// its counts hold together (calm + weak + windy = valid, valid + missing = hours read, the weak
// rows of the 16 directions add up to the all-direction row, no count above a leap year) and
// the met statistics file written from them reads back the same.
//
// Built twice: as fuzz_hourly_plain with the header of a plain CSV and as fuzz_hourly_agency
// with the header rows of the agency's download CSV. When the first byte is even, the rest
// follows that header, so that the fuzzer works on the data lines; when odd, the rest is the
// whole file, header included.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "common/cp932.h"
#include "input/model_parameters.h"
#include "met/hourly_reader.h"
#include "met/met_stats.h"
#include "fuzz_support.h"

namespace {

std::string Header() {
#ifdef VMK_FUZZ_AGENCY
  static const std::string header = vmk::Utf8ToCp932(
      "ダウンロードした時刻：2025/05/10 10:20:30\r\n\r\n"
      ",東京,東京,東京,東京,東京,東京,東京,東京\r\n"
      "年月日時,風速(m/s),風速(m/s),風速(m/s),風速(m/s),風速(m/s),日射量(MJ/㎡),日射量(MJ/㎡),"
      "日射量(MJ/㎡)\r\n"
      ",,,風向,風向,,,,\r\n"
      ",,品質情報,,品質情報,均質番号,,品質情報,均質番号\r\n");
#else
  static const std::string header = "time,wd,ws,solar,net,stability\n";
#endif
  return header;
}

int Sum(const vmk::ClassCounts& c) {
  int n = 0;
  for (int v : c) {
    if (v < 0 || v > vmk::MaxFreqHours) Broken("a count outside 0 to 8784");
    n += v;
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string bytes = data[0] % 2 == 0 ? Header() : std::string();
  bytes.append(rest);
  std::istringstream in(bytes);
  vmk::HourlyReadResult r;
  try {
    r = vmk::ReadHourlyObservations(in, vmk::HourlyReadOptions{.Degrees = (data[0] & 2) != 0});
  } catch (const vmk::HourlyFileError& e) {
    const std::string what = e.what();
    if (what.empty() || what.find('\n') != std::string::npos) Broken("not one line: " + what);
    return 0;
  }
  const vmk::MetStats& m = r.Stats;
  int missing = 0;
  for (const auto& [cause, hours] : m.MissingHours) missing += hours;
  if (m.ValidHours + missing != m.HoursRead) Broken("valid + missing is not the hours read");
  if (m.HoursRead > vmk::MaxFreqHours) Broken("more hours than a leap year");
  int counted = Sum(m.CalmAll) + Sum(m.WeakAll);
  vmk::ClassCounts weakSum{};
  for (const vmk::MetDirection& d : m.Directions) {
    Sum(d.Weak);
    for (std::size_t s = 0; s < weakSum.size(); ++s) weakSum[s] += d.Weak[s];
    for (const vmk::ClassCounts& c : d.Windy) counted += Sum(c);
  }
  if (weakSum != m.WeakAll) Broken("the weak rows do not add up to the all-direction row");
  if (counted != m.ValidHours) Broken("calm + weak + windy is not the valid hours");
  if (m.ValidHours == 0) return 0;  // nothing is written then
  vmk::MetStats back;
  try {
    back = vmk::ParseMetStats(vmk::MetStatsJson(m));
  } catch (const vmk::MetStatsError& e) {
    Broken(std::string("a written file was refused: ") + e.what());
  }
  if (back.CalmAll != m.CalmAll || back.WeakAll != m.WeakAll || back.ValidHours != m.ValidHours) {
    Broken("a written file did not read back the same");
  }
  return 0;
}
