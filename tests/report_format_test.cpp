// Report texts: the fixed-width and general number fields, the rows, section headers, totals
// and closing block, compared byte for byte in code page 932.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "report/report.h"
#include "report_test_support.h"

namespace vmk {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::OpenEnabled;

// What the writers append to an empty report file, read back after closing.
std::string Written(const std::function<void(ReportFile&)>& write, const Cp932& memo = "") {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIO1.csv");
  ReportFile rf;
  rf.Memo = memo;
  OpenEnabled(rf, path);
  write(rf);
  CloseReportFile(rf);
  return ReadBytes(path);
}

struct FixedCase {
  long double x;
  int w;
  int d;
  const char* text;
};

TEST(FormatFixedWidth, RoundsHalfAwayOnTheExactValueAndPads) {
  const FixedCase cases[] = {
      {35.0f, 7, 3, " 35.000"},
      {8.6f, 5, 2, " 8.60"},
      {12.34f, 5, 2, "12.34"},
      {1.0f, 6, 4, "1.0000"},
      {0.0f, 5, 3, "0.000"},
      {-2.5f, 7, 3, " -2.500"},
      {-12.345678f, 5, 2, "-12.35"},         // wider than its field: written whole
      {123456.789f, 5, 2, "123456.79"},       // the float is 123456.7890625
      {0.125L, 5, 2, " 0.13"},                // exactly on a tie: away from zero
      {-0.125L, 5, 2, "-0.13"},
      {0.0625L, 5, 3, "0.063"},
      {2.5L, 2, 0, " 3"},
      {1.005f, 5, 2, " 1.00"},                // the float lies just below the tie
      {0.6874f, 6, 4, "0.6874"},
      {9.9996f, 6, 3, "10.000"},              // the carry adds a digit
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixedWidth(c.x, c.w, c.d), c.text) << static_cast<double>(c.x) << " in "
                                                       << c.w << "." << c.d;
  }
}

TEST(FormatIntWidth, RightAlignsAndNeverCuts) {
  EXPECT_EQ(FormatIntWidth(2, 2), " 2");
  EXPECT_EQ(FormatIntWidth(22, 2), "22");
  EXPECT_EQ(FormatIntWidth(120, 4), " 120");
  EXPECT_EQ(FormatIntWidth(8784, 4), "8784");
  EXPECT_EQ(FormatIntWidth(12345, 4), "12345");
  EXPECT_EQ(FormatIntWidth(-5, 3), " -5");
  EXPECT_EQ(FormatIntWidth(2, 0), "2");
}

// A puff row of these values (number, wind case, class, freq, wind, alpha, gamma, U, eta-^2,
// eta+^2, F(-), F(+), F, NO2r, C1, Cw).
PuffRow MakePuffRow(int number, int windCase, int s, float freq, WindAndRise wind, float alpha,
                    float gamma, float u, float eta2Minus, float eta2Plus, float fMinus,
                    float fPlus, float f, float no2r, float c1, float cw) {
  PuffRow r;
  r.Number = number; r.WindCase = windCase; r.S = s; r.freq = freq; r.Wind = wind;
  r.alpha = alpha; r.gamma = gamma; r.U = u; r.Eta2Minus = eta2Minus; r.Eta2Plus = eta2Plus;
  r.FMinus = fMinus; r.FPlus = fPlus; r.F = f; r.NO2r = no2r; r.C1 = c1; r.Cw = cw;
  return r;
}

// The worked puff row: row 2, calm, class A-B.
PuffRow WorkedPuffRow() {
  return MakePuffRow(2, 1, 2, 35.0f, {0.4f, 0.4f, 0.4f, 0.0f, 12.34f, 22.34f}, 0.859f, 0.862f,
                     0.0f, 10523.75f, 10798.2f, 9.5023e-5f, 9.2608e-5f, 1.87631e-4f, 1.0f,
                     0.0119134f, 4.7601e-5f);
}

// The worked plume row: row 5, windy class 2 (grid row 5), class C.
PlumeRow WorkedPlumeRow() {
  PlumeRow r;
  r.Number = 5; r.K = 2; r.S = 5; r.Hours = 120;
  r.Wind = {2.5f, 2.5f, 2.5f, 2.875f, 8.6f, 18.6f};
  r.SigmaZ = 10.25f; r.FMinus = 0.69431f; r.FPlus = 0.6001f; r.F = 1.29441f;
  r.NO2r = 0.6874f; r.C1 = 0.00123456f; r.Cw = 1.6912e-5f;
  return r;
}

