#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

// The mode part of the Linux kernel's video= option,
// WIDTHxHEIGHT[M][R][@RATE][i][m]: the kernel computes such a mode with its
// own CVT (M, R for reduced blanking) or GTF (no M) when the monitor offers
// none of that size and rate (see kernel_mode_choice.h).
struct KernelModeRequest {
  std::string connector;  // "HDMI-A-1"; empty for an option that names none
  int width = 0;
  int height = 0;  // lines of the frame, both fields when interlaced
  bool cvt = false;
  bool reduced = false;     // CVT reduced blanking; with cvt only
  std::optional<int> rate;  // whole Hz; the kernel computes with 60 when none is given
  bool interlaced = false;
  bool margins = false;
  bool operator==(const KernelModeRequest&) const = default;
};

// Reads "1920x1080M@60", optionally after "video=" and a connector name with
// a colon ("video=HDMI-A-1:1920x1080M@60"), as the kernel's
// drm_mode_parse_command_line_for_connector reads these parts: M and R in
// any order before the rate, i and m after it, or all four after the height
// when no rate follows. What else the kernel reads (a colour depth "-24",
// the force flags e, d and D, the named modes NTSC and PAL, options after a
// comma) is no part of a mode, and is refused with the reason, as are zero
// sizes and rates, numbers above 65535, and R without M (the kernel ignores
// it then).
Expected<KernelModeRequest> ParseKernelMode(std::string_view text);

// The mode part of the option: "1920x1080MR@60i"; no connector.
std::string KernelModeText(const KernelModeRequest& request);

// The mode the kernel computes for the request, every figure as Linux 6.1's
// drm_cvt_mode or drm_gtf_mode makes it (with the fix-up of 1366-pixel
// widths), the clock in whole kHz; source "Kernel 1920x1080M@60". Interlaced
// frames become field timings as kernel_frame.h says. The kernel's GTF drops
// the interlace flag of the mode it makes, so "i" without M gives a
// progressive mode of half the height in twice the lines. Its 32-bit
// arithmetic wraps for line periods above 100 us (small heights at low
// rates), and the nonsense that results is what it uses: 640x240M@30 has
// 39456 pixels a line at 292.461 MHz. Refused with the reason: a mode the
// kernel drops (its sync before the end of the picture, say), and requests
// for which it divides by zero or makes a clock below zero.
Expected<DisplayTiming> KernelTiming(const KernelModeRequest& request);

// Where the kernel's mode differs from a timing, in words and in frame
// figures, for messages: "pixel clock 63.974 MHz instead of 64 MHz;
// horizontal sync starts at 664 instead of 656". Empty when they are equal.
std::string KernelModeDifferences(const DisplayTiming& kernel, const DisplayTiming& timing);

}  // namespace zarn::modes
