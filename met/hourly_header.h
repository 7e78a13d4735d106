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
// It names the columns of the table (in any order, any case, with units in brackets): time,
// speed and direction, and stability or both radiations.
HourlyColumns ReadPlainHeader(std::string_view line, long long number, TextEncoding& encoding);

// Whether a first line is the agency's download-time line; if so, the encoding is its own.
bool IsAgencyFirstLine(std::string_view line, TextEncoding& encoding);

struct AgencyHeader {
  HourlyColumns Columns;
  std::string Station;             // UTF-8; empty when the file names none
  std::vector<std::string> Notes;  // the columns the file lacks (UTF-8)
  bool DataLinePending = false;    // the line just read is the first data line
};

// The agency's header rows after its first line: the station row, the item row and the rows of
// sub-items and flag kinds under it. Reads up to the first data line, which is then left in
// `line` (with DataLinePending), to be read as data.
AgencyHeader ReadAgencyHeader(LineReader& lines, TextEncoding& encoding, std::string_view& line);

}  // namespace vmk
