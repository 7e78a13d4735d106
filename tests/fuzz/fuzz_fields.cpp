// The two field parsers over any bytes: an accepted value lies within its limits and leaves the
// status line alone; anything else writes exactly "Error: " and the label (cut to 30 bytes).
// The first byte picks the field (its limits and label) among those of the window.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/cp932.h"
#include "input/field_parse.h"
#include "fuzz_support.h"

namespace {

struct RealField {
  const char* Label;
  float Low;
  float High;
};

constexpr RealField kRealFields[] = {
    {"Qg", 0.0f, 10001.0f},          {"Qp", 9.99E-16f, 10001.0f},
    {"Ta", -11.0f, 41.0f},            {"Ho", 0.499f, 301.0f},
    {"dth", 0.000099f, 1.001f},       {"R", 0.09999f, 100001.0f},
    {"a label longer than thirty bytes in all", -1e30f, 1e30f},
};

struct IntField {
  const char* Label;
  std::int16_t Low;
  std::int16_t High;
};

constexpr IntField kIntFields[] = {
    {"fall", 1, 8784}, {"code", 0, 4}, {"any", INT16_MIN, INT16_MAX}, {"neg", -5, -1}};

void CheckStatus(bool accepted, const std::string& status, const char* label) {
  const std::string expected = "Error: " + std::string(label).substr(0, 30);
  if (accepted && status != "unchanged") Broken("an accepted value wrote the status line");
  if (!accepted && status != expected) Broken("a rejected value did not write its message");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned pick = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string status = "unchanged";
  if (pick % 2 == 0) {
    const RealField& f = kRealFields[(pick / 2) % std::size(kRealFields)];
    float value = -12345.0f;
    const bool ok = vmk::ParseRealField(text, value, f.Label, f.Low, f.High, status);
    if (ok && !(std::isfinite(value) && f.Low <= value && value <= f.High)) {
      Broken("a real value outside its limits was accepted");
    }
    CheckStatus(ok, status, f.Label);
    // Only the first 20 bytes count.
    if (text.size() > 20) {
      std::string status2 = "unchanged";
      float value2 = 0.0f;
      const bool ok2 = vmk::ParseRealField(text.substr(0, 20), value2, f.Label, f.Low, f.High, status2);
      if (ok2 != ok || (ok && value2 != value)) Broken("bytes after the 20th changed the result");
    }
  } else {
    const IntField& f = kIntFields[(pick / 2) % std::size(kIntFields)];
    std::int16_t value = 12345;
    const bool ok = vmk::ParseIntField(text, value, f.Label, f.Low, f.High, status);
    if (ok && !(f.Low <= value && value <= f.High)) {
      Broken("an integer outside its limits was accepted");
    }
    CheckStatus(ok, status, f.Label);
  }
  return 0;
}
