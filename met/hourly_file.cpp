#include "met/hourly_file.h"

#include "met/hourly_header.h"

namespace vmk {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

}  // namespace

void HourlyFile::ReadHeader() {
  try {
    Header();
  } catch (const HourlyFileError& e) {
    throw HourlyFileError(e.what(), file_);
  } catch (const TextLimitError& e) {
    // Before the header, the stream may be anything: say what was expected.
    throw HourlyFileError(std::string(e.what()) + ": " + ExpectedForms(), file_);
  }
}

void HourlyFile::Header() {
  std::string_view line;
  // The first line that is not blank: the header, or the agency's download-time line.
  for (;;) {
    if (!lines_.Next(line)) throw HourlyFileError("the file is empty: " + ExpectedForms());
    if (lines_.LineNumber() == 1 && line.starts_with(kBom)) {
      line.remove_prefix(kBom.size());
      bom_ = true;
      encoding_.Set(TextEncoding::Utf8);
    }
    if (!IsBlankLine(line) && !TrimBlanks(line).starts_with("#")) break;
  }
  if (lines_.LineNumber() == 1 && IsAgencyFirstLine(line, encoding_)) {
    agency_ = true;
    AgencyHeader header = ReadAgencyHeader(lines_, encoding_, line, role_);
    columns_ = header.Columns;
    station_ = std::move(header.Station);
    pending_ = header.DataLinePending;
    pendingLine_ = line;
  } else {
    columns_ = ReadPlainHeader(line, lines_.LineNumber(), encoding_, role_, nightByWind_);
  }
  if (role_ == HourlyFileRole::Radiation) {
    for (HourlyColumn c : {HourlyColumn::Speed, HourlyColumn::Direction, HourlyColumn::Stability}) {
      Ignore(c);
    }
  }
}

void HourlyFile::Ignore(HourlyColumn c) {
  columns_[c] = ColumnAt{};
  columns_.Needed = 0;
  columns_.CountNeeded();
}

void HourlyFile::ReadData(const std::function<bool(HourNumber, long long)>& want,
                          const std::function<void(const HourObservation&)>& take) {
  std::string_view line = pendingLine_;
  try {
    while (pending_ || lines_.Next(line)) {
      pending_ = false;
      DataLine(line, want, take);
    }
  } catch (const HourlyFileError& e) {
    throw HourlyFileError(e.what(), file_);
  } catch (const TextLimitError& e) {
    throw HourlyFileError(e.what(), file_);
  }
}

void HourlyFile::Rejected(long long number, const LineProblem& problem) {
  ++linesRejected_;
  ++rejected_[static_cast<std::size_t>(problem.Cause)];
  if (firstRejected_.size() < kRejectedLinesKept) firstRejected_.push_back({number, problem.Reason});
}

void HourlyFile::DataLine(std::string_view line,
                          const std::function<bool(HourNumber, long long)>& want,
                          const std::function<void(const HourObservation&)>& take) {
  const long long number = lines_.LineNumber();
  FirstProblem problem(firstRejected_.size() < kRejectedLinesKept);
  if (IsBlankLine(line)) return;
  ++dataLines_;
  encoding_.Note(line);
  line_.Split(line);

  const std::optional<HourNumber> hour = line_.Hour(problem);
  if (!hour) {
    Rejected(number, *problem.Get());
    return;
  }
  if (!want(*hour, number)) {
    ++linesOutside_;
    return;
  }
  // A line with a value that cannot be read still gives its hour, without that value.
  const HourObservation h = line_.Values(*hour, problem);
  if (problem.Get()) Rejected(number, *problem.Get());
  take(h);
}

std::vector<std::pair<std::string, long long>> HourlyFile::RejectedByCause() const {
  std::vector<std::pair<std::string, long long>> out;
  for (const NamedCause<LineRejection>& cause : kLineRejections) {
    const long long lines = rejected_[static_cast<std::size_t>(cause.Value)];
    if (lines > 0) out.emplace_back(std::string(cause.Name), lines);
  }
  return out;
}

std::string HourlyFile::Form() const {
  const std::string code = encoding_.Get() == TextEncoding::Cp932 ? "code page 932"
                           : bom_                                 ? "UTF-8 with byte order mark"
                           : encoding_.Get() == TextEncoding::Utf8 ? "UTF-8"
                                                                   : "ASCII";
  return (agency_ ? "Japan Meteorological Agency CSV, " : "plain CSV, ") + code;
}

}  // namespace vmk
