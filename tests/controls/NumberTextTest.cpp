#include <gtest/gtest.h>

#include <clocale>

#include "controls/NumberText.h"

namespace {

using controls::formatFixed;
using controls::parseInteger;
using controls::parseReal;

TEST(NumberText, FixedFormatRoundsToThreeSignificantDigits) {
  EXPECT_EQ(formatFixed(0.5, 3, 3), "0.500");
  EXPECT_EQ(formatFixed(0.0, 3, 3), "0.000");
  EXPECT_EQ(formatFixed(12.345, 3, 3), "12.300");
  EXPECT_EQ(formatFixed(-0.12345, 3, 3), "-0.123");
  EXPECT_EQ(formatFixed(100.0, 3, 3), "100.000");
  EXPECT_EQ(formatFixed(999.6, 3, 3), "1.00E+003");  // rounds up to four digits
  EXPECT_EQ(formatFixed(1234.5, 3, 3), "1.23E+003");
}

TEST(NumberText, PointIsTheSeparatorWhateverTheLocale) {
  // A host may switch the C library to a locale with a decimal comma; the
  // controls' numbers must not follow it. (The locale may be missing; the
  // check holds either way.)
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(formatFixed(0.25, 3, 3), "0.250");
  EXPECT_EQ(parseReal("0.25"), 0.25);
  EXPECT_FALSE(parseReal("0,25"));
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberText, RealsAcceptSignBlanksAndExponentOnly) {
  EXPECT_EQ(parseReal(" -1.5 "), -1.5);
  EXPECT_EQ(parseReal("+2"), 2.0);
  EXPECT_EQ(parseReal(".5"), 0.5);
  EXPECT_EQ(parseReal("1e2"), 100.0);
  for (const char* bad : {"", " ", "-", "1.2.3", "abc", "inf", "nan", "-inf", "1e999", "0x10", "--1", "1 2"}) {
    EXPECT_FALSE(parseReal(bad)) << bad;
  }
}

TEST(NumberText, IntegersAreDecimalAndFitIn32Bits) {
  EXPECT_EQ(parseInteger("74"), 74);
  EXPECT_EQ(parseInteger(" -2147483648 "), -2147483647 - 1);
  EXPECT_EQ(parseInteger("+5"), 5);
  for (const char* bad : {"", "2147483648", "1.0", "12a", "++5", "+-5", "$10", " - 5"}) {
    EXPECT_FALSE(parseInteger(bad)) << bad;
  }
  EXPECT_EQ(controls::notAnIntegerMessage("x y"), "'x y' is not a valid integer value");
}

}  // namespace
