#include "modes/decimal.h"

#include <array>
#include <charconv>

namespace zarn::modes {

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

}  // namespace zarn::modes
