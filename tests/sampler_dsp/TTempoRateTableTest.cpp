// The tempo rate table: its names agree with its values, and rateIndex
// rounds a float32 product with ties to even.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "sampler/dsp/TTempoRateTable.h"

namespace sarnel {
namespace {

// "a/b" or "a" as a double.
double fractionOf(std::string_view name) {
  const auto slash = name.find('/');
  double numerator = 0.0;
  double denominator = 1.0;
  std::from_chars(name.data(), name.data() + (slash == std::string_view::npos ? name.size() : slash),
                  numerator);
  if (slash != std::string_view::npos)
    std::from_chars(name.data() + slash + 1, name.data() + name.size(), denominator);
  return numerator / denominator;
}

TEST(TTempoRateTable, EachValueIsTheNearestFloatToItsName) {
  TTempoRateTable table;
  double previous = 0.0;
  for (std::int32_t i = 0; i < TTempoRateTable::kRateCount; ++i) {
    const std::string_view name = table.rateNames[static_cast<std::size_t>(i)];
    const double exact = fractionOf(name);
    ASSERT_GT(exact, previous) << name;  // rising rates
    previous = exact;
    const float value = table.rateValues[static_cast<std::size_t>(i)];
    const double error = std::fabs(static_cast<double>(value) - exact);
    EXPECT_LE(error, std::fabs(static_cast<double>(std::nextafter(value, 0.0f)) - exact)) << name;
    EXPECT_LE(error, std::fabs(static_cast<double>(std::nextafter(value, 200.0f)) - exact)) << name;
  }
  EXPECT_EQ(table.rateNames[0], "1/64");
  EXPECT_EQ(table.rateNames[15], "4/3");
  EXPECT_EQ(table.rateNames[30], "96");
}

TEST(TTempoRateTable, RateIndexAtTheNamedValues) {
  TTempoRateTable table;
  EXPECT_EQ(table.rateIndex(0.5f), 15);  // round(15.05)
  EXPECT_EQ(table.rateName(0.5f), "4/3");
  EXPECT_EQ(table.rateValue(0.5f), 4.0f / 3.0f);
  EXPECT_EQ(table.rateIndex(1.0f), 30);  // round(30.1)
  EXPECT_EQ(table.rateName(1.0f), "96");
  EXPECT_EQ(table.rateIndex(-0.2f), 0);
  EXPECT_EQ(table.rateName(-0.2f), "1/64");
  EXPECT_EQ(table.rateIndex(0.0f), 0);
  EXPECT_EQ(table.rateIndex(0.25f), 8);  // round(7.525)
  EXPECT_EQ(table.rateName(0.25f), "1/5");
}

TEST(TTempoRateTable, RateIndexStaysInsideTheTable) {
  TTempoRateTable table;
  const float kInf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(table.rateIndex(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(table.rateIndex(-kInf), 0);
  EXPECT_EQ(table.rateIndex(kInf), 30);
  EXPECT_EQ(table.rateIndex(1.0001f), 30);
  EXPECT_EQ(table.rateIndex(1e30f), 30);
  EXPECT_EQ(table.rateValue(kInf), 96.0f);
  EXPECT_EQ(table.rateName(std::numeric_limits<float>::quiet_NaN()), "1/64");
  // Every float in 0 ... 1 on a fine grid lands on an index, rising.
  std::int32_t previous = 0;
  for (int i = 0; i <= 100000; ++i) {
    const std::int32_t index = table.rateIndex(static_cast<float>(i) / 100000.0f);
    ASSERT_GE(index, previous);
    ASSERT_LE(index, 30);
    previous = index;
  }
  EXPECT_EQ(previous, 30);
}

TEST(TTempoRateTable, RateIndexRoundsFloat32TiesToEven) {
  TTempoRateTable table;
  // Values whose float32 product with 30.1 is exactly halfway between two
  // indices; the first assertion of each case checks that premise.
  const struct {
    float x;
    float product;
    std::int32_t index;
  } ties[] = {
      {0x1.543308p-4f, 2.5f, 2},   // away from zero would give 3
      {0x1.322deep-3f, 4.5f, 4},   // away from zero would give 5
      {0x1.983d3cp-5f, 1.5f, 2},
      {0x1.ed49fep-2f, 14.5f, 14},
      {0x1.f5cb44p-1f, 29.5f, 30},
  };
  for (const auto& t : ties) {
    ASSERT_EQ(t.x * 30.1f, t.product) << t.x;
    EXPECT_EQ(table.rateIndex(t.x), t.index) << t.x;
  }
}

}  // namespace
}  // namespace sarnel
