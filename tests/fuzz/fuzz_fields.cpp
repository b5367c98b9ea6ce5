// Arbitrary texts in the ten timing fields, written the way users of several
// locales write them: with a full stop, a comma, the two-byte Arabic decimal
// separator U+066B or no separator set, and with ASCII, Arabic-Indic, Persian
// or Devanagari digits. The three computations and FormatSingle must not
// crash or trip a sanitizer, and every result text must read back as a number
// or be one of the three fixed texts. Besides:
// - a separator changes the reading and the writing of numbers and nothing
//   else: texts with the locale's separator in place of the full stop give,
//   bit for bit, what the full-stop texts give in a full-stop locale;
// - only ASCII digits make numbers: a text whose digits are all in another
//   form never reads.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "engine/format_single.h"
#include "engine/numeric.h"
#include "engine/timing.h"

namespace {

using namespace zarn::engine;

// First input byte, bits 0-1: the separator (0 and 1 as in the first corpus,
// full stop and comma); bits 2-3: the digits' form, by the UTF-8 of zero.
constexpr std::string_view kSeparators[] = {".", ",", "\u066B", ""};
constexpr std::string_view kZeros[] = {"0", "\u0660", "\u06F0", "\u0966"};

void CheckText(const std::string& text, const NumberLocale& locale) {
  if (text == kPlusInfinityText || text == kMinusInfinityText || text == kNaNText) return;
  if (!ParseDouble(text, locale)) std::abort();
}

std::string ReplaceFullStops(std::string_view text, std::string_view separator) {
  std::string out;
  for (const char c : text) {
    if (c == '.') {
      out += separator;
    } else {
      out += c;
    }
  }
  return out;
}

// ASCII digits to another form: the zero's last byte plus the digit's value
// (each of the three forms runs over ten consecutive code points that share
// their leading bytes).
std::string ReplaceDigits(std::string_view text, std::string_view zero) {
  if (zero == "0") return std::string(text);
  std::string out;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      std::string digit(zero);
      digit.back() = static_cast<char>(digit.back() + (c - '0'));
      out += digit;
    } else {
      out += c;
    }
  }
  return out;
}

template <typename T>
bool SameBits(std::optional<T> a, std::optional<T> b) {
  if (a.has_value() != b.has_value()) return false;
  return !a ||
         std::bit_cast<std::uint64_t>(static_cast<double>(*a)) == std::bit_cast<std::uint64_t>(static_cast<double>(*b));
}

bool SameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const NumberLocale locale{std::string(kSeparators[data[0] & 3])};
  const NumberLocale fullStop{"."};
  const std::string_view zero = kZeros[(data[0] >> 2) & 3];
  const std::string_view separator = locale.Separator();

  // The rest is split into the ten fields at each 0x00 byte: the texts as
  // typed with full stops and ASCII digits, then as this locale writes them.
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  TimingFields typed;
  TimingFields local;
  bool separatorTyped = false;  // a field already holds the locale's separator
  for (const TimingField field : kAllTimingFields) {
    const std::size_t end = rest.find('\0');
    typed[field] = std::string(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    local[field] = ReplaceDigits(ReplaceFullStops(typed[field], separator), zero);
    if (separator != "." && typed[field].find(separator) != std::string::npos) separatorTyped = true;
  }

  const float results[] = {ComputeRefreshRate(local, locale), ComputePixelFrequency(local, locale),
                           ComputeHorizontalFrequency(local, locale)};
  for (const float value : results) CheckText(FormatSingle(value, locale), locale);
  const std::string caption = HorizontalFrequencyCaption(local, locale);
  if (!caption.starts_with("Horizontal Frequency = ") || !caption.ends_with(" KHz")) std::abort();

  if (zero != "0") {
    for (const TimingField field : kAllTimingFields) {
      if (ParseDouble(local[field], locale)) std::abort();
    }
    return 0;
  }
  if (separatorTyped) return 0;
  for (const TimingField field : kAllTimingFields) {
    if (!SameBits(ParseDouble(local[field], locale), ParseDouble(typed[field], fullStop))) std::abort();
    if (!SameBits(ParseLong(local[field], locale), ParseLong(typed[field], fullStop))) std::abort();
  }
  const float fullStopResults[] = {ComputeRefreshRate(typed, fullStop), ComputePixelFrequency(typed, fullStop),
                                   ComputeHorizontalFrequency(typed, fullStop)};
  for (std::size_t i = 0; i < std::size(results); ++i) {
    if (!SameBits(results[i], fullStopResults[i])) std::abort();
    if (FormatSingle(results[i], locale) != ReplaceFullStops(FormatSingle(results[i], fullStop), separator)) {
      std::abort();
    }
  }
  return 0;
}
