// The distance profile as CSV text, as vmk-calc --profile prints it and the window's profile
// page exports it.
#pragma once

#include <string>

#include "model/profile.h"

namespace vmk {

// The CSV: a header line, one line per point, then the maximum line
//   R (m),C,C puff,C plume
//   <R>,<C>,<C puff>,<C plume>
//   max,<C>,at R (m),<R>
// each line ending in "\n"; the numbers are the shortest texts that read back as the same
// single-precision values.
std::string ProfileCsvText(const Profile& profile);

}  // namespace vmk
