// Spreadsheet cells pasted into the site editor's pollutant and emission tables, over any
// bytes: the first byte picks the table and the cell the paste starts at, the rest is the
// clipboard's text. A refused paste names its cell and leaves the rows as they were; a paste
// that is taken keeps every pollutant's emission of each stack, adds rows only to the pollutant
// table, and leaves the rows it does not reach as they were.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/site_editor/site_document.h"
#include "fuzz_support.h"

namespace {

bool Same(const vmk::PollutantChoice& a, const vmk::PollutantChoice& b) {
  if (a.Name != b.Name || a.Unit != b.Unit || a.Background != b.Background || a.BackgroundUnit != b.BackgroundUnit ||
      a.Conversion != b.Conversion || a.A != b.A || a.B != b.B || a.Fit != b.Fit || a.Standard != b.Standard ||
      a.Stacks.size() != b.Stacks.size()) {
    return false;
  }
  for (std::size_t s = 0; s < a.Stacks.size(); ++s) {
    if (a.Stacks[s].Qp != b.Stacks[s].Qp || a.Stacks[s].No2 != b.Stacks[s].No2) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool emissions = (data[0] & 1) != 0;
  const int row = (data[0] >> 1) & 3;
  const int col = (data[0] >> 3) & 15;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  constexpr std::size_t kStacks = 3;
  vmk::PollutantChoice p{"NO2", "m3N/s", "0.01", "ppm", vmk::PollutantConversion::Linear, "1", "0", "", "NO2", {}};
  p.Stacks.assign(kStacks, vmk::PollutantEmission{"0.5", true});
  std::vector<vmk::PollutantChoice> rows = {p, p};
  rows[1].Name = "SO2";
  const std::vector<vmk::PollutantChoice> before = rows;
  const vmk::SitePaste paste = emissions ? vmk::PasteEmissions(rows, kStacks, text, row, col)
                                         : vmk::PastePollutants(rows, kStacks, text, row, col);
  if (paste.Problem) {
    if (paste.Problem->Text.empty()) Broken("a refusal without a message");
    if (paste.Problem->Row < 0 || paste.Problem->Col < 0) Broken("a refusal without its cell");
    if (rows.size() != before.size()) Broken("a refused paste changed the rows");
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (!Same(rows[r], before[r])) Broken("a refused paste changed a row");
    }
    return 0;
  }
  if (paste.Rows < 1 || paste.Cols < 1) Broken("a paste of nothing taken");
  if (emissions && rows.size() != before.size()) Broken("the emission table added pollutants");
  if (!emissions && rows.size() != std::max<std::size_t>(before.size(), static_cast<std::size_t>(row + paste.Rows))) {
    Broken("the pollutant table did not grow to the pasted rows");
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].Stacks.size() != kStacks) Broken("a pollutant without one emission per stack");
    const bool outside = static_cast<int>(r) < row || static_cast<int>(r) >= row + paste.Rows;
    if (!emissions && outside && r < before.size() && !Same(rows[r], before[r])) Broken("a row the paste does not reach changed");
  }
  return 0;
}
