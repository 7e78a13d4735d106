// Heat flux, power law, wind profile and the five plume-rise formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/plume_rise.h"
#include "model_test_support.h"

namespace vmk {
namespace {

using model_test::ShowsAs;
using model_test::StartingParameters;

constexpr float kQh = 574092.0f;

// The starting values (their heat flux is kQh).
ModelParameters Heated() { return StartingParameters(); }

TEST(HeatFlux, StartingValuesAndNoHeat) {
  ModelParameters p = StartingParameters();
  EXPECT_EQ(ComputeHeatFlux(p), 574092.0f);
  p.T = p.Ta;  // exhaust at ambient temperature
  EXPECT_EQ(ComputeHeatFlux(p), 0.0f);
  p = StartingParameters();
  p.Qg = 0.0f;
  EXPECT_EQ(ComputeHeatFlux(p), 0.0f);
}

TEST(SafePower, BasesBelowTheThresholdGiveZero) {
  const float justBelow = std::nextafter(1e-10f, 0.0f);  // 1e-10f itself lies above 1e-10
  for (float base : {0.0f, -1.0f, -1e-20f, 1e-11f, justBelow}) {
    for (float exponent : {-0.75f, 0.0f, 2.0f}) {
      EXPECT_EQ(SafePower(base, exponent), 0.0f) << base << " ^ " << exponent;
    }
  }
  EXPECT_GT(SafePower(1e-10f, 1.0f), 0.0f);
}

TEST(SafePower, MemoGivesTheSameResults) {
  PowerMemo memo;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 100; ++i) {  // more keys than the memo keeps
      const float base = 0.5f + 0.37f * static_cast<float>(i);
      EXPECT_EQ(memo.SafePower(base, -0.75f), SafePower(base, -0.75f)) << base;
      EXPECT_EQ(memo.SafePower(base, 0.25f), SafePower(base, 0.25f)) << base;
    }
  }
  EXPECT_EQ(memo.SafePower(0.0f, 0.3f), 0.0f);
  EXPECT_EQ(memo.SafePower(-0.0f, 0.3f), 0.0f);
}

struct RiseCase {
  int dayNight;
  int code;
  float u;
  const char* printed;
};

// Day dtheta/dz 0.003, night 0.010, upper limit 2.00 m/s, Qh = 574092 cal/s.
TEST(PlumeRise, WorkedValues) {
  const ModelParameters p = StartingParameters();
  const RiseCase cases[] = {
      {1, 1, 1.5f, "340.37"}, {1, 2, 1.5f, "97.827"}, {1, 3, 1.5f, "144.22"},
      {1, 4, 1.5f, "97.827"}, {1, 3, 0.7f, "248.84"}, {1, 4, 0.7f, "173.26"},
      {1, 2, 2.5f, "66.692"}, {1, 3, 2.5f, "66.692"}, {1, 4, 2.5f, "66.692"},
      {2, 1, 1.5f, "216.71"},
  };
  for (const RiseCase& c : cases) {
    EXPECT_TRUE(ShowsAs(PlumeRise(p, c.dayNight, c.code, kQh, c.u), c.printed))
        << "code " << c.code << " u " << c.u << " day/night " << c.dayNight;
  }
}

TEST(PlumeRise, CodeZeroAndZeroHeatFluxGiveNoRise) {
  const ModelParameters p = StartingParameters();
  for (float u : {0.0f, 0.0005f, 1.5f, 5.0f}) {
    EXPECT_EQ(PlumeRise(p, 1, 0, kQh, u), 0.0f);
    for (int code = 0; code <= 4; ++code) {
      EXPECT_EQ(PlumeRise(p, 1, code, 0.0f, u), 0.0f) << code << " " << u;
      EXPECT_EQ(PlumeRise(p, 2, code, 0.0f, u), 0.0f) << code << " " << u;
    }
  }
}

TEST(PlumeRise, NearCalmFallsBackToBriggsForEveryCode) {
  const ModelParameters p = StartingParameters();
  const float briggs = BriggsRise(kQh, p.DthDzDay);
  for (int code = 1; code <= 4; ++code) {
    EXPECT_EQ(PlumeRise(p, 1, code, kQh, 0.0009f), briggs) << code;
    EXPECT_EQ(PlumeRise(p, 1, code, kQh, 0.0f), briggs) << code;
  }
  // At 0.001 m/s itself the formulas apply: CONCAWE is far above Briggs there.
  EXPECT_EQ(PlumeRise(p, 1, 2, kQh, 0.001f), ConcaweRise(kQh, 0.001f));
}

TEST(PlumeRise, InterpolationEndsAtTheUpperLimit) {
  const ModelParameters p = StartingParameters();
  const float atLimit = ConcaweRise(kQh, p.IntULDay);
  EXPECT_EQ(PlumeRise(p, 1, 3, kQh, p.IntULDay), atLimit);
  EXPECT_EQ(PlumeRise(p, 1, 4, kQh, p.IntULDay), atLimit);
  const float above = std::nextafter(p.IntULDay, 100.0f);
  EXPECT_EQ(PlumeRise(p, 1, 3, kQh, above), ConcaweRise(kQh, above));
  EXPECT_EQ(PlumeRise(p, 1, 4, kQh, above), ConcaweRise(kQh, above));
}

