#include "forms/timings/locale_number.h"

#include <array>
#include <charconv>
#include <cmath>

#include "modes/decimal.h"
#include "modes/request.h"

namespace zarn::forms {

modes::DecimalGrammar LocaleGrammar(const engine::NumberLocale& locale) {
  return modes::WindowStyle(locale.Separator()).grammar;
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
