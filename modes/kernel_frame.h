#pragma once

#include <cstdint>
#include <string>

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

// A mode as the Linux kernel holds it (struct drm_display_mode): the clock in
// kHz and the positions of a modeline, vertical ones of the whole frame when
// the mode is interlaced.
struct KernelFrame {
  std::int64_t clock_khz = 0;
  std::int64_t h_display = 0, h_sync_start = 0, h_sync_end = 0, h_total = 0;
  std::int64_t v_display = 0, v_sync_start = 0, v_sync_end = 0, v_total = 0;
  bool interlaced = false;
  bool h_sync_positive = false;
  bool v_sync_positive = false;
  bool operator==(const KernelFrame&) const = default;
};

// How the two hold an interlaced mode. A frame figure is twice the field's,
// the kernel's own halving (drm_mode_set_crtcinfo) rounding down: v_active is
// half the frame's active lines, the sync starts half the frame's sync start
// in, and so on. What that halving drops is kept in the half-line flags: an
// odd total is v_half_line, an odd sync start v_sync_start_half_line, an odd
// sync end v_sync_end_half_line. So ModelineFields prints the frame's figures
// again exactly, and a timing read from a CTA-861 or CVT interlaced modeline
// (1080 1084 1094 1125) is the field timing edid-decode shows (540 lines,
// front porch 2, sync 5, back porch 15, half a line more). A frame with an
// odd number of active lines has no such field timing and is refused.
Expected<DisplayTiming> TimingOfKernelFrame(const KernelFrame& frame, std::string source);

// The kernel's figures of a timing: the inverse of the above, the clock
// rounded to the nearest kHz.
KernelFrame KernelFrameOf(const DisplayTiming& timing);

// The kernel's drm_mode_vrefresh: fields per second when interlaced, rounded
// to the nearest whole number; 0 for a mode without lines.
std::int64_t KernelRefreshRate(const KernelFrame& frame);

}  // namespace zarn::modes
