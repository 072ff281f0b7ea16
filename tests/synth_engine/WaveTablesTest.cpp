// The wave tables: values of every waveform, the interpolation arrays at the
// joins between waveforms and periods, and reading in each mode.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include "synth/engine/Nearest.h"
#include "synth/engine/TWaveTables.h"

namespace {

using marrowglint::TWaveTables;
using namespace marrowglint;

const TWaveTables& tables() {
  static const TWaveTables instance(1);
  return instance;
}

constexpr int kLast = TWaveTables::kValueLength - 1;  // 16435

TEST(SynthNearest, TiesGoToEvenAndMatchNearbyint) {
  EXPECT_EQ(nearestSmall(0.5f), 0);
  EXPECT_EQ(nearestSmall(1.5f), 2);
  EXPECT_EQ(nearestSmall(2.5f), 2);
  EXPECT_EQ(nearestSmall(-0.5f), 0);
  EXPECT_EQ(nearestSmall(-1.5f), -2);
  EXPECT_EQ(nearestSmall(16383.5f), 16384);
  EXPECT_EQ(nearestSmall(16384.0f - 1.0f / 1024.0f), 16384);
  // Every quarter step over the table range and beyond, both signs.
  for (int i = -70000; i <= 70000; ++i) {
    const float x = static_cast<float>(i) * 0.25f;
    ASSERT_EQ(nearestSmall(x), static_cast<int>(std::nearbyint(x))) << x;
  }
  EXPECT_EQ(nearest(2.5f), 2);
  EXPECT_EQ(nearest(3.5f), 4);
}

TEST(SynthWaveTables, SineValues) {
  const float* t = tables().values(kSine);
  EXPECT_EQ(t[0], 0.0f);
  EXPECT_EQ(t[4096], 1.0f);
  EXPECT_EQ(t[12288], -1.0f);
  EXPECT_NEAR(t[8192], 0.0f, 1e-7f);
  EXPECT_NEAR(t[16384], 0.0f, 1e-6f);
  // The 52 entries past the period repeat its start.
  for (int i = 16384; i <= kLast; ++i) EXPECT_NEAR(t[i], t[i - 16384], 2e-6f) << i;
  for (int i = 0; i <= kLast; i += 97) {
    EXPECT_NEAR(t[i], std::sin(i * std::numbers::pi / 8192.0), 1e-6) << i;
  }
}

TEST(SynthWaveTables, SawSquareTriangleValues) {
  const float* saw = tables().values(kSaw);
  EXPECT_EQ(saw[0], -1.0f);
  EXPECT_EQ(saw[4096], -0.5f);
  EXPECT_EQ(saw[8192], 0.0f);
  EXPECT_EQ(saw[16384], 1.0f);
  EXPECT_EQ(saw[kLast], 16435.0f / 8192.0f - 1.0f);

  const float* square = tables().values(kSquare);
  EXPECT_EQ(square[0], -1.0f);
  EXPECT_EQ(square[8191], -1.0f);
  EXPECT_EQ(square[8192], 1.0f);
  EXPECT_EQ(square[16384], 1.0f);  // no second period: +1 to the end
  EXPECT_EQ(square[kLast], 1.0f);

  const float* triangle = tables().values(kTriangle);
  EXPECT_EQ(triangle[0], -1.0f);
  EXPECT_EQ(triangle[4096], 0.0f);
  EXPECT_EQ(triangle[8192], 1.0f);
  EXPECT_EQ(triangle[12288], 0.0f);
  EXPECT_EQ(triangle[16384], -1.0f);
  EXPECT_EQ(triangle[kLast], 1.0f - (16435.0f - 8192.0f) / 4096.0f);  // keeps falling past the period
}

TEST(SynthWaveTables, NoiseIsHundredthsFixedBySeed) {
  const float* noise = tables().values(kNoise);
  std::set<int> seen;
  double sum = 0.0;
  for (int i = 0; i <= kLast; ++i) {
    const float k = (noise[i] + 1.0f) * 100.0f;
    const int whole = static_cast<int>(std::lround(k));
    ASSERT_NEAR(k, whole, 1e-3) << i;
    ASSERT_GE(whole, 0);
    ASSERT_LE(whole, 200);
    EXPECT_EQ(noise[i], static_cast<float>(whole) / 100.0f - 1.0f);
    seen.insert(whole);
    sum += noise[i];
  }
  EXPECT_EQ(seen.size(), 201u);  // every value of 0..200 turns up in 16436 draws
  EXPECT_NEAR(sum / TWaveTables::kValueLength, 0.0, 0.03);  // uniform: mean 0, sd of mean ≈ 0.005

  const TWaveTables same(1);
  const TWaveTables other(2);
  int differences = 0;
  for (int i = 0; i <= kLast; ++i) {
    EXPECT_EQ(same.values(kNoise)[i], noise[i]);
    differences += other.values(kNoise)[i] != noise[i] ? 1 : 0;
  }
  EXPECT_GT(differences, 15000);
}

// The interpolation arrays from the four neighbours p, a, b, q.
struct Neighbours {
  float p, a, b, q;
};

Neighbours around(int w, int k) {
  const float* t = tables().values(w);
  float p = 0.0f;
  if (k > 0) p = t[k - 1];
  else if (w > 0) p = tables().values(w - 1)[kLast];
  return {p, t[k], t[k + 1], t[k + 2]};
}

void expectCoefficients(int w, int k) {
  const Neighbours n = around(w, k);
  EXPECT_EQ(tables().d(w, k), n.b - n.a) << w << ' ' << k;
  EXPECT_EQ(tables().k3(w, k), (3.0f * (n.a - n.b) - n.p + n.q) / 2.0f) << w << ' ' << k;
  EXPECT_EQ(tables().k2(w, k), 2.0f * n.b + n.p - (5.0f * n.a + n.q) / 2.0f) << w << ' ' << k;
  EXPECT_EQ(tables().k1(w, k), (n.b - n.p) / 2.0f) << w << ' ' << k;
}

TEST(SynthWaveTables, InstancesWithOneSeedShareOneSet) {
  const auto a = TWaveTables::shared(7);
  const auto b = TWaveTables::shared(7);
  const auto c = TWaveTables::shared(8);
  EXPECT_EQ(a.get(), b.get());
  EXPECT_NE(a.get(), c.get());
  const TWaveTables fresh(7);
  for (int i = 0; i <= kLast; i += 101) EXPECT_EQ(a->values(kNoise)[i], fresh.values(kNoise)[i]);
}

TEST(SynthWaveTables, CoefficientsAtTheJoins) {
  for (int w = 0; w < TWaveTables::kNumWaves; ++w) {
    for (int k : {0, 1, 8191, 8192, 16383, 16384}) expectCoefficients(w, k);
  }
  // Before entry 0: nothing for the sine, the triangle's last value for noise.
  EXPECT_EQ(tables().k1(kSine, 0), tables().values(kSine)[1] / 2.0f);
  EXPECT_EQ(tables().k1(kSaw, 0), (tables().values(kSaw)[1] - tables().values(kSine)[kLast]) / 2.0f);
  EXPECT_EQ(tables().k1(kNoise, 0),
            (tables().values(kNoise)[1] - tables().values(kTriangle)[kLast]) / 2.0f);
  // At the square's edge the linear slope is the whole step.
  EXPECT_EQ(tables().d(kSquare, 8191), 2.0f);
}

TEST(SynthWaveTables, CubicPassesThroughBothNeighbours) {
  for (int w = 0; w < TWaveTables::kNumWaves; ++w) {
    for (int k = 1; k < TWaveTables::kCoefficientLength; k += 331) {
      const float* t = tables().values(w);
      const float atNext = t[k] + tables().k1(w, k) + tables().k2(w, k) + tables().k3(w, k);
      EXPECT_NEAR(atNext, t[k + 1], 1e-5f) << w << ' ' << k;
      // Slope at the entry is the central difference.
      EXPECT_EQ(tables().k1(w, k), (t[k + 1] - t[k - 1]) / 2.0f);
    }
  }
}

TEST(SynthWaveTables, ReadingInEachMode) {
  const TWaveTables& t = tables();
  const float* saw = t.values(kSaw);
  // No interpolation: the nearest entry, ties to even.
  EXPECT_EQ(t.read(kSaw, 100.4f, kInterpolationNone), saw[100]);
  EXPECT_EQ(t.read(kSaw, 100.5f, kInterpolationNone), saw[100]);
  EXPECT_EQ(t.read(kSaw, 101.5f, kInterpolationNone), saw[102]);
  EXPECT_EQ(t.read(kSaw, 100.25f, 7), saw[100]);  // any other mode reads plainly
  // Linear: exact on the saw's straight line.
  EXPECT_EQ(t.read(kSaw, 100.25f, kInterpolationLinear), saw[100] + 0.25f * t.d(kSaw, 100));
  EXPECT_FLOAT_EQ(t.read(kSaw, 100.25f, kInterpolationLinear), 100.25f / 8192.0f - 1.0f);
  EXPECT_FLOAT_EQ(t.read(kSaw, 100.75f, kInterpolationLinear), 100.75f / 8192.0f - 1.0f);
  EXPECT_FLOAT_EQ(t.read(kSaw, 100.25f, kInterpolationFourPoint), 100.25f / 8192.0f - 1.0f);
  // Four-point and linear follow the sine closely between entries.
  for (float x = 0.0f; x < 16384.0f; x += 37.37f) {
    const double exact = std::sin(x * std::numbers::pi / 8192.0);
    EXPECT_NEAR(t.read(kSine, x, kInterpolationLinear), exact, 1e-6) << x;
    EXPECT_NEAR(t.read(kSine, x, kInterpolationFourPoint), exact, 1e-6) << x;
    EXPECT_NEAR(t.read(kSine, x, kInterpolationNone), exact, 2e-4) << x;
  }
}

TEST(SynthWaveTables, PositionJustBelowThePeriodReadsEntry16384) {
  const TWaveTables& t = tables();
  const float position = 16384.0f - 1.0f / 1024.0f;  // the largest float below 16384
  ASSERT_LT(position, 16384.0f);
  const float f = position - 16384.0f;
  for (int w = 0; w < TWaveTables::kNumWaves; ++w) {
    const float expected = t.values(w)[16384] +
                           f * (t.k1(w, 16384) + f * (t.k2(w, 16384) + f * t.k3(w, 16384)));
    EXPECT_EQ(t.read(w, position, kInterpolationFourPoint), expected) << w;
    EXPECT_EQ(t.read(w, position, kInterpolationLinear), t.values(w)[16384] + f * t.d(w, 16384)) << w;
    EXPECT_TRUE(std::isfinite(expected));
  }
  EXPECT_NEAR(t.read(kSine, position, kInterpolationFourPoint), 0.0f, 1e-5f);
}

}  // namespace
