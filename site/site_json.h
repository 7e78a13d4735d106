// The readers of a site file's values that its parts share (the stacks, the receptors, the
// pollutants): each raises JsonFileError with the place in the file.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "casefile/case_file.h"

namespace vmk {

// The value at `where`, which must be an object.
const nlohmann::json& SiteJsonObject(const nlohmann::json& v, const std::string& where);

// A finite number.
double SiteJsonNumber(const nlohmann::json& v, const std::string& where);

// A name of a stack, point or pollutant: printed in tables, file headers and on the map.
std::string SiteJsonName(const nlohmann::json& v, const std::string& where);

// Control texts in the case-file form, read by the case-file reader itself; `forStack` refuses
// the receptor height, which is common to all stacks.
CaseStep SiteJsonControls(const nlohmann::json& v, const std::string& where, bool forStack);

// Isopleth levels: a list of numbers, lowest first.
std::vector<double> SiteJsonLevels(const nlohmann::json& v, const std::string& where);

}  // namespace vmk
