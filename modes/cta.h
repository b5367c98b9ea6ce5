#pragma once

#include <cstdint>
#include <span>

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

// One video format of CTA-861 (a VIC) or of the HDMI vendor block (an HDMI VIC).
struct CtaMode {
  int vic;
  int h_active, h_front_porch, h_sync, h_back_porch;
  int v_active, v_front_porch, v_sync, v_back_porch;  // per field when interlaced
  std::uint64_t pixel_clock_hz;
  bool h_sync_positive;
  bool v_sync_positive;
  bool interlaced;
  bool v_half_line;
  int pixel_repetition;
  AspectRatio aspect;
};

// VICs 1 to 127 and 193 to 219, in VIC order.
std::span<const CtaMode> CtaModes();
// HDMI VICs 1 to 4.
std::span<const CtaMode> HdmiVicModes();

// Sources "VIC 16" and "HDMI VIC 1".
Expected<DisplayTiming> VicTiming(int vic);
Expected<DisplayTiming> HdmiVicTiming(int hdmi_vic);

}  // namespace zarn::modes
