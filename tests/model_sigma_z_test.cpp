// Vertical dispersion width: table ranges and their limits, half classes, the floor, the shift
// of the stability class and the error of an undefined half class.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "model/sigma_z.h"
#include "model_test_support.h"

namespace vmk {
namespace {

using model_test::ShowsAs;

float SigZ(int cls, bool half, float x) {
  bool error = false;
  Cp932 text;
  const float sigma = sigZPG(cls, half, x, error, text);
  EXPECT_FALSE(error);
  return sigma;
}

// The power law with coefficients held in single precision, as the table holds them.
float Law(float gamma, float alpha, float x) {
  return static_cast<float>(static_cast<double>(gamma) *
                            std::pow(static_cast<double>(x), static_cast<double>(alpha)));
}

float Above(float x) { return std::nextafter(x, std::numeric_limits<float>::infinity()); }

TEST(SigmaZ, WorkedValues) {
  EXPECT_TRUE(ShowsAs(SigZ(1, false, 100.0f), "14.031"));  // A
  EXPECT_TRUE(ShowsAs(SigZ(0, false, 100.0f), "18.266"));  // A'
  EXPECT_TRUE(ShowsAs(SigZ(1, true, 100.0f), "16.009"));   // A'-A
  EXPECT_TRUE(ShowsAs(SigZ(3, false, 100.0f), "10.777"));  // B
  EXPECT_TRUE(ShowsAs(SigZ(2, false, 100.0f), "12.297"));  // A-B
  EXPECT_TRUE(ShowsAs(SigZ(1, false, 300.0f), "48.130"));
  EXPECT_TRUE(ShowsAs(SigZ(1, false, Above(300.0f)), "48.120"));
}

struct Limit {
  int cls;
  float limit;
  float gammaBelow, alphaBelow, gammaAbove, alphaAbove;
};

// A distance on a limit belongs to the lower range, the next float above it to the upper one
// (Dn shares the laws and limits of Dd, below).
TEST(SigmaZ, RangeLimits) {
  const Limit limits[] = {
      {0, 300.0f, 0.05031f, 1.28f, 0.0005747f, 2.064f},
      {0, 500.0f, 0.0005747f, 2.064f, 0.0004328f, 2.109f},
      {1, 300.0f, 0.08f, 1.122f, 0.00855f, 1.514f},
      {1, 500.0f, 0.00855f, 1.514f, 0.000212f, 2.109f},
      {3, 500.0f, 0.1272f, 0.964f, 0.057f, 1.094f},
      {7, 1000.0f, 0.1046f, 0.826f, 0.4f, 0.632f},
      {7, 10000.0f, 0.4f, 0.632f, 0.811f, 0.555f},
      {9, 1000.0f, 0.0928f, 0.788f, 0.433f, 0.565f},
      {9, 10000.0f, 0.433f, 0.565f, 1.732f, 0.415f},
      {10, 1000.0f, 0.0621f, 0.784f, 0.37f, 0.526f},
      {10, 10000.0f, 0.37f, 0.526f, 2.41f, 0.323f},
      {11, 1000.0f, 0.0373f, 0.794f, 0.1105f, 0.637f},
      {11, 2000.0f, 0.1105f, 0.637f, 0.529f, 0.431f},
      {11, 10000.0f, 0.529f, 0.431f, 3.62f, 0.222f},
  };
  for (const Limit& l : limits) {
    EXPECT_FLOAT_EQ(SigZ(l.cls, false, l.limit), Law(l.gammaBelow, l.alphaBelow, l.limit))
        << l.cls << " at " << l.limit;
    const float above = Above(l.limit);
    EXPECT_FLOAT_EQ(SigZ(l.cls, false, above), Law(l.gammaAbove, l.alphaAbove, above))
        << l.cls << " above " << l.limit;
  }
}

TEST(SigmaZ, ClassCHasOneLawAndDdEqualsDn) {
  for (float x : {1.0f, 100.0f, 500.0f, 1000.0f, Above(1000.0f), 1e4f, Above(1e4f), 1e5f}) {
    EXPECT_FLOAT_EQ(SigZ(5, false, x), Law(0.1068f, 0.918f, x)) << x;
    EXPECT_EQ(SigZ(7, false, x), SigZ(8, false, x)) << x;
  }
}

TEST(SigmaZ, HalfClassesAreGeometricMeans) {
  struct Mean {
    int cls;
    bool half;
    int a, b;
  };
  const Mean means[] = {{2, false, 1, 3},  {4, false, 3, 5},  {6, false, 5, 7}, {1, true, 0, 1},
                        {9, true, 9, 8},   {10, true, 10, 9}, {11, true, 11, 10}};
  for (float x : {50.0f, 300.0f, 750.0f, 1500.0f, 20000.0f}) {
    for (const Mean& m : means) {
      const double expected = std::sqrt(static_cast<double>(SigZFromTable(m.a, x)) *
                                        static_cast<double>(SigZFromTable(m.b, x)));
      EXPECT_FLOAT_EQ(SigZ(m.cls, m.half, x), static_cast<float>(expected))
          << m.cls << (m.half ? "+half" : "") << " at " << x;
    }
  }
}

TEST(SigmaZ, FloorOfOneTenthMetre) {
  EXPECT_TRUE(ShowsAs(SigZFromTable(7, 0.1f), "0.016"));
  for (int cls = 0; cls <= 11; ++cls) {
    EXPECT_EQ(SigZ(cls, false, 0.1f), 0.1f) << cls;
    EXPECT_EQ(SigZ(cls, false, 1e-11f), 0.1f) << cls;
    EXPECT_EQ(SigZ(cls, false, 0.0f), 0.1f) << cls;
  }
  EXPECT_EQ(SigZFromTable(1, 1e-11f), 0.0f);
  for (int cls : {1, 9, 10, 11}) EXPECT_EQ(SigZ(cls, true, 0.1f), 0.1f) << cls;
}

TEST(SigmaZ, UndefinedHalfClassIsAModelErrorThatLetsTheRunGoOn) {
  for (int cls : {0, 2, 3, 4, 5, 6, 7, 8}) {
    bool error = false;
    Cp932 text;
    const float sigma = sigZPG(cls, true, 100.0f, error, text);
    EXPECT_TRUE(error) << cls;
    EXPECT_EQ(text, "/stab.prm in sigZPG ");
    EXPECT_GE(sigma, 0.1f);
  }
  bool error = false;
  Cp932 text = "x";
  sigZPG(5, true, 100.0f, error, text);
  sigZPG(5, true, 100.0f, error, text);
  EXPECT_EQ(text, "x/stab.prm in sigZPG /stab.prm in sigZPG ");
  // A later valid call neither clears the flag nor touches the text.
  EXPECT_FLOAT_EQ(sigZPG(5, false, 100.0f, error, text), Law(0.1068f, 0.918f, 100.0f));
  EXPECT_TRUE(error);
  EXPECT_EQ(text.size(), 41u);
}

TEST(SigmaZ, ErrorTextStopsAt255Bytes) {
  bool error = false;
  Cp932 text(250, 'a');
  sigZPG(4, true, 100.0f, error, text);
  EXPECT_EQ(text, std::string(250, 'a') + "/stab");
  sigZPG(4, true, 100.0f, error, text);
  EXPECT_EQ(text.size(), 255u);
  EXPECT_TRUE(error);
}

// The resulting classes of every stability class, for both amounts and both modes.
TEST(ShiftStability, FullTable) {
  using T = SigZTarget;
  // s = 1..11: amount 1 mode 2, amount 1 mode 1, amount 2 mode 2, amount 2 mode 1.
  const T expected[12][4] = {
      {},
      {T{1, true}, T{1, false}, T{0, false}, T{1, false}},     // A
      {T{1, false}, T{1, false}, T{1, true}, T{1, false}},     // A-B
      {T{2, false}, T{2, false}, T{1, false}, T{1, false}},    // B
      {T{3, false}, T{3, false}, T{2, false}, T{2, false}},    // B-C
      {T{4, false}, T{4, false}, T{3, false}, T{3, false}},    // C
      {T{5, false}, T{5, false}, T{4, false}, T{4, false}},    // C-D
      {T{6, false}, T{6, false}, T{5, false}, T{5, false}},    // Dd
      {T{6, false}, T{6, false}, T{5, false}, T{5, false}},    // Dn
      {T{9, true}, T{9, true}, T{8, false}, T{8, false}},      // E
      {T{10, true}, T{10, true}, T{9, false}, T{9, false}},    // F
      {T{11, true}, T{11, true}, T{9, false}, T{9, false}},    // G
  };
  for (int s = StabFirst; s <= StabLast; ++s) {
    EXPECT_EQ(ShiftStability(s, 2, 1), expected[s][0]) << s;
    EXPECT_EQ(ShiftStability(s, 1, 1), expected[s][1]) << s;
    EXPECT_EQ(ShiftStability(s, 2, 2), expected[s][2]) << s;
    EXPECT_EQ(ShiftStability(s, 1, 2), expected[s][3]) << s;
    // Every target is one sigZPG accepts.
    for (int mode : {1, 2}) {
      for (int amount : {1, 2}) {
        const SigZTarget t = ShiftStability(s, mode, amount);
        SigZ(t.Cls, t.HalfStep, 250.0f);
      }
    }
  }
}

TEST(ShiftStability, ShiftedWidths) {
  const SigZTarget aMode1 = ShiftStability(1, 1, 1);
  EXPECT_EQ(SigZ(aMode1.Cls, aMode1.HalfStep, 100.0f), SigZ(1, false, 100.0f));
  const SigZTarget aMode2 = ShiftStability(1, 2, 1);
  EXPECT_TRUE(ShowsAs(SigZ(aMode2.Cls, aMode2.HalfStep, 100.0f), "16.009"));
  for (int s : {10, 11}) {
    const SigZTarget t = ShiftStability(s, 2, 2);
    EXPECT_EQ(SigZ(t.Cls, t.HalfStep, 800.0f), SigZ(9, false, 800.0f)) << s;
  }
}

}  // namespace
}  // namespace vmk
