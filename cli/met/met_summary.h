// The summary vmk-met prints after reading an hourly file: what was read, the period, the
// valid and missing hours by cause, the rejected lines, and the tables by direction, speed
// class and stability class.
#pragma once

#include <string>

#include "met/hourly_reader.h"

namespace vmk::cli {

// The summary text (UTF-8, lines ended by "\n"). `shownName` names the input file,
// `radiationName` the second file of a join (--radiation).
std::string MetSummary(const HourlyReadResult& r, const std::string& shownName,
                       const std::string& radiationName = "");

}  // namespace vmk::cli
