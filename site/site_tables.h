// The site's values as CSV tables: UTF-8 with a byte order mark (so that spreadsheets read the
// names), one header line, then one line per receptor; a missing value is an empty field, a
// value the shortest text that reads back as the same float.
#pragma once

#include <string>

#include "site/site_run.h"

namespace vmk {

// A field of a CSV line: as it is, or in double quotes (doubled inside) when it holds a comma,
// a quote or a line end.
std::string CsvField(const std::string& text);

// points.csv: name,x (m),y (m),z (m),C,C <stack>,...
std::string PointsCsv(const SitePlan& plan, const SiteResult& result);
// grid.csv: x (m),y (m),C,C <stack>,... (x fastest, then y, both ascending)
std::string GridCsv(const SitePlan& plan, const SiteResult& result);
// polar.csv: direction,R (m),C,C <stack>,... (the direction of the receptor from the centre)
std::string PolarCsv(const SitePlan& plan, const SiteResult& result);

}  // namespace vmk
