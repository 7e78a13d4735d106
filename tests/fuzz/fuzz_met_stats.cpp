// The met statistics reader over any bytes: a file is refused with one line saying why, or
// every count it gives lies within the window's limits and the file written from it reads back
// the same.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/model_parameters.h"
#include "met/met_stats.h"
#include "fuzz_support.h"

namespace {

void CheckCounts(const vmk::ClassCounts& counts) {
  for (int n : counts) {
    if (n < 0 || n > vmk::MaxFreqHours) Broken("a count outside 0 to 8784 was accepted");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vmk::MetStats m;
  try {
    m = vmk::ParseMetStats(bytes);
  } catch (const vmk::MetStatsError& e) {
    CheckOneLine(e.what());
    return 0;
  }
  if (m.ValidHours < 1 || m.ValidHours > vmk::MaxFreqHours) Broken("valid hours out of range");
  CheckCounts(m.CalmAll);
  CheckCounts(m.WeakAll);
  for (const vmk::MetDirection& d : m.Directions) {
    CheckCounts(d.Weak);
    for (const vmk::ClassCounts& c : d.Windy) CheckCounts(c);
  }
  for (float v : m.RepresentativeSpeeds) {
    if (!std::isfinite(v)) Broken("a speed that is not a finite number");
  }
  vmk::MetStats back;
  try {
    back = vmk::ParseMetStats(vmk::MetStatsJson(m));
  } catch (const vmk::MetStatsError& e) {
    Broken(std::string("a written file was refused: ") + e.what());
  }
  if (back.CalmAll != m.CalmAll || back.WeakAll != m.WeakAll || back.ValidHours != m.ValidHours ||
      back.Station != m.Station || back.RepresentativeSpeeds != m.RepresentativeSpeeds) {
    Broken("a written file did not read back the same");
  }
  for (int d = 0; d < vmk::kDirections; ++d) {
    if (back.Directions[d].Weak != m.Directions[d].Weak ||
        back.Directions[d].Windy != m.Directions[d].Windy) {
      Broken("a direction did not read back the same");
    }
  }
  return 0;
}
