#pragma once

#include <string>

#include "engine/number_locale.h"
#include "engine/timing_fields.h"
#include "forms/ports/calculator_port.h"
#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::forms {

// The timing the calculator's fields hold as they stand, read exactly from
// their texts in the user's locale: the pixel frequency to the hertz, whole
// pixel and line counts, the blanking split as front porch, sync and the rest
// as back porch. The calculator has no sync polarity; the caller gives it.
// Source "Calculator". A text that does not give such a figure is a failure
// naming the field.
modes::Expected<modes::DisplayTiming> CalculatorTiming(const CalculatorPort& calculator,
                                                       const engine::NumberLocale& locale, bool hsyncPositive,
                                                       bool vsyncPositive);

// The nine texts that put a timing into the calculator (every field but the
// refresh rate, which the calculator computes), and why the calculator's
// fields cannot hold the timing exactly (empty when they can).
struct CalculatorTexts {
  engine::TimingFields texts;
  std::string inexact;
};

CalculatorTexts TextsForCalculator(const modes::DisplayTiming& timing, const engine::NumberLocale& locale);

}  // namespace zarn::forms
