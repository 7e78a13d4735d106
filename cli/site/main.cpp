// vmk-site: the concentrations around a whole site. Reads a site file (the stacks, the met
// statistics of all 16 directions, the receptors), checks every input with the window's own
// rules, computes each stack at each receptor exactly as the window would, and writes the
// tables, the GIS files and the map into the output folder, with a summary on standard output.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/atomic_file.h"
#include "site/export/site_export.h"
#include "site/site_file.h"
#include "site/site_outputs.h"
#include "site/site_plan.h"
#include "site/site_run.h"

namespace vmk::cli {
namespace {

constexpr int kExitNormal = 0;
constexpr int kExitUnusable = 2;
constexpr int kExitOutputFailed = 3;

constexpr std::string_view kUsage = "Usage: vmk-site SITE --out DIR [--json] [--threads N]\n"
                                    "       vmk-site --help\n";

constexpr std::string_view kHelp = R"(
Computes the long-term average concentration around a site of several stacks,
for all 16 wind directions, at a grid, a polar set and named points of
receptors, and writes the tables, the GIS files and the map.

  SITE         a site file (JSON, UTF-8, "format": "vmk-site/1")
  --out DIR    the folder of the output files (made when missing)
  --json       print the summary as JSON
  --threads N  compute on N threads (default: all cores)
  --help       print this text

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
with their lower and upper values), map.png and map.svg. Each file is written
whole or not at all.

Everything is checked before anything is computed or written: the site file,
the met file, every stack's inputs with the window's messages, the receptors
(at most 4000000), the coordinate system, the output folder.

Exit status:
  0  the files are written and the summary printed
  2  bad command line or site file, or an output folder that cannot be
     written: one line on standard error, nothing written
  3  a file could not be written, or the program ran out of memory
)";

struct Args {
  std::string Site;
  std::string Out;
  bool Json = false;
  int Threads = 0;
  bool Help = false;
};

std::optional<Args> ParseArgs(int argc, char** argv, std::string& problem) {
  Args a;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      a.Help = true;
    } else if (arg == "--json") {
      a.Json = true;
    } else if (arg == "--out" || arg == "--threads") {
      if (i + 1 >= argc) {
        problem = std::string(arg) + " needs a value";
        return std::nullopt;
      }
      const std::string value = argv[++i];
      if (arg == "--out") {
        a.Out = value;
      } else {
        char* end = nullptr;
        const long n = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || n < 1 || n > 256) {
          problem = "--threads must be a whole number from 1 to 256";
          return std::nullopt;
        }
        a.Threads = static_cast<int>(n);
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      problem = "unknown option " + std::string(arg);
      return std::nullopt;
    } else if (a.Site.empty()) {
      a.Site = std::string(arg);
    } else {
      problem = "one site file only";
      return std::nullopt;
    }
  }
  if (a.Help) return a;
  if (a.Site.empty()) {
    problem = "no site file named";
    return std::nullopt;
  }
  if (a.Out.empty()) {
    problem = "--out DIR is needed: the folder of the output files";
    return std::nullopt;
  }
  return a;
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

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "vmk-site: %s\n", message.c_str());
  return code;
}

int Run(int argc, char** argv) {
  std::string problem;
  const std::optional<Args> args = ParseArgs(argc, argv, problem);
  if (!args) {
    std::fprintf(stderr, "vmk-site: %s\n%.*s", problem.c_str(), static_cast<int>(kUsage.size()), kUsage.data());
    return kExitUnusable;
  }
  if (args->Help) {
    std::printf("%.*s%.*s", static_cast<int>(kUsage.size()), kUsage.data(), static_cast<int>(kHelp.size()),
                kHelp.data());
    return kExitNormal;
  }

  SitePlan plan;
  try {
    plan = PlanSite(ReadSiteFile(args->Site));
    CheckSiteForExport(plan.Site);
    PrepareOutputFolder(args->Out);
  } catch (const SiteError& e) {
    return Fail(kExitUnusable, args->Site + ": " + e.what());
  }

  RunOptions options;
  const unsigned cores = std::thread::hardware_concurrency();
  options.Threads = args->Threads > 0 ? args->Threads : static_cast<int>(cores > 0 ? cores : 1);
  ProgressLines progress;
  options.Progress = [&progress](double share) { progress(share); };
  const SiteResult result = RunSite(plan, options);
  progress.Finish();

  SiteRunNotes notes;
  try {
    const SiteExport files = MakeSiteFiles(plan, result);
    WriteSiteFiles(args->Out, files.Files);
    for (const SiteFile& f : files.Files) notes.Written.push_back(f.Name);
    notes.Notes = files.Notes;
  } catch (const SiteError& e) {
    return Fail(kExitOutputFailed, e.what());
  } catch (const FileWriteError& e) {
    return Fail(kExitOutputFailed, e.what());
  }

  const std::string summary = args->Json ? SummaryJson(plan, result, notes) : SummaryText(plan, result, notes);
  if (std::fwrite(summary.data(), 1, summary.size(), stdout) != summary.size() || std::fflush(stdout) != 0) {
    return Fail(kExitOutputFailed, "cannot write the summary to standard output");
  }
  return kExitNormal;
}

}  // namespace
}  // namespace vmk::cli

int main(int argc, char** argv) {
  try {
    return vmk::cli::Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "vmk-site: out of memory\n");
    return vmk::cli::kExitOutputFailed;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vmk-site: %s\n", e.what());
    return vmk::cli::kExitOutputFailed;
  }
}
