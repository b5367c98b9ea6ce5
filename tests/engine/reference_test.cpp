// FormatSingle and the two roundings against independent references from the
// C library: printf("%.7G") formats with exactly the rules of FormatSingle
// (exponent form outside -4..6, trailing zeros dropped, two exponent digits),
// and nearbyint rounds halves to even in the default rounding mode.
#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "engine/format_single.h"
#include "engine/numeric.h"

namespace zarn::engine {
namespace {

const NumberLocale kFullStop{"."};

std::string ReferenceFormat(float value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0.0f) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.7G", static_cast<double>(value));
  return buffer;
}

std::optional<float> ReferenceRound(float value, double scale) {
  if (!std::isfinite(value)) return std::nullopt;
  const double i = std::nearbyint(static_cast<double>(value) * scale);
  if (i < -32768.0 || i > 32767.0) return std::nullopt;
  return static_cast<float>(i / scale);
}

class AgainstReference : public ::testing::Test {
 protected:
  void SetUp() override {
    std::setlocale(LC_NUMERIC, "C");
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
  }

  // Checks one value; stops reporting after a few mismatches.
  void Check(float value) {
    if (failures_ >= 5) return;
    const std::string text = FormatSingle(value, kFullStop);
    const std::string expected = ReferenceFormat(value);
    const auto tenths = RoundToTenths(value);
    const auto hundredths = RoundToHundredths(value);
    const auto expectedTenths = ReferenceRound(value, 10.0);
    const auto expectedHundredths = ReferenceRound(value, 100.0);
    if (text != expected || tenths != expectedTenths || hundredths != expectedHundredths) {
      ++failures_;
      ADD_FAILURE() << "value " << std::hexfloat << value << ": FormatSingle '" << text << "' reference '" << expected
                    << "'; tenths " << tenths.value_or(-1) << " reference " << expectedTenths.value_or(-1)
                    << "; hundredths " << hundredths.value_or(-1) << " reference " << expectedHundredths.value_or(-1);
    }
  }

  int failures_ = 0;
};

// Every value a rounded result can take: i / 10 and i / 100 for every int16 i,
// and each one's neighbours one unit in the last place away.
TEST_F(AgainstReference, EveryRoundedResultAndItsNeighbours) {
  for (int i = -32768; i <= 32767; ++i) {
    for (const double scale : {10.0, 100.0}) {
      const float value = static_cast<float>(i / scale);
      Check(value);
      Check(std::nextafter(value, 1e9f));
      Check(std::nextafter(value, -1e9f));
    }
  }
}

// Every single from 0.01 to 4096 in steps of 1/4096 units of a hundredth, and
// the same negated: covers both rounding limits densely.
TEST_F(AgainstReference, DenseGridOverTheRoundingRange) {
  for (std::int32_t i = 40; i < 4096 * 4096; i += 3) {
    const float value = static_cast<float>(i) / 4096.0f;
    Check(value);
    Check(-value);
  }
}

// Four million random bit patterns: every exponent, subnormals, infinities, NaN.
TEST_F(AgainstReference, RandomBitPatterns) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 4'000'000; ++i) Check(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
}

}  // namespace
}  // namespace zarn::engine
