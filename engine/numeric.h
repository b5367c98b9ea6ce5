#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/number_locale.h"

namespace zarn::engine {

// Text to double. Accepts surrounding blanks, an optional sign, digits with at
// most one decimal separator of the locale (a leading or trailing separator is
// fine when there is a digit), and an optional exponent e/E with optional sign.
// Fails (nullopt) on empty text, anything else (group separators, currency
// signs, other bases, any spelling of infinity or NaN) and on numbers beyond
// the double range. Numbers too small for a double read as zero.
std::optional<double> ParseDouble(std::string_view text, const NumberLocale& locale);

// ParseDouble, then rounded to an integer, halves to even (1280.5 -> 1280,
// 1281.5 -> 1282). Fails also when the rounded value is outside int32.
std::optional<std::int32_t> ParseLong(std::string_view text, const NumberLocale& locale);

// The single nearest to a multiple of 0.1 (0.01), rounding the tenfold
// (hundredfold) value halves to even through a signed 16-bit integer. Fails
// for infinities, NaN and values whose scaled integer leaves -32768..32767.
std::optional<float> RoundToTenths(float value);
std::optional<float> RoundToHundredths(float value);

// Round to the nearest integer, halves to even, independent of the floating
// point environment's rounding mode.
double RoundHalfEven(double value);

// IEEE narrowing of a double to single, round to nearest with halves to
// even; out-of-range magnitudes become infinities (never undefined behaviour).
float NarrowToSingle(double value);

// IEEE division: a zero divisor gives a signed infinity, or NaN for 0/0.
double IeeeDivide(double dividend, double divisor);

}  // namespace zarn::engine
