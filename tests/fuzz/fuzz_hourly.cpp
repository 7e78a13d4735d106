// The hourly-observation readers over any bytes: a file is refused with one line saying why, or
// its counts hold the identities of hourly_count_identities.h (calm + weak + windy = valid,
// valid + missing = hours read, the weak rows of the 16 directions add up to the all-direction
// row, ...) and the met statistics file written from them reads back the same.
//
// Built twice: as fuzz_hourly_plain with the header of a plain CSV and as fuzz_hourly_agency
// with the header rows of the agency's download CSV. When the first byte is even, the rest
// follows that header, so that the fuzzer works on the data lines; when odd, the rest is the
// whole file, header included. The second bit reads numeric directions as degrees, the third
// tells day from night by the sun at a site, the fourth classifies nights without net radiation
// or cloud amount by the wind. With the fifth bit the bytes after the first NUL are a second
// file (either form, whole) joined by the hour, as --radiation gives it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "common/cp932.h"
#include "met/hourly_reader.h"
#include "fuzz_support.h"
#include "hourly_count_identities.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string second;
  const bool joined = (data[0] & 16) != 0;
  if (joined) {
    const std::size_t nul = rest.find('\0');
    if (nul != std::string_view::npos) {
      second = rest.substr(nul + 1);
      rest = rest.substr(0, nul);
    }
  }
  std::string bytes = data[0] % 2 == 0 ? Header() : std::string();
  bytes.append(rest);
  std::istringstream in(bytes);
  std::istringstream radiation(second);
  vmk::HourlyReadOptions options;
  options.Degrees = (data[0] & 2) != 0;
  if (data[0] & 4) options.Site = vmk::SunSite{35, 139, 9};
  options.NightByWind = (data[0] & 8) != 0;
  if (joined) options.Radiation = &radiation;
  vmk::HourlyReadResult r;
  try {
    r = vmk::ReadHourlyObservations(in, options);
  } catch (const vmk::HourlyFileError& e) {
    CheckOneLine(e.what());
    return 0;
  }
  if (const std::string broken = vmk::BrokenHourlyIdentity(r); !broken.empty()) Broken(broken);
  return 0;
}
