// The standards table reader over any bytes: a table is refused with one line naming its line,
// or it holds at least one standard, each with a unique non-empty name, a positive value, a
// source and its shown decimals within the limit.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "site/standards_table.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vmk::StandardsTable table;
  try {
    table = vmk::ParseStandardsTable(bytes);
  } catch (const vmk::StandardsTableError& e) {
    CheckOneLine(e.what());
    return 0;
  }
  if (table.Entries.empty()) Broken("no standard");
  std::set<std::string> names;
  for (const vmk::Standard& s : table.Entries) {
    if (s.Name.empty() || !names.insert(s.Name).second) Broken("an empty or repeated name");
    if (s.Value.Sign() <= 0) Broken("a value not positive");
    if (s.Source.empty()) Broken("no source");
    if (s.Decimals && (*s.Decimals < 0 || *s.Decimals > vmk::kMaxStandardDecimals)) Broken("decimals");
    if (table.Find(s.Name) != &s) Broken("a name found elsewhere");
  }
  return 0;
}
