// The header of an hourly observation file, in either form: which column holds what.
// Both readers raise HourlyFileError for a header they cannot use.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "met/hourly_columns.h"
#include "met/hourly_text.h"

namespace vmk {

// The header line of a plain CSV: line `number`, the first that is neither blank nor a comment.
// It names the columns of the table (in any order, any case, with units in brackets) that the
// file's role needs: time, speed and direction, and (for the whole counting) stability, or
// solar radiation with net radiation or cloud amount (or neither, when `nightByWind`); for the
// second file of a join, time and solar radiation, net radiation or cloud amount.
HourlyColumns ReadPlainHeader(std::string_view line, long long number, TextEncoding& encoding,
                              HourlyFileRole role, bool nightByWind);

// Whether a first line is the agency's download-time line; if so, the encoding is its own.
bool IsAgencyFirstLine(std::string_view line, TextEncoding& encoding);

struct AgencyHeader {
  HourlyColumns Columns;
  std::string Station;             // UTF-8; empty when the file names none
  bool DataLinePending = false;    // the line just read is the first data line
};

// The agency's header rows after its first line: the station row, the item row and the rows of
// sub-items and flag kinds under it. Reads up to the first data line, which is then left in
// `line` (with DataLinePending), to be read as data. The file must give the wind, or, as the
// second file of a join, solar radiation, net radiation or cloud amount.
AgencyHeader ReadAgencyHeader(LineReader& lines, TextEncoding& encoding, std::string_view& line,
                              HourlyFileRole role);

}  // namespace vmk
