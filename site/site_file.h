// The site file ("vmk-site/1"): the stacks of a plant, the met statistics of the site, the
// receptors and the options of the map. Read and checked as a whole before anything runs;
// every problem is one line that says where it is.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "casefile/case_file.h"
#include "input/read_parameters.h"
#include "met/met_stats.h"
#include "site/pollutant_definition.h"

namespace vmk {

inline constexpr std::string_view kSiteFormat = "vmk-site/1";

// Limits that keep a mistaken site file from exhausting the machine.
inline constexpr std::size_t kMaxSiteReceptors = 4'000'000;
// Values kept in memory: one per receptor for the total and for each stack.
inline constexpr std::size_t kMaxSiteValues = 64'000'000;
inline constexpr std::size_t kMaxSiteStacks = 1000;
inline constexpr std::size_t kMaxSiteLevels = 100;
inline constexpr std::size_t kMaxSiteNameBytes = 100;
// Coordinates beyond this (m) are a mistake: no plane coordinate system reaches it.
inline constexpr double kMaxSiteCoordinate = 1e9;

// The controls a site file must not name: the met file and the receptors set them.
inline constexpr std::string_view kSiteOwnedControls[] = {"MetStringGrid", "FreqTotalEdit",
                                                          "WDEdit", "XrpEdit", "memoOption"};

// What a site's problem is about, kept apart so that the site window can say it in Japanese
// (site_messages.h); the command line prints what() of SiteError.
struct SiteProblem {
  enum class Kind {
    Message,       // only the line is known
    FileValue,     // a value of the site file: `Place`, `Detail`
    StackInput,    // a field of a stack (its own, the common one's, or its met grid's cell)
    PointHeight,   // a point's z, checked with a stack's fields
    ModelFailure,  // the model cannot compute a stack in a direction: `Detail` is its text
    OutputFolder,  // the folder of the outputs: `Folder`, `Issue`, `Detail` (the system's words)
  };
  enum class FolderIssue { NotNamed, NotAFolder, CannotMake, Busy, CannotWrite };
  Kind What = Kind::Message;
  std::string Place;
  std::string Detail;
  std::string Stack;
  std::string Point;
  std::string Pollutant;  // the pollutant whose own run found the problem, or empty
  int Direction = -1;     // the wind direction (0 = N) where only one fails, or -1
  RejectedInput Rejected;  // StackInput, PointHeight: the field and its limits
  std::string Text;        // the rejected text (UTF-8)
  std::string RangeTip;    // what the window's input help says of the field (Japanese)
  std::string Folder;
  FolderIssue Issue = FolderIssue::NotNamed;
};

// A site file that cannot be used; what() is one line of UTF-8.
class SiteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  SiteError(const std::string& line, SiteProblem problem)
      : std::runtime_error(line), problem_(std::move(problem)) {}
  const SiteProblem& Problem() const { return problem_; }

 private:
  SiteProblem problem_;
};

enum class SectorMode { Sector, Smooth };

// "FROM:TO:N": N values from FROM to TO, both included.
struct AxisSteps {
  double From = 0;
  double To = 0;
  int N = 0;
};

struct GridDefinition {
  AxisSteps X;  // east
  AxisSteps Y;  // north
};

struct PolarDefinition {
  double CenterX = 0;
  double CenterY = 0;
  AxisSteps Distances;
  bool Log = false;
};

struct PointDefinition {
  std::string Name;  // UTF-8
  double X = 0;
  double Y = 0;
  std::optional<double> Z;  // the receptor height, m; the common HrpEdit when absent
};

struct StackDefinition {
  std::string Name;  // UTF-8
  double X = 0;
  double Y = 0;
  CaseStep Controls;  // its own control texts, over the common ones
};

// A file of the basemap, as the site file names it: its path relative to the site file, and the
// coordinate system of its coordinates when the file names none (or a wrong one).
struct BasemapLayerDefinition {
  std::string Path;      // as written (UTF-8)
  std::string FullPath;  // joined to the site file's folder
  std::string Crs;       // empty: the file's own
};

// The ground under the map: a raster picture and vector layers, drawn in grey.
struct BasemapDefinition {
  std::optional<BasemapLayerDefinition> Raster;
  std::vector<BasemapLayerDefinition> Vectors;
};
inline constexpr std::size_t kMaxBasemapVectors = 100;

struct SiteDefinition {
  std::string MetSource;  // the met file's path as written, or "(in the site file)"
  MetStats Met;
  CaseStep Common;
  std::vector<StackDefinition> Stacks;
  std::optional<GridDefinition> Grid;
  std::optional<PolarDefinition> Polar;
  std::vector<PointDefinition> Points;
  SectorMode Sectors = SectorMode::Sector;
  std::vector<double> Levels;  // ascending; empty: chosen from the grid's values
  std::string Crs;             // empty: none given
  std::optional<BasemapDefinition> Basemap;  // the files are read only for the map
  std::vector<PollutantDefinition> Pollutants;  // empty: none given
};

// Parses and checks a site file's text. A met path and the pollutants' station-year files are
// read relative to `baseDir`. Raises
// SiteError at the first problem.
SiteDefinition ParseSiteFile(std::string_view text, const std::string& baseDir);

// Parses and checks a site file's "basemap" block alone (its JSON text), its paths joined to
// `baseDir`. Raises SiteError at the first problem.
BasemapDefinition ParseBasemapBlock(std::string_view text, const std::string& baseDir);

// Reads and parses the site file at `path`.
SiteDefinition ReadSiteFile(const std::string& path);

// The N values of an axis, evenly spaced (ends exact).
std::vector<double> AxisValues(const AxisSteps& axis);

// The receptor distances the window accepts (`RLowerLimit` to `RUpperLimit`, m) as its
// messages print them: "0.09999" and "100001".
struct DistanceRangeText {
  std::string From;
  std::string To;
};
DistanceRangeText ReceptorDistanceRange();

}  // namespace vmk
