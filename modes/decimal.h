#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarn::modes {

// Numbers written and read exactly, whatever the user's locale.

// A whole number of units scaled down by 10^digits, exactly, with at least
// min_decimals decimals and no trailing zeros beyond them:
// ScaledDecimal(148500000, 6, 2) is "148.50", (586586000, 6, 2) "586.586".
std::string ScaledDecimal(std::uint64_t units, int digits, int min_decimals);

// The shortest text that reads back as the same double ("75.02467497536294").
std::string ShortestDecimal(double value);

// Rounded to a fixed number of decimals ("75.02").
std::string FixedDecimal(double value, int decimals);

// A number as a timing's source text and messages show it: at most six
// decimals and no trailing zeros ("59.94", "23.976", "60").
std::string SourceNumberText(double value);

// What a number as typed may hold besides its digits. Each reader of numbers
// states its own grammar: the command line takes no sign, exponent or blanks
// and either decimal separator; a window takes what people type there.
struct DecimalGrammar {
  std::string_view separator = ".";   // the decimal separator
  std::string_view other_separator;   // a second one that counts the same, or empty
  bool fraction = true;               // whether a separator and decimals may appear at all
  bool digits_on_both_sides = false;  // "5." and ".5" are refused when set
  bool sign = false;                  // a leading + or -
  bool exponent = false;              // "1.5E+02"
  bool blanks = false;                // spaces and tabs around the number
};

// A number read exactly: digits * 10^exponent.
struct ExactDecimal {
  std::string digits;  // the significant digits, without leading zeros; empty for zero
  int exponent = 0;
  bool negative = false;
};

// Reads a whole text as one number of that grammar; nullopt when the text is
// anything else (grouping, other separators, "inf", "nan", other scripts'
// digits, more than 60 digits or a four-digit exponent).
std::optional<ExactDecimal> ReadExactDecimal(std::string_view text, const DecimalGrammar& grammar);

// The number in whole units of 10^-decimals ("148.5" with 6 decimals is
// 148500000); nullopt when it is negative, has finer digits than that, or
// exceeds max units.
std::optional<std::uint64_t> ScaledUnits(const ExactDecimal& number, int decimals, std::uint64_t max);

// Whether the number is whole (no digits below the unit).
bool IsWhole(const ExactDecimal& number);

// The nearest double (infinity when too large for one).
double ToDouble(const ExactDecimal& number);

}  // namespace zarn::modes
