#include "modes/kernel_formulas.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace zarn::modes {
namespace {

using Outcome = KernelComputation::Outcome;

// The kernel's C types, whose arithmetic wraps: int (the kernel is built
// with -fno-strict-overflow), unsigned int, and the 16-bit fields of a mode.
using Int = std::int32_t;
using Unsigned = std::uint32_t;
using Field = std::uint16_t;

Int ToInt(Unsigned value) { return static_cast<Int>(value); }
Unsigned ToUnsigned(Int value) { return static_cast<Unsigned>(value); }
Int Add(Int a, Int b) { return ToInt(ToUnsigned(a) + ToUnsigned(b)); }
Field ToField(Int value) { return static_cast<Field>(value); }
Field ToField(Unsigned value) { return static_cast<Field>(value); }

// A mode as drm_display_mode holds it, before it becomes a KernelFrame.
struct Mode {
  Int clock = 0;
  Field h_display = 0, h_sync_start = 0, h_sync_end = 0, h_total = 0;
  Field v_display = 0, v_sync_start = 0, v_sync_end = 0, v_total = 0;
};

KernelComputation Unknown(std::string reason) { return {Outcome::Unknown, {}, std::move(reason)}; }

KernelComputation DividesByZero(const char* formula) {
  return Unknown(std::string("The kernel's ") + formula +
                 " divides by zero for this mode; give a size and refresh rate nearer the usual.");
}

// Lines of vertical sync by the aspect ratio the request's own size has
// (not the width rounded to whole cells): 4:3, 16:9, 16:10, 5:4, 15:9 or
// anything else.
Int CvtVerticalSync(Int width, Int height) {
  if (height % 3 == 0 && height * 4 / 3 == width) return 4;
  if (height % 9 == 0 && height * 16 / 9 == width) return 5;
  if (height % 10 == 0 && height * 16 / 10 == width) return 6;
  if (height % 4 == 0 && height * 5 / 4 == width) return 7;
  if (height % 9 == 0 && height * 15 / 9 == width) return 7;
  return 10;
}

// drm_cvt_mode. The line period is in nanoseconds, rates in Hz, the
// blanking's share of the line in thousandths of a percent.
std::optional<KernelComputation> Cvt(const KernelModeRequest& r, Mode& m) {
  const Unsigned rate = ToUnsigned(r.rate.value_or(60));
  const Unsigned field_rate = r.interlaced ? 2 * rate : rate;
  const Int width_in_cells = r.width - r.width % 8;  // rounded down
  Int h_margin = 0;
  if (r.margins) {
    h_margin = width_in_cells * 18 / 1000;
    h_margin -= h_margin % 8;
  }
  const Int field_lines = r.interlaced ? r.height / 2 : r.height;
  const Int v_margin = r.margins ? field_lines * 18 / 1000 : 0;
  const Int picture_lines = field_lines + 2 * v_margin;
  const Int v_sync = CvtVerticalSync(r.width, r.height);
  // The margins widen the picture: the kernel adds them to the active area,
  // and a field's top and bottom margins to the frame's lines.
  m.h_display = ToField(width_in_cells + 2 * h_margin);
  m.v_display = ToField(r.height + 2 * v_margin);

  Unsigned line_period = 0;
  if (!r.reduced) {
    // The field period less 550 us of sync and back porch, over the field's
    // lines with 3 of front porch (counted twice, plus one when interlaced).
    const Int usable = ToInt(1'000'000'000u - 550'000u * field_rate);
    const Unsigned half_lines_per_second = ToUnsigned((picture_lines + 3) * 2 + (r.interlaced ? 1 : 0)) * field_rate;
    if (half_lines_per_second == 0) return DividesByZero("CVT");
    line_period = ToUnsigned(Add(usable, usable)) / half_lines_per_second;
    if (line_period == 0) return DividesByZero("CVT");
    Int sync_and_back_porch = ToInt(550'000u / line_period + 1);
    if (sync_and_back_porch < v_sync + 3) sync_and_back_porch = v_sync + 3;
    m.v_total = ToField(Add(picture_lines + 3, sync_and_back_porch));
    // The blanking's share: 30 % less 0.3 % per microsecond of line period,
    // at least 20 %. Beyond 100 us the subtraction wraps around.
    Unsigned share = 30'000u - 300u * line_period / 1000;
    if (share < 20'000u) share = 20'000u;
    if (share == 100'000u) return DividesByZero("CVT");
    Int h_blank = ToInt(Unsigned{m.h_display} * share / (100'000u - share));
    h_blank -= h_blank % 16;
    m.h_total = ToField(Add(m.h_display, h_blank));
    m.h_sync_end = ToField(Add(m.h_display, h_blank / 2));
    // The sync is 8 % of the line; its start moves to the next cell
    // boundary, a whole cell when it is on one already.
    m.h_sync_start = ToField(m.h_sync_end - m.h_total * 8 / 100);
    m.h_sync_start = ToField(m.h_sync_start + 8 - m.h_sync_start % 8);
  } else {
    const Int usable = ToInt(1'000'000'000u - 460'000u * field_rate);
    const Unsigned lines_per_second = ToUnsigned(picture_lines) * field_rate;
    if (lines_per_second == 0) return DividesByZero("CVT");
    line_period = ToUnsigned(usable) / lines_per_second;
    if (line_period == 0) return DividesByZero("CVT");
    // 460 us of blanking at least, and 3 lines of front porch, the sync and
    // 6 of back porch.
    Int blanking_lines = ToInt(460'000u / line_period + 1);
    if (blanking_lines < 3 + v_sync + 6) blanking_lines = 3 + v_sync + 6;
    m.v_total = ToField(Add(picture_lines, blanking_lines));
    m.h_total = ToField(m.h_display + 160);
    m.h_sync_end = ToField(m.h_display + 80);
    m.h_sync_start = ToField(m.h_sync_end - 32);
  }
  m.v_sync_start = ToField(m.v_display + 3);
  m.v_sync_end = ToField(m.v_sync_start + v_sync);
  // In kHz, not rounded to CVT's 250 kHz steps.
  m.clock = ToInt(static_cast<Unsigned>(std::uint64_t{m.h_total} * 1'000'000 / line_period));
  if (r.interlaced) m.v_total = ToField(m.v_total * 2);  // a field's whole lines twice: no half line
  return std::nullopt;
}

// drm_gtf_mode: the default curve (C 40, M 600, K 128, J 20), frequencies in
// Hz, duty cycles in thousandths of a percent.
std::optional<KernelComputation> Gtf(const KernelModeRequest& r, Mode& m) {
  const Unsigned width_in_cells = ToUnsigned((r.width + 4) / 8 * 8);  // rounded to the nearest cell
  const Unsigned field_lines = ToUnsigned(r.interlaced ? r.height / 2 : r.height);
  const Unsigned field_rate = ToUnsigned(r.interlaced ? 2 * r.rate.value_or(60) : r.rate.value_or(60));
  const Int v_margin = r.margins ? ToInt((field_lines * 18 + 500) / 1000) : 0;
  // The line rate estimated from the field period less 550 us.
  const Unsigned usable = (1'000'000u - 550u * field_rate) / 500;
  if (usable == 0) return DividesByZero("GTF");
  const Unsigned half_lines = (field_lines + ToUnsigned(2 * v_margin + 1)) * 2 + (r.interlaced ? 1u : 0u);
  const Unsigned line_rate = half_lines * 1000 * field_rate / usable;
  Int sync_and_back_porch = ToInt(550u * line_rate / 1000);
  sync_and_back_porch = Add(sync_and_back_porch, 500) / 1000;
  const Unsigned field_total = field_lines + ToUnsigned(2 * v_margin) + ToUnsigned(sync_and_back_porch) + 1;
  // The kernel also works out the line period and the field rate, unused.
  if (field_total == 0 || field_rate * field_total == 0 || line_rate == 0) return DividesByZero("GTF");
  const Int h_margin = r.margins ? ToInt((width_in_cells * 18 + 500) / 1000) : 0;
  const Unsigned active = width_in_cells + ToUnsigned(2 * h_margin);
  const Unsigned duty = 30'000u - 300'000'000u / line_rate;  // wraps below 10 kHz
  if (duty == 100'000u) return DividesByZero("GTF");
  Unsigned h_blank = active * duty / (100'000u - duty);
  h_blank = (h_blank + 8) / 16 * 16;  // to the nearest two cells
  const Unsigned total = active + h_blank;
  Int h_sync = ToInt(8u * total / 100);
  h_sync = (h_sync + 4) / 8 * 8;
  // The margins end up in the back porches: the sync follows the picture as
  // if there were none.
  const Int front_porch = ToInt(h_blank / 2 - ToUnsigned(h_sync));
  m.clock = ToInt(total * line_rate / 1000);
  m.h_display = ToField(width_in_cells);
  m.h_sync_start = ToField(width_in_cells + ToUnsigned(front_porch));
  m.h_sync_end = ToField(m.h_sync_start + h_sync);
  m.h_total = ToField(total);
  m.v_display = ToField(field_lines);
  m.v_sync_start = ToField(field_lines + 1);
  m.v_sync_end = ToField(m.v_sync_start + 3);
  m.v_total = ToField(field_total);
  // The kernel doubles an interlaced mode's lines, but then sets the sync
  // flags over its interlace flag: a progressive mode of one field's picture
  // in a frame's lines.
  if (r.interlaced) m.v_total = ToField(m.v_total * 2);
  return std::nullopt;
}

std::optional<std::string> BasicCheckFailure(const Mode& m) {
  if (m.clock == 0) return "its clock rounds down to 0 kHz";
  if (m.h_display == 0) return "it has no active pixels";
  if (m.h_sync_start < m.h_display) return "its horizontal sync would start before the active pixels end";
  if (m.h_sync_end < m.h_sync_start) return "its horizontal sync would end before it starts";
  if (m.h_total < m.h_sync_end) return "its horizontal sync would end after the line";
  if (m.v_display == 0) return "it has no active lines";
  if (m.v_sync_start < m.v_display) return "its vertical sync would start before the active lines end";
  if (m.v_sync_end < m.v_sync_start) return "its vertical sync would end before it starts";
  if (m.v_total < m.v_sync_end) return "its vertical sync would end after the frame";
  return std::nullopt;
}

}  // namespace

KernelComputation ComputeKernelMode(const KernelModeRequest& r) {
  if (r.width < 1 || r.width > 65535 || r.height < 1 || r.height > 65535) {
    return Unknown("The kernel computes modes of 1 to 65535 pixels and lines only.");
  }
  if (r.rate && (*r.rate < 1 || *r.rate > 65535)) {
    return Unknown("The kernel's video= option takes a refresh rate of 1 to 65535 Hz.");
  }
  Mode m;
  if (auto failed = r.cvt ? Cvt(r, m) : Gtf(r, m)) return *failed;
  // drm_mode_create_from_cmdline_mode: CVT and GTF give 1368 pixels for
  // 1366; the kernel takes two off, one on each side of the sync.
  if (r.width == 1366 && m.h_display == 1368 && m.v_display == 768) {
    m.h_display = 1366;
    m.h_sync_start = ToField(m.h_sync_start - 1);
    m.h_sync_end = ToField(m.h_sync_end - 1);
  }
  KernelComputation result;
  result.frame = {m.clock,   m.h_display,           m.h_sync_start,     m.h_sync_end,
                  m.h_total, m.v_display,           m.v_sync_start,     m.v_sync_end,
                  m.v_total, r.cvt && r.interlaced, r.cvt && r.reduced, !(r.cvt && r.reduced)};
  if (const auto failure = BasicCheckFailure(m)) {
    result.outcome = Outcome::Discarded;
    result.reason = "The kernel drops the mode it computes for " + KernelModeText(r) + ": " + *failure + ".";
  } else if (m.clock < 0) {
    result.outcome = Outcome::Unknown;
    result.reason = "The kernel's clock for " + KernelModeText(r) + " overflows to " + std::to_string(m.clock) +
                    " kHz, which it keeps but no driver takes.";
  } else {
    result.outcome = Outcome::Valid;
  }
  return result;
}

}  // namespace zarn::modes
