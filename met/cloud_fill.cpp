#include "met/cloud_fill.h"

namespace vmk {

int HourOfDay(HourNumber hour) {
  // Hour 1 is the first of its day; the remainder is taken from below for hours before 1970.
  const HourNumber r = (hour - 1) % 24;
  return static_cast<int>(r < 0 ? r + 24 : r) + 1;
}

std::optional<HourNumber> CloudSourceHour(HourNumber hour,
                                          const std::function<bool(HourNumber)>& observed) {
  const int k = HourOfDay(hour);
  for (int d = 0; d <= kCloudFillReach; ++d) {
    if (k - d >= 1 && observed(hour - d)) return hour - d;
    if (d > 0 && k + d <= 24 && observed(hour + d)) return hour + d;
  }
  return std::nullopt;
}

}  // namespace vmk
