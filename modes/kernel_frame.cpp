#include "modes/kernel_frame.h"

#include <limits>
#include <utility>

namespace zarn::modes {
namespace {

bool Fits(std::int64_t value) { return value >= 0 && value <= std::numeric_limits<int>::max(); }

}  // namespace

Expected<DisplayTiming> TimingOfKernelFrame(const KernelFrame& f, std::string source) {
  using Result = Expected<DisplayTiming>;
  for (const std::int64_t value : {f.h_display, f.h_sync_start, f.h_sync_end, f.h_total, f.v_display, f.v_sync_start,
                                   f.v_sync_end, f.v_total, f.clock_khz}) {
    if (!Fits(value))
      return Result::Failure("The kernel's mode has a figure out of range: " + std::to_string(value) + ".");
  }
  if (f.interlaced && f.v_display % 2 != 0) {
    return Result::Failure("The kernel's interlaced mode has " + std::to_string(f.v_display) +
                           " active lines, which two fields cannot share evenly; give an even height.");
  }
  DisplayTiming t;
  t.h_active = static_cast<int>(f.h_display);
  t.h_front_porch = static_cast<int>(f.h_sync_start - f.h_display);
  t.h_sync = static_cast<int>(f.h_sync_end - f.h_sync_start);
  t.h_back_porch = static_cast<int>(f.h_total - f.h_sync_end);
  // Field figures: the frame's halved, rounded down, as the kernel halves
  // them for the hardware; a progressive mode keeps its own.
  const std::int64_t divisor = f.interlaced ? 2 : 1;
  const std::int64_t active = f.v_display / divisor;
  const std::int64_t sync_start = f.v_sync_start / divisor;
  const std::int64_t sync_end = f.v_sync_end / divisor;
  const std::int64_t total = f.v_total / divisor;
  t.v_active = static_cast<int>(active);
  t.v_front_porch = static_cast<int>(sync_start - active);
  t.v_sync = static_cast<int>(sync_end - sync_start);
  t.v_back_porch = static_cast<int>(total - sync_end);
  t.interlaced = f.interlaced;
  t.v_half_line = f.interlaced && f.v_total % 2 != 0;
  t.v_sync_start_half_line = f.interlaced && f.v_sync_start % 2 != 0;
  t.v_sync_end_half_line = f.interlaced && f.v_sync_end % 2 != 0;
  t.pixel_clock_hz = static_cast<std::uint64_t>(f.clock_khz) * 1000;
  t.h_sync_positive = f.h_sync_positive;
  t.v_sync_positive = f.v_sync_positive;
  t.source = std::move(source);
  return t;
}

KernelFrame KernelFrameOf(const DisplayTiming& t) {
  KernelFrame f;
  f.clock_khz = static_cast<std::int64_t>((t.pixel_clock_hz + 500) / 1000);
  f.h_display = t.h_active;
  f.h_sync_start = f.h_display + t.h_front_porch;
  f.h_sync_end = f.h_sync_start + t.h_sync;
  f.h_total = f.h_sync_end + t.h_back_porch;
  const std::int64_t scale = t.interlaced ? 2 : 1;
  const auto half = [&t](bool flag) -> std::int64_t { return t.interlaced && flag ? 1 : 0; };
  f.v_display = scale * t.v_active;
  f.v_sync_start = scale * (std::int64_t{t.v_active} + t.v_front_porch) + half(t.v_sync_start_half_line);
  f.v_sync_end = scale * (std::int64_t{t.v_active} + t.v_front_porch + t.v_sync) + half(t.v_sync_end_half_line);
  f.v_total = t.v_frame_total();
  f.interlaced = t.interlaced;
  f.h_sync_positive = t.h_sync_positive;
  f.v_sync_positive = t.v_sync_positive;
  return f;
}

std::int64_t KernelRefreshRate(const KernelFrame& f) {
  // The kernel gives up (0) where its 32-bit products would overflow.
  constexpr std::int64_t kUnsignedMax = std::numeric_limits<std::uint32_t>::max();
  const std::int64_t fields = f.clock_khz * (f.interlaced ? 2 : 1);
  const std::int64_t pixels = f.h_total * f.v_total;
  if (f.h_total == 0 || f.v_total == 0 || f.clock_khz < 0 || fields > kUnsignedMax ||
      pixels > std::numeric_limits<int>::max()) {
    return 0;
  }
  return (fields * 1000 + pixels / 2) / pixels;
}

}  // namespace zarn::modes
