#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/number_locale.h"

namespace zarn::forms {

// A number as the user types it, read exactly: blanks around it, an optional
// sign, digits with at most one decimal separator of the user's locale (a
// digit on at least one side) and an optional exponent ("1,5E+02"). No
// grouping, no other separator, no spelled-out infinity or NaN.
struct ExactDecimal {
  std::string digits;  // the significant digits, without leading zeros; empty for zero
  int exponent = 0;    // the value is digits * 10^exponent
  bool negative = false;
};

std::optional<ExactDecimal> ReadExactDecimal(std::string_view text, const engine::NumberLocale& locale);

// The number in whole units of 10^-decimals ("148,5" with 6 decimals is
// 148500000); nullopt when it is negative, has finer digits than that, or
// exceeds max units.
std::optional<std::uint64_t> ScaledUnits(const ExactDecimal& number, int decimals, std::uint64_t max);

// The nearest double (negative numbers included).
double ToDouble(const ExactDecimal& number);

// A text with a full stop as decimal separator, written with the user's one.
std::string WithLocaleSeparator(std::string_view dotText, const engine::NumberLocale& locale);

// A whole number of hertz in megahertz, exactly and with no trailing zeros,
// in the user's locale: 148500000 is "148.5", 25175000 "25.175".
std::string MegahertzText(std::uint64_t hertz, const engine::NumberLocale& locale);

// A double at full precision in the user's locale: the fewest decimals that
// read back as the same double, in positional form, with the decimal point
// moved left by shift digits (3 turns hertz into kilohertz exactly).
std::string FullPrecisionText(double value, int shift, const engine::NumberLocale& locale);

}  // namespace zarn::forms
