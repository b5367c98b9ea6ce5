// The display range limits: widened for a new timing, or set as asked
// (the variable refresh range among them), and the AMD FreeSync range with them.
#include <algorithm>
#include <cmath>

#include "modes/edid_edit.h"
#include "modes/edid_editing.h"

namespace zarn::modes {
namespace edid_editing {
namespace {

constexpr std::uint64_t kClockStep = 10'000'000;

// The maximum clock a reader takes from the descriptor: with the CVT formula,
// less its quarter-megahertz steps.
std::uint64_t MaxClock(const EdidRangeLimits& r) {
  return r.formula == EdidRangeLimits::Formula::Cvt ? r.cvt_max_pixel_clock_hz : r.max_pixel_clock_hz;
}

std::string RangeText(int min_v, int max_v, int min_h, int max_h, std::uint64_t clock_hz) {
  return std::to_string(min_v) + "-" + std::to_string(max_v) + " Hz, " + std::to_string(min_h) + "-" +
         std::to_string(max_h) + " kHz and " + (clock_hz ? std::to_string(clock_hz / 1'000'000) + " MHz" : "no clock");
}

std::string RangeText(const EdidRangeLimits& r) {
  return RangeText(r.min_v_rate_hz, r.max_v_rate_hz, r.min_h_rate_khz, r.max_h_rate_khz, r.max_pixel_clock_hz);
}

std::span<std::uint8_t> RangeDescriptor(Draft& draft) {
  return BlockOf(draft.edited, 0).subspan(static_cast<std::size_t>(draft.decoded.range_limits->offset), 18);
}

}  // namespace

RangeFit FitOf(const EdidRangeLimits& r, const DisplayTiming& t, bool strict_clock) {
  const double v = t.field_rate_hz(), h = t.line_rate_hz();
  const std::uint64_t clock = MaxClock(r);
  return {v + 0.5 >= r.min_v_rate_hz && v < r.max_v_rate_hz + 0.5,
          h + 500.0 >= r.min_h_rate_khz * 1000.0 && h < r.max_h_rate_khz * 1000.0 + 500.0,
          clock == 0 || (strict_clock ? t.pixel_clock_hz < clock : t.pixel_clock_hz <= clock)};
}

bool WithinRange(const EdidRangeLimits& r, const DisplayTiming& t, bool strict_clock) {
  const RangeFit fit = FitOf(r, t, strict_clock);
  return fit.v && fit.h && fit.clock;
}

std::string WriteRateLimits(std::span<std::uint8_t> d, bool edid14, int min_v, int max_v, int min_h, int max_h,
                            std::uint64_t max_clock_hz) {
  const int most = edid14 ? 510 : 255;
  if (min_v < 1 || min_h < 1 || min_v > max_v || min_h > max_h) {
    return "The range limits need rates of at least 1, each minimum no more than its maximum.";
  }
  if (max_v > most || max_h > most) {
    const std::string needed =
        ", and these would need up to " + std::to_string(max_v) + " Hz and " + std::to_string(max_h) + " kHz.";
    return edid14 ? "The range limits of an EDID hold rates up to 510 Hz and 510 kHz" + needed
                  : "The range limits of EDID 1.3 hold rates up to 255 Hz and 255 kHz (EDID 1.4: 510)" + needed;
  }
  if (max_clock_hz > 255 * kClockStep) return "The range limits hold a maximum pixel clock up to 2550 MHz.";
  std::uint8_t offsets = 0;
  if (max_v > 255) offsets |= min_v > 255 ? 0x03 : 0x02;
  if (max_h > 255) offsets |= min_h > 255 ? 0x0C : 0x08;
  if (edid14) d[4] = static_cast<std::uint8_t>((d[4] & 0xF0) | offsets);
  d[5] = static_cast<std::uint8_t>(min_v > 255 ? min_v - 255 : min_v);
  d[6] = static_cast<std::uint8_t>(max_v > 255 ? max_v - 255 : max_v);
  d[7] = static_cast<std::uint8_t>(min_h > 255 ? min_h - 255 : min_h);
  d[8] = static_cast<std::uint8_t>(max_h > 255 ? max_h - 255 : max_h);
  const auto clock = static_cast<std::uint8_t>(max_clock_hz / kClockStep);
  if (d[9] != clock && d[10] == 0x04) d[12] &= 0x03;  // the CVT maximum is the whole clock
  d[9] = clock;
  return {};
}

namespace {

std::string WidenFor(Draft& draft, const DisplayTiming& t) {
  if (!draft.decoded.range_limits || WithinRange(*draft.decoded.range_limits, t, true)) return {};
  const EdidRangeLimits r = *draft.decoded.range_limits;
  const double v = t.field_rate_hz(), h = t.line_rate_hz() / 1e3;
  int min_v = r.min_v_rate_hz, max_v = r.max_v_rate_hz, min_h = r.min_h_rate_khz, max_h = r.max_h_rate_khz;
  if (v + 0.5 < min_v) min_v = std::max(1, static_cast<int>(std::floor(v)));
  if (v >= max_v + 0.5) max_v = static_cast<int>(std::ceil(v));
  if (h + 0.5 < min_h) min_h = std::max(1, static_cast<int>(std::floor(h)));
  if (h >= max_h + 0.5) max_h = static_cast<int>(std::ceil(h));
  std::uint64_t clock = r.max_pixel_clock_hz;
  if (MaxClock(r) != 0 && t.pixel_clock_hz >= MaxClock(r)) clock = (t.pixel_clock_hz / kClockStep + 1) * kClockStep;
  const std::string problem =
      WriteRateLimits(RangeDescriptor(draft), IsEdid14(draft.edited.bytes), min_v, max_v, min_h, max_h, clock);
  if (!problem.empty()) return "The display range limits cannot cover " + t.source + ": " + problem;
  SealBlock(draft.edited, 0);
  draft.edited.changes.push_back("The display range limits widen from " + RangeText(r) + " to " +
                                 RangeText(min_v, max_v, min_h, max_h, clock) + ", so that they cover " + t.source +
                                 ".");
  Redecode(draft);
  return {};
}

}  // namespace

std::string WidenRangeLimits(Draft& draft, const std::vector<EdidTiming>& before, const DisplayTiming& asked) {
  Redecode(draft);
  const std::vector<EdidTiming> now = draft.decoded.timings;
  for (const EdidTiming& t : now) {
    const bool old =
        std::any_of(before.begin(), before.end(), [&](const EdidTiming& b) { return SameFigures(b.timing, t.timing); });
    if (old) continue;
    if (std::string problem = WidenFor(draft, SameFigures(t.timing, asked) ? asked : t.timing); !problem.empty()) {
      return problem;
    }
  }
  return {};
}

}  // namespace edid_editing

using namespace edid_editing;

Expected<EdidEdited> SetRangeLimits(std::span<const std::uint8_t> bytes, const RangeLimitsEdit& edit) {
  using Result = Expected<EdidEdited>;
  Expected<Draft> started = StartEdit(bytes);
  if (!started) return Result::Failure(started.error());
  Draft draft = *started;
  const bool edid14 = IsEdid14(draft.edited.bytes);
  if (edit.range_limits_only && !edid14) {
    return Result::Failure(
        "EDID 1.3 has no \"range limits only\" mark, which is how the Linux kernel and its AMD driver tell a "
        "variable refresh range; this EDID is version 1.3.");
  }
  bool created = false;
  if (!draft.decoded.range_limits) {
    // A dummy descriptor becomes the range limits.
    int slot = -1;
    for (int at = 54; at < 126 && slot < 0; at += 18) {
      const std::uint8_t* d = draft.edited.bytes.data() + at;
      if (d[0] == 0 && d[1] == 0 && d[2] == 0 && d[3] == 0x10) slot = at;
    }
    if (slot < 0) {
      return Result::Failure(
          "The EDID has no display range limits, and no free descriptor in its base block to hold them.");
    }
    const std::uint8_t fresh[18] = {0, 0,    0,    0xFD, 0,    1,    255,  1,    255,
                                    0, 0x01, 0x0A, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    std::copy(std::begin(fresh), std::end(fresh), draft.edited.bytes.begin() + slot);
    if (!edid14) draft.edited.bytes[static_cast<std::size_t>(slot) + 10] = 0x00;
    Redecode(draft);
    created = true;
  }
  const EdidRangeLimits before = *draft.decoded.range_limits;
  EdidRangeLimits after = before;
  after.min_v_rate_hz = edit.min_v_rate_hz.value_or(before.min_v_rate_hz);
  after.max_v_rate_hz = edit.max_v_rate_hz.value_or(before.max_v_rate_hz);
  after.min_h_rate_khz = edit.min_h_rate_khz.value_or(before.min_h_rate_khz);
  after.max_h_rate_khz = edit.max_h_rate_khz.value_or(before.max_h_rate_khz);
  if (edit.max_pixel_clock_mhz) {
    const auto mhz = static_cast<std::uint64_t>(std::max(0, *edit.max_pixel_clock_mhz));
    after.max_pixel_clock_hz = (mhz + 9) / 10 * kClockStep;
    after.cvt_max_pixel_clock_hz = after.max_pixel_clock_hz;
  }
  if (edit.range_limits_only && after.max_pixel_clock_hz == 0) {
    // "Range limits only" must give a maximum clock: one above every timing's.
    std::uint64_t fastest = 0;
    for (const EdidTiming& t : draft.decoded.timings) fastest = std::max(fastest, t.timing.pixel_clock_hz);
    after.max_pixel_clock_hz = (fastest / kClockStep + 1) * kClockStep;
    draft.edited.changes.push_back(
        "The range limits gave no maximum pixel clock, which \"range limits only\" "
        "needs: it is " +
        std::to_string(after.max_pixel_clock_hz / 1'000'000) + " MHz, above every timing's clock.");
  }
  const std::string problem = WriteRateLimits(RangeDescriptor(draft), edid14, after.min_v_rate_hz, after.max_v_rate_hz,
                                              after.min_h_rate_khz, after.max_h_rate_khz, after.max_pixel_clock_hz);
  if (!problem.empty()) return Result::Failure(problem);
  if (edit.range_limits_only && before.formula != EdidRangeLimits::Formula::RangeLimitsOnly) {
    const std::span<std::uint8_t> d = RangeDescriptor(draft);
    d[10] = 0x01;
    d[11] = 0x0A;
    std::fill(d.begin() + 12, d.end(), std::uint8_t{0x20});
  }
  // Every timing offered stays within each limit that it lay within.
  for (const EdidTiming& t : draft.decoded.timings) {
    const RangeFit was = FitOf(before, t.timing, false), is = FitOf(after, t.timing, false);
    if ((was.v && !is.v) || (was.h && !is.h) || (was.clock && !is.clock)) {
      return Result::Failure(t.origin + " (" + FiguresText(t.timing) + ") lies outside the range limits " +
                             RangeText(after) + "; remove it first, or choose limits that cover it.");
    }
  }
  SealBlock(draft.edited, 0);
  const std::vector<EdidTiming> timings_before = draft.decoded.timings;
  Redecode(draft);
  draft.edited.changes.push_back(created ? "A free descriptor of the base block becomes the display range limits: " +
                                               RangeText(*draft.decoded.range_limits) + "."
                                         : "The display range limits change from " + RangeText(before) + " to " +
                                               RangeText(*draft.decoded.range_limits) + ".");
  if (edit.range_limits_only && before.formula != EdidRangeLimits::Formula::RangeLimitsOnly && !created) {
    static constexpr const char* kFormula[5] = {"default GTF", "range limits only", "secondary GTF", "CVT", "unknown"};
    draft.edited.changes.push_back(std::string("The range limits are marked \"range limits only\" where they named ") +
                                   kFormula[static_cast<int>(before.formula)] +
                                   ": the Linux kernel and its AMD driver read their refresh rates as the variable "
                                   "refresh range.");
  }
  // A standard timing reads by the formula the limits name.
  for (const EdidTiming& t : timings_before) {
    const bool kept = std::any_of(draft.decoded.timings.begin(), draft.decoded.timings.end(), [&](const EdidTiming& n) {
      return n.origin == t.origin && SameFigures(n.timing, t.timing);
    });
    if (!kept) {
      draft.edited.changes.push_back(t.origin + " is no longer offered: a standard timing that is no DMT mode reads " +
                                     "by the formula the range limits name.");
    }
  }
  // The AMD FreeSync range follows the vertical rates.
  const bool rates_given = edit.min_v_rate_hz || edit.max_v_rate_hz;
  for (const EdidBlockInfo& block : draft.decoded.blocks) {
    for (const EdidDataBlock& data : block.data_blocks) {
      if (!rates_given || block.tag != 0x02 || data.oui != 0x00001Au || data.bytes.size() < 8) continue;
      if (after.max_v_rate_hz > 255) {
        return Result::Failure("The AMD FreeSync range of CTA-861 block " + std::to_string(block.index) +
                               " holds rates up to 255 Hz, below " + std::to_string(after.max_v_rate_hz) + " Hz.");
      }
      const auto b = BlockOf(draft.edited, block.index);
      const auto at = static_cast<std::size_t>(data.offset);
      if (b[at + 6] == after.min_v_rate_hz && b[at + 7] == after.max_v_rate_hz) continue;
      draft.edited.changes.push_back("The AMD FreeSync range of CTA-861 block " + std::to_string(block.index) +
                                     " follows: " + std::to_string(after.min_v_rate_hz) + "-" +
                                     std::to_string(after.max_v_rate_hz) + " Hz, where it was " +
                                     std::to_string(b[at + 6]) + "-" + std::to_string(b[at + 7]) + " Hz.");
      b[at + 6] = static_cast<std::uint8_t>(after.min_v_rate_hz);
      b[at + 7] = static_cast<std::uint8_t>(after.max_v_rate_hz);
      SealBlock(draft.edited, block.index);
    }
  }
  return FinishEdit(std::move(draft));
}

Expected<EdidEdited> SetVrrRange(std::span<const std::uint8_t> bytes, int min_hz, int max_hz) {
  RangeLimitsEdit edit;
  edit.min_v_rate_hz = min_hz;
  edit.max_v_rate_hz = max_hz;
  edit.range_limits_only = true;
  return SetRangeLimits(bytes, edit);
}

}  // namespace zarn::modes
