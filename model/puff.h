// Puff model: the contribution of the calm and weak-wind hours, 2 wind cases x 11 stability
// classes, with the near-source correction of the weak-wind direction frequency.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "input/model_parameters.h"
#include "model/plume_rise.h"

namespace vmk {

struct ModelResult;

inline constexpr int WindCaseCalm = 1;
inline constexpr int WindCaseWeak = 2;

// Per stability class 1..11 (index 0 unused): alpha for calm, alpha for weak wind (the calm
// alpha less 0.2), gamma.
inline constexpr std::array<std::array<float, 3>, 12> PuffAlphaGamma = {{
    {{0.0f, 0.0f, 0.0f}},
    {{0.948f, 0.748f, 1.569f}},  // A
    {{0.859f, 0.659f, 0.862f}},  // A-B
    {{0.781f, 0.581f, 0.474f}},  // B
    {{0.702f, 0.502f, 0.314f}},  // B-C
    {{0.635f, 0.435f, 0.208f}},  // C
    {{0.542f, 0.342f, 0.153f}},  // C-D
    {{0.47f, 0.27f, 0.113f}},    // Dd
    {{0.47f, 0.27f, 0.113f}},    // Dn
    {{0.439f, 0.239f, 0.067f}},  // E
    {{0.439f, 0.239f, 0.048f}},  // F
    {{0.439f, 0.239f, 0.029f}},  // G
}};
inline constexpr int PuffGammaColumn = 2;

// 1e9 / (2 pi)^(3/2) and 16 times that, 1e9 / (sqrt(2 pi) * pi / 8), rounded to float.
inline constexpr float CalmPuffFactor = 63493636.0f;
inline constexpr float WeakPuffFactor = 1015898176.0f;

// Working values of one row of the puff model: every value its report line prints.
struct PuffRow {
  int Number = 0;               // row number in the section, from 1 (counted rows only)
  int WindCase = WindCaseCalm;  // 1 calm, 2 weak wind
  int S = StabFirst;            // stability class 1..11
  int DayNight = 1;
  float freq = 0;               // effective hours of the row
  std::int16_t n = 0;           // weak-wind hours of all directions (0 for calm)
  float f = 0;                  // weak-wind hours of this direction, before correction
  int FormulaCode = 0;
  int AlphaColumn = 0;
  bool WindComputed = false;    // the wind and rise below were computed for this row
  WindAndRise Wind;             // Uhr, Uhm, Uh0, Uhe, DH, He of the row
  float alpha = 0;
  float gamma = 0;
  float X = 0;                  // distance of the frequency correction, m
  float zm = 0;                 // z - He
  float zp = 0;                 // z + He
  float Eta2Minus = 0;
  float Eta2Plus = 0;
  float FMinus = 0;
  float FPlus = 0;
  float F = 0;
  float factor = 0;
  float U = 0;                  // wind speed in the formula: 0 calm, Uhe weak wind
  float NO2r = 1;
  float C1 = 0;
  float Cw = 0;
};

// NO2 ratios of one section by wind case and day/night index: at the section's fixed distance
// they depend on nothing else.
using PuffNo2Memo = std::array<std::array<std::optional<float>, 3>, 3>;  // [windCase][dayNight]

// Hours, formula code and alpha column of the row's wind case and stability class.
void SelectPuffInputs(const ModelParameters& p, PuffRow& row);

// Replaces freq near the source by a linear blend from n/16 at distance 0 to f at distance X
// (needs the row's wind and rise).
void CorrectWeakWindFrequency(float Rc, PuffRow& row);

// True when a weak-wind row's hours are corrected near the source: the correction is on and
// the row's wind is slow against its spread (needs the row's wind and rise).
inline bool CorrectsWeakWindFrequency(const ModelParameters& p, const PuffRow& row) {
  return p.WDDistribute && 1.5L * row.alpha > row.Wind.Uhe;
}

// FMinus, FPlus, the concentration factor and U of the row (needs Eta2Minus, Eta2Plus, zm, zp
// and the row's wind).
void ComputePuffTerms(PuffRow& row);

// Selects the inputs, computes the wind and rise (heat flux qh), alpha and gamma, and the
// correction of one row. False when the row has no hours and is skipped (no report row, no
// number); `row.WindComputed` tells whether the wind was computed before that was known.
// `powers`, when given, keeps the repeating powers of the wind profile and rise over the
// section.
bool PreparePuffRow(const ModelParameters& p, float qh, float Rc, PuffRow& row,
                    PowerMemo* powers = nullptr);

// zm, zp, the eta terms, F, C1 (with the NO2 ratio) and Cw of a prepared row.
void EvaluatePuffRow(const ModelParameters& p, float Rc, PuffRow& row,
                     PuffNo2Memo* no2Memo = nullptr);

// The whole puff section for the heat flux qh: its counted rows, its sum and the last wind
// computed go into `out`.
void RunPuffModel(const ModelParameters& p, float qh, ModelResult& out);

}  // namespace vmk
