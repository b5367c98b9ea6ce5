#include "modes/gtf.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "modes/decimal.h"
#include "modes/vesa_formula.h"

namespace zarn::modes {
namespace {

using TimingResult = Expected<DisplayTiming>;

// Input limits. With kMaxTotal they keep every count well inside int and
// every clock below 2^53 Hz, where a double still holds each whole hertz.

// The formula's constants.
constexpr int kVFrontPorch = 1;
constexpr int kVSync = 3;
constexpr double kHSyncPercent = 8.0;

// Secondary curves: the ranges an EDID can carry, M and K above 0 so that
// the blanking still follows the line period.
constexpr double kMaxCOrJ = 127.5;
constexpr double kMaxM = 65535.0;
constexpr double kMaxK = 255.0;

// The formula's ROUND (halves away from zero), blind to the last bits of
// rounding error: a value the exact arithmetic puts on a half stays on it.
double Round(double value) {
  const double up = value + 0.5;
  const double nearest = std::round(up);
  return std::fabs(up - nearest) <= std::fabs(up) * 1e-12 ? nearest : std::floor(up);
}

// Integer ROUND(numerator / denominator) for non-negative figures.
int RoundedQuotient(int numerator, int denominator) { return (2 * numerator + denominator) / (2 * denominator); }

std::string CurveProblem(const GtfCurve& curve) {
  const bool in_range = curve.c >= 0.0 && curve.c <= kMaxCOrJ && curve.j >= 0.0 && curve.j <= kMaxCOrJ &&
                        curve.m > 0.0 && curve.m <= kMaxM && curve.k > 0.0 && curve.k <= kMaxK;
  if (!in_range) return "A GTF curve needs C and J from 0 to 127.5, M above 0 up to 65535 and K above 0 up to 255.";
  if ((curve.c - curve.j) * curve.k / 256.0 + curve.j >= 100.0) {
    return "This GTF curve asks for a blanking of 100 % of the line or more.";
  }
  return {};
}

std::string RateProblem(GtfInput input, double value) {
  switch (input) {
    case GtfInput::FrameRate:
      if (value >= kMinRateHz && value <= kMaxRateHz) return {};
      return "The rate must be from " + SourceNumberText(kMinRateHz) + " to " + SourceNumberText(kMaxRateHz) + " Hz.";
    case GtfInput::LineRate:
      if (value >= kGtfMinLineRateHz && value <= kGtfMaxLineRateHz) return {};
      return "The line rate must be from " + SourceNumberText(kGtfMinLineRateHz / 1e3) + " to " +
             SourceNumberText(kGtfMaxLineRateHz / 1e3) + " kHz.";
    case GtfInput::PixelClock:
      if (value >= kGtfMinPixelClockHz && value <= kGtfMaxPixelClockHz) return {};
      return "The pixel clock must be from " + SourceNumberText(kGtfMinPixelClockHz / 1e6) + " to " +
             SourceNumberText(kGtfMaxPixelClockHz / 1e6) + " MHz.";
  }
  return "GTF starts from a frame rate, a line rate or a pixel clock.";
}

std::string Source(int width, int height, GtfInput input, double value, const GtfOptions& options) {
  std::string text = "GTF " + std::to_string(width) + 'x' + std::to_string(height) + (options.interlaced ? "i" : "");
  switch (input) {
    case GtfInput::FrameRate:
      text += '@' + SourceNumberText(value);
      break;
    case GtfInput::LineRate:
      text += " at " + SourceNumberText(value / 1000.0) + " kHz";
      break;
    case GtfInput::PixelClock:
      text += " at " + SourceNumberText(value / 1000000.0) + " MHz";
      break;
  }
  if (options.margins) text += " margins";
  if (options.secondary) {
    text += " C=" + SourceNumberText(options.curve.c) + " M=" + SourceNumberText(options.curve.m) +
            " K=" + SourceNumberText(options.curve.k) + " J=" + SourceNumberText(options.curve.j);
  }
  return text;
}

}  // namespace

Expected<DisplayTiming> GtfTiming(int width, int height, GtfInput input, double value, const GtfOptions& options) {
  if (const std::string problem = SizeAndRateProblem(width, height, kMinRateHz, options.interlaced); !problem.empty()) {
    return TimingResult::Failure(problem);
  }
  if (const std::string problem = RateProblem(input, value); !problem.empty()) {
    return TimingResult::Failure(problem);
  }
  const GtfCurve curve = options.secondary ? options.curve : GtfCurve{};
  if (const std::string problem = CurveProblem(curve); !problem.empty()) return TimingResult::Failure(problem);
  const double c_prime = (curve.c - curve.j) * curve.k / 256.0 + curve.j;
  const double m_prime = curve.k / 256.0 * curve.m;

  // GTF rounds the width to the nearest cell and shows that as the active width.
  const int pixels = RoundedQuotient(width, kCell) * kCell;
  const int lines = options.interlaced ? RoundedQuotient(height, 2) : height;
  const int v_margin = options.margins ? RoundedQuotient(lines * kMarginPerMille, 1000) : 0;
  const int h_margin = options.margins ? RoundedQuotient(pixels * kMarginPerMille, 1000 * kCell) * kCell : 0;
  const int active = pixels + 2 * h_margin;
  const double interlace = options.interlaced ? 0.5 : 0.0;

  // The line rate, the lines of vertical sync and back porch, and the share
  // of the line the curve blanks.
  double line_rate_hz = 0.0;
  double sync_and_back = 0.0;
  double duty_cycle = 0.0;
  switch (input) {
    case GtfInput::FrameRate: {
      const double estimate_us = (1.0 / value - kMinVSyncAndBackPorchUs / 1000000.0) /
                                 (lines + 2 * v_margin + kVFrontPorch + interlace) * 1000000.0;
      if (!(estimate_us > 0.0)) {
        return TimingResult::Failure("At this rate a field is shorter than the 550 microseconds GTF needs.");
      }
      sync_and_back = Round(kMinVSyncAndBackPorchUs / estimate_us);
      // The estimated period, scaled so the field rate is the one asked, comes
      // to exactly this line rate.
      line_rate_hz = value * (lines + 2 * v_margin + sync_and_back + interlace + kVFrontPorch);
      duty_cycle = c_prime - m_prime * 1000.0 / line_rate_hz;
      break;
    }
    case GtfInput::LineRate:
      line_rate_hz = value;
      sync_and_back = Round(kMinVSyncAndBackPorchUs * value / 1000000.0);
      duty_cycle = c_prime - m_prime * 1000.0 / line_rate_hz;
      break;
    case GtfInput::PixelClock: {
      // The ideal period solves duty = C' - M' * period for the clock given;
      // GTF adds the borders into this term once more, as its worksheet does.
      const double clock_mhz = value / 1000000.0;
      const double ideal_period_us =
          ((c_prime - 100.0) +
           std::sqrt((100.0 - c_prime) * (100.0 - c_prime) + 0.4 * m_prime * (active + 2 * h_margin) / clock_mhz)) /
          2.0 / m_prime * 1000.0;
      duty_cycle = c_prime - m_prime * ideal_period_us / 1000.0;
      break;
    }
  }
  if (!(duty_cycle > 0.0)) return TimingResult::Failure("At this rate the GTF curve gives no horizontal blanking.");
  const double blank_cells = Round(active * duty_cycle / (100.0 - duty_cycle) / (2 * kCell));
  if (blank_cells * 2 * kCell + active > kMaxTotal) {
    return TimingResult::Failure("At this rate the GTF curve gives an absurd horizontal blanking.");
  }
  const int h_blank = static_cast<int>(blank_cells) * 2 * kCell;
  const int total = active + h_blank;
  if (input == GtfInput::PixelClock) {
    line_rate_hz = value / total;
    sync_and_back = Round(kMinVSyncAndBackPorchUs * line_rate_hz / 1000000.0);
  }
  if (sync_and_back > kMaxTotal) {
    return TimingResult::Failure("At this rate the vertical blanking would take an absurd number of lines.");
  }

  const int h_sync = static_cast<int>(Round(kHSyncPercent / 100.0 * total / kCell)) * kCell;
  const int h_back = h_blank / 2;
  const int h_front = h_back - h_sync;
  const int v_back = static_cast<int>(sync_and_back) - kVSync;
  if (h_sync <= 0 || h_front < 0) {
    return TimingResult::Failure("At this rate the GTF curve leaves no room for the horizontal sync.");
  }
  if (v_back < 0) return TimingResult::Failure("At this rate GTF leaves no room for the vertical sync.");

  // A clock the formula computes is given on whole kilohertz; one given stays.
  const double clock_hz =
      input == GtfInput::PixelClock ? std::round(value) : Round(total * line_rate_hz / 1000.0) * 1000.0;
  if (!(clock_hz >= 1.0)) return TimingResult::Failure("At this size and rate the pixel clock rounds down to 0.");

  DisplayTiming timing;
  timing.h_active = pixels;
  timing.h_front_porch = h_front + h_margin;
  timing.h_sync = h_sync;
  timing.h_back_porch = h_back + h_margin;
  timing.v_active = lines;
  timing.v_front_porch = kVFrontPorch + v_margin;
  timing.v_sync = kVSync;
  timing.v_back_porch = v_back + v_margin;
  timing.pixel_clock_hz = static_cast<std::uint64_t>(clock_hz);
  // The default curve syncs -H +V; a secondary, lower-blanking curve +H -V.
  timing.h_sync_positive = options.secondary;
  timing.v_sync_positive = !options.secondary;
  timing.interlaced = options.interlaced;
  timing.v_half_line = options.interlaced;
  timing.reduced_blanking = options.secondary;
  timing.aspect = CvtAspectRatio(pixels, height);
  timing.source = Source(width, height, input, value, options);
  return timing;
}

}  // namespace zarn::modes
