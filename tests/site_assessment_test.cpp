// The assessment of a site's pollutants: exact decimals, units and their refusals, the fit over
// station-years against an independent computation, the standards table, each column of a row
// from C (with the published 寄与率 roundings), each pollutant's run against the window, and bad
// pollutant blocks refused in one line.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "scratch_files.h"
#include "site/assessment.h"
#include "site/site_summary.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;

Decimal D(std::string_view text) {
  const std::optional<Decimal> d = Decimal::Parse(text);
  EXPECT_TRUE(d.has_value()) << text;
  return d.value_or(Decimal());
}

// What f throws as an E, or "accepted".
template <class E, class Fn>
std::string ErrorOf(Fn f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "accepted";
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A site of two stacks and one point "p", for one pollutant.
Json OnePointSite() {
  Json site = TwoStackSite(VariedMet());
  site["receptors"] = {{"points", Json::array({{{"name", "p"}, {"x", 100}, {"y", 50}}})}};
  return site;
}

TEST(AssessmentDecimal, ReadsWritesAndComputesExactly) {
  const std::vector<std::pair<const char*, const char*>> texts = {
      {"0.50", "0.50"}, {"-.5", "-0.5"}, {"1.5e-3", "0.0015"}, {"+3.", "3"}, {"0012", "12"},
      {"1e2", "100"},   {"0.018", "0.018"}, {"2.5E+1", "25"},  {"-0", "0"},   {"1e-30", "0.000000000000000000000000000001"}};
  for (const auto& [in, out] : texts) EXPECT_EQ(D(in).Text(), out) << in;
  for (const char* bad : {"", "1e", "e5", "1..2", "--1", " 1", "1 ", "0x10", "1e401", "nan", "inf", ".", "1,5"}) {
    EXPECT_FALSE(Decimal::Parse(bad).has_value()) << bad;
  }
  EXPECT_FALSE(Decimal::Parse(std::string(101, '1')).has_value());
  EXPECT_EQ(D("0.50").Decimals(), 2);

  EXPECT_EQ((D("0.012") + D("0.0006500753")).Text(), "0.0126500753");
  EXPECT_EQ((D("0.002") - D("0.0000011")).Text(), "0.0019989");
  EXPECT_EQ((D("1.8") * D("0.0020896276")).Text(), "0.00376132968");
  EXPECT_EQ(D("0.6500753").Shifted(-3).Text(), "0.0006500753");  // ppb to ppm on the digits
  EXPECT_EQ(D("150").Shifted(-3).Trimmed().Text(), "0.15");
  EXPECT_TRUE(D("0.060") == D("0.06"));
  EXPECT_TRUE(D("0.0600000000000000000001") > D("0.06"));
  EXPECT_EQ(Decimal::OfFloat(0.6500753f).Text(), "0.6500753");

  const struct {
    const char* In;
    int Decimals;
    const char *HalfUp, *TowardZero;
  } roundings[] = {
      {"0.0305", 3, "0.031", "0.030"}, {"-0.125", 2, "-0.13", "-0.12"}, {"0.0304999", 3, "0.030", "0.030"},
      {"0.5", 2, "0.50", "0.50"},      {"0.0499", 1, "0.0", "0.0"},     {"12345", -2, "12300", "12300"},
      {"0.9996", 3, "1.000", "0.999"},
  };
  for (const auto& r : roundings) {
    EXPECT_EQ(D(r.In).Rounded(r.Decimals, DecimalRounding::HalfUp).Text(), r.HalfUp) << r.In;
    EXPECT_EQ(D(r.In).Rounded(r.Decimals, DecimalRounding::TowardZero).Text(), r.TowardZero) << r.In;
  }
  EXPECT_EQ(Decimal::QuotientSignificant(D("1"), D("3"), 15, DecimalRounding::TowardZero).Text(), "0.333333333333333");
  EXPECT_EQ(Decimal::QuotientSignificant(D("2"), D("3"), 15, DecimalRounding::TowardZero).Text(), "0.666666666666666");
  EXPECT_EQ(Decimal::QuotientSignificant(D("2"), D("3"), 10, DecimalRounding::HalfUp).Text(), "0.6666666667");
  EXPECT_EQ(Decimal::QuotientSignificant(D("-13.5"), D("6"), 4, DecimalRounding::HalfUp).Text(), "-2.250");
  EXPECT_EQ(Decimal::QuotientSignificant(D("9.99995"), D("1"), 5, DecimalRounding::HalfUp).Text(), "10.000");
  EXPECT_EQ(Decimal::Quotient(D("0.00011"), D("0.0020011"), 2, DecimalRounding::HalfUp).Text(), "0.05");
}

TEST(AssessmentUnits, EveryUnitConvertsByItsPowerOfTenAndOtherKindsAreRefused) {
  const struct {
    const char *From, *To;
    std::optional<int> Shift;
  } concentrations[] = {
      {"ppb", "ppm", -3},        {"ppm", "ppb", 3},         {"ng/m3", "mg/m3", -6},     {"ng/m3", "µg/m3", -3},
      {"ug/m3", "μg/m3", 0},     {"pg/m3", "ng/m3", -3},    {"fg/m3", "pg/m3", -3},     {"ag/m3", "ng/m3", -9},
      {"g/m3", "mg/m3", 3},      {"mg/m³", "mg/m3", 0},     {"ag-TEQ/m3", "pg-TEQ/m3", -6},
      {"ng-TEQ/m3", "pg-TEQ/m3", 3}, {"ng/m3", "ppm", std::nullopt}, {"ppb", "mg/m3", std::nullopt},
      {"pg-TEQ/m3", "pg/m3", std::nullopt},
  };
  for (const auto& c : concentrations) {
    const auto from = ParseConcentrationUnit(c.From);
    const auto to = ParseConcentrationUnit(c.To);
    ASSERT_TRUE(from && to) << c.From << " " << c.To;
    EXPECT_EQ(UnitShift(*from, *to), c.Shift) << c.From << " to " << c.To;
  }
  // The model's number for an emission: ppb from m3N/s, ng/m3 from g/s, and 1000 times smaller
  // units for each smaller mass unit.
  const std::vector<std::pair<const char*, const char*>> emissions = {
      {"m3N/s", "ppb"}, {"Nm3/s", "ppb"},  {"g/s", "ng/m3"},      {"mg/s", "pg/m3"},         {"µg/s", "fg/m3"},
      {"ug/s", "fg/m3"}, {"ng/s", "ag/m3"}, {"g-TEQ/s", "ng-TEQ/m3"}, {"ng-TEQ/s", "ag-TEQ/m3"}};
  for (const auto& [emission, c] : emissions) {
    const auto e = ParseEmissionUnit(emission);
    ASSERT_TRUE(e) << emission;
    EXPECT_EQ(UnitText(ModelUnit(*e)), c) << emission;
  }
  for (const char* bad : {"PPM", "ppm ", "kg/m3", "mg/m2", "mg-teq/m3", "", "m3N/s", "ppt", "zg/m3"}) {
    EXPECT_FALSE(ParseConcentrationUnit(bad)) << bad;
  }
  for (const char* bad : {"pg/s", "kg/h", "m3/s", "g/h", "ppm", "g/s ", "mg-TEQ/h"}) EXPECT_FALSE(ParseEmissionUnit(bad)) << bad;
  EXPECT_EQ(UnitText(*ParseConcentrationUnit("ug/m3")), "µg/m3");
}

// The fit against the same least squares computed here by centred sums in long double.
TEST(AssessmentFit, LeastSquaresMatchesAnIndependentComputation) {
  const StationFit hand = FitStationYears(ParseStationYears("x,y\n1,3\n2,5\n3,7.5\n"));
  // a = 13.5 / 6, b = (15.5 * 14 - 6 * 35.5) / 6 = 4 / 6
  EXPECT_EQ(std::tuple(hand.A.Text(), hand.B.Text()), std::tuple("2.25", "0.6666666667"));
  EXPECT_NEAR(static_cast<double>(hand.R), 13.5 / std::sqrt(6.0 * 30.5), 1e-15);

  std::mt19937 gen(11);
  std::uniform_int_distribution<int> annual(5, 30);
  std::normal_distribution<double> noise(0, 1.5);
  for (int trial = 0; trial < 20; ++trial) {
    std::string csv = "station,year,annual,daily\n";
    std::vector<std::pair<long double, long double>> xy;
    const int n = 3 + trial;
    for (int i = 0; i < n; ++i) {
      const int x = annual(gen);  // thousandths of ppm
      const int y = static_cast<int>(std::lround(1.7 * x + 9 + noise(gen)));
      char line[64];
      std::snprintf(line, sizeof line, "局%d,%d,0.%03d,0.%03d\n", i % 4, 2019 + i % 5, x, y);
      csv += line;
      xy.push_back({x / 1000.0L, y / 1000.0L});
    }
    long double mx = 0, my = 0, sxx = 0, sxy = 0, syy = 0;
    for (const auto& [x, y] : xy) mx += x / n, my += y / n;
    for (const auto& [x, y] : xy) sxx += (x - mx) * (x - mx), sxy += (x - mx) * (y - my), syy += (y - my) * (y - my);
    if (sxx == 0 || syy == 0) continue;
    const StationFit fit = FitStationYears(ParseStationYears(csv));
    const long double a = sxy / sxx;
    const long double b = my - a * mx;
    EXPECT_EQ(fit.Points.size(), static_cast<std::size_t>(n));
    EXPECT_NEAR(static_cast<double>(fit.A.ToLongDouble()), static_cast<double>(a), 1e-9 * std::fabs(static_cast<double>(a)) + 1e-15) << csv;
    EXPECT_NEAR(static_cast<double>(fit.B.ToLongDouble()), static_cast<double>(b), 1e-9 * std::fabs(static_cast<double>(a)) * 0.03 + 1e-12) << csv;
    EXPECT_NEAR(static_cast<double>(fit.R), static_cast<double>(sxy / std::sqrt(sxx * syy)), 1e-12);
  }

  const std::vector<std::pair<std::string, std::string>> refused = {
      {"x,y\n0.01,0.03\n0.02,0.05\n", "2 station-years: a fit needs at least 3"},
      {"x,y\n0.01,0.03\n0.01,0.05\n0.01,0.04\n", "every annual mean is 0.01: no slope can be fitted"},
      {"x,y\n0.01,0.03\n0.02,0.03\n0.03,0.03\n", "every daily value is 0.03: no correlation"},
      {"a,b,c\n1,2,3\n", "line 1: the first row names the columns"},
      {"x,y\n0.01,0.03\n0.02\n", "line 3: a row holds 2 fields as the header does, not 1"},
      {"x,y\n0.01,abc\n", "line 2: the daily value \"abc\" is not a concentration"},
      {"s,y,x,d\nA,2020,-0.01,0.03\n", "line 2: the annual mean \"-0.01\" is not a concentration"},
      {"# only a comment\n", "no table"},
  };
  for (const auto& [csv, message] : refused) {
    const std::string e = ErrorOf<StationFitError>([&] { FitStationYears(ParseStationYears(csv)); });
    EXPECT_TRUE(Has(e, message)) << csv << ": " << e;
  }
}

TEST(AssessmentStandards, TheBuiltInTableHoldsTheStandardsWithTheirSources) {
  const StandardsTable& t = DefaultStandardsTable();
  const struct {
    const char *Name, *Value, *Unit;
    Statistic Compared;
  } entries[] = {
      {"NO2", "0.06", "ppm", Statistic::Daily98},        {"SO2", "0.04", "ppm", Statistic::Daily2Excluded},
      {"SPM", "0.10", "mg/m3", Statistic::Daily2Excluded}, {"CO", "10", "ppm", Statistic::Daily2Excluded},
      {"PM2.5年平均", "15", "µg/m3", Statistic::AnnualMean}, {"PM2.5日平均", "35", "µg/m3", Statistic::Daily98},
      {"ベンゼン", "0.003", "mg/m3", Statistic::AnnualMean}, {"トリクロロエチレン", "0.13", "mg/m3", Statistic::AnnualMean},
      {"ダイオキシン類", "0.6", "pg-TEQ/m3", Statistic::AnnualMean}, {"ヒ素", "6", "ng/m3", Statistic::AnnualMean},
      {"1,3-ブタジエン", "2.5", "µg/m3", Statistic::AnnualMean},
  };
  for (const auto& e : entries) {
    const Standard* s = t.Find(e.Name);
    ASSERT_NE(s, nullptr) << e.Name;
    EXPECT_EQ(std::tuple(s->Value.Text(), UnitText(s->Unit), s->Compared), std::tuple(e.Value, e.Unit, e.Compared)) << e.Name;
  }
  for (const Standard& s : t.Entries) EXPECT_FALSE(s.Source.empty()) << s.Name;
  EXPECT_EQ(t.Find("NO2")->ShownDecimals(), 3);
  EXPECT_EQ(t.Find("CO")->ShownDecimals(), 0);                    // the value's own decimals
  EXPECT_EQ(t.Find("ダイオキシン類")->ShownDecimals(), std::nullopt);  // an annual mean: exact

  const std::string header = "name,substance,value,unit,statistic,decimals,source\n";
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"name,value\n", "line 1: the first row must name the columns"},
      {header + "A,a,0.1,ppm,年平均値,,src\nA,a,0.2,ppm,年平均値,,src\n", "line 3: a second standard named \"A\""},
      {header + "A,a,0,ppm,年平均値,,src\n", "line 2: \"0\" is not a positive number"},
      {header + "A,a,0.1,ppt,年平均値,,src\n", "line 2: \"ppt\" is not a unit"},
      {header + "A,a,0.1,ppm,月平均値,,src\n", "line 2: \"月平均値\" is not a statistic"},
      {header + "A,a,0.1,ppm,年平均値,13,src\n", "line 2: decimals \"13\" is not a whole number from 0 to 12"},
      {header + "A,a,0.1,ppm,年平均値,,\n", "line 2: the source of \"A\" is empty"},
      {header + "A,a,0.1,ppm\n", "line 2: a row holds 7 fields, not 4"},
      {header, "no table: the file holds no standard"},
  };
  for (const auto& [text, message] : refused) {
    const std::string e = ErrorOf<StandardsTableError>([&] { ParseStandardsTable(text); });
    EXPECT_TRUE(Has(e, message)) << text << ": " << e;
  }
}

