// The command line's distance profile: the FROM:TO:N argument of --profile. The CSV text of a
// computed profile is casefile/profile_csv.h, which the window's export writes too.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "model/profile.h"

namespace vmk::cli {

// The most distances one profile computes: each is a full model run.
inline constexpr int kMaxProfilePoints = 100000;

struct ProfileRequest {
  float From = 0;  // m, the first distance
  float To = 0;    // m, the last distance (From < To)
  int N = 0;       // distances from From to To, both included
};

// Reads "FROM:TO:N": two finite numbers (m) within the receptor distances the window accepts,
// FROM below TO, and an integer N from 2 to kMaxProfilePoints. The distances are compared as
// the single-precision values the calculation would use. Returns the request, or one line
// saying what is wrong (without the program name).
std::variant<ProfileRequest, std::string> ParseProfileRequest(std::string_view text);

}  // namespace vmk::cli
