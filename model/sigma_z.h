// Vertical dispersion width sigma-z from power-law fits of the Pasquill-Gifford curves, with
// half classes, the optional shift toward the unstable side and a floor of 0.1 m.
#pragma once

#include <array>
#include <cstddef>

#include "common/cp932.h"

namespace vmk {

// A sigma-z class (SigZClass) is an index 0..11: 0 is A' (one class more unstable than A),
// 1..11 the stability classes A .. G.

// One distance range of a class: sigma-z = Gamma * x^Alpha for x up to Limit (m).
struct SigZRange {
  float Limit;
  float Alpha;
  float Gamma;
};

// Four ranges per class, scanned in order; a class that needs fewer repeats its last range.
// The half classes A-B, B-C and C-D (2, 4, 6) have no coefficients of their own.
inline constexpr float SigZNoLimit = 1e9f;
inline constexpr std::array<std::array<SigZRange, 4>, 12> SigZCoefTable = {{
    {{{300.0f, 1.28f, 0.05031f}, {500.0f, 2.064f, 0.0005747f},
      {SigZNoLimit, 2.109f, 0.0004328f}, {SigZNoLimit, 2.109f, 0.0004328f}}},  // A'
    {{{300.0f, 1.122f, 0.08f}, {500.0f, 1.514f, 0.00855f}, {SigZNoLimit, 2.109f, 0.000212f},
      {SigZNoLimit, 2.109f, 0.000212f}}},  // A
    {{{SigZNoLimit, 0.0f, 0.0f}, {SigZNoLimit, 0.0f, 0.0f}, {SigZNoLimit, 0.0f, 0.0f},
      {SigZNoLimit, 0.0f, 0.0f}}},  // A-B
    {{{500.0f, 0.964f, 0.1272f}, {SigZNoLimit, 1.094f, 0.057f}, {SigZNoLimit, 1.094f, 0.057f},
      {SigZNoLimit, 1.094f, 0.057f}}},  // B
    {{{SigZNoLimit, 0.0f, 0.0f}, {SigZNoLimit, 0.0f, 0.0f}, {SigZNoLimit, 0.0f, 0.0f},
      {SigZNoLimit, 0.0f, 0.0f}}},  // B-C
    {{{SigZNoLimit, 0.918f, 0.1068f}, {SigZNoLimit, 0.918f, 0.1068f},
      {SigZNoLimit, 0.918f, 0.1068f}, {SigZNoLimit, 0.918f, 0.1068f}}},  // C
    {{{SigZNoLimit, 0.0f, 0.0f}, {SigZNoLimit, 0.0f, 0.0f}, {SigZNoLimit, 0.0f, 0.0f},
      {SigZNoLimit, 0.0f, 0.0f}}},  // C-D
    {{{1000.0f, 0.826f, 0.1046f}, {10000.0f, 0.632f, 0.4f}, {SigZNoLimit, 0.555f, 0.811f},
      {SigZNoLimit, 0.555f, 0.811f}}},  // Dd
    {{{1000.0f, 0.826f, 0.1046f}, {10000.0f, 0.632f, 0.4f}, {SigZNoLimit, 0.555f, 0.811f},
      {SigZNoLimit, 0.555f, 0.811f}}},  // Dn
    {{{1000.0f, 0.788f, 0.0928f}, {10000.0f, 0.565f, 0.433f}, {SigZNoLimit, 0.415f, 1.732f},
      {SigZNoLimit, 0.415f, 1.732f}}},  // E
    {{{1000.0f, 0.784f, 0.0621f}, {10000.0f, 0.526f, 0.37f}, {SigZNoLimit, 0.323f, 2.41f},
      {SigZNoLimit, 0.323f, 2.41f}}},  // F
    {{{1000.0f, 0.794f, 0.0373f}, {2000.0f, 0.637f, 0.1105f}, {10000.0f, 0.431f, 0.529f},
      {SigZNoLimit, 0.222f, 3.62f}}},  // G
}};

// The shift toward the unstable side, by amount in half classes (1..2, index 0 unused) and
// stability class (1..11): the target class and whether the half class on its unstable side
// is meant. With amount 2, G goes to E, not to F.
inline constexpr std::array<std::array<int, 12>, 3> SigZShiftClass = {{
    {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {{0, 1, 1, 2, 3, 4, 5, 6, 6, 9, 10, 11}},
    {{0, 0, 1, 1, 2, 3, 4, 5, 5, 8, 9, 9}},
}};
inline constexpr std::array<std::array<bool, 12>, 3> SigZShiftHalf = {{
    {{false, false, false, false, false, false, false, false, false, false, false, false}},
    {{false, true, false, false, false, false, false, false, false, true, true, true}},
    {{false, false, true, false, false, false, false, false, false, false, false, false}},
}};

// A sigma-z class with its half-step flag (the half class toward the unstable neighbour, defined
// for A, E, F and G only).
struct SigZTarget {
  int Cls = 0;
  bool HalfStep = false;
  friend bool operator==(const SigZTarget&, const SigZTarget&) = default;
};

inline constexpr float SigZFloor = 0.1f;  // m
inline constexpr std::size_t kModelErrorTextMax = 255;  // bytes of the model's error text

// Sigma-z of one table row (cls 0, 1, 3, 5, 7, 8, 9, 10 or 11) at downwind distance x (m).
float SigZFromTable(int cls, float x);

// Geometric mean of two table rows at the same distance.
float SigZGeoMean(int cls1, int cls2, float x);

// Sigma-z (m) of class cls with its half-step flag at distance x, never below 0.1. A half step
// on a class that has none sets the error flag and appends "/stab.prm in sigZPG " to the error
// text (within 255 bytes); the run goes on with the floor value.
float sigZPG(int cls, bool halfStep, float x, bool& modelError, Cp932& modelErrorText);

// The shifted class of stability class s for mode 1 (up to A) or 2 (up to A') and amount 1..2.
SigZTarget ShiftStability(int s, int mode, int amount);

}  // namespace vmk
