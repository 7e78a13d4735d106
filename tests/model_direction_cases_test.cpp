// The model run of many wind directions at once: every sum bit for bit what a model run of
// that direction's parameters gives, over random parameter sets, hours, distances and heights.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "model/direction_cases.h"
#include "model/model.h"
#include "model/profile.h"
#include "model_test_support.h"

namespace vmk {
namespace {

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

class RandomInputs {
 public:
  explicit RandomInputs(unsigned seed) : gen_(seed) {}

  float Uniform(float lo, float hi) {
    return static_cast<float>(std::uniform_real_distribution<double>(lo, hi)(gen_));
  }
  float LogUniform(float lo, float hi) {
    return static_cast<float>(
        std::exp(std::uniform_real_distribution<double>(std::log(lo), std::log(hi))(gen_)));
  }
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(gen_); }
  // Hours: zero in about half the cases, so that skipped cases lie everywhere.
  std::int16_t Hours() { return static_cast<std::int16_t>(Chance(0.5) ? 0 : Int(1, 400)); }

  // A parameter set within the window's limits.
  ModelParameters Parameters() {
    ModelParameters p;
    p.Qg = Chance(0.1) ? 0.0f : LogUniform(0.01f, 10001.0f);
    p.Qp = LogUniform(1e-6f, 100.0f);
    p.Ta = Uniform(-11.0f, 41.0f);
    p.T = Chance(0.1) ? p.Ta : Uniform(p.Ta, 801.0f);
    p.Dens = Uniform(899.0f, 2001.0f);
    p.Ho = Uniform(0.499f, 301.0f);
    p.Hm = Uniform(4.99f, 301.0f);
    p.Hr = Uniform(1.0f, 301.0f);
    p.PHrHmDependent = Chance(0.5);
    p.PHrHmConst = Uniform(0.0f, 1.001f);
    p.PHrHmMult = Uniform(0.0f, 3.001f);
    p.PHmHoMult = Uniform(0.0f, 3.001f);
    p.PHoHeMult = Uniform(0.0f, 3.001f);
    p.DthDzDay = LogUniform(0.000099f, 1.001f);
    p.DthDzNight = LogUniform(0.000099f, 1.001f);
    p.DHFormulaCalm = static_cast<std::int16_t>(Int(0, 4));
    p.DHFormulaWeak = static_cast<std::int16_t>(Int(0, 4));
    p.DHFormulaWindy = static_cast<std::int16_t>(Int(0, 4));
    p.IntULDay = Uniform(0.099f, 10.01f);
    p.IntULNight = Uniform(0.099f, 10.01f);
    p.WDDistribute = Chance(0.7);
    p.SigZShiftMode = static_cast<std::int16_t>(Int(0, 2));
    p.SigZShift = static_cast<std::int16_t>(Int(0, 2));
    p.NOxTransform = Chance(0.5);
    p.Alpha = Uniform(0.0f, 1.001f);
    p.BetaDay = Uniform(0.0f, 10.01f);
    p.BetaNight = Uniform(0.0f, 10.01f);
    p.K = Uniform(0.0f, 10.01f);
    p.O3Day = Uniform(0.0f, 0.2f);
    p.O3Night = Uniform(0.0f, 0.2f);
    p.Ra = Uniform(0.0f, 10001.0f);
    p.FreqTotal = static_cast<std::int16_t>(Int(1, MaxFreqHours));
    for (int row : {1, 2, 4, 5, 6, 7, 8, 9}) p.RepWindSpeed[row] = Uniform(0.099f, 20.001f);
    for (int s = StabFirst; s <= StabLast; ++s) {
      p.CalmAllFreq[s] = Hours();
      p.WeakAllFreq[s] = Hours();
    }
    return p;
  }

  // The hours of one direction; some weak-wind hours fractional, as the window accepts.
  DirectionHours Direction() {
    DirectionHours d;
    for (int s = StabFirst; s <= StabLast; ++s) {
      d.WeakFreq[s] = Chance(0.2) ? Uniform(0.0f, 50.0f) : static_cast<float>(Hours());
      for (int k = 1; k <= 6; ++k) d.WindyFreq[k][s] = Hours();
    }
    return d;
  }

  // A third near the source, where the weak-wind correction acts.
  float Distance() {
    if (Chance(0.05)) return RLowerLimit;
    return Chance(0.3) ? LogUniform(RLowerLimit, 300.0f) : LogUniform(RLowerLimit, RUpperLimit);
  }
  float Height() { return Chance(0.3) ? 0.0f : Uniform(0.0f, 301.0f); }

