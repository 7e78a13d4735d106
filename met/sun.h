// Day and night from the sun's position at a site: the solar-position formulas of the
// astronomical almanac in the short form NOAA publishes for its solar calculator (J. Meeus,
// Astronomical Algorithms), good to about a minute of sunrise time for years 1800 to 2200.
#pragma once

#include "met/hour_time.h"

namespace vmk {

struct SunSite {
  double Latitude = 0;   // degrees, north positive
  double Longitude = 0;  // degrees, east positive
  double UtcOffsetHours = 9;  // the file's clock minus UTC
};

// The sun's elevation above the horizon in degrees at a time given in hours since
// 1970-01-01 00:00 UTC (fractions allowed), without refraction.
double SunElevationDegrees(double utcHours, double latitude, double longitude);

// The elevation of the sun's centre at sunrise and sunset, degrees: its upper limb on the
// horizon, with the usual 34' of refraction and 16' of radius, as sunrise times are published.
inline constexpr double kSunriseElevationDegrees = -0.833;

// Whether the sun is up (has risen, by the sunrise definition above) at the middle of the hour
// that ends at `hour` of the site's clock.
bool IsDaylightHour(HourNumber hour, const SunSite& site);

}  // namespace vmk
