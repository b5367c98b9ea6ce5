#pragma once

#include <cstdint>
#include <string>

namespace zarn::modes {

// Numbers as machine formats and the command line write them: a full stop as
// the decimal separator, whatever the user's locale.

// A whole number of units scaled down by 10^digits, exactly, with at least
// min_decimals decimals and no trailing zeros beyond them:
// ScaledDecimal(148500000, 6, 2) is "148.50", (586586000, 6, 2) "586.586".
std::string ScaledDecimal(std::uint64_t units, int digits, int min_decimals);

// The shortest text that reads back as the same double ("75.02467497536294").
std::string ShortestDecimal(double value);

// Rounded to a fixed number of decimals ("75.02").
std::string FixedDecimal(double value, int decimals);

}  // namespace zarn::modes
