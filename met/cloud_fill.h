// The cloud amount of an hour without one of its own. The agency observes cloud every three
// hours (at 3, 6, 9, 12, 15, 18 and 21 h); each hour takes the nearest observation of the same
// calendar day, at most kCloudFillReach hours away, the earlier of two equally near: 1 and 2 h
// take 3 h, 4 h takes 3 h, 5 h takes 6 h, 22 to 24 h take 21 h. A day runs from the hour ending
// at 01:00 to the hour ending at 24:00, which belongs to it.
#pragma once

#include <functional>
#include <optional>

#include "met/hour_time.h"

namespace vmk {

inline constexpr int kCloudFillReach = 3;

// The hour of its day, 1 to 24, of an hour (24 for the hour ending at midnight).
int HourOfDay(HourNumber hour);

// The hour whose cloud amount `hour` takes: itself when `observed` says it has one, else the
// nearest of its day within reach that has one, the earlier on a tie; none when there is none.
std::optional<HourNumber> CloudSourceHour(HourNumber hour,
                                          const std::function<bool(HourNumber)>& observed);

// The rule in words, for the summary and the help.
inline constexpr const char* kCloudFillRule =
    "an hour without its own takes the nearest observation of the same day, at most 3 hours "
    "away, the earlier on a tie (hour 24 belongs to its day)";

}  // namespace vmk
