// vmk-met's abnormal-year test (--abnormal-year): the files read, the test made, its summary
// printed and its table and chart written.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "met/abnormal_year.h"

namespace vmk::cli {

struct AbnormalYearRun {
  std::string Tested;                  // the tested year's file ("-": standard input)
  std::vector<std::string> Reference;  // the reference files
  std::optional<std::string> Output;   // the table (CSV)
  std::optional<std::string> Chart;    // the picture
  AbnormalYearOptions Options;
};

// The summary (UTF-8, lines ended by "\n"): the files, the years and their coverage, F, the
// table, the rejected items.
std::string AbnormalYearSummary(const AbnormalYearResult& r, const AbnormalYearRun& run);

// Reads, tests, prints and writes; returns the exit status.
int RunAbnormalYear(AbnormalYearRun run);

}  // namespace vmk::cli