// A resolved pollutant from its parts, through the readers a site file uses.
AssessmentTerms Terms(const char* emission, const Json& standard, const Json& background, const Json& conversion = "none") {
  Json site = OnePointSite();
  site["pollutants"] = Json::array({{{"name", "X"},
                                     {"unit", emission},
                                     {"stacks", {{"煙突A", "1"}, {"No.2", "0"}}},
                                     {"background", background},
                                     {"conversion", conversion},
                                     {"standard", standard}}});
  return ResolveAssessment(ParseSiteFile(site.dump(), ".").Pollutants.at(0), DefaultStandardsTable());
}

// Each column of a row from C, with published pairs (a table of an assessment: 0.0000011 ppm on
// 0.002 ppm is 寄与率 0.05 %, 0.0000104 ppm 0.52 %; the road method: 0.000005 ppm on 0.001 ppm
// is 0.50 % and a 98 % value of 0.010), a tie of 寄与率, and a value shown as the standard
// that does not meet it. Expected values from decimal arithmetic done by hand.
TEST(AssessmentRows, EachColumnFollowsFromC) {
  const Json ppm002 = {{"value", 0.002}, {"unit", "ppm"}};
  const Json daily = {{"value", "0.060"}, {"unit", "ppm"}, {"statistic", "日平均値の年間98%値"}, {"source", "test"}};
  const struct {
    AssessmentTerms Terms;
    float C;
    const char *Contribution, *Future, *Share, *ShareShown, *Value, *ValueShown;
    bool Meets;
  } cases[] = {
      {Terms("m3N/s", "SO2", ppm002, {{"linear", {{"a", 1.8}, {"b", 0.001}}}}), 0.0011f, "0.0000011", "0.0020011",
       "0.0549697666283544", "0.05", "0.00460198", "0.005", true},
      {Terms("m3N/s", "SO2", ppm002, {{"linear", {{"a", 1.8}, {"b", 0.001}}}}), 0.0104f, "0.0000104", "0.0020104",
       "0.517309988062077", "0.52", "0.00461872", "0.005", true},
      // The road method's a = 1.34 + 0.11 exp(-R/BG), b = 0.0070 + 0.0012 exp(-R/BG) to 8 decimals.
      {Terms("m3N/s", "NO2", {{"value", 1}, {"unit", "ppb"}}, {{"linear", {{"a", 1.44945137}, {"b", 0.00819401}}}}),
       0.005f, "0.000005", "0.001005", "0.497512437810945", "0.50", "0.00965070862685", "0.010", true},
      // The brief's own: 0.6500753 ppb is 0.0006500753 ppm.
      {Terms("m3N/s", "NO2", {{"value", 0.012}, {"unit", "ppm"}}, {{"linear", {{"a", 1.5}, {"b", 0.002}}}}), 0.6500753f,
       "0.0006500753", "0.0126500753", "5.13890458818059", "5.14", "0.02097511295", "0.021", true},
      // 寄与率 exactly on a tie rounds up; the value shown as the standard does not meet it.
      {Terms("m3N/s", daily, {{"value", 0.0098875}, {"unit", "ppm"}}, {{"linear", {{"a", 1}, {"b", "0.0504999"}}}}),
       0.1125f, "0.0001125", "0.01", "1.125", "1.13", "0.0604999", "0.060", false},
      {Terms("m3N/s", daily, {{"value", 0.0098875}, {"unit", "ppm"}}, {{"linear", {{"a", 1}, {"b", "0.05"}}}}),
       0.1125f, "0.0001125", "0.01", "1.125", "1.13", "0.06", "0.060", true},
      // An annual mean is shown exact; g/s gives ng/m3, the standard in mg/m3, the background in µg/m3.
      {Terms("g/s", "ベンゼン", {{"value", 1.5}, {"unit", "µg/m3"}}), 250.5f, "0.0002505", "0.0017505",
       "14.3101970865467", "14.31", "0.0017505", "0.0017505", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Contribution);
    const AssessmentRow r = AssessRow(c.Terms, c.C);
    ASSERT_TRUE(r.HasValue && r.Share.has_value());
    EXPECT_EQ(std::tuple(r.Contribution.Text(), r.Future.Text(), r.Share->Text(), r.ShareShown, r.Value.Text(),
                         r.ValueShown, r.Meets),
              std::tuple(c.Contribution, c.Future, c.Share, c.ShareShown, c.Value, c.ValueShown, c.Meets));
  }
  // No value, and a future of 0 (no share).
  EXPECT_FALSE(AssessRow(cases[0].Terms, std::nanf("")).HasValue);
  const AssessmentRow zero = AssessRow(Terms("g/s", "ベンゼン", {{"value", 0}, {"unit", "mg/m3"}}), 0.0f);
  EXPECT_EQ(std::tuple(zero.HasValue, zero.Share.has_value(), zero.ShareShown, zero.Future.Text()),
            std::tuple(true, false, "", "0"));
}

