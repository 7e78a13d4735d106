// The pollutants of a site file ("pollutants", optional): for each, every stack's emission of
// it (its QpEdit) and whether the stack's NOx to NO2 conversion applies, the background, the
// conversion of the annual mean to the standard's statistic and the standard. Each pollutant is
// computed as the site is, with each stack's controls changed to the pollutant's.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "casefile/case_file.h"
#include "site/concentration_units.h"
#include "site/decimal.h"
#include "site/standards_table.h"
#include "site/station_fit.h"

namespace vmk {

// Each pollutant is a run of the whole site.
inline constexpr std::size_t kMaxSitePollutants = 50;

// The place in messages of the pollutant named `name`: pollutant "SO2".
std::string PollutantPlace(std::string_view name);

// A stack's part in a pollutant, in the site's order of stacks.
struct PollutantStack {
  bool Emits = true;  // false: its QpEdit for the pollutant is 0, the stack is left out
  bool No2 = false;   // NOxTrnCheckBox for the pollutant
  CaseStep Controls;  // QpEdit and NOxTrnCheckBox, put over the stack's own controls
};

enum class ConversionKind { None, Linear, Fit };

// From the future annual mean x to the standard's statistic y = A x + B.
struct Conversion {
  ConversionKind Kind = ConversionKind::None;
  Decimal A;
  Decimal B;
  std::string FitFile;            // the station-year file as written, for a fit
  std::optional<StationFit> Fit;  // its points, a, b and r
};

struct PollutantDefinition {
  std::string Name;      // UTF-8
  std::string FileName;  // the name made safe for file names: "map-<FileName>.png"
  EmissionUnit Unit;
  std::vector<PollutantStack> Stacks;
  Decimal Background;  // the annual mean background, in BackgroundUnit
  ConcentrationUnit BackgroundUnit;
  Conversion Convert;
  std::string StandardName;               // a name of the standards table, or empty
  std::optional<Standard> GivenStandard;  // a standard given in full
  std::vector<double> Levels;             // the map's isopleth levels (C's unit); empty: chosen
};

// `name` with every character that a file name cannot hold on Windows or POSIX systems (control
// characters and < > : " / \ | ? *) and a final dot or blank replaced by "_".
std::string SafeFileName(std::string_view name);

// Reads the "pollutants" list of a site file; `stacks` are the names of the site's stacks in
// their order, `baseDir` the folder the station-year files are read relative to. Raises
// JsonFileError with the place in the file.
std::vector<PollutantDefinition> ReadPollutants(const nlohmann::json& v, const std::vector<std::string>& stacks,
                                                const std::string& baseDir);

}  // namespace vmk
