#include "cli/calc/profile_output.h"

#include <string>

#include "common/number_read.h"
#include "common/numtext.h"
#include "input/model_parameters.h"

namespace vmk::cli {
namespace {

// Why a distance cannot be used: the whole part must be a decimal number that is finite as a
// float.
std::string DistanceProblem(const char* name, NumberReading reading) {
  return std::string(name) +
         (reading == NumberReading::NotFinite ? " is not a finite number" : " is not a number");
}

}  // namespace

std::variant<ProfileRequest, std::string> ParseProfileRequest(std::string_view text) {
  using Part = RangeStepsProblem::Part;
  const std::string head = "--profile \"" + std::string(text.substr(0, 60)) +
                           (text.size() > 60 ? "\"...: " : "\": ");
  const std::string nRange = "N must be an integer from 2 to " + std::to_string(kMaxProfilePoints);
  RangeSteps<float> steps;
  if (const auto problem = ReadRangeSteps(text, steps)) {
    switch (problem->Where) {
      case Part::Form:
        return head + "expected FROM:TO:N (two distances in m and a number of points, "
                      "separated by colons)";
      case Part::From: return head + DistanceProblem("FROM", problem->Reading);
      case Part::To: return head + DistanceProblem("TO", problem->Reading);
      case Part::N: return head + nRange;
    }
  }
  if (steps.N < 2 || steps.N > kMaxProfilePoints) return head + nRange;
  ProfileRequest req{steps.From, steps.To, static_cast<int>(steps.N)};
  if (!(req.From < req.To)) return head + "FROM must be less than TO";
  if (req.From < RLowerLimit || req.To > RUpperLimit) {
    return head + "the distances must lie from " + ShortestFloatText(RLowerLimit) + " to " +
           ShortestFloatText(RUpperLimit) + " m (the receptor distances the window accepts)";
  }
  return req;
}

}  // namespace vmk::cli
