#include "engine/numeric.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace zarn::engine {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// A number in the grammar above, rewritten in the form std::from_chars reads
// ("-", digits, ".", digits, "e", sign, digits), plus the decimal magnitude of
// its first significant digit, which tells an overflow from an underflow.
struct CanonicalNumber {
  std::string text;
  bool negative = false;
  bool allZero = true;
  long long magnitude = 0;  // power of ten of the leading significant digit
};

std::optional<CanonicalNumber> Canonicalize(std::string_view text, std::string_view separator) {
  CanonicalNumber number;
  number.text.reserve(text.size() + 2);
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    number.negative = text[i] == '-';
    if (number.negative) number.text += '-';
    ++i;
  }
  int digits = 0;
  bool separatorSeen = false;
  long long integerDigits = 0;      // digits before the separator
  long long firstSignificant = -1;  // index among all mantissa digits
  while (i < n) {
    if (IsDigit(text[i])) {
      if (text[i] != '0' && firstSignificant < 0) firstSignificant = digits;
      number.text += text[i];
      ++digits;
      if (!separatorSeen) ++integerDigits;
      ++i;
    } else if (!separatorSeen && text.substr(i).starts_with(separator)) {
      number.text += '.';
      separatorSeen = true;
      i += separator.size();
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;

  long long exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    number.text += 'e';
    ++i;
    bool exponentNegative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      exponentNegative = text[i] == '-';
      number.text += text[i];
      ++i;
    }
    const std::size_t exponentStart = i;
    while (i < n && IsDigit(text[i])) {
      // Saturate: any exponent this large is far outside the double range.
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
      number.text += text[i];
      ++i;
    }
    if (i == exponentStart) return std::nullopt;
    if (exponentNegative) exponent = -exponent;
  }
  if (i != n) return std::nullopt;

  number.allZero = firstSignificant < 0;
  if (!number.allZero) number.magnitude = integerDigits - 1 - firstSignificant + exponent;
  return number;
}

std::optional<float> RoundThroughInt16(float value, double scale) {
  if (!std::isfinite(value)) return std::nullopt;
  // Exact: a single has 24 significant bits, times 100 needs at most 31.
  const double scaled = RoundHalfEven(static_cast<double>(value) * scale);
  if (scaled < -32768.0 || scaled > 32767.0) return std::nullopt;
  return NarrowToSingle(scaled / scale);
}

}  // namespace

std::optional<double> ParseDouble(std::string_view text, const NumberLocale& locale) {
  const std::string_view separator = locale.Separator();
  const auto number = Canonicalize(TrimBlanks(text), separator);
  if (!number) return std::nullopt;
  if (number->allZero) return number->negative ? -0.0 : 0.0;

  double value = 0.0;
  const char* first = number->text.data();
  const char* last = first + number->text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::result_out_of_range) {
    if (number->magnitude < 0) return number->negative ? -0.0 : 0.0;  // underflow
    return std::nullopt;                                              // overflow
  }
  if (error != std::errc{} || end != last) return std::nullopt;
  return value;
}

std::optional<std::int32_t> ParseLong(std::string_view text, const NumberLocale& locale) {
  const auto value = ParseDouble(text, locale);
  if (!value) return std::nullopt;
  const double rounded = RoundHalfEven(*value);
  if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

std::optional<float> RoundToTenths(float value) { return RoundThroughInt16(value, 10.0); }

std::optional<float> RoundToHundredths(float value) { return RoundThroughInt16(value, 100.0); }

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  double result = std::floor(value);
  const double fraction = value - result;  // exact
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(result, 2.0) != 0.0)) result += 1.0;
  return result;
}

float NarrowToSingle(double value) {
  const float sign = std::signbit(value) ? -1.0f : 1.0f;
  if (std::isnan(value)) return std::copysign(std::numeric_limits<float>::quiet_NaN(), sign);
  // Halfway between the largest single and 2^128: from here on, rounding to
  // nearest gives infinity.
  constexpr double overflowThreshold = 0x1.ffffffp127;
  if (std::fabs(value) >= overflowThreshold) return sign * std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

double IeeeDivide(double dividend, double divisor) {
  if (divisor != 0.0) return dividend / divisor;
  if (dividend == 0.0 || std::isnan(dividend)) return std::numeric_limits<double>::quiet_NaN();
  const bool negative = std::signbit(dividend) != std::signbit(divisor);
  return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
}

}  // namespace zarn::engine
