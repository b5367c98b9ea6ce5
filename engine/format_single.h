#pragma once

#include <string>
#include <string_view>

#include "engine/number_locale.h"

namespace zarn::engine {

// Texts written for values that are not finite numbers. ParseDouble accepts
// none of them, so a field holding one reads as a failed number.
inline constexpr std::string_view kPlusInfinityText = "Infinity";
inline constexpr std::string_view kMinusInfinityText = "-Infinity";
inline constexpr std::string_view kNaNText = "NaN";

// A single as text with at most 7 significant digits (rounded from the exact
// binary value, halves to even): plain positional form for decimal exponents
// -4..6 ("75", "60.3", "1799408"), otherwise "1.234568E+07" style. Trailing
// fraction zeros are dropped, there is no grouping and no "+", zero is "0".
std::string FormatSingle(float value, const NumberLocale& locale);

}  // namespace zarn::engine
