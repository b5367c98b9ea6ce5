#pragma once

#include "modes/display_timing.h"

namespace zarn::modes {

// Copies the figures a table row shares with DisplayTiming: the eight
// horizontal and vertical figures, the clock, the polarities and interlace.
template <class Row>
void CopyRowFigures(const Row& row, DisplayTiming& timing) {
  timing.h_active = row.h_active;
  timing.h_front_porch = row.h_front_porch;
  timing.h_sync = row.h_sync;
  timing.h_back_porch = row.h_back_porch;
  timing.v_active = row.v_active;
  timing.v_front_porch = row.v_front_porch;
  timing.v_sync = row.v_sync;
  timing.v_back_porch = row.v_back_porch;
  timing.pixel_clock_hz = row.pixel_clock_hz;
  timing.h_sync_positive = row.h_sync_positive;
  timing.v_sync_positive = row.v_sync_positive;
  timing.interlaced = row.interlaced;
}

}  // namespace zarn::modes
