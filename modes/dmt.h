#pragma once

#include <cstdint>
#include <span>

#include "modes/display_timing.h"
#include "modes/expected.h"

namespace zarn::modes {

// One mode of the VESA Display Monitor Timing standard, as data.
struct DmtMode {
  std::uint8_t id;
  std::uint16_t standard_code;  // the 2-byte standard timing code (byte 1 << 8 | byte 2); 0: none
  std::uint32_t cvt_code;       // the 3-byte CVT code (byte 1 << 16 | byte 2 << 8 | byte 3); 0: none
  int h_active, h_front_porch, h_sync, h_back_porch;
  int v_active, v_front_porch, v_sync, v_back_porch;  // per field when interlaced
  std::uint64_t pixel_clock_hz;
  bool h_sync_positive;
  bool v_sync_positive;
  bool interlaced;
  bool reduced_blanking;
  AspectRatio aspect;
};

// Every DMT mode, IDs 0x01 to 0x58, in ID order.
std::span<const DmtMode> DmtModes();

// The mode with that ID, as a timing whose source is "DMT 0x24".
Expected<DisplayTiming> DmtTiming(int id);
DisplayTiming ToTiming(const DmtMode& mode);

}  // namespace zarn::modes
