#include "casefile/profile_csv.h"

#include "common/numtext.h"

namespace vmk {
namespace {

std::string ProfileCsvHeader() { return "R (m),C,C puff,C plume\n"; }

std::string ProfileCsvRow(const ProfilePoint& point) {
  return ShortestFloatText(point.R) + ',' + ShortestFloatText(point.C) + ',' +
         ShortestFloatText(point.CPuff) + ',' + ShortestFloatText(point.CPlume) + '\n';
}

std::string ProfileCsvMaxLine(const ProfilePoint& max) {
  return "max," + ShortestFloatText(max.C) + ",at R (m)," + ShortestFloatText(max.R) + '\n';
}

}  // namespace

std::string ProfileCsvText(const Profile& profile) {
  std::string csv = ProfileCsvHeader();
  for (const ProfilePoint& point : profile.Points) csv += ProfileCsvRow(point);
  csv += ProfileCsvMaxLine(profile.Max);
  return csv;
}

}  // namespace vmk
