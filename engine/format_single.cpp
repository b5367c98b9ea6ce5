#include "engine/format_single.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zarn::engine {
namespace {

constexpr int kSignificantDigits = 7;

struct DecimalDigits {
  bool negative = false;
  std::string digits;  // significant digits, trailing zeros removed, at least one
  int exponent = 0;    // power of ten of the first digit
};

// Rounds the exact value of the single to 7 significant digits. to_chars with
// a precision rounds the exact binary value, ties to even.
DecimalDigits RoundToSignificant(float value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<double>(value),
                                    std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
  // text: [-]d.dddddde[+-]dd
  DecimalDigits out;
  std::size_t i = 0;
  if (text[i] == '-') {
    out.negative = true;
    ++i;
  }
  const std::size_t exponentMark = text.find('e');
  for (; i < exponentMark; ++i) {
    if (text[i] != '.') out.digits += text[i];
  }
  std::from_chars(text.data() + exponentMark + 1 + (text[exponentMark + 1] == '+' ? 1 : 0), text.data() + text.size(),
                  out.exponent);
  while (out.digits.size() > 1 && out.digits.back() == '0') out.digits.pop_back();
  return out;
}

std::string Positional(const DecimalDigits& d, std::string_view separator) {
  std::string out = d.negative ? "-" : "";
  const auto count = static_cast<int>(d.digits.size());
  if (d.exponent >= 0) {
    const int integerDigits = d.exponent + 1;
    for (int i = 0; i < integerDigits; ++i) {
      out += i < count ? d.digits[static_cast<std::size_t>(i)] : '0';
    }
    if (count > integerDigits) {
      out += separator;
      out.append(d.digits, static_cast<std::size_t>(integerDigits));
    }
  } else {
    out += '0';
    out += separator;
    out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    out += d.digits;
  }
  return out;
}

std::string Exponential(const DecimalDigits& d, std::string_view separator) {
  std::string out = d.negative ? "-" : "";
  out += d.digits[0];
  if (d.digits.size() > 1) {
    out += separator;
    out.append(d.digits, 1);
  }
  out += 'E';
  out += d.exponent < 0 ? '-' : '+';
  const int magnitude = std::abs(d.exponent);
  if (magnitude < 10) out += '0';
  out += std::to_string(magnitude);
  return out;
}

}  // namespace

std::string FormatSingle(float value, const NumberLocale& locale) {
  if (std::isnan(value)) return std::string(kNaNText);
  if (std::isinf(value)) return std::string(value < 0 ? kMinusInfinityText : kPlusInfinityText);
  if (value == 0.0f) return "0";  // also for -0

  const std::string_view separator = locale.Separator();
  const DecimalDigits d = RoundToSignificant(value);
  if (d.exponent >= -4 && d.exponent < kSignificantDigits) return Positional(d, separator);
  return Exponential(d, separator);
}

}  // namespace zarn::engine
