#include "forms/timings/locale_number.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

#include "modes/decimal.h"

namespace zarn::forms {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Nothing a user types needs more; it also keeps the exponent arithmetic small.
constexpr std::size_t kMaxDigits = 60;
constexpr int kMaxExponentDigits = 4;

}  // namespace

std::optional<ExactDecimal> ReadExactDecimal(std::string_view text, const engine::NumberLocale& locale) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  ExactDecimal number;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    number.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::string_view separator = locale.Separator();
  std::string digits;
  int fractionDigits = 0;
  bool seenSeparator = false;
  bool seenDigit = false;
  while (!text.empty()) {
    if (IsDigit(text.front())) {
      seenDigit = true;
      if (digits.size() >= kMaxDigits) return std::nullopt;
      digits += text.front();
      if (seenSeparator) ++fractionDigits;
      text.remove_prefix(1);
    } else if (!seenSeparator && text.starts_with(separator)) {
      seenSeparator = true;
      text.remove_prefix(separator.size());
    } else {
      break;
    }
  }
  if (!seenDigit) return std::nullopt;
  int exponent = 0;
  if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    text.remove_prefix(1);
    bool negativeExponent = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
      negativeExponent = text.front() == '-';
      text.remove_prefix(1);
    }
    if (text.empty() || text.size() > static_cast<std::size_t>(kMaxExponentDigits)) return std::nullopt;
    for (const char c : text) {
      if (!IsDigit(c)) return std::nullopt;
      exponent = exponent * 10 + (c - '0');
    }
    if (negativeExponent) exponent = -exponent;
    text = {};
  }
  if (!text.empty()) return std::nullopt;
  const std::size_t first = digits.find_first_not_of('0');
  number.digits = first == std::string::npos ? std::string() : digits.substr(first);
  number.exponent = number.digits.empty() ? 0 : exponent - fractionDigits;
  if (number.digits.empty()) number.negative = false;  // "-0" is zero
  return number;
}

std::optional<std::uint64_t> ScaledUnits(const ExactDecimal& number, int decimals, std::uint64_t max) {
  if (number.digits.empty()) return std::uint64_t{0};
  if (number.negative) return std::nullopt;
  std::string digits = number.digits;
  int shift = number.exponent + decimals;
  // Trailing zeros below the unit are no finer digits.
  while (shift < 0 && !digits.empty() && digits.back() == '0') {
    digits.pop_back();
    ++shift;
  }
  if (shift < 0) return std::nullopt;
  if (digits.size() + static_cast<std::size_t>(shift) > 20) return std::nullopt;
  std::uint64_t value = 0;
  const auto append = [&](char c) {
    const auto d = static_cast<std::uint64_t>(c - '0');
    if (d > max || value > (max - d) / 10) return false;
    value = value * 10 + d;
    return true;
  };
  for (const char c : digits) {
    if (!append(c)) return std::nullopt;
  }
  for (int i = 0; i < shift; ++i) {
    if (!append('0')) return std::nullopt;
  }
  return value;
}

double ToDouble(const ExactDecimal& number) {
  if (number.digits.empty()) return 0.0;
  const std::string text = number.digits + "e" + std::to_string(number.exponent);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the nearest it has.
    value = number.exponent > 0 ? HUGE_VAL : 0.0;
  }
  return number.negative ? -value : value;
}

std::string WithLocaleSeparator(std::string_view dotText, const engine::NumberLocale& locale) {
  std::string text;
  for (const char c : dotText) {
    if (c == '.') {
      text += locale.Separator();
    } else {
      text += c;
    }
  }
  return text;
}

std::string MegahertzText(std::uint64_t hertz, const engine::NumberLocale& locale) {
  return WithLocaleSeparator(modes::ScaledDecimal(hertz, 6, 0), locale);
}

std::string FullPrecisionText(double value, int shift, const engine::NumberLocale& locale) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");
  // The shortest positional text that reads back as the same double.
  std::array<char, 400> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  std::string text(buffer.data(), result.ptr);
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.erase(0, 1);
  const std::size_t point = text.find('.');
  std::string whole = text.substr(0, point);
  std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
  const auto moved = static_cast<std::size_t>(shift);
  if (whole.size() <= moved) whole.insert(0, moved + 1 - whole.size(), '0');
  fraction.insert(0, whole.substr(whole.size() - moved));
  whole.erase(whole.size() - moved);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  const std::size_t firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
  std::string out = (negative && (whole != "0" || !fraction.empty()) ? "-" : "") + whole;
  if (!fraction.empty()) out += std::string(locale.Separator()) + fraction;
  return out;
}

}  // namespace zarn::forms