 private:
  std::mt19937 gen_;
};

ModelParameters WithDirection(ModelParameters p, const DirectionHours& d, float r, float z) {
  p.WeakFreq = d.WeakFreq;
  p.WindyFreq = d.WindyFreq;
  p.R = r;
  p.z = z;
  return p;
}

TEST(DirectionCases, EverySumIsTheModelRunsBitForBit) {
  RandomInputs rnd(20240611);
  int compared = 0;
  int nonZero = 0;
  for (int set = 0; set < 150; ++set) {
    const ModelParameters p = rnd.Parameters();
    std::vector<DirectionHours> dirs;
    for (int d = 0; d < 16; ++d) dirs.push_back(rnd.Direction());
    const DirectionCases cases(p, dirs);
    for (int i = 0; i < 4; ++i) {
      const float r = rnd.Distance();
      const float z = rnd.Height();
      DirectionCases::AtDistance at;
      cases.Evaluate(r, z, at);
      for (const DirectionHours& d : dirs) {
        const ModelResult want = RunModel(WithDirection(p, d, r, z));
        const DirectionSums got = cases.Sum(at, d);
        ASSERT_EQ(Bits(got.TotalConc), Bits(want.TotalConc))
            << "set " << set << " r " << r << " z " << z << ": " << got.TotalConc << " vs "
            << want.TotalConc;
        ASSERT_EQ(Bits(got.PuffSum), Bits(want.PuffSum)) << set;
        ASSERT_EQ(Bits(got.PlumeSum), Bits(want.PlumeSum)) << set;
        ASSERT_EQ(got.ModelError, want.ModelError) << set;
        ++compared;
        if (want.TotalConc != 0) ++nonZero;
      }
      EXPECT_EQ(Bits(cases.Qh()), Bits(RunModel(p).Qh));
    }
  }
  EXPECT_EQ(compared, 150 * 4 * 16);
  EXPECT_GT(nonZero, compared / 2);  // the comparison is not one of zeros
}

// Near the source, weak-wind rows without hours of their own count through the correction:
// the case most easily got wrong by a shortcut that skips rows by their direction's hours.
TEST(DirectionCases, WeakWindCorrectionNearTheSource) {
  ModelParameters p = model_test::StartingParameters();
  p.WDDistribute = true;
  p.Ho = 80.0f;
  p.DHFormulaWeak = 1;
  p.RepWindSpeed = {0.0f, 0.4f, 0.5f, 0.0f, 1.5f, 2.5f, 3.5f, 5.0f, 7.0f, 9.0f};
  for (int s = StabFirst; s <= StabLast; ++s) p.WeakAllFreq[s] = 60;
  DirectionHours none;         // no weak-wind hours of its own
  DirectionHours some = none;  // a few
  some.WeakFreq[5] = 3.0f;
  some.WeakFreq[9] = 0.5f;
  const std::vector<DirectionHours> dirs = {none, some};
  const DirectionCases cases(p, dirs);
  int corrected = 0;
  for (float r : {0.09999f, 0.1f, 20.0f, 60.0f, 300.0f, 2000.0f, 30000.0f}) {
    DirectionCases::AtDistance at;
    cases.Evaluate(r, 1.5f, at);
    for (const DirectionHours& d : dirs) {
      const ModelResult want = RunModel(WithDirection(p, d, r, 1.5f));
      EXPECT_EQ(Bits(cases.Sum(at, d).TotalConc), Bits(want.TotalConc)) << r;
      if (&d == &dirs[0] && want.TotalConc > 0) ++corrected;
    }
  }
  EXPECT_GT(corrected, 0);  // the direction without hours has a value near the source
}

TEST(DirectionCases, RefusesHoursItWasNotPreparedFor) {
  ModelParameters p = model_test::StartingParameters();
  DirectionHours prepared;
  prepared.WindyFreq[1][7] = 10;
  const std::vector<DirectionHours> dirs = {prepared};
  const DirectionCases cases(p, dirs);
  DirectionCases::AtDistance at;
  cases.Evaluate(100.0f, 0.0f, at);
  DirectionHours other;
  other.WindyFreq[2][7] = 10;
  EXPECT_THROW(cases.Sum(at, other), std::logic_error);
}

// The maximum of points formed from the direction sums is the distance profile's.
TEST(DirectionCases, ProfileOfTheSumsIsTheDistanceProfile) {
  RandomInputs rnd(7);
  for (int set = 0; set < 10; ++set) {
    const ModelParameters p0 = rnd.Parameters();
    const DirectionHours d = rnd.Direction();
    const ModelParameters p = WithDirection(p0, d, 100.0f, 0.0f);
    const std::vector<DirectionHours> dirs = {d};
    const DirectionCases cases(p, dirs);
    const std::vector<float> distances = ProfileDistances(10.0f, 20000.0f, 60, true);
    std::vector<ProfilePoint> points;
    for (float r : distances) {
      DirectionCases::AtDistance at;
      cases.Evaluate(r, p.z, at);
      const DirectionSums s = cases.Sum(at, d);
      points.push_back({r, s.TotalConc, s.PuffSum, s.PlumeSum});
    }
    const Profile want = ComputeProfile(p, distances);
    const Profile got = ProfileWithMaximum(p, points);
    ASSERT_EQ(got.Points.size(), want.Points.size());
    for (std::size_t i = 0; i < got.Points.size(); ++i) {
      EXPECT_EQ(Bits(got.Points[i].C), Bits(want.Points[i].C)) << i;
    }
    EXPECT_EQ(Bits(got.Max.R), Bits(want.Max.R)) << set;
    EXPECT_EQ(Bits(got.Max.C), Bits(want.Max.C)) << set;
  }
}

}  // namespace
}  // namespace vmk
