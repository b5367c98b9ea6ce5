#pragma once

#include <string>

#include "engine/number_locale.h"
#include "engine/timing_fields.h"

namespace zarn::engine {

// The three formulas. Each starts from zeroed working values and runs its steps
// under a resume-next policy: a step that fails (a text that is not a number,
// an int32 overflow) is skipped and leaves its value at zero. The quotient step
// always stores the IEEE result, so a zero total gives an infinity or NaN.
// Front porch and sync enter no formula; a total is active plus blanking.

// Hz: single((MHz * 1000000) / (HorizontalTotal * VerticalTotal)), to tenths.
float ComputeRefreshRate(const TimingFields& fields, const NumberLocale& locale);

// MHz: single((TotalPixels / 1000000) * Hz), to tenths.
float ComputePixelFrequency(const TimingFields& fields, const NumberLocale& locale);

// kHz: single((MHz * 1000) / HorizontalTotal), to hundredths.
float ComputeHorizontalFrequency(const TimingFields& fields, const NumberLocale& locale);

// "Horizontal Frequency = " + FormatSingle(kHz) + " KHz".
std::string HorizontalFrequencyCaption(const TimingFields& fields, const NumberLocale& locale);

}  // namespace zarn::engine
