// The abnormal-year test over any bytes: the tested year's file and the reference files (the
// bytes after the first byte, split at each NUL) are refused with one line saying why, or the
// reference is split into at least 3 years of the tested period's dates, each with the valid
// hours a year needs, whose items add up in each group, and each item's decision agrees with
// its F0 and its bounds. The first byte's lowest bit reads numeric directions as degrees, the
// second tests at 1 %.
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "met/abnormal_year.h"
#include "met/hourly_reader.h"
#include "fuzz_support.h"

namespace {

void CheckYear(const vmk::WindYear& y) {
  if (y.ValidHours < vmk::ValidHoursNeeded(y.SpanHours()) || y.ValidHours > y.SpanHours()) {
    Broken("a year without the valid hours it needs was tested");
  }
  int directions = 0;
  int speeds = 0;
  for (int i = 0; i < vmk::kAbnormalItems; ++i) {
    (i < vmk::kDirectionItems ? directions : speeds) += y.Hours[static_cast<std::size_t>(i)];
  }
  if (directions != y.ValidHours || speeds != y.ValidHours) {
    Broken("a year's hours by item do not add up to its valid hours");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::vector<std::string> parts;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  for (;;) {
    const std::size_t nul = rest.find('\0');
    parts.emplace_back(rest.substr(0, nul));
    if (nul == std::string_view::npos) break;
    rest.remove_prefix(nul + 1);
  }
  std::istringstream tested(parts.front());
  std::vector<std::istringstream> reference(parts.begin() + 1, parts.end());
  std::vector<std::istream*> streams;
  for (std::istringstream& r : reference) streams.push_back(&r);
  vmk::AbnormalYearOptions options;
  options.Degrees = (data[0] & 1) != 0;
  options.Alpha = (data[0] & 2) != 0 ? 0.01 : 0.05;
  vmk::AbnormalYearResult r;
  try {
    r = vmk::TestAbnormalYear(tested, streams, options);
  } catch (const vmk::HourlyFileError& e) {
    CheckOneLine(e.what());
    if (e.File() < 0 || static_cast<std::size_t>(e.File()) > streams.size()) {
      Broken("an error names no file given");
    }
    return 0;
  } catch (const vmk::AbnormalYearError& e) {
    CheckOneLine(e.what());
    return 0;
  }
  if (r.Reference.size() < static_cast<std::size_t>(vmk::kMinReferenceYears)) {
    Broken("fewer than 3 reference years were tested");
  }
  CheckYear(r.Tested);
  for (std::size_t i = 0; i < r.Reference.size(); ++i) {
    CheckYear(r.Reference[i]);
    if (r.Reference[i].SpanHours() != r.Tested.SpanHours() &&
        std::abs(r.Reference[i].SpanHours() - r.Tested.SpanHours()) != 24) {
      Broken("a reference year's span is not the tested period's dates");
    }
    if (i > 0 && r.Reference[i].First <= r.Reference[i - 1].Last) Broken("reference years overlap");
    if (r.Reference[i].Last >= r.Tested.First && r.Reference[i].First <= r.Tested.Last) {
      Broken("a reference year overlaps the tested year");
    }
  }
  for (const vmk::FTestRow& row : r.Rows) {
    if (!(row.Lower <= row.Mean && row.Mean <= row.Upper)) Broken("bounds not around the mean");
    const bool beyond = row.F0Undefined ? false : row.F0 > r.F;
    if (row.Rejected != beyond) Broken("a decision that disagrees with its F0");
    if (std::isfinite(row.F0) && row.Upper > row.Lower &&
        row.Rejected != (row.Tested < row.Lower || row.Tested > row.Upper) &&
        std::abs(static_cast<double>(row.F0 / r.F) - 1) > 1e-9) {
      Broken("a decision that disagrees with its bounds");
    }
  }
  return 0;
}
