// vmk-site: the concentrations around a whole site. Reads a site file (the stacks, the met
// statistics of all 16 directions, the receptors), checks every input with the window's own
// rules, computes each stack at each receptor exactly as the window would, and writes the
// tables, the GIS files and the map into the output folder, with a summary on standard output.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/support/cli_support.h"
#include "cli/support/command_line.h"
#include "common/atomic_file.h"
#include "common/json_document.h"
#include "common/number_read.h"
#include "site/export/site_export.h"
#include "site/export/site_job.h"
#include "site/site_summary.h"
#include "site/standards_table.h"

namespace vmk::cli {
namespace {

constexpr std::string_view kProgram = "vmk-site";

// The most threads --threads asks for.
constexpr long long kMaxThreads = 256;

constexpr std::string_view kUsage =
    "Usage: vmk-site SITE --out DIR [--json] [--threads N] [--standards-table FILE]\n"
    "       vmk-site --print-standards-table | --help | --version\n";
constexpr std::string_view kOptionsHelp = R"(
Computes the long-term average concentration around a site of several stacks,
for all 16 wind directions, at a grid, a polar set and named points of
receptors, and writes the tables, the GIS files and the map.

  SITE         a site file (JSON, UTF-8, "format": "vmk-site/1")
  --out DIR    the folder of the output files (made when missing)
  --json       print the summary as JSON
  --threads N  compute on N threads (default: all cores)
  --standards-table FILE
               the standards a pollutant names, instead of the built-in
               table (a CSV of the same form)
  --print-standards-table
               print the built-in standards table (with its sources)
  --help       print this text
  --version    print the version stamp
)";

constexpr std::string_view kHelp = R"(
Each stack's value at a receptor is what the window shows for the stack's
inputs with XrpEdit the receptor's distance, HrpEdit its height and the grid
of the wind that carries the plume there (the receptor in direction sector k
of the stack, the wind from k + 8). With "sectors": "smooth" the values on
the two neighbouring sector centre lines are weighted linearly by angle. The
total is the sum over the stacks. A receptor nearer to a stack than 0.09999 m
or farther than 100001 m has no value (an empty field, no-data in grid.tif).

Files in DIR: points.csv, grid.csv, polar.csv (UTF-8 with BOM, the shortest
numbers that read back as the same float), grid.tif (GeoTIFF, float32),
isopleths.gpkg and isopleths.geojson (the filled bands between the levels,
with their lower and upper values), map.png and map.svg. The files of a run
replace the previous run's all together or not at all; files that an earlier
run made and this one does not are removed (DIR/.vmk-site-files records them),
other files stay. The same inputs give the same bytes.
A build without GDAL (Windows) makes no grid.tif and no isopleth files and
draws no basemap (one line on standard error says so); its map classes each
pixel into its band by the grid's values, interpolated bilinearly.

With "pollutants" in the site file, each pollutant is computed as the site is,
every stack with the pollutant's QpEdit and NOxTrnCheckBox, and assessed at the
maximum and the points: contribution, background, future concentration,
寄与率, the standard's statistic converted from the future annual mean, and
適合 or 不適合. Files: assessment.csv (exact values), map-<pollutant>.png and
.svg; the summary shows the values rounded (寄与率 to two decimals, a daily
value to the standard's decimals, half up), compared unrounded.

Everything is checked before anything is computed or written: the site file,
the met file, every stack's inputs with the window's messages, the pollutants
(units, standards, station-year files), the receptors
(at most 4000000), the coordinate system, the output folder.

Exit status:
  0  the files are written and the summary printed
  2  bad command line or site file, or an output folder that cannot be
     written or that another run is writing into: one line on standard
     error, nothing written
  3  a file could not be written, or the program ran out of memory
)";

// A standards table file is a few kilobytes; anything beyond this is not one.
constexpr std::size_t kMaxStandardsFileBytes = 1024 * 1024;

struct Args {
  std::string Site;
  std::string Out;
  bool Json = false;
  int Threads = 0;
  std::optional<std::string> Standards;
};

// Reads the command line into `a`; returns the exit status when that is all the program does.
std::optional<int> ReadCommandLine(int argc, char** argv, Args& a) {
  CommandLine line({kProgram, kUsage, kOptionsHelp, kHelp});
  std::optional<std::string> out;
  std::optional<std::string> threads;
  const std::string threadsNeeds = "a whole number from 1 to " + std::to_string(kMaxThreads);
  line.Value("--out", out, "a folder");
  line.Flag("--json", a.Json);
  line.Value("--threads", threads, threadsNeeds);
  line.Value("--standards-table", a.Standards, "a standards table file");
  bool printTable = false;
  line.Flag("--print-standards-table", printTable);
  std::vector<std::string> sites;
  if (const auto exit = line.Read(argc, argv, sites)) return exit;
  if (printTable) {
    if (!sites.empty()) return line.Refuse("--print-standards-table takes no site file");
    Write(DefaultStandardsTableText());
    return kExitNormal;
  }
  if (sites.empty()) return line.Refuse("no site file given");
  if (sites.size() > 1) return line.Refuse("more than one site file given");
  if (!out) return line.Refuse("--out DIR is needed: the folder of the output files");
  a.Site = sites.front();
  a.Out = *out;
  if (threads) {
    long long n = 0;
    if (!ReadWholeNumber(*threads, n) || n < 1 || n > kMaxThreads) {
      return ArgumentError(kProgram, "--threads " + *threads + ": not " + threadsNeeds);
    }
    a.Threads = static_cast<int>(n);
  }
  return std::nullopt;
}

// The share done now and then on standard error, once a run has taken a second. A percentage
// is printed once at most; 100 % only when the whole is done.
class ProgressLines {
 public:
  void operator()(double share) {
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::seconds(2)) return;
    const int percent = share >= 1 ? 100 : static_cast<int>(std::floor(share * 100));
    if (percent <= printed_) return;
    Print(percent);
    last_ = now;
  }
  // Closes a report that has begun: the last line says 100 %.
  void Finish() {
    if (printed_ >= 0 && printed_ < 100) Print(100);
  }