// Each pollutant's run is the window's calculation with the pollutant's QpEdit and
// NOxTrnCheckBox over the stack's own controls; a stack that does not emit it is left out.
TEST(AssessmentRuns, EachStackIsTheWindowsNumberWithThePollutantsControls) {
  std::mt19937 gen(5);
  std::uniform_real_distribution<double> coord(-3000, 3000);
  Json site = TwoStackSite(VariedMet(4));
  Json points = Json::array();
  for (int i = 0; i < 12; ++i) points.push_back({{"name", "P" + std::to_string(i)}, {"x", coord(gen)}, {"y", coord(gen)}});
  site["receptors"] = {{"points", points}};
  site["pollutants"] = Json::array(
      {{{"name", "NO2"}, {"unit", "m3N/s"},
        {"stacks", {{"煙突A", {{"QpEdit", "0.021"}, {"NOxTrnCheckBox", true}}}, {"No.2", {{"QpEdit", "0.0035"}}}}},
        {"background", {{"value", 0.01}, {"unit", "ppm"}}}, {"conversion", {{"linear", {{"a", 1.5}, {"b", 0.01}}}}},
        {"standard", "NO2"}},
       {{"name", "Hg"}, {"unit", "mg/s"}, {"stacks", {{"煙突A", "0"}, {"No.2", "0.07"}}},
        {"background", {{"value", 2}, {"unit", "ng/m3"}}}, {"standard", "水銀"}}});
  const SiteDefinition definition = ParseSiteFile(site.dump(), ".");
  const std::vector<PollutantRun> planned = PlanPollutants(definition, ResolveAssessments(definition, DefaultStandardsTable()));
  ASSERT_EQ(planned.size(), 2u);
  ASSERT_EQ(planned[1].Plan.Stacks.size(), 1u);  // 煙突A does not emit Hg; C in pg/m3, -6 to µg/m3
  EXPECT_EQ(std::tuple(planned[1].Plan.Stacks[0].Name, UnitText(planned[1].Terms.CUnit), planned[1].Terms.CShift),
            std::tuple("No.2", "pg/m3", -6));
  // The controls each stack has in the window for each pollutant.
  const std::vector<std::vector<std::pair<int, Json>>> windowControls = {
      {{0, {{"QpEdit", "0.021"}, {"NOxTrnCheckBox", true}}}, {1, {{"QpEdit", "0.0035"}, {"NOxTrnCheckBox", false}}}},
      {{1, {{"QpEdit", "0.07"}, {"NOxTrnCheckBox", false}}}}};
  for (std::size_t k = 0; k < planned.size(); ++k) {
    const SiteResult result = RunOf(planned[k].Plan);
    for (std::size_t s = 0; s < windowControls[k].size(); ++s) {
      const auto& [stack, controls] = windowControls[k][s];
      Json own = site;
      for (const auto& [key, value] : controls.items()) own["sources"][stack]["controls"][key] = value;
      const double sx = own["sources"][stack]["x"].get<double>(), sy = own["sources"][stack]["y"].get<double>();
      for (std::size_t i = 0; i < points.size(); ++i) {
        const StackView v = ViewFrom(sx, sy, points[i]["x"].get<double>(), points[i]["y"].get<double>());
        const int j = WeightsAt(SectorMode::Sector, v.Sectors).J0;
        const float window = WindowConc(own, stack, WindFromOf(j), v.R, 1.5f);
        ASSERT_GT(window, 0.0f);
        EXPECT_EQ(Bits(result.StackC[s][planned[k].Plan.Receptors.PointBegin() + i]), Bits(window))
            << planned[k].Terms.Pollutant.Name << " stack " << stack << " point " << i;
      }
    }
  }
}

