#include "cli/met/abnormal_year_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>

#include "cli/met/met_summary.h"
#include "cli/support/cli_support.h"
#include "cli/support/picture_file.h"
#include "common/atomic_file.h"
#include "common/numtext.h"
#include "met/hourly_reader.h"
#include "platform/files.h"
#include "plot/abnormal_year_chart.h"

namespace vmk::cli {
namespace {

constexpr std::string_view kProgram = "vmk-met";

std::string Right(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string Left(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string Shown(const std::string& path) { return path == "-" ? "standard input" : path; }

std::string YearLine(const WindYear& y) {
  return HourText(y.First) + " to " + HourText(y.Last) + ": " + std::to_string(y.ValidHours) +
         " valid hours of " + std::to_string(y.SpanHours()) + " (" +
         FormatFixed(y.ValidHours * 100.0L / y.SpanHours(), 15, 1) + " %)";
}

}  // namespace

std::string AbnormalYearSummary(const AbnormalYearResult& r, const AbnormalYearRun& run) {
  const int n = static_cast<int>(r.Reference.size());
  const std::string percent = r.Alpha < 0.05 ? "1" : "5";
  std::string s;
  s += "abnormal-year test (異常年検定): F-distribution rejection test at " + percent + " %\n";
  s += "tested year   : " + Shown(run.Tested) + " (" + r.TestedForm + ")\n";
  s += "                " + YearLine(r.Tested) + "\n";
  for (std::size_t i = 0; i < run.Reference.size(); ++i) {
    s += std::string(i == 0 ? "reference     : " : "                ") + Shown(run.Reference[i]) +
         " (" + r.ReferenceForms[i] + ")\n";
  }
  s += "reference years: " + std::to_string(n) + ", each with at least " +
       std::to_string(ValidHoursNeeded(r.Tested.SpanHours())) +
       " valid hours (6000 of a year's 8760, the share of a shorter period)\n";
  for (const WindYear& y : r.Reference) s += "  " + YearLine(y) + "\n";
  s += "F(1, " + std::to_string(n - 1) + "; " + (r.Alpha < 0.05 ? "0.01" : "0.05") +
       ") : " + FormatFixed(r.F, 15, 3) + "\n";
  for (const std::string& note : r.Notes) s += "note          : " + note + "\n";
  s += "\nshares (% of the valid hours); rejected when F0 > F:\n";
  s += "item       tested     mean    lower    upper        F0  decision\n";
  std::string rejected;
  int rejectedCount = 0;
  for (int i = 0; i < kAbnormalItems; ++i) {
    const FTestRow& row = r.Rows[static_cast<std::size_t>(i)];
    const std::string name(AbnormalItemName(i));
    if (i == kDirectionItems) s += "speed class (m/s):\n";
    s += Left(name, 8) + Right(ShareText(row.Tested), 9) + Right(ShareText(row.Mean), 9) +
         Right(ShareText(row.Lower), 9) + Right(ShareText(row.Upper), 9) +
         Right(F0Text(row), row.F0Undefined || !std::isinf(row.F0) ? 10 : 12) + "  " +
         std::string(row.Rejected ? kRejected : kAccepted) + "\n";
    if (row.Rejected) {
      rejected += (rejectedCount == 0 ? ": " : ", ") + name;
      ++rejectedCount;
    }
  }
  s += "\nrejected      : " + std::to_string(rejectedCount) + " of " +
       std::to_string(kAbnormalItems) + " items" + rejected + "\n";
  return s;
}

int RunAbnormalYear(AbnormalYearRun run) {
  std::vector<std::string> paths{run.Tested};
  paths.insert(paths.end(), run.Reference.begin(), run.Reference.end());
  if (std::count(paths.begin(), paths.end(), "-") > 1) {
    return ArgumentError(kProgram, "only one file may be standard input (-)");
  }
  std::vector<std::unique_ptr<std::ifstream>> files;
  std::vector<std::istream*> streams;
  for (const std::string& path : paths) {
    files.push_back(std::make_unique<std::ifstream>());
    if (path == "-") {
      streams.push_back(&std::cin);
      continue;
    }
    if (vmk::platform::IsFolder(path)) {
      return ArgumentError(kProgram, path + ": is a folder, not a file of hourly observations");
    }
    files.back()->open(vmk::platform::PathFromUtf8(path), std::ios::binary);
    if (!*files.back()) {
      return ArgumentError(kProgram, path + ": cannot be opened (no such file, or no permission)");
    }
    streams.push_back(files.back().get());
  }
  for (const std::string& path : run.Reference) run.Options.ReferenceNames.push_back(Shown(path));
  AbnormalYearResult result;
  try {
    const std::vector<std::istream*> reference(streams.begin() + 1, streams.end());
    result = TestAbnormalYear(*streams.front(), reference, run.Options);
  } catch (const HourlyFileError& e) {
    return ArgumentError(kProgram, Shown(paths.at(static_cast<std::size_t>(e.File()))) + ": " +
                                       e.what());
  } catch (const AbnormalYearError& e) {
    return ArgumentError(kProgram, e.what());
  }
  for (std::size_t i = 0; i < streams.size(); ++i) {
    if (streams[i]->bad()) return ArgumentError(kProgram, Shown(paths[i]) + ": cannot be read to its end");
  }
  Write(AbnormalYearSummary(result, run));
  std::vector<std::string> written;
  if (run.Output) {
    try {
      WriteFileAtomically(*run.Output, AbnormalYearCsv(result));
    } catch (const FileWriteError& e) {
      return CannotWrite(e.what());
    }
    written.push_back(*run.Output + " (abnormal-year test)");
  }
  if (run.Chart) {
    if (const auto problem = WritePictureFile(BuildAbnormalYearChart(result), *run.Chart)) {
      return CannotWrite(*run.Chart + ": " + *problem);
    }
    written.push_back(*run.Chart + " (abnormal-year chart)");
  }
  return FinishWritten(written);
}

}  // namespace vmk::cli