 private:
  void Print(int percent) {
    std::fprintf(stderr, "vmk-site: %3d %% computed\n", percent);
    std::fflush(stderr);
    printed_ = percent;
  }

  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_{};
  int printed_ = -1;  // the last percentage printed; -1: none yet
};

// "vmk-site: <problem>" on standard error, with the exit status of a file not written.
int OutputError(const std::string& problem) {
  ArgumentError(kProgram, problem);
  return kExitOutputFailed;
}

// The user's standards table, or the problem with it (one line).
std::optional<std::string> ReadStandards(const std::string& path, StandardsTable& table) {
  try {
    table = ParseStandardsTable(ReadFileBytes(path, kMaxStandardsFileBytes));
  } catch (const JsonFileError& e) {
    return "--standards-table " + path + ": cannot be read (" + e.what() + ")";
  } catch (const StandardsTableError& e) {
    return "--standards-table " + path + ": " + e.what();
  }
  return std::nullopt;
}

int Run(int argc, char** argv) {
  Args args;
  if (const auto exit = ReadCommandLine(argc, argv, args)) return *exit;
  StandardsTable standards;
  if (args.Standards) {
    if (const auto problem = ReadStandards(*args.Standards, standards)) return ArgumentError(kProgram, *problem);
  }

  SiteSteps steps;
  OutputFolder out;  // this run's from the checks until the program ends
  std::optional<ProgressLines> progress;  // from the start of the computation
  steps.Checked = [&](const SitePlan&) {
    out = PrepareOutputFolder(args.Out);
    progress.emplace();
  };
  steps.Threads = args.Threads;
  if (args.Standards) steps.Standards = &standards;
  steps.Progress = [&progress](double share) { (*progress)(share); };
  ComputedSite site;
  try {
    site = ComputeSiteFile(args.Site, steps);
  } catch (const SiteError& e) {
    return ArgumentError(kProgram, args.Site + ": " + e.what());
  }
  progress->Finish();

  SiteRunNotes notes;
  try {
    notes = WriteSiteFilesOf(out, site);
  } catch (const SiteError& e) {
    return OutputError(e.what());
  } catch (const FileWriteError& e) {
    return OutputError(e.what());
  }
  for (const std::string& w : notes.Warnings) Write(std::string(kProgram) + ": " + w + "\n", stderr);

  const std::string summary =
      args.Json ? SummaryJson(site.Plan, site.Result, notes, site.Pollutants)
                : SummaryText(site.Plan, site.Result, notes, site.Pollutants);
  Write(summary);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    return OutputError("cannot write the summary to standard output");
  }
  return kExitNormal;
}

}  // namespace
}  // namespace vmk::cli

int main(int argc, char** argv) {
  return vmk::cli::RunProgram(vmk::cli::kProgram, argc, argv, vmk::cli::Run);
}
