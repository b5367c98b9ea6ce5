#include "modes/cvt.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "modes/decimal.h"
#include "modes/vesa_formula.h"

namespace zarn::modes {
namespace {

using TimingResult = Expected<DisplayTiming>;

// Figures every version shares.
constexpr double kCoarseStepHz = 250000.0;
constexpr double kFineStepHz = 1000.0;

// Normal blanking: the CRT curve with C' = (C - J) * K / 256 + J and
// M' = K / 256 * M for C 40, J 20, K 128 and M 600.
constexpr int kMinVFrontPorch = 3;
constexpr int kMinVBackPorch = 7;  // also for RB1
constexpr int kRb2VBackPorch = 6;
constexpr double kCPrime = 30.0;
constexpr double kMPrime = 300.0;
constexpr double kMinDutyCycle = 20.0;  // percent of the line

// Reduced blanking.
constexpr double kRbMinVBlankUs = kCvtRb3MinVBlankUs;
constexpr int kRb1HBlank = 160;
constexpr int kRb1HFrontPorch = 48;
constexpr int kRbHSync = 32;
constexpr int kRb2HBlank = kCvtRb3MinHBlank;
constexpr int kRb2HFrontPorch = 8;
constexpr int kRb2VSync = 8;
constexpr int kRb2MinVFrontPorch = 1;

// The picture as the formulas count it: the active area on the version's
// cell, its borders, and the half line of an interlaced field.
struct Picture {
  int lines = 0;     // per field
  int v_margin = 0;  // top, and again bottom
  int pixels = 0;    // the width rounded down to the cell
  int h_margin = 0;  // left, and again right
  double interlace = 0.0;