const char* const kWorkedPuffRow =
    " 2, 無, A-B,  35.000, 0.400, 0.400, 0.400, 0.000, 12.34, 22.34, 0.859, 0.862, 10524, "
    "10798, 9.5023E-5, 9.2608E-5, 0.00018763, 1.0000, 0.011913, 4.7601E-5\r\n";
const char* const kWorkedPlumeRow =
    " 5, 2,  C,  120, 2.500, 2.500, 2.500, 2.875,  8.60, 18.60, 10.25, 0.69431, 0.6001, "
    "1.2944, 0.6874, 0.0012346, 1.6912E-5\r\n";

TEST(ReportRows, WorkedPuffRow) {
  EXPECT_EQ(Written([&](ReportFile& rf) { WritePuffRow(rf, WorkedPuffRow()); }),
            Sj(kWorkedPuffRow));
}

TEST(ReportRows, WorkedPlumeRow) {
  EXPECT_EQ(Written([&](ReportFile& rf) { WritePlumeRow(rf, WorkedPlumeRow()); }),
            Sj(kWorkedPlumeRow));
}

TEST(ReportSections, TotalsWithTheLabelCutToTenCharacters) {
  EXPECT_EQ(Written([](ReportFile& rf) { WriteSectionTotal(rf, "abcdefghijklm", 1.5f); }),
            "\r\nabcdefghij total(ppb) ,,,1.5\r\n\r\n");
}

// A whole report appended after what the file already holds.
TEST(ReportSections, WholeReport) {
  ScratchDir dir;
  const std::string path = dir.NewFile("VMKIOA.csv", "earlier report\r\n");
  ReportFile rf;
  rf.Memo = Sj("@WA:A@ 試算");
  OpenEnabled(rf, path);
  ModelResult result;
  result.PuffRows = {MakePuffRow(1, 2, 1, 12.5f, {1.5f, 1.2f, 2.0f, 0.0f, 3.5f, 33.5f}, 1.2f,
                                 0.5f, 2.25f, 250.5f, 1e6f, 0.5f, 0.0f, 0.5f, 1.0f, 123456.0f,
                                 0.001f),
                     WorkedPuffRow()};
  result.PuffSum = 0.001f + 4.7601e-5f;
  result.PlumeRows = {WorkedPlumeRow()};
  result.PlumeSum = 1.6912e-5f;
  WriteModelSections(rf, result);
  WriteReportTrailer(rf, 574092.0f, 0.001f + 4.7601e-5f + 1.6912e-5f);
  CloseReportFile(rf);
  EXPECT_FALSE(rf.IsOpen());

  const std::string expected =
      "earlier report\r\n"
      "\r\npuff      @WA:A@ 試算\r\n\r\n"
      "No.,風階,安定度,頻度 , Uhr, Uhm, Uh0, Uhe, ΔH, He, α, γ,η-^2,η+^2,F(-),F(+),F,NO2r,"
      "C1(ppb),Cw(ppb)\r\n"
      " 1, 弱,  A,  12.500, 1.500, 1.200, 2.000, 2.250,  3.50, 33.50, 1.200, 0.500, 250.5, 1E6, "
      "0.5, 0, 0.5, 1.0000, 1.2346E5, 0.001\r\n" +
      std::string(kWorkedPuffRow) +
      "\r\npuff total(ppb) ,,,0.001048\r\n\r\n"
      "\r\nPlume      @WA:A@ 試算\r\n\r\n"
      "No.,風階,安定度,頻度 , Uhr, Uhm, Uh0, Uhe, ΔH, He, σz,F(-),F(+),F,NO2r,C1(ppb),"
      "Cw(ppb)\r\n" +
      std::string(kWorkedPlumeRow) +
      "\r\nplume total(ppb) ,,,1.691E-5\r\n\r\n"
      "@WA:A@ 試算\r\n"
      "Qh (cal/s),,, 5.741E5\r\n"
      "C (ppb ng/m3),,, 0.001065\r\n"
      "--------------,---------\r\n";
  EXPECT_EQ(ReadBytes(path), Sj(expected));
}

TEST(ReportSections, EmptySectionsStillWritten) {
  const std::string text = Written(
      [](ReportFile& rf) {
        WriteModelSections(rf, ModelResult{});  // a run without hours: no rows, sums 0
        WriteReportTrailer(rf, 574092.0f, 0.0f);
      },
      "@WA:1@");
  EXPECT_NE(text.find("\r\npuff total(ppb) ,,,0\r\n\r\n\r\nPlume      @WA:1@\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\nplume total(ppb) ,,,0\r\n\r\n@WA:1@\r\nQh (cal/s),,, 5.741E5\r\n"
                      "C (ppb ng/m3),,, 0\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace vmk
