#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/number_locale.h"
#include "modes/decimal.h"

namespace zarn::forms {

// A number as the user types it: blanks around it, an optional sign, digits
// with at most one decimal separator of the user's locale (a digit on at
// least one side) and an optional exponent ("1,5E+02"). No grouping, no
// other separator, no spelled-out infinity or NaN.
modes::DecimalGrammar LocaleGrammar(const engine::NumberLocale& locale);

// Such a number, read exactly.
inline std::optional<modes::ExactDecimal> ReadExactDecimal(std::string_view text, const engine::NumberLocale& locale) {
  return modes::ReadExactDecimal(text, LocaleGrammar(locale));
}
using modes::ScaledUnits;
using modes::ToDouble;

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
