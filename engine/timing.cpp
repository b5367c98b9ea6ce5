#include "engine/timing.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/format_single.h"
#include "engine/numeric.h"

namespace zarn::engine {
namespace {

// One total (active + blanking): both texts must read, and the sum must fit
// int32; otherwise the whole step fails, never leaving one of the terms.
std::optional<std::int32_t> Total(std::string_view active, std::string_view blanking, const NumberLocale& locale) {
  const auto a = ParseLong(active, locale);
  if (!a) return std::nullopt;
  const auto b = ParseLong(blanking, locale);
  if (!b) return std::nullopt;
  const std::int64_t sum = std::int64_t{*a} + std::int64_t{*b};
  if (sum < INT32_MIN || sum > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(sum);
}

std::optional<std::int32_t> Product(std::int32_t h, std::int32_t v) {
  const std::int64_t product = std::int64_t{h} * std::int64_t{v};
  if (product < INT32_MIN || product > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(product);
}

std::int32_t HorizontalTotal(const TimingFields& fields, const NumberLocale& locale) {
  return Total(fields.txtHorActive, fields.txtHorBlanking, locale).value_or(0);
}

std::int32_t TotalPixels(const TimingFields& fields, const NumberLocale& locale) {
  const std::int32_t h = HorizontalTotal(fields, locale);
  const std::int32_t v = Total(fields.txtVerActive, fields.txtVerBlanking, locale).value_or(0);
  return Product(h, v).value_or(0);
}

}  // namespace

float ComputeRefreshRate(const TimingFields& fields, const NumberLocale& locale) {
  const double f = ParseDouble(fields.txtFrequency, locale).value_or(0.0);
  const std::int32_t n = TotalPixels(fields, locale);
  const float r = NarrowToSingle(IeeeDivide(f * 1000000.0, static_cast<double>(n)));
  return RoundToTenths(r).value_or(r);
}

float ComputePixelFrequency(const TimingFields& fields, const NumberLocale& locale) {
  const double q = ParseDouble(fields.txtRefreshRate, locale).value_or(0.0);
  const std::int32_t n = TotalPixels(fields, locale);
  const float p = NarrowToSingle((static_cast<double>(n) / 1000000.0) * q);
  return RoundToTenths(p).value_or(p);
}

float ComputeHorizontalFrequency(const TimingFields& fields, const NumberLocale& locale) {
  const double f = ParseDouble(fields.txtFrequency, locale).value_or(0.0);
  const std::int32_t h = HorizontalTotal(fields, locale);
  const float k = NarrowToSingle(IeeeDivide(f * 1000.0, static_cast<double>(h)));
  return RoundToHundredths(k).value_or(k);
}

std::string HorizontalFrequencyCaption(const TimingFields& fields, const NumberLocale& locale) {
  return "Horizontal Frequency = " + FormatSingle(ComputeHorizontalFrequency(fields, locale), locale) + " KHz";
}

}  // namespace zarn::engine
