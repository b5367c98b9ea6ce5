#pragma once

#include <cstdint>
#include <string>

namespace zarn::modes {

// A picture aspect ratio such as 16:9; 0:0 where the source defines none.
struct AspectRatio {
  int horizontal = 0;
  int vertical = 0;
  bool operator==(const AspectRatio&) const = default;
};

// One video timing, exact: pixel counts, line counts and a pixel clock in
// whole hertz. All four vertical figures are those of one field when the
// timing is interlaced (1920x1080i has v_active 540). Interlaced formats with an odd number of lines per frame have
// half a line more in every field (after the front porch of the odd field,
// after the back porch of the even one): v_half_line.
struct DisplayTiming {
  int h_active = 0;
  int h_front_porch = 0;
  int h_sync = 0;
  int h_back_porch = 0;
  int v_active = 0;
  int v_front_porch = 0;
  int v_sync = 0;
  int v_back_porch = 0;
  std::uint64_t pixel_clock_hz = 0;
  bool h_sync_positive = false;
  bool v_sync_positive = false;
  bool interlaced = false;
  bool v_half_line = false;
  // Frame figures (modelines, the kernel's modes) count every line of an
  // interlaced field twice: the sync starts at 2 * (v_active + v_front_porch),
  // ends 2 * v_sync later, and v_half_line makes the frame's total odd. A
  // frame may also start or end its sync on an odd line, half a field line
  // after the whole lines above: the Linux kernel's own CVT does, counting its
  // 3-line front porch in the frame. Standard timings never do.
  bool v_sync_start_half_line = false;
  bool v_sync_end_half_line = false;
  bool reduced_blanking = false;
  int pixel_repetition = 1;  // CTA-861: each pixel sent this many times
  AspectRatio aspect;
  std::string source;  // "DMT 0x24", "VIC 16", "CVT-RB2 1920x1080@60"

  bool operator==(const DisplayTiming&) const = default;

  int h_blank() const { return h_front_porch + h_sync + h_back_porch; }
  int h_total() const { return h_active + h_blank(); }
  // Whole lines of blanking and in all, per field when interlaced.
  int v_blank() const { return v_front_porch + v_sync + v_back_porch; }
  int v_total() const { return v_active + v_blank(); }
  // Lines of one whole frame: both fields and their half lines.
  std::int64_t v_frame_total() const {
    return interlaced ? 2 * std::int64_t{v_total()} + (v_half_line ? 1 : 0) : v_total();
  }

  double line_rate_hz() const;
  double frame_rate_hz() const;
  // Fields per second: twice the frame rate when interlaced, else the frame rate.
  double field_rate_hz() const;
};

// Whether two timings have the same figures, wherever they come from: the
// clock, every pixel and line, the polarities and interlacing.
bool SameFigures(const DisplayTiming& a, const DisplayTiming& b);

}  // namespace zarn::modes
