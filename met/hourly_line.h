// A data line of an hourly observation file: the hour it is for, then the values of that hour,
// each from its column as the header found it. What cannot be read is the line's problem: its
// cause and a reason for the summary.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "met/hourly_columns.h"
#include "met/hourly_text.h"
#include "met/met_count.h"

namespace vmk {

struct LineProblem {
  LineRejection Cause = LineRejection::NoTime;
  std::string Reason;  // UTF-8, one line; empty when not asked for
};

// The first problem of a line; later ones are not kept. The reason is made only when asked
// for, so that a file of many bad lines costs no texts beyond those shown.
class FirstProblem {
 public:
  explicit FirstProblem(bool explain) : explain_(explain) {}

  template <class MakeReason>
  void Add(LineRejection cause, const MakeReason& reason) {
    if (!problem_) problem_ = LineProblem{cause, explain_ ? std::string(reason()) : std::string()};
  }
  const std::optional<LineProblem>& Get() const { return problem_; }

 private:
  bool explain_;
  std::optional<LineProblem> problem_;
};

class HourlyLineReader {
 public:
  // `degrees`: numeric directions are degrees, not codes.
  HourlyLineReader(const HourlyColumns& columns, const TextEncoding& encoding, bool degrees)
      : columns_(columns), encoding_(encoding), degrees_(degrees) {}

  // Takes the next line (neither blank nor too long).
  void Split(std::string_view line) { fields_.Split(line); }

  // The hour the line is for; none, with the problem, when its time cannot be read.
  std::optional<HourNumber> Hour(FirstProblem& problem) const;

  // The values of the line for its hour. A value that cannot be read, or whose quality flag is
  // not the normal one, is absent; a value that cannot be read is a problem.
  HourObservation Values(HourNumber hour, FirstProblem& problem) const;

 private:
  std::string QuoteField(std::string_view field) const;  // for a reason
  bool FlagNormal(const ColumnAt& at, const HourlyColumnDef& def, FirstProblem& problem) const;
  std::string ValueReason(const HourlyColumnDef& def, const ColumnAt& at, std::string_view text,
                          ValueProblem p) const;

  const HourlyColumns& columns_;
  const TextEncoding& encoding_;
  bool degrees_;
  CsvLine fields_;
};

}  // namespace vmk
