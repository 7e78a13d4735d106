#include "model/no2.h"

#include <cmath>
#include <stdexcept>

namespace vmk {

float No2Ratio(const ModelParameters& p, int dayNight, float distance, float addedDistance) {
  if (dayNight < 1 || dayNight > 2) throw std::out_of_range("day/night index out of range");
  const float beta = p.Beta(dayNight);
  const float x = static_cast<float>(
      ((static_cast<long double>(distance) + addedDistance) * p.K) * p.O3(dayNight));
  return static_cast<float>(1.0L - (static_cast<long double>(p.Alpha) / (1.0L + beta)) *
                                       (expl(-static_cast<long double>(x)) + beta));
}

}  // namespace vmk
