#include "forms/timings/timing_figures.h"

#include <cstddef>
#include <cstdint>

#include "forms/timings/locale_number.h"
#include "modes/decimal.h"
#include "modes/links.h"

namespace zarn::forms {
namespace {

using modes::DisplayTiming;

std::array<std::string, 6> Row(int active, int front, int sync, int back) {
  const int blank = front + sync + back;
  return {std::to_string(active), std::to_string(front), std::to_string(sync),
          std::to_string(back),   std::to_string(blank), std::to_string(active + blank)};
}

std::string Polarity(bool positive) { return positive ? "Positive" : "Negative"; }

std::string Details(const DisplayTiming& t) {
  std::string text = t.interlaced ? "Interlaced: the vertical figures are those of one field" : "Progressive";
  if (t.v_half_line) text += ", and each field has half a line more";
  if (t.reduced_blanking) text += "; reduced blanking";
  if (t.pixel_repetition > 1) text += "; each pixel sent " + std::to_string(t.pixel_repetition) + " times";
  if (t.aspect.horizontal > 0 && t.aspect.vertical > 0) {
    text += "; picture " + std::to_string(t.aspect.horizontal) + ":" + std::to_string(t.aspect.vertical);
  }
  return text;
}

// Mbit/s to one decimal, rounded down so that no capacity is overstated (the
// exact figures are the command line's).
std::string Mbps(std::uint64_t bitsPerSecond, const engine::NumberLocale& locale) {
  return WithLocaleSeparator(modes::ScaledDecimal(bitsPerSecond / 100'000, 1, 1), locale);
}

// A rate to three decimals, in the user's locale.
std::string Rate(double value, const engine::NumberLocale& locale) {
  return WithLocaleSeparator(modes::FixedDecimal(value, 3), locale);
}

}  // namespace

TimingFigures FiguresOf(const DisplayTiming& t, const engine::NumberLocale& locale) {
  TimingFigures f;
  f.source = WithLocaleSeparator(t.source, locale);
  f.horizontal = Row(t.h_active, t.h_front_porch, t.h_sync, t.h_back_porch);
  f.vertical = Row(t.v_active, t.v_front_porch, t.v_sync, t.v_back_porch);
  f.pixelClock = MegahertzText(t.pixel_clock_hz, locale) + " MHz";
  f.lineRate = Rate(t.line_rate_hz() / 1e3, locale) + " kHz";
  f.refreshRate = Rate(t.frame_rate_hz(), locale) + " Hz";
  if (t.interlaced) f.fieldRate = Rate(t.field_rate_hz(), locale) + " Hz";
  f.hsync = Polarity(t.h_sync_positive);
  f.vsync = Polarity(t.v_sync_positive);
  f.details = Details(t);
  return f;
}

TextTable DataRateTable(const DisplayTiming& t, const engine::NumberLocale& locale) {
  TextTable table;
  for (const int depth : modes::kColourDepths) table.columns.push_back(std::to_string(depth) + " bit");
  for (const modes::Sampling sampling : modes::kSamplings) {
    table.rows.emplace_back(modes::SamplingName(sampling));
    std::vector<std::string>& cells = table.cells.emplace_back();
    for (const int depth : modes::kColourDepths) {
      cells.push_back(modes::FormatExists(depth, sampling)
                          ? Mbps(modes::DataRateBitsPerSecond(t, depth, sampling), locale)
                          : std::string(kNoneText));
    }
  }
  return table;
}

TextTable LinkTable(const DisplayTiming& t, const engine::NumberLocale& locale) {
  TextTable table;
  table.columns.emplace_back("Capacity (Mbit/s)");
  for (const modes::Sampling sampling : modes::kSamplings) table.columns.emplace_back(modes::SamplingName(sampling));
  for (const modes::LinkCheck& link : modes::CheckLinks(t)) {
    table.rows.push_back(link.name);
    std::vector<std::string>& cells = table.cells.emplace_back();
    cells.push_back(Mbps(link.capacity_bps, locale));
    for (std::size_t s = 0; s < modes::kSamplings.size(); ++s) {
      std::string deepest = kNoneText;
      for (std::size_t d = 0; d < modes::kColourDepths.size(); ++d) {
        if (link.carries[d][s]) deepest = std::to_string(modes::kColourDepths[d]) + " bit";
      }
      cells.push_back(deepest);
    }
  }
  return table;
}

}  // namespace zarn::forms
