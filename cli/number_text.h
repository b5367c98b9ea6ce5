#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zarn::cli {

// Numbers as the command line reads them, whatever the user's locale: digits
// with at most one decimal separator, a full stop or a comma ("59.94" and
// "59,94" are the same number). No sign, no grouping, no exponent, no blanks,
// no "inf" or "nan".

// A whole number: digits only ("1,920" is not one). nullopt past max.
std::optional<std::uint64_t> ReadWhole(std::string_view text, std::uint64_t max);

// A decimal number, exactly scaled by 10^digits into whole units:
// ReadScaled("148.5", 6) is 148500000. nullopt when it has more significant
// decimals than that, or exceeds max units.
std::optional<std::uint64_t> ReadScaled(std::string_view text, int digits, std::uint64_t max);

// A decimal number as the nearest double; nullopt when malformed or larger
// than max.
std::optional<double> ReadDecimal(std::string_view text, double max);

}  // namespace zarn::cli
