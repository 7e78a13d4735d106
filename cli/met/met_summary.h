// The summary vmk-met prints after reading an hourly file: what was read, the period, the
// valid and missing hours by cause, the rejected lines, and the tables by direction, speed
// class and stability class.
#pragma once

#include <string>
#include <vector>

#include "met/hourly_reader.h"

namespace vmk::cli {

// The summary text (UTF-8, lines ended by "\n"). `shownName` names the input file,
// `radiationName` the second file of a join (--radiation).
std::string MetSummary(const HourlyReadResult& r, const std::string& shownName,
                       const std::string& radiationName = "");

// The end of a run that wrote files: "written : <what>" for each, the summary flushed. Returns
// the exit status (kExitOutputFailed when the summary could not be written).
int FinishWritten(const std::vector<std::string>& written);

// "vmk-met: cannot write <what>" after the summary; returns kExitOutputFailed.
int CannotWrite(const std::string& what);

}  // namespace vmk::cli
