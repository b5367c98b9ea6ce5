#include "modes/modeline.h"

#include <cstdint>

#include "modes/decimal.h"

namespace zarn::modes {

std::string ShortModeName(const DisplayTiming& timing) {
  const std::int64_t height = timing.interlaced ? 2 * std::int64_t{timing.v_active} : timing.v_active;
  return std::to_string(timing.h_active) + "x" + std::to_string(height) + (timing.interlaced ? "i" : "") + "_" +
         FixedDecimal(timing.field_rate_hz(), 2);
}

std::string ModeName(const DisplayTiming& t) {
  // FNV-1a over the clock, the eight figures and the flags that make a mode.
  std::uint32_t hash = 2166136261u;
  const auto mix = [&](std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      hash ^= static_cast<std::uint32_t>((value >> (8 * i)) & 0xFF);
      hash *= 16777619u;
    }
  };
  mix(t.pixel_clock_hz, 8);
  for (const int figure :
       {t.h_active, t.h_front_porch, t.h_sync, t.h_back_porch, t.v_active, t.v_front_porch, t.v_sync, t.v_back_porch}) {
    mix(static_cast<std::uint32_t>(figure), 4);
  }
  mix((t.h_sync_positive ? 1u : 0u) | (t.v_sync_positive ? 2u : 0u) | (t.interlaced ? 4u : 0u) |
          (t.v_half_line ? 8u : 0u) | (t.v_sync_start_half_line ? 16u : 0u) | (t.v_sync_end_half_line ? 32u : 0u),
      1);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string fingerprint(8, '0');
  for (int i = 7; i >= 0; --i, hash >>= 4) fingerprint[static_cast<std::size_t>(i)] = kDigits[hash & 0x0F];
  return ShortModeName(t) + "_" + fingerprint;
}

std::string ModelineFields(const DisplayTiming& t) {
  // An interlaced frame holds both fields: twice each vertical figure, and
  // the half lines of each field once.
  const std::int64_t scale = t.interlaced ? 2 : 1;
  const std::int64_t v_display = scale * t.v_active;
  const std::int64_t v_sync_start = v_display + scale * t.v_front_porch + (t.interlaced && t.v_sync_start_half_line);
  const std::int64_t v_sync_end =
      scale * (std::int64_t{t.v_active} + t.v_front_porch + t.v_sync) + (t.interlaced && t.v_sync_end_half_line);
  const std::int64_t h_sync_start = std::int64_t{t.h_active} + t.h_front_porch;
  const std::int64_t h_sync_end = h_sync_start + t.h_sync;
  std::string text = ScaledDecimal(t.pixel_clock_hz, 6, 2);
  for (const std::int64_t value : {std::int64_t{t.h_active}, h_sync_start, h_sync_end, std::int64_t{t.h_total()}}) {
    text += " " + std::to_string(value);
  }
  for (const std::int64_t value : {v_display, v_sync_start, v_sync_end, t.v_frame_total()}) {
    text += " " + std::to_string(value);
  }
  if (t.interlaced) text += " interlace";
  text += t.h_sync_positive ? " +hsync" : " -hsync";
  text += t.v_sync_positive ? " +vsync" : " -vsync";
  return text;
}

std::string Modeline(const DisplayTiming& timing) {
  return "Modeline \"" + ModeName(timing) + "\" " + ModelineFields(timing);
}

}  // namespace zarn::modes
