#pragma once

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

// The line rate and pixel clock GTF starts from (the rate's limits are CVT's).
inline constexpr double kGtfMinLineRateHz = 1000.0;
inline constexpr double kGtfMaxLineRateHz = 10000000.0;
inline constexpr double kGtfMinPixelClockHz = 1000.0;
inline constexpr double kGtfMaxPixelClockHz = 100000000000.0;

// What the Generalized Timing Formula starts from.
enum class GtfInput { FrameRate, LineRate, PixelClock };

// The curve's parameters: the default curve, or a secondary one.
struct GtfCurve {
  double c = 40.0;
  double m = 600.0;
  double k = 128.0;
  double j = 20.0;
};

struct GtfOptions {
  bool interlaced = false;  // a frame rate is then fields per second
  bool margins = false;
  GtfCurve curve;  // the default curve unless secondary is set
  bool secondary = false;
};

// value: the field rate in Hz, the line rate in Hz or the pixel clock in Hz,
// as input says. Failures carry their reason. Source "GTF 1920x1080@60".
Expected<DisplayTiming> GtfTiming(int width, int height, GtfInput input, double value, const GtfOptions& options = {});

}  // namespace zarn::modes
