#include "forms/timings/calculator_timing.h"

#include <cstdint>
#include <string_view>

#include "forms/timings/locale_number.h"
#include "modes/typed_text.h"

namespace zarn::forms {
namespace {

using engine::TimingField;
using modes::DisplayTiming;
using Result = modes::Expected<DisplayTiming>;

// The largest count the window reads, as zarn-timing does.
constexpr std::uint64_t kMaxCount = 65535;
// A megahertz figure to the hertz: six decimals; at most a terahertz.
constexpr std::uint64_t kMaxClockHz = 1'000'000'000'000;

struct Reading {
  std::int64_t value = 0;
  std::string problem;  // empty when read
};

Reading ReadCount(const CalculatorPort& calculator, TimingField field, std::string_view name, std::uint64_t min,
                  const engine::NumberLocale& locale) {
  const std::string text = calculator.FieldText(field);
  const auto number = ReadExactDecimal(text, locale);
  const auto count = number ? ScaledUnits(*number, 0, kMaxCount) : std::nullopt;
  if (!count || *count < min) {
    return {0, "The calculator's " + std::string(name) + " " + modes::Quoted(text, '"') +
                   " is not a whole number from " + std::to_string(min) + " to " + std::to_string(kMaxCount) + "."};
  }
  return {static_cast<std::int64_t>(*count), {}};
}

}  // namespace

Result CalculatorTiming(const CalculatorPort& calculator, const engine::NumberLocale& locale, bool hsyncPositive,
                        bool vsyncPositive) {
  const std::string clockText = calculator.FieldText(TimingField::txtFrequency);
  const auto clockNumber = ReadExactDecimal(clockText, locale);
  const auto clock = clockNumber ? ScaledUnits(*clockNumber, 6, kMaxClockHz) : std::nullopt;
  if (!clock || *clock == 0) {
    return Result::Failure("The calculator's pixel frequency " + modes::Quoted(clockText, '"') +
                           " is not a number of MHz above 0, to the hertz (six decimals at most), with " +
                           std::string(locale.Separator()) + " as the decimal separator.");
  }
  struct Axis {
    TimingField active, front, sync, blanking;
    const char* name;  // "horizontal"
    const char* unit;  // "pixels"
  };
  const Axis axes[] = {{TimingField::txtHorActive, TimingField::txtHorFrontPorch, TimingField::txtHorSync,
                        TimingField::txtHorBlanking, "horizontal", "pixels"},
                       {TimingField::txtVerActive, TimingField::txtVerFrontPorch, TimingField::txtVerSync,
                        TimingField::txtVerBlanking, "vertical", "lines"}};
  std::array<std::array<int, 4>, 2> figures{};  // active, front porch, sync, back porch
  for (std::size_t a = 0; a < 2; ++a) {
    const Axis& axis = axes[a];
    const std::string name = axis.name;
    const Reading active = ReadCount(calculator, axis.active, name + " active", 1, locale);
    const Reading front = ReadCount(calculator, axis.front, name + " front porch", 0, locale);
    const Reading sync = ReadCount(calculator, axis.sync, name + " sync", 0, locale);
    const Reading blanking = ReadCount(calculator, axis.blanking, name + " blanking", 0, locale);
    for (const Reading* r : {&active, &front, &sync, &blanking}) {
      if (!r->problem.empty()) return Result::Failure(r->problem);
    }
    const std::int64_t back = blanking.value - front.value - sync.value;
    if (back < 0) {
      return Result::Failure("The calculator's " + name + " front porch and sync (" +
                             std::to_string(front.value + sync.value) + " " + axis.unit + ") are more than its " +
                             name + " blanking (" + std::to_string(blanking.value) + " " + axis.unit + ").");
    }
    figures[a] = {static_cast<int>(active.value), static_cast<int>(front.value), static_cast<int>(sync.value),
                  static_cast<int>(back)};
  }
  DisplayTiming t;
  t.h_active = figures[0][0];
  t.h_front_porch = figures[0][1];
  t.h_sync = figures[0][2];
  t.h_back_porch = figures[0][3];
  t.v_active = figures[1][0];
  t.v_front_porch = figures[1][1];
  t.v_sync = figures[1][2];
  t.v_back_porch = figures[1][3];
  t.pixel_clock_hz = *clock;
  t.h_sync_positive = hsyncPositive;
  t.v_sync_positive = vsyncPositive;
  t.source = "Calculator";
  return t;
}

CalculatorTexts TextsForCalculator(const DisplayTiming& t, const engine::NumberLocale& locale) {
  // The calculator counts whole frames: an interlaced timing goes in as its
  // frame, both fields with their half lines.
  const std::int64_t scale = t.interlaced ? 2 : 1;
  const std::int64_t vActive = scale * t.v_active;
  const std::int64_t vBlanking = t.v_frame_total() - vActive;
  CalculatorTexts texts;
  texts.texts.txtFrequency = MegahertzText(t.pixel_clock_hz, locale);
  texts.texts.txtHorActive = std::to_string(t.h_active);
  texts.texts.txtHorFrontPorch = std::to_string(t.h_front_porch);
  texts.texts.txtHorSync = std::to_string(t.h_sync);
  texts.texts.txtVerActive = std::to_string(vActive);
  texts.texts.txtVerFrontPorch = std::to_string(scale * t.v_front_porch);
  texts.texts.txtVerSync = std::to_string(scale * t.v_sync);
  texts.texts.txtHorBlanking = std::to_string(t.h_blank());
  texts.texts.txtVerBlanking = std::to_string(vBlanking);
  if (t.interlaced) {
    texts.inexact = "The calculator has no interlaced timings. It will get the whole frame of " + t.source + ": " +
                    std::to_string(vActive) + " active lines and " + std::to_string(vBlanking) +
                    " lines of blanking, with the front porch and sync of both fields added up, and it will show "
                    "the frame rate, not the field rate.";
  }
  return texts;
}

}  // namespace zarn::forms
