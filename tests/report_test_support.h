// Helpers shared by the report tests.
#pragma once

#include <string>

#include "report/report.h"
#include "scratch_files.h"

namespace vmk::testing {

using scratch::ReadBytes;
using scratch::ScratchDir;
using scratch::WriteBytes;

// Opens `path` with the report switched on, as a calculation with the report option does.
inline void OpenEnabled(ReportFile& rf, const std::string& path) {
  rf.ReportEnabled = true;
  OpenReportFile(rf, path);
}

}  // namespace vmk::testing
