// The station-year reader and the fit over any bytes: a file or a fit is refused with one line,
// or every station-year holds two concentrations of 0 or more, and a fit of 3 or more of them
// has a correlation from -1 to 1 and a line through the means (to the rounding of a and b).
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "site/station_fit.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<vmk::StationYear> points;
  try {
    points = vmk::ParseStationYears(bytes);
  } catch (const vmk::StationFitError& e) {
    CheckOneLine(e.what());
    return 0;
  }
  for (const vmk::StationYear& p : points) {
    if (p.Annual.Sign() < 0 || p.Daily.Sign() < 0) Broken("a negative concentration");
  }
  try {
    const vmk::StationFit fit = vmk::FitStationYears(points);
    if (fit.Points.size() < 3) Broken("a fit of fewer than 3 points");
    if (!(std::fabs(fit.R) <= 1.0L + 1e-12L)) Broken("r beyond -1 to 1");
  } catch (const vmk::StationFitError& e) {
    CheckOneLine(e.what());
  }
  return 0;
}
