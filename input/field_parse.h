// The two parsers every number of the window goes through, and the right-aligned integer text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/cp932.h"

namespace vmk {

// Converts `text` (cut to 20 bytes) by the real syntax, stores the single-precision value in
// `target` before any test, and accepts it when the conversion succeeded and
// low <= value <= high. On failure writes "Error: " + label (cut to 30 bytes) to `status`.
bool ParseRealField(std::string_view text, float& target, std::string_view label, float low,
                    float high, Cp932& status);

// The same for 16-bit integers (decimal with optional sign, or "$" and hexadecimal digits).
bool ParseIntField(std::string_view text, std::int16_t& target, std::string_view label,
                   std::int16_t low, std::int16_t high, Cp932& status);

// The value in decimal, right-aligned by blanks in min(width, 30); a longer text is not cut.
std::string FormatIntRight(std::int32_t value, int width);

}  // namespace vmk