TEST(PlumeRise, SmallerFormulaNeverExceedsConcaweOrInterpolation) {
  ModelParameters p = StartingParameters();
  p.IntULDay = 5.0f;
  p.IntULNight = 0.5f;
  for (int dayNight : {1, 2}) {
    for (float u = 0.01f; u < 8.0f; u += 0.13f) {
      const float smaller = PlumeRise(p, dayNight, 4, kQh, u);
      EXPECT_LE(smaller, PlumeRise(p, dayNight, 2, kQh, u)) << u;
      EXPECT_LE(smaller, PlumeRise(p, dayNight, 3, kQh, u)) << u;
    }
  }
}

TEST(PlumeRise, DayAndNightUpperLimitsAreSelected) {
  ModelParameters p = StartingParameters();
  p.IntULDay = 2.0f;
  p.IntULNight = 4.0f;
  // 3 m/s lies above the day limit (CONCAWE) and inside the night range (interpolated).
  EXPECT_EQ(PlumeRise(p, 1, 3, kQh, 3.0f), ConcaweRise(kQh, 3.0f));
  EXPECT_GT(PlumeRise(p, 2, 3, kQh, 3.0f), ConcaweRise(kQh, 3.0f));
}

TEST(WindAndRise, CodeZeroKeepsTheStackHeight) {
  ModelParameters p = Heated();
  p.Hm = 20.0f;
  const WindAndRise w = ComputeWindAndRise(p, kQh, 5, 1, 0, 3.0f);
  EXPECT_EQ(w.Uhr, 3.0f);
  EXPECT_EQ(w.DH, 0.0f);
  EXPECT_EQ(w.He, p.Ho);
  EXPECT_EQ(w.Uhe, w.Uh0);
}

TEST(WindAndRise, DefaultsLeaveTheWindAtHm) {
  ModelParameters p = Heated();
  for (int s = StabFirst; s <= StabLast; ++s) {
    const WindAndRise w = ComputeWindAndRise(p, kQh, s, DayNightIndex(s), 2, 1.7f);
    EXPECT_EQ(w.Uhm, 1.7f) << s;
    EXPECT_EQ(w.Uh0, 1.7f) << s;  // Ho = Hm
  }
}

TEST(WindAndRise, PowerLawsBetweenTheHeights) {
  ModelParameters p = Heated();
  p.Hr = 20.0f;
  p.Hm = 10.0f;
  p.Ho = 40.0f;
  p.PHrHmDependent = true;
  p.PHrHmMult = 2.0f;
  p.PHmHoMult = 1.5f;
  p.PHoHeMult = 0.5f;
  const int s = 10;  // F, exponent 0.3
  const WindAndRise w = ComputeWindAndRise(p, kQh, s, 2, 1, 2.0f);
  const double uhm = std::pow(0.5, 0.6) * 2.0;
  const double uh0 = std::pow(4.0, 0.45) * uhm;
  EXPECT_FLOAT_EQ(w.Uhm, static_cast<float>(uhm));
  EXPECT_FLOAT_EQ(w.Uh0, static_cast<float>(uh0));
  EXPECT_EQ(w.DH, BriggsRise(kQh, p.DthDzNight));
  EXPECT_EQ(w.He, p.Ho + w.DH);
  EXPECT_FLOAT_EQ(w.Uhe, static_cast<float>(std::pow(w.He / 40.0, 0.15) * w.Uh0));

  // Without the check box the constant exponent applies whatever the class.
  p.PHrHmDependent = false;
  p.PHrHmConst = 0.2f;
  EXPECT_FLOAT_EQ(ComputeWindAndRise(p, kQh, 1, 1, 1, 2.0f).Uhm,
                  static_cast<float>(std::pow(0.5, 0.2) * 2.0));
}

TEST(WindAndRise, DdAndDnShareTheExponentButNotTheDayNightValues) {
  ModelParameters p = Heated();
  p.Ho = 30.0f;
  const WindAndRise day = ComputeWindAndRise(p, kQh, 7, DayNightIndex(7), 1, 1.5f);
  const WindAndRise night = ComputeWindAndRise(p, kQh, 8, DayNightIndex(8), 1, 1.5f);
  EXPECT_EQ(night.Uh0, day.Uh0);
  EXPECT_EQ(day.DH, BriggsRise(kQh, 0.003f));
  EXPECT_EQ(night.DH, BriggsRise(kQh, 0.010f));
  for (int s = StabFirst; s <= StabLast; ++s) EXPECT_EQ(DayNightIndex(s), s <= 7 ? 1 : 2) << s;
}

}  // namespace
}  // namespace vmk
