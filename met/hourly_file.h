// One hourly observation file read line by line: its form (told by the first line), its
// header, then each data line's hour and values, the rejected lines counted by cause. The
// counting (hourly_reader.cpp, one file or two joined by the hour) and the abnormal-year test
// read their files through it.
#pragma once

#include <array>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "met/hourly_columns.h"
#include "met/hourly_line.h"

namespace vmk {

class HourlyFile {
 public:
  // `file` is the file's number in the errors it raises (HourlyFileError::File).
  HourlyFile(std::istream& in, HourlyFileRole role, bool degrees, bool nightByWind, int file = 0)
      : lines_(in), role_(role), nightByWind_(nightByWind), file_(file),
        line_(columns_, encoding_, degrees) {}

  // Reads the first lines up to the first data line. Raises HourlyFileError.
  void ReadHeader();

  // Reads every data line with a readable hour: `want(hour, line)` says whether the hour is
  // counted (false: outside the period, its values not read; it may raise HourlyFileError),
  // then `take` gets its values. A value that cannot be read is absent and the line rejected.
  void ReadData(const std::function<bool(HourNumber, long long)>& want,
                const std::function<void(const HourObservation&)>& take);

  const HourlyColumns& Columns() const { return columns_; }
  // Leaves out a column: its values are neither read nor checked.
  void Ignore(HourlyColumn c);
  bool Agency() const { return agency_; }
  const std::string& Station() const { return station_; }  // UTF-8; empty when not named
  // What the file was read as: "plain CSV, UTF-8", "Japan Meteorological Agency CSV, ...".
  std::string Form() const;

  long long DataLines() const { return dataLines_; }      // blank lines not counted
  long long LinesOutside() const { return linesOutside_; }
  long long LinesRejected() const { return linesRejected_; }
  // The causes that occurred, in the order of kLineRejections, and the first lines rejected.
  std::vector<std::pair<std::string, long long>> RejectedByCause() const;
  const std::vector<RejectedLine>& FirstRejected() const { return firstRejected_; }

 private:
  void Header();
  void DataLine(std::string_view line,
                const std::function<bool(HourNumber, long long)>& want,
                const std::function<void(const HourObservation&)>& take);
  void Rejected(long long number, const LineProblem& problem);

  LineReader lines_;
  HourlyFileRole role_;
  bool nightByWind_;
  int file_;
  TextEncoding encoding_;
  HourlyColumns columns_;
  HourlyLineReader line_;
  bool bom_ = false;
  bool agency_ = false;
  std::string station_;
  std::string_view pendingLine_;
  bool pending_ = false;
  long long dataLines_ = 0;
  long long linesOutside_ = 0;
  long long linesRejected_ = 0;
  std::array<long long, kLineRejections.size()> rejected_{};  // lines by cause
  std::vector<RejectedLine> firstRejected_;
};

}  // namespace vmk
