#include "engine/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace zarn::engine {
namespace {

const NumberLocale kFullStop{"."};
const NumberLocale kComma{","};

TEST(ParseDouble, ReadsTheLocaleGrammar) {
  struct Case {
    const char* text;
    const NumberLocale* locale;
    std::optional<double> expected;
  };
  const Case cases[] = {
      {"135", &kFullStop, 135.0},
      {"  -31.5\t", &kFullStop, -31.5},
      {"+2", &kFullStop, 2.0},
      {".5", &kFullStop, 0.5},
      {"5.", &kFullStop, 5.0},
      {"1e30", &kFullStop, 1e30},
      {"1E+3", &kFullStop, 1000.0},
      {"2.5e-1", &kFullStop, 0.25},
      {"31,5", &kComma, 31.5},
      {",25", &kComma, 0.25},
      {"1,5E2", &kComma, 150.0},
      {"1e-400", &kFullStop, 0.0},  // too small for a double: zero, not a failure
      {"0e999999999999999999", &kFullStop, 0.0},
      // Rejected forms.
      {"", &kFullStop, std::nullopt},
      {"   ", &kFullStop, std::nullopt},
      {".", &kFullStop, std::nullopt},
      {"-", &kFullStop, std::nullopt},
      {"abc", &kFullStop, std::nullopt},
      {"1.2.3", &kFullStop, std::nullopt},
      {"1 000", &kFullStop, std::nullopt},
      {"1,000", &kFullStop, std::nullopt},  // group separator of a full-stop locale
      {"31.5", &kComma, std::nullopt},      // group separator of a comma locale
      {"$5", &kFullStop, std::nullopt},
      {"5€", &kFullStop, std::nullopt},
      {"0x10", &kFullStop, std::nullopt},
      {"&H10", &kFullStop, std::nullopt},
      {"1e", &kFullStop, std::nullopt},
      {"1e+", &kFullStop, std::nullopt},
      {"e5", &kFullStop, std::nullopt},
      {"--1", &kFullStop, std::nullopt},
      {"1e400", &kFullStop, std::nullopt},  // beyond the double range
      {"-1e309", &kFullStop, std::nullopt},
      {"Infinity", &kFullStop, std::nullopt},
      {"-Infinity", &kFullStop, std::nullopt},
      {"inf", &kFullStop, std::nullopt},
      {"NaN", &kFullStop, std::nullopt},
      {"nan", &kFullStop, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseDouble(c.text, *c.locale), c.expected)
        << "'" << c.text << "' with separator '" << c.locale->decimalSeparator << "'";
  }
}

TEST(ParseDouble, KeepsTheSignOfZeroAndReadsSubnormals) {
  EXPECT_TRUE(std::signbit(*ParseDouble("-0", kFullStop)));
  EXPECT_TRUE(std::signbit(*ParseDouble("-1e-999", kFullStop)));
  EXPECT_EQ(*ParseDouble("4.9406564584124654e-324", kFullStop), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(*ParseDouble("1.7976931348623157e308", kFullStop), std::numeric_limits<double>::max());
}

TEST(ParseDouble, AcceptsAMultiByteSeparator) {
  const NumberLocale arabic{"\xD9\xAB"};  // U+066B ARABIC DECIMAL SEPARATOR
  EXPECT_EQ(ParseDouble("12\xD9\xAB"
                        "5",
                        arabic),
            12.5);
  EXPECT_EQ(ParseDouble("12\xD9", arabic), std::nullopt);
}

TEST(ParseLong, RoundsHalvesToEvenAndChecksTheInt32Range) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {"1280.5", 1280},
      {"1281.5", 1282},
      {"1280.6", 1281},
      {"-1280.5", -1280},
      {"-1281.5", -1282},
      {"0.5", 0},
      {"-0.5", 0},
      {"2147483647", 2147483647},
      {"2147483647.4", 2147483647},
      {"2147483647.5", std::nullopt},  // rounds to 2^31
      {"2147483648", std::nullopt},
      {"-2147483648", INT32_MIN},
      {"-2147483648.5", INT32_MIN},  // even
      {"-2147483649", std::nullopt},
      {"1e10", std::nullopt},
      {"", std::nullopt},
      {"x", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseLong(c.text, kFullStop), c.expected) << c.text;
}

TEST(Rounding, TenthsHalvesToEvenOnTheSingleValue) {
  EXPECT_EQ(RoundToTenths(60.25f), 60.2f);
  EXPECT_EQ(RoundToTenths(60.75f), 60.8f);
  EXPECT_EQ(RoundToTenths(60.35f), 60.3f);  // the single is 60.349998...
  EXPECT_EQ(RoundToTenths(60.45f), 60.5f);  // the single is 60.450001...
  EXPECT_EQ(RoundToTenths(60.3f), 60.3f);
  EXPECT_EQ(*RoundToTenths(60.3f), static_cast<float>(603.0 / 10.0));
}

TEST(Rounding, TenthsAndHundredthsFailOutsideTheInt16Range) {
  EXPECT_EQ(RoundToTenths(3276.74f), 3276.7f);
  EXPECT_EQ(RoundToTenths(3276.75f), std::nullopt);  // 32767.5 rounds to the even 32768
  EXPECT_EQ(RoundToTenths(-3276.84f), -3276.8f);
  EXPECT_EQ(RoundToTenths(-3276.85f), std::nullopt);  // the single is -3276.8500977
  EXPECT_EQ(RoundToTenths(-3276.8f), -3276.8f);
  EXPECT_EQ(RoundToHundredths(327.675f), 327.67f);      // the single is 327.67499
  EXPECT_EQ(RoundToHundredths(327.68f), std::nullopt);  // 32767.999 rounds to 32768
  EXPECT_EQ(RoundToHundredths(-327.68f), -327.68f);
  EXPECT_EQ(RoundToHundredths(39.375f), 39.38f);  // 3937.5 goes to the even 3938
  EXPECT_EQ(RoundToHundredths(39.355f), 39.35f);  // the single is 39.354999
  for (const float bad : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()}) {
    EXPECT_EQ(RoundToTenths(bad), std::nullopt);
    EXPECT_EQ(RoundToHundredths(bad), std::nullopt);
  }
}

TEST(NarrowToSingle, RoundsToNearestAndOverflowsToInfinity) {
  constexpr float kMax = std::numeric_limits<float>::max();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(NarrowToSingle(0x1.fffffefffffffp127), kMax);  // just below the halfway point
  EXPECT_EQ(NarrowToSingle(0x1.ffffffp127), kInf);         // halfway rounds to even: infinity
  EXPECT_EQ(NarrowToSingle(-1e40), -kInf);
  EXPECT_EQ(NarrowToSingle(1.0 + 0x1p-24), 1.0f);                       // tie to even
  EXPECT_EQ(NarrowToSingle(1.0 + 0x1p-23 + 0x1p-24), 1.0f + 0x1p-22f);  // tie to even, upwards
  EXPECT_TRUE(std::isnan(NarrowToSingle(std::numeric_limits<double>::quiet_NaN())));
}

TEST(IeeeDivide, GivesInfinityOrNaNForAZeroDivisor) {
  EXPECT_EQ(IeeeDivide(1.0, 0.0), std::numeric_limits<double>::infinity());
  EXPECT_EQ(IeeeDivide(-1.0, 0.0), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(IeeeDivide(1.0, -0.0), -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(IeeeDivide(0.0, 0.0)));
  EXPECT_EQ(IeeeDivide(6.0, 3.0), 2.0);
}

}  // namespace
}  // namespace zarn::engine
