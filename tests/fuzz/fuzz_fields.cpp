// Arbitrary texts in the ten timing fields, in a full-stop or a comma locale:
// the three computations and FormatSingle must not crash or trip a sanitizer,
// and every result text must read back as a number or be one of the three
// fixed texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/format_single.h"
#include "engine/numeric.h"
#include "engine/timing.h"

namespace {

using namespace zarn::engine;

void CheckText(const std::string& text, const NumberLocale& locale) {
  if (text == kPlusInfinityText || text == kMinusInfinityText || text == kNaNText) return;
  if (!ParseDouble(text, locale)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const NumberLocale locale{(data[0] & 1) != 0 ? "," : "."};
  // The rest is split into the ten fields at each 0x00 byte.
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  TimingFields fields;
  for (const TimingField field : kAllTimingFields) {
    const std::size_t end = rest.find('\0');
    fields[field] = std::string(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  for (const float value : {ComputeRefreshRate(fields, locale), ComputePixelFrequency(fields, locale),
                            ComputeHorizontalFrequency(fields, locale)}) {
    CheckText(FormatSingle(value, locale), locale);
  }
  const std::string caption = HorizontalFrequencyCaption(fields, locale);
  if (!caption.starts_with("Horizontal Frequency = ") || !caption.ends_with(" KHz")) std::abort();
  (void)ParseLong(fields.txtHorActive, locale);
  return 0;
}
