#include "cli/number_text.h"

#include <charconv>
#include <string>

namespace zarn::cli {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Splits "59,94" into "59" and "94"; nullopt unless the text is digits with at
// most one separator and at least one digit before it.
struct Parts {
  std::string_view whole;
  std::string_view fraction;
};

std::optional<Parts> Split(std::string_view text) {
  const std::size_t separator = text.find_first_of(".,");
  Parts parts{text.substr(0, separator),
              separator == std::string_view::npos ? std::string_view{} : text.substr(separator + 1)};
  if (parts.whole.empty()) return std::nullopt;
  for (const char c : parts.whole) {
    if (!IsDigit(c)) return std::nullopt;
  }
  if (separator != std::string_view::npos && parts.fraction.empty()) return std::nullopt;
  for (const char c : parts.fraction) {
    if (!IsDigit(c)) return std::nullopt;
  }
  return parts;
}

// Digits into units, nullopt past max (checked before each step: no overflow).
std::optional<std::uint64_t> Accumulate(std::uint64_t value, char digit, std::uint64_t max) {
  const auto d = static_cast<std::uint64_t>(digit - '0');
  if (d > max || value > (max - d) / 10) return std::nullopt;
  return value * 10 + d;
}

}  // namespace

std::optional<std::uint64_t> ReadWhole(std::string_view text, std::uint64_t max) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    const auto next = Accumulate(value, c, max);
    if (!next) return std::nullopt;
    value = *next;
  }
  return value;
}

std::optional<std::uint64_t> ReadScaled(std::string_view text, int digits, std::uint64_t max) {
  const auto parts = Split(text);
  if (!parts) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : parts->whole) {
    const auto next = Accumulate(value, c, max);
    if (!next) return std::nullopt;
    value = *next;
  }
  std::string_view fraction = parts->fraction;
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  if (fraction.size() > static_cast<std::size_t>(digits)) return std::nullopt;
  for (int i = 0; i < digits; ++i) {
    const char c = static_cast<std::size_t>(i) < fraction.size() ? fraction[static_cast<std::size_t>(i)] : '0';
    const auto next = Accumulate(value, c, max);
    if (!next) return std::nullopt;
    value = *next;
  }
  return value;
}

std::optional<double> ReadDecimal(std::string_view text, double max) {
  const auto parts = Split(text);
  if (!parts) return std::nullopt;
  // Reject absurd lengths before converting: nothing this program reads
  // needs more than a few dozen digits.
  if (parts->whole.size() > 30 || parts->fraction.size() > 30) return std::nullopt;
  std::string canonical(parts->whole);
  if (!parts->fraction.empty()) canonical += "." + std::string(parts->fraction);
  double value = 0.0;
  const auto result = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (result.ec != std::errc() || result.ptr != canonical.data() + canonical.size()) return std::nullopt;
  if (!(value <= max)) return std::nullopt;
  return value;
}

}  // namespace zarn::cli
