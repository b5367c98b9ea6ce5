#include "engine/format_single.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/numeric.h"

namespace zarn::engine {
namespace {

const NumberLocale kFullStop{"."};
const NumberLocale kComma{","};

TEST(FormatSingle, WritesPositionalFormUpToSixDigitExponents) {
  struct Case {
    float value;
    const char* text;
  };
  const Case cases[] = {
      {75.0f, "75"},
      {60.3f, "60.3"},
      {79.98f, "79.98"},
      {1799408.0f, "1799408"},
      {0.0f, "0"},
      {-0.0f, "0"},
      {-145.2f, "-145.2"},
      {3276.75f, "3276.75"},
      {5000.123f, "5000.123"},
      {9999999.0f, "9999999"},
      {0.0001f, "0.0001"},
      {0.01f, "0.01"},
      {123.456789f, "123.4568"},
      {1.9999999f, "2"},  // 1.99999988: rounding carries into the next digit
      {-3276.85f, "-3276.85"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatSingle(c.value, kFullStop), c.text) << c.text;
}

TEST(FormatSingle, WritesExponentFormFromSevenDigitExponents) {
  EXPECT_EQ(FormatSingle(10000000.0f, kFullStop), "1E+07");
  EXPECT_EQ(FormatSingle(12345678.0f, kFullStop), "1.234568E+07");
  EXPECT_EQ(FormatSingle(5.557383e29f, kFullStop), "5.557383E+29");
  EXPECT_EQ(FormatSingle(-std::numeric_limits<float>::max(), kFullStop), "-3.402823E+38");
  EXPECT_EQ(FormatSingle(1e-5f, kFullStop), "1E-05");
  EXPECT_EQ(FormatSingle(std::numeric_limits<float>::denorm_min(), kFullStop), "1.401298E-45");
  EXPECT_EQ(FormatSingle(12345678.0f, kComma), "1,234568E+07");
}

TEST(FormatSingle, BreaksSevenDigitTiesTowardsTheEvenDigit) {
  // Both values are exact singles with an eighth digit of exactly 5.
  EXPECT_EQ(FormatSingle(12345675.0f, kFullStop), "1.234568E+07");
  EXPECT_EQ(FormatSingle(12345665.0f, kFullStop), "1.234566E+07");
  // 1.0000005 is not exact: the single lies below the tie and rounds down.
  EXPECT_EQ(FormatSingle(1.0000005f, kFullStop), "1");
}

TEST(FormatSingle, WritesFixedTextsThatDoNotReadBack) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(FormatSingle(inf, kFullStop), "Infinity");
  EXPECT_EQ(FormatSingle(-inf, kFullStop), "-Infinity");
  EXPECT_EQ(FormatSingle(std::numeric_limits<float>::quiet_NaN(), kFullStop), "NaN");
  EXPECT_EQ(FormatSingle(-std::numeric_limits<float>::quiet_NaN(), kFullStop), "NaN");
  for (const float value : {inf, -inf, std::numeric_limits<float>::quiet_NaN()}) {
    EXPECT_EQ(ParseDouble(FormatSingle(value, kFullStop), kFullStop), std::nullopt);
  }
}

TEST(FormatSingle, UsesTheLocaleSeparator) {
  EXPECT_EQ(FormatSingle(60.3f, kComma), "60,3");
  EXPECT_EQ(FormatSingle(0.0625f, kComma), "0,0625");
  EXPECT_EQ(FormatSingle(75.0f, kComma), "75");
  EXPECT_EQ(ParseDouble(FormatSingle(79.98f, kComma), kComma), 79.98);
}

}  // namespace
}  // namespace zarn::engine
