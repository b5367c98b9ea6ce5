#include "modes/decimal.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace zarn::modes {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Nothing a user types needs more; it also keeps the exponent arithmetic small.
constexpr std::size_t kMaxDigits = 60;
constexpr std::size_t kMaxExponentDigits = 4;

}  // namespace

std::string ScaledDecimal(std::uint64_t units, int digits, int min_decimals) {
  std::string text = std::to_string(units);
  const auto width = static_cast<std::size_t>(digits);
  if (text.size() <= width) text.insert(0, width + 1 - text.size(), '0');
  std::string whole = text.substr(0, text.size() - width);
  std::string fraction = text.substr(text.size() - width);
  const auto keep = static_cast<std::size_t>(min_decimals);
  while (fraction.size() > keep && fraction.back() == '0') fraction.pop_back();
  while (fraction.size() < keep) fraction.push_back('0');
  return fraction.empty() ? whole : whole + "." + fraction;
}

std::string ShortestDecimal(double value) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

std::string FixedDecimal(double value, int decimals) {
  std::array<char, 400> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
  return std::string(buffer.data(), result.ptr);
}

std::string SourceNumberText(double value) {
  std::array<char, 64> buffer{};
  char* const first = buffer.data();
  char* const last = first + buffer.size();
  auto [end, error] = std::to_chars(first, last, value, std::chars_format::fixed, 6);
  if (error != std::errc{}) return std::string(first, std::to_chars(first, last, value).ptr);
  while (end[-1] == '0') --end;
  if (end[-1] == '.') --end;
  return std::string(first, end);
}

std::optional<ExactDecimal> ReadExactDecimal(std::string_view text, const DecimalGrammar& grammar) {
  if (grammar.blanks) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  }
  ExactDecimal number;
  if (grammar.sign && !text.empty() && (text.front() == '+' || text.front() == '-')) {
    number.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const auto separatorAt = [&](std::string_view rest) -> std::size_t {
    if (!grammar.fraction) return 0;
    if (!grammar.separator.empty() && rest.starts_with(grammar.separator)) return grammar.separator.size();
    if (!grammar.other_separator.empty() && rest.starts_with(grammar.other_separator)) {
      return grammar.other_separator.size();
    }
    return 0;
  };
  std::string digits;
  int wholeDigits = 0;
  int fractionDigits = 0;
  bool seenSeparator = false;
  while (!text.empty()) {
    if (IsDigit(text.front())) {
      if (digits.size() >= kMaxDigits) return std::nullopt;
      digits += text.front();
      ++(seenSeparator ? fractionDigits : wholeDigits);
      text.remove_prefix(1);
    } else if (const std::size_t length = seenSeparator ? 0 : separatorAt(text); length > 0) {
      seenSeparator = true;
      text.remove_prefix(length);
    } else {
      break;
    }
  }
  if (digits.empty()) return std::nullopt;
  if (seenSeparator && grammar.digits_on_both_sides && (wholeDigits == 0 || fractionDigits == 0)) return std::nullopt;
  int exponent = 0;
  if (grammar.exponent && !text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    text.remove_prefix(1);
    bool negativeExponent = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
      negativeExponent = text.front() == '-';
      text.remove_prefix(1);
    }
    if (text.empty() || text.size() > kMaxExponentDigits) return std::nullopt;
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

bool IsWhole(const ExactDecimal& number) {
  if (number.exponent >= 0 || number.digits.empty()) return true;
  const std::size_t zeros = number.digits.size() - number.digits.find_last_not_of('0') - 1;
  return static_cast<std::size_t>(-number.exponent) <= zeros;
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

}  // namespace zarn::modes
