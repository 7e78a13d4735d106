// The receptor distance both dispersion models compute with.
#pragma once

namespace vmk {

inline constexpr float MinCalcDistance = 0.1f;  // m

// Rc: the receptor distance R, but at least 0.1 m (R is compared with the decimal 0.1).
inline float CalcDistance(float r) {
  return static_cast<long double>(r) < 0.1L ? MinCalcDistance : r;
}

}  // namespace vmk