std::string Problem(const Json& site, const std::string& baseDir = ".") {
  try {
    const SiteDefinition d = ParseSiteFile(site.dump(), baseDir);
    PlanPollutants(d, ResolveAssessments(d, DefaultStandardsTable()));
  } catch (const SiteError& e) {
    return e.what();
  }
  return "";
}

TEST(AssessmentRefusals, EveryBadPollutantBlockIsOneClearLine) {
  scratch::ScratchDir dir;
  dir.NewFile("two.csv", "x,y\n0.01,0.03\n0.02,0.05\n");
  dir.NewFile("fine.csv", "x,y\n0.01,0.03\n0.02,0.05\n0.03,0.06\n");
  Json base = OnePointSite();
  base["pollutants"] = Json::array({{{"name", "SO2"},
                                     {"unit", "m3N/s"},
                                     {"stacks", {{"煙突A", "0.004"}, {"No.2", "0.0006"}}},
                                     {"background", {{"value", 0.002}, {"unit", "ppm"}}},
                                     {"conversion", {{"fit", "fine.csv"}}},
                                     {"standard", "SO2"}}});
  ASSERT_EQ(Problem(base, dir.Path().string()), "");
  const std::vector<std::pair<std::function<void(Json&)>, std::string>> cases = {
      {[](Json& p) { p["colour"] = 1; }, "pollutants[1]: unknown key \"colour\""},
      {[](Json& p) { p.erase("unit"); }, "pollutant \"SO2\": the key \"unit\" is missing"},
      {[](Json& p) { p["unit"] = "kg/h"; }, "pollutant \"SO2\".unit: \"kg/h\" is not an emission unit"},
      {[](Json& p) { p["stacks"]["3号炉"] = "1"; }, "pollutant \"SO2\".stacks: no stack named \"3号炉\" in \"sources\""},
      {[](Json& p) { p["stacks"].erase("No.2"); }, "stack \"No.2\" is missing: give its QpEdit for this pollutant (\"0\" when it does not emit it)"},
      {[](Json& p) { p["stacks"] = {{"煙突A", "0"}, {"No.2", "0.0"}}; }, "no stack emits the pollutant"},
      {[](Json& p) { p["stacks"]["No.2"] = {{"QpEdit", "1"}, {"HoEdit", "3"}}; }, "\"HoEdit\" cannot be set for one pollutant"},
      {[](Json& p) { p["stacks"]["No.2"] = 0.5; }, "must be the stack's QpEdit text"},
      {[](Json& p) { p["stacks"]["No.2"] = "20000"; }, "pollutant \"SO2\": stack \"No.2\": Error: Qp"},
      {[](Json& p) { p["background"]["unit"] = "mg/m3"; }, "pollutant \"SO2\": the background's unit mg/m3 cannot be converted to the standard's unit ppm"},
      {[](Json& p) { p["background"]["value"] = -1; }, "background.value: must be 0 or more"},
      {[](Json& p) { p["background"].erase("unit"); }, "background: the key \"unit\" is missing"},
      {[](Json& p) { p["standard"] = "SO3"; }, "pollutant \"SO2\": no standard named \"SO3\" in the standards table"},
      {[](Json& p) { p["unit"] = "g/s"; }, "pollutant \"SO2\": the standard's unit ppm cannot be converted from C's unit ng/m3 (from an emission in g/s): ng/m3 is a mass per volume, ppm a volume ratio: converting them needs a temperature"},
      {[](Json& p) { p["standard"] = {{"value", 0.04}, {"unit", "ppm"}, {"statistic", "日平均値"}, {"source", "s"}}; }, "standard.statistic: \"日平均値\" is not"},
      {[](Json& p) { p["standard"] = {{"value", 0.04}, {"unit", "ppm"}, {"statistic", "年平均値"}}; }, "standard: the key \"source\" is missing"},
      {[](Json& p) { p.erase("conversion"); }, "give a \"conversion\" from the annual mean"},
      {[](Json& p) { p["standard"] = "ベンゼン"; p["unit"] = "g/s"; p["background"]["unit"] = "mg/m3"; }, "the conversion must be \"none\""},
      {[](Json& p) { p["conversion"] = {{"fit", "two.csv"}}; }, "conversion.fit \"two.csv\": 2 station-years: a fit needs at least 3"},
      {[](Json& p) { p["conversion"] = {{"fit", "none.csv"}}; }, "conversion.fit \"none.csv\": cannot open"},
      {[](Json& p) { p["conversion"] = {{"linear", {{"a", 1}}}}; }, "conversion.linear: the key \"b\" is missing"},
      {[](Json& p) { p["conversion"] = "fit"; }, "conversion: must be \"none\", {\"linear\""},
      {[](Json& p) { p["name"] = "SO2\n"; }, "must not hold control characters"},
  };
  for (const auto& [change, message] : cases) {
    Json site = base;
    change(site["pollutants"][0]);
    const std::string problem = Problem(site, dir.Path().string());
    EXPECT_TRUE(Has(problem, message)) << "expected: " << message << "\n     got: " << problem;
    EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
  }
  // Two pollutants whose files would be one: the same name, or names a file system cannot tell apart.
  for (const auto& [first, second] : {std::pair{"SO2", "SO2"}, std::pair{"a/b", "a_b"}, std::pair{"NOx", "NOX"}}) {
    Json site = base;
    site["pollutants"][0]["name"] = first;
    site["pollutants"].push_back(site["pollutants"][0]);
    site["pollutants"][1]["name"] = second;
    EXPECT_TRUE(Has(Problem(site, dir.Path().string()), "pollutants[2]: ")) << first << " " << second;
  }
  base["pollutants"] = Json::array();
  EXPECT_TRUE(Has(Problem(base), "pollutants: names no pollutant"));
}

TEST(AssessmentFiles, NamesOfPollutantsBecomeSafeFileNames) {
  const std::vector<std::pair<const char*, const char*>> names = {
      {"NO2", "NO2"}, {"ダイオキシン類", "ダイオキシン類"}, {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
      {"CON", "CON"}, {"x.", "x_"}, {"x ", "x_"}, {"1,3-ブタジエン", "1,3-ブタジエン"}};
  for (const auto& [name, file] : names) EXPECT_EQ(SafeFileName(name), file) << name;
}

}  // namespace
}  // namespace vmk
