#include "site/station_fit.h"

#include <cmath>

#include "common/json_document.h"
#include "met/hourly_text.h"

namespace vmk {
namespace {

[[noreturn]] void Fail(long long line, const std::string& what) {
  throw StationFitError("line " + std::to_string(line) + ": " + what);
}

Decimal Concentration(std::string_view text, std::string_view what, long long line) {
  const std::optional<Decimal> v = Decimal::Parse(text);
  if (!v || v->Sign() < 0) {
    Fail(line, "the " + std::string(what) + " " + QuoteForMessage(text) + " is not a concentration (a number, 0 or more)");
  }
  return *v;
}

}  // namespace

std::vector<StationYear> ParseStationYears(std::string_view text) {
  std::vector<StationYear> points;
  std::size_t columns = 0;  // of the header: 2 or 4
  CsvLine fields;
  ForEachTableLine(text, [&](long long lineNumber, std::string_view line) {
    if (IsBlankLine(line)) return;
    fields.Split(line);
    if (columns == 0) {
      columns = fields.Size();
      if (columns != 2 && columns != 4) {
        Fail(lineNumber, "the first row names the columns: annual mean, daily value (2 columns) or "
                         "station, year, annual mean, daily value (4), not " + std::to_string(columns) + " columns");
      }
      return;
    }
    if (fields.Size() != columns) {
      Fail(lineNumber, "a row holds " + std::to_string(columns) + " fields as the header does, not " +
                           std::to_string(fields.Size()));
    }
    if (points.size() >= kMaxStationYears) Fail(lineNumber, "more than " + std::to_string(kMaxStationYears) + " station-years");
    const int x = static_cast<int>(columns) - 2;
    StationYear p;
    if (columns == 4) {
      p.Station = fields.Field(0);
      p.Year = fields.Field(1);
    }
    p.Annual = Concentration(fields.Field(x), "annual mean", lineNumber);
    p.Daily = Concentration(fields.Field(x + 1), "daily value", lineNumber);
    points.push_back(std::move(p));
  });
  if (columns == 0) throw StationFitError("no table: the file holds no row of column names");
  return points;
}

StationFit FitStationYears(std::vector<StationYear> points) {
  if (points.size() < 3) {
    throw StationFitError(std::to_string(points.size()) + " station-years: a fit needs at least 3");
  }
  // Sums of the decimal numbers, exact.
  const Decimal n = Decimal::OfInteger(static_cast<long long>(points.size()));
  Decimal sx, sy, sxx, sxy, syy;
  for (const StationYear& p : points) {
    sx = sx + p.Annual;
    sy = sy + p.Daily;
    sxx = sxx + p.Annual * p.Annual;
    sxy = sxy + p.Annual * p.Daily;
    syy = syy + p.Daily * p.Daily;
  }
  const Decimal dxx = n * sxx - sx * sx;
  const Decimal dxy = n * sxy - sx * sy;
  const Decimal dyy = n * syy - sy * sy;
  if (dxx.IsZero()) {
    throw StationFitError("every annual mean is " + points.front().Annual.Text() + ": no slope can be fitted");
  }
  if (dyy.IsZero()) {
    throw StationFitError("every daily value is " + points.front().Daily.Text() + ": no correlation (r) to report");
  }
  StationFit fit;
  fit.A = Decimal::QuotientSignificant(dxy, dxx, kFitDigits, DecimalRounding::HalfUp).Trimmed();
  fit.B = Decimal::QuotientSignificant(sy * sxx - sx * sxy, dxx, kFitDigits, DecimalRounding::HalfUp).Trimmed();
  fit.R = dxy.ToLongDouble() / std::sqrt(dxx.ToLongDouble() * dyy.ToLongDouble());
  fit.Points = std::move(points);
  return fit;
}

}  // namespace vmk