  int bordered_lines() const { return lines + 2 * v_margin; }
  int bordered_pixels() const { return pixels + 2 * h_margin; }
};

// What one version gives around the picture, borders left out.
struct Blanking {
  int h_front = 0, h_sync = 0, h_back = 0;
  int v_front = 0, v_sync = 0, v_back = 0;
  double clock_hz = 0.0;
  bool h_positive = false;
  bool v_positive = false;
};

using BlankingResult = Expected<Blanking>;

// The formula's ROUNDDOWN and ROUNDUP, blind to the last bits of rounding
// error: a value the exact arithmetic puts on a whole number stays on it
// (60 Hz times whole totals, say), where a bare floor could fall a step short.
constexpr double kWholeTolerance = 1e-12;  // relative; rounding error is ~1e-15

double RoundDown(double value) {
  const double nearest = std::round(value);
  return std::fabs(value - nearest) <= std::fabs(value) * kWholeTolerance ? nearest : std::floor(value);
}

double RoundUp(double value) {
  const double nearest = std::round(value);
  return std::fabs(value - nearest) <= std::fabs(value) * kWholeTolerance ? nearest : std::ceil(value);
}

// The vertical sync width that tells a display the picture's aspect ratio;
// 10 lines for a size of none of CVT's ratios.
int AspectVSync(const AspectRatio& aspect) {
  if (aspect == AspectRatio{4, 3}) return 4;
  if (aspect == AspectRatio{16, 9}) return 5;
  if (aspect == AspectRatio{16, 10}) return 6;
  if (aspect == AspectRatio{5, 4} || aspect == AspectRatio{15, 9}) return 7;
  return 10;
}

BlankingResult FieldTooShort(double blank_us) {
  return BlankingResult::Failure("At this rate a field is shorter than the " + SourceNumberText(blank_us) +
                                 " microseconds of vertical blanking CVT needs.");
}

BlankingResult TooManyBlankLines() {
  return BlankingResult::Failure("At this rate the vertical blanking would take an absurd number of lines.");
}

// The CRT curve: blanking grows with the line period, the clock on 0.25 MHz.
BlankingResult NormalBlanking(const Picture& picture, double rate_hz, int v_sync) {
  const double h_period_us = (1.0 / rate_hz - kMinVSyncAndBackPorchUs / 1000000.0) /
                             (picture.bordered_lines() + kMinVFrontPorch + picture.interlace) * 1000000.0;
  if (!(h_period_us > 0.0)) return FieldTooShort(kMinVSyncAndBackPorchUs);
  const double sync_and_back = RoundDown(kMinVSyncAndBackPorchUs / h_period_us) + 1.0;
  if (sync_and_back > kMaxTotal) return TooManyBlankLines();

  Blanking blanking;
  blanking.v_front = kMinVFrontPorch;
  blanking.v_sync = v_sync;
  blanking.v_back = std::max(static_cast<int>(sync_and_back), v_sync + kMinVBackPorch) - v_sync;

  const double duty_cycle = std::max(kCPrime - kMPrime * h_period_us / 1000.0, kMinDutyCycle);
  const int active = picture.bordered_pixels();
  const int h_blank = static_cast<int>(RoundDown(active * duty_cycle / (100.0 - duty_cycle) / (2 * kCell))) * 2 * kCell;
  const int total = active + h_blank;
  blanking.h_sync = total / 100 * kCell;  // 8 % of the line, down to whole cells
  blanking.h_back = h_blank / 2;
  blanking.h_front = h_blank - blanking.h_sync - blanking.h_back;
  blanking.clock_hz = RoundDown(total / h_period_us / (kCoarseStepHz / 1000000.0)) * kCoarseStepHz;
  blanking.v_positive = true;
  return blanking;
}

// Reduced blanking: a fixed horizontal blanking and a vertical blanking of at
// least v_blank_us; the clock is the rate times the totals on the version's
// step. Only version 1 keeps the aspect ratio's sync width.
BlankingResult ReducedBlanking(const Picture& picture, double rate_hz, const CvtOptions& options, int aspect_v_sync,
                               int h_blank, double v_blank_us) {
  const double h_period_us = (1000000.0 / rate_hz - v_blank_us) / picture.bordered_lines();
  if (!(h_period_us > 0.0)) return FieldTooShort(v_blank_us);
  const double blank_lines = RoundDown(v_blank_us / h_period_us) + 1.0;
  if (blank_lines > kMaxTotal) return TooManyBlankLines();
  const int lines_for_time = static_cast<int>(blank_lines);

  Blanking blanking;
  blanking.h_sync = kRbHSync;
  if (options.blanking == CvtBlanking::ReducedV1) {
    blanking.h_front = kRb1HFrontPorch;
    blanking.v_front = kMinVFrontPorch;
    blanking.v_sync = aspect_v_sync;
    blanking.v_back = std::max(lines_for_time - kMinVFrontPorch - aspect_v_sync, kMinVBackPorch);
  } else {
    blanking.h_front = kRb2HFrontPorch;
    blanking.v_sync = kRb2VSync;
    const int lines = std::max(lines_for_time, kRb2MinVFrontPorch + kRb2VSync + kRb2VBackPorch);
    // An early sync sits in the middle of the blanking the time asks for.
    blanking.v_back = options.early_vsync ? lines_for_time / 2 : kRb2VBackPorch;
    blanking.v_front = lines - kRb2VSync - blanking.v_back;
  }
  blanking.h_back = h_blank - blanking.h_front - blanking.h_sync;

  const double total_lines =
      blanking.v_front + blanking.v_sync + blanking.v_back + picture.bordered_lines() + picture.interlace;
  const double total_pixels = picture.bordered_pixels() + h_blank;
  // In hertz: exact for whole rates, the product staying far below 2^53.
  const double ideal_hz = rate_hz * total_lines * total_pixels;
  switch (options.blanking) {
    case CvtBlanking::ReducedV1:
      blanking.clock_hz = RoundDown(ideal_hz / kCoarseStepHz) * kCoarseStepHz;
      break;
    case CvtBlanking::ReducedV2:
      // Video-optimised: the rate times 1000/1001, on whole kilohertz.
      blanking.clock_hz = options.video_optimized ? RoundDown(ideal_hz / 1001.0) * kFineStepHz
                                                  : RoundDown(ideal_hz / kFineStepHz) * kFineStepHz;
      break;
    default:
      // Version 3 rounds up, so the rate is never below the one asked.
      blanking.clock_hz = RoundUp(ideal_hz / kCoarseStepHz) * kCoarseStepHz;
      break;
  }
  blanking.h_positive = true;
  return blanking;
}

std::string Prefix(CvtBlanking blanking) {
  static constexpr std::array<std::string_view, kCvtBlankingNames.size()> kPrefixes = {"CVT ", "CVT-RB ", "CVT-RB2 ",
                                                                                       "CVT-RB3 "};
  return std::string(kPrefixes[static_cast<std::size_t>(blanking)]);
}

std::string Source(int width, int height, double rate_hz, const CvtOptions& options, int h_blank, double v_blank_us) {
  std::string text = Prefix(options.blanking) + std::to_string(width) + 'x' + std::to_string(height) +
                     (options.interlaced ? "i@" : "@") + SourceNumberText(rate_hz);
  if (options.margins) text += " margins";
  if (options.video_optimized) text += " 1000/1001";
  if (options.blanking == CvtBlanking::ReducedV3 && h_blank != kRb2HBlank) text += " hblank=" + std::to_string(h_blank);
  if (v_blank_us != kRbMinVBlankUs) text += " vblank=" + SourceNumberText(v_blank_us) + "us";
  if (options.early_vsync) text += " early-vsync";
  return text;
}

// Refuses the options the chosen version lacks; empty when all are fine.
std::string OptionProblem(const CvtOptions& options) {
  const bool v2 = options.blanking == CvtBlanking::ReducedV2;
  const bool v3 = options.blanking == CvtBlanking::ReducedV3;
  if (options.video_optimized && !v2) return "Only CVT reduced blanking v2 has the video-optimised 1000/1001 rate.";
  if (options.h_blank != 0 && !v3) return "Only CVT reduced blanking v3 lets the horizontal blanking be chosen.";
  if (options.v_blank_us != 0 && !v3) return "Only CVT reduced blanking v3 lets the vertical blanking time be chosen.";
  if (options.early_vsync && !v3) return "Only CVT reduced blanking v3 has the early vertical sync.";
  if (v3 && options.h_blank != 0 && (options.h_blank < kCvtRb3MinHBlank || options.h_blank > kCvtRb3MaxHBlank)) {
    return "The horizontal blanking must be from " + std::to_string(kCvtRb3MinHBlank) + " to " +
           std::to_string(kCvtRb3MaxHBlank) + " pixels.";
  }
  if (v3 && options.v_blank_us != 0 &&
      (options.v_blank_us < kCvtRb3MinVBlankUs || options.v_blank_us > kCvtRb3MaxVBlankUs)) {
    return "The vertical blanking time must be from " + SourceNumberText(kCvtRb3MinVBlankUs) + " to " +
           SourceNumberText(kCvtRb3MaxVBlankUs) + " microseconds.";
  }
  return {};
}

}  // namespace

Expected<DisplayTiming> CvtTiming(int width, int height, double rate_hz, const CvtOptions& options) {
  if (static_cast<std::size_t>(options.blanking) >= kCvtBlankingNames.size()) {
    return TimingResult::Failure("This CVT blanking version does not exist.");
  }
  if (const std::string problem = SizeAndRateProblem(width, height, rate_hz, options.interlaced); !problem.empty()) {
    return TimingResult::Failure(problem);
  }
  if (const std::string problem = OptionProblem(options); !problem.empty()) return TimingResult::Failure(problem);

  // Version 2 works on single pixels; the others compute the blanking from
  // the width rounded down to the cell and keep the width asked as active.
  const int cell = options.blanking == CvtBlanking::ReducedV2 ? 1 : kCell;
  Picture picture;
  picture.lines = options.interlaced ? height / 2 : height;
  picture.pixels = width / cell * cell;
  if (options.margins) {
    picture.v_margin = picture.lines * kMarginPerMille / 1000;
    picture.h_margin = picture.pixels * kMarginPerMille / (1000 * cell) * cell;
  }
  picture.interlace = options.interlaced ? 0.5 : 0.0;

  const AspectRatio aspect = CvtAspectRatio(width, height);
  // Version 3 takes a chosen horizontal blanking in whole cells.
  int h_blank = options.blanking == CvtBlanking::ReducedV1 ? kRb1HBlank : kRb2HBlank;
  if (options.blanking == CvtBlanking::ReducedV3 && options.h_blank != 0) h_blank = options.h_blank / kCell * kCell;
  const double v_blank_us = options.v_blank_us == 0 ? kRbMinVBlankUs : options.v_blank_us;
  const BlankingResult blanking =
      options.blanking == CvtBlanking::Normal
          ? NormalBlanking(picture, rate_hz, AspectVSync(aspect))
          : ReducedBlanking(picture, rate_hz, options, AspectVSync(aspect), h_blank, v_blank_us);
  if (!blanking) return TimingResult::Failure(blanking.error());
  const Blanking& b = *blanking;

  if (b.h_sync <= 0 || b.h_front < 0 || b.h_back < 0) {
    return TimingResult::Failure("At this size and rate CVT leaves no room for the horizontal sync.");
  }
  if (b.v_front < 0 || b.v_back < 0) {
    return TimingResult::Failure("At this size and rate CVT leaves no room for the vertical sync.");
  }
  if (!(b.clock_hz >= 1.0)) return TimingResult::Failure("At this size and rate the pixel clock rounds down to 0.");

  DisplayTiming timing;
  timing.h_active = width;
  timing.h_front_porch = b.h_front + picture.h_margin;
  timing.h_sync = b.h_sync;
  timing.h_back_porch = b.h_back + picture.h_margin;
  timing.v_active = picture.lines;
  timing.v_front_porch = b.v_front + picture.v_margin;
  timing.v_sync = b.v_sync;
  timing.v_back_porch = b.v_back + picture.v_margin;
  timing.pixel_clock_hz = static_cast<std::uint64_t>(b.clock_hz);
  timing.h_sync_positive = b.h_positive;
  timing.v_sync_positive = b.v_positive;
  timing.interlaced = options.interlaced;
  timing.v_half_line = options.interlaced;
  timing.reduced_blanking = options.blanking != CvtBlanking::Normal;
  timing.aspect = aspect;
  timing.source = Source(width, height, rate_hz, options, h_blank, v_blank_us);
  return timing;
}

}  // namespace zarn::modes
