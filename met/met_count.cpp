#include "met/met_count.h"

namespace vmk {

std::optional<MissingCause> CountHour(const HourObservation& h, const MetCountSettings& settings,
                                      MetTally& tally) {
  const auto missing = [&](MissingCause cause) -> std::optional<MissingCause> {
    ++tally.Missing[static_cast<std::size_t>(cause)];
    return cause;
  };
  if (!h.SpeedTenths) return missing(MissingCause::NoSpeed);
  const SpeedClass speedClass = SpeedClassOf(*h.SpeedTenths);
  if (speedClass != SpeedClass::Calm) {
    if (!h.Direction) return missing(MissingCause::NoDirection);
    if (*h.Direction == kCalmDirection) return missing(MissingCause::CalmDirection);
  }

  std::optional<bool> day;
  if (settings.Site) {
    day = IsDaylightHour(h.Hour, *settings.Site);
  } else if (h.Solar) {
    day = h.Solar->Positive();
  }

  int cls = 0;
  if (settings.StabilityGiven) {
    if (!h.Stability) return missing(MissingCause::NoStability);
    cls = *h.Stability;
    if (cls == kStabilityD) {
      if (!day) return missing(MissingCause::NoDayOrNight);
      cls = *day ? kStabilityDd : kStabilityDn;
    }
  } else {
    if (!day) return missing(MissingCause::NoSolar);
    if (*day) {
      if (!h.Solar) return missing(MissingCause::NoSolar);
      cls = ClassifyStability(*settings.Table, *h.SpeedTenths, true, *h.Solar);
    } else {
      NightMethod method = NightMethod::Net;
      if (h.Net) {
        cls = ClassifyStability(*settings.Table, *h.SpeedTenths, false, *h.Net);
      } else if (settings.CloudUsed && h.Cloud) {
        method = NightMethod::Cloud;
        cls = ClassifyNightByCloud(*settings.Table, *h.SpeedTenths, *h.Cloud);
      } else if (settings.NightByWind) {
        method = NightMethod::Wind;
        cls = NightClassByWind(*h.SpeedTenths);
      } else {
        return missing(settings.CloudUsed ? MissingCause::NoCloud : MissingCause::NoNet);
      }
      ++tally.NightMethods[static_cast<std::size_t>(method)];
    }
  }

  const std::size_t s = static_cast<std::size_t>(cls);
  ++tally.Valid;
  switch (speedClass) {
    case SpeedClass::Calm:
      ++tally.CalmAll[s];
      break;
    case SpeedClass::Weak:
      ++tally.WeakAll[s];
      ++tally.Directions[static_cast<std::size_t>(*h.Direction)].Weak[s];
      break;
    default:
      ++tally.Directions[static_cast<std::size_t>(*h.Direction)]
            .Windy[static_cast<std::size_t>(WindyClassNumber(speedClass) - 1)][s];
      break;
  }
  // Day or night of the chart: the hour's own when known, else the side its class belongs to
  // (A to Dd by day, Dn to G by night), as the model takes it.
  const bool chartDay = day ? *day : cls <= kStabilityDd;
  ++(chartDay ? tally.DayHours : tally.NightHours)[s];
  return std::nullopt;
}

}  // namespace vmk
