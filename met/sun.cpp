#include "met/sun.h"

#include <cmath>

namespace vmk {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;

double Deg(double rad) { return rad / kRad; }

}  // namespace

double SunElevationDegrees(double utcHours, double latitude, double longitude) {
  // Julian centuries since J2000.0 (2000-01-01 12:00, Julian day 2451545).
  const double julianDay = 2440587.5 + utcHours / 24.0;
  const double t = (julianDay - 2451545.0) / 36525.0;

  const double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
  const double meanAnomaly = 357.52911 + t * (35999.05029 - 0.0001537 * t);
  const double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
  const double m = meanAnomaly * kRad;
  const double centre = std::sin(m) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                        std::sin(2 * m) * (0.019993 - 0.000101 * t) + std::sin(3 * m) * 0.000289;
  const double trueLongitude = meanLongitude + centre;
  const double omega = (125.04 - 1934.136 * t) * kRad;
  const double apparentLongitude = trueLongitude - 0.00569 - 0.00478 * std::sin(omega);
  const double meanObliquity =
      23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
  const double obliquity = meanObliquity + 0.00256 * std::cos(omega);
  const double declination =
      std::asin(std::sin(obliquity * kRad) * std::sin(apparentLongitude * kRad));

  // The equation of time, minutes.
  const double y = std::pow(std::tan(obliquity * kRad / 2), 2);
  const double l0 = meanLongitude * kRad;
  const double equationOfTime =
      4 * Deg(y * std::sin(2 * l0) - 2 * eccentricity * std::sin(m) +
              4 * eccentricity * y * std::sin(m) * std::cos(2 * l0) -
              0.5 * y * y * std::sin(4 * l0) - 1.25 * eccentricity * eccentricity * std::sin(2 * m));

  // True solar time at the site, minutes after its midnight, and the hour angle from noon.
  const double utcMinutesOfDay = std::fmod(utcHours, 24.0) * 60.0 + (utcHours < 0 ? 1440.0 : 0.0);
  const double solarMinutes = std::fmod(utcMinutesOfDay + equationOfTime + 4 * longitude, 1440.0);
  const double hourAngle = (solarMinutes / 4 - 180) * kRad;

  const double lat = latitude * kRad;
  double cosZenith = std::sin(lat) * std::sin(declination) +
                     std::cos(lat) * std::cos(declination) * std::cos(hourAngle);
  cosZenith = std::fmax(-1.0, std::fmin(1.0, cosZenith));
  return 90.0 - Deg(std::acos(cosZenith));
}

bool IsDaylightHour(HourNumber hour, const SunSite& site) {
  const double utcHours = static_cast<double>(hour) - 0.5 - site.UtcOffsetHours;
  return SunElevationDegrees(utcHours, site.Latitude, site.Longitude) > kSunriseElevationDegrees;
}

}  // namespace vmk
