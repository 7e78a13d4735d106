#include "app/frontend/sample_case.h"

#include <array>

#include "common/cp932.h"

namespace vmk {
namespace {

// Hours of one wind direction at an inland site over one year, by wind-speed class (rows 1 to
// 9 of the grid) and stability class (A to G). Row 1 and row 3 are over all directions.
constexpr std::array<std::array<const char*, 11>, 9> kSampleHours = {{
    {"  12", "  35", "  48", "  20", "  10", "   6", " 110", " 240", "  30", "  25", " 150"},
    {" 0.35", " 1.20", " 2.45", " 0.80", " 0.30", " 0.20", " 4.10", " 6.85", " 0.95", " 0.70", " 3.40"},
    {"   9", "  30", "  52", "  20", "   8", "   5", "  85", " 140", "  22", "  18", "  70"},
    {"   2", "  10", "  18", "   8", "   4", "   2", "  35", "  42", "   9", "   6", "  12"},
    {"   0", "   6", "  15", "  10", "   6", "   4", "  48", "  36", "  12", "   5", "   3"},
    {"   0", "   0", "   6", "   7", "   8", "   5", "  40", "  22", "   6", "   0", "   0"},
    {"   0", "   0", "   0", "   2", "   6", "   4", "  32", "  14", "   0", "   0", "   0"},
    {"   0", "   0", "   0", "   0", "   0", "   1", "  14", "   5", "   0", "   0", "   0"},
    {"   0", "   0", "   0", "   0", "   0", "   0", "   6", "   2", "   0", "   0", "   0"},
}};

// A 50 m stack with a warm exhaust: the ground-level maximum lies some way downwind.
constexpr std::array<std::array<const char*, 2>, 13> kSampleTexts = {{
    {"QgEdit", " 50"},          {"QpEdit", " 0.005"},         {"TempGEdit", " 150.0"},
    {"HoEdit", " 50.0"},        {"HmEdit", " 20.0"},          {"HrankgEdit", " 20.0"},
    {"dHformulaCalmEdit", " 1"}, {"dHformulaWWEdit", " 3"},   {"dHformulaWindyEdit", " 2"},
    {"WDEdit", " NE"},          {"XrpEdit", " 1000.0"},       {"HrpEdit", " 1.5"},
    {"memoOption", "サンプル計算 北東"},
}};

}  // namespace

void FillSampleCase(FormRecord& form) {
  for (const auto& [name, text] : kSampleTexts) form.Text(name) = Utf8ToCp932(text);
  for (std::size_t row = 1; row <= kSampleHours.size(); ++row) {
    for (std::size_t col = 2; col <= 12; ++col) form.Grid[row][col] = kSampleHours[row - 1][col - 2];
  }
}

}  // namespace vmk
