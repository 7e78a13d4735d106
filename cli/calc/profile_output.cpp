#include "cli/calc/profile_output.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>
#include <vector>

#include "common/numtext.h"
#include "input/model_parameters.h"

namespace vmk::cli {
namespace {

std::vector<std::string_view> SplitColons(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    const auto colon = text.find(':');
    parts.push_back(text.substr(0, colon));
    if (colon == std::string_view::npos) return parts;
    text.remove_prefix(colon + 1);
  }
}

// A distance: the whole part must be a decimal number that is finite as a float.
std::optional<std::string> ReadDistance(std::string_view part, const char* name, float& value) {
  const char* end = part.data() + part.size();
  const auto res = std::from_chars(part.data(), end, value);
  if (part.empty() || res.ptr != end || (res.ec != std::errc() &&
                                         res.ec != std::errc::result_out_of_range)) {
    return std::string(name) + " is not a number";
  }
  if (res.ec == std::errc::result_out_of_range || !std::isfinite(value)) {
    return std::string(name) + " is not a finite number";
  }
  return std::nullopt;
}

}  // namespace

std::variant<ProfileRequest, std::string> ParseProfileRequest(std::string_view text) {
  const std::string head = "--profile \"" + std::string(text.substr(0, 60)) +
                           (text.size() > 60 ? "\"...: " : "\": ");
  const std::vector<std::string_view> parts = SplitColons(text);
  if (parts.size() != 3) {
    return head + "expected FROM:TO:N (two distances in m and a number of points, separated "
                  "by colons)";
  }
  ProfileRequest req;
  if (auto problem = ReadDistance(parts[0], "FROM", req.From)) return head + *problem;
  if (auto problem = ReadDistance(parts[1], "TO", req.To)) return head + *problem;

  const std::string_view n = parts[2];
  const auto res = std::from_chars(n.data(), n.data() + n.size(), req.N);
  const std::string nRange = "N must be an integer from 2 to " + std::to_string(kMaxProfilePoints);
  if (n.empty() || res.ptr != n.data() + n.size() || res.ec != std::errc() || req.N < 2 ||
      req.N > kMaxProfilePoints) {
    return head + nRange;
  }

  if (!(req.From < req.To)) return head + "FROM must be less than TO";
  if (req.From < RLowerLimit || req.To > RUpperLimit) {
    return head + "the distances must lie from " + ShortestFloatText(RLowerLimit) + " to " +
           ShortestFloatText(RUpperLimit) + " m (the receptor distances the window accepts)";
  }
  return req;
}

}  // namespace vmk::cli
