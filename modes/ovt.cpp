#include "modes/ovt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <utility>

#include "modes/decimal.h"
#include "modes/rid.h"

namespace zarn::modes {
namespace {

using TimingResult = Expected<DisplayTiming>;

// The formula's constants.
constexpr std::int64_t kMinVBlankUs = 460;            // vertical blanking at least this long
constexpr std::int64_t kMinVBlankLines = 20;          // and at least this many lines
constexpr std::int64_t kMinVSyncLeadUs = 400;         // from the start of the vertical sync to the picture
constexpr std::int64_t kMinVSyncLeadLines = 14;       // and at least this many lines
constexpr std::int64_t kMinClock420Hz = 590'000'000;  // from this clock on, 4:2:0 pixels need their own blanking
constexpr std::int64_t kPixelFactor420 = 2;
constexpr std::int64_t kMinHBlank444 = 80;
constexpr std::int64_t kMinHBlank420 = 128;
constexpr std::int64_t kClockStepHz = 1000;  // the pixel clock is a whole number of kilohertz
constexpr std::int64_t kMinHTotalStep = 8;
constexpr std::int64_t kMaxChunkRateHz = 650'000'000;  // a line is sent in chunks of at most this rate
constexpr std::int64_t kAudioPacketRateHz = 195'000;   // audio packets a second, at most
constexpr std::int64_t kAudioPacketPixels = 32;
constexpr std::int64_t kLineOverheadPixels = 32;
constexpr int kHSync = 32;
constexpr int kHBackPorch = 32;
constexpr int kVSync = 8;
constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;

// Input limits: sizes as 16-bit timing descriptors carry them, and rates whose
// frame is longer than the vertical blanking alone.
constexpr int kMaxSize = kOvtMaxSize;
constexpr int kMinRateHz = kOvtMinRateHz;
// Pixels of a line and lines of a frame at most: every count stays well inside
// int and every clock below 2^53 Hz.
constexpr std::int64_t kMaxTotal = std::int64_t{1} << 20;
constexpr int kMaxRateHz = kOvtMaxRateHz;
static_assert(kOvtMaxRateHz == (kMicrosecondsPerSecond - 1) / kMinVBlankUs, "a frame outlasts its blanking");

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }
std::int64_t RoundUp(std::int64_t value, std::int64_t step) { return CeilDiv(value, step) * step; }

std::int64_t PowerOfTwoAtLeast(std::int64_t n) {
  std::int64_t power = 1;
  while (power < n) power *= 2;
  return power;
}

// The family a rate belongs to: the timing is made at the family's top rate
// (max_rate) on a line count that every rate of the family divides into whole
// lines (v_step); a rate of no family is its own top rate.
struct Family {
  std::int64_t max_rate;
  std::int64_t v_step;
};

Family FamilyOf(std::int64_t rate) {
  switch (rate) {
    case 24:
    case 25:
    case 30:
      return {30, 20};
    case 48:
    case 50:
    case 60:
      return {60, 20};
    case 100:
    case 120:
      return {120, 5};
    case 200:
    case 240:
      return {240, 5};
    case 300:
    case 360:
      return {360, 5};
    case 400:
    case 480:
      return {480, 5};
    default:
      return {rate, 1};
  }
}

struct Totals {
  std::int64_t h = 0;
  std::int64_t v = 0;
};

// The largest power of two that divides n: a line of n pixels goes in that
// many chunks at most.
std::int64_t LowestBit(std::int64_t n) { return n & -n; }

// The smallest h = start + k * step (k >= 0) that is a multiple of m; nullopt
// when there is none. Solves k * step = -start (mod m) with Euclid's inverse.
std::optional<std::int64_t> FirstMultiple(std::int64_t start, std::int64_t step, std::int64_t m) {
  const std::int64_t g = std::gcd(step, m);
  const std::int64_t need = ((-start) % m + m) % m;
  if (need % g != 0) return std::nullopt;
  const std::int64_t modulus = m / g;
  // The inverse of step / g modulo m / g.
  std::int64_t old_r = (step / g) % modulus, r = modulus, old_s = 1, s = 0;
  while (r != 0) {
    const std::int64_t q = old_r / r;
    old_r = std::exchange(r, old_r - q * r);
    old_s = std::exchange(s, old_s - q * s);
  }
  const std::int64_t k = modulus == 1 ? 0 : ((need / g) % modulus * ((old_s % modulus + modulus) % modulus)) % modulus;
  return start + k * step;
}

// The totals with the smallest product (the lowest clock) such that the clock
// at max_rate is a whole number of kilohertz and each chunk of a line keeps to
// the chunk rate: h from min_h in steps of h_step, v from min_v in steps of
// v_step; of equal products the fewer lines. A line count that no h up to
// kMaxTotal completes is passed over; nullopt when none is complete.
std::optional<Totals> SmallestTotals(std::int64_t min_h, std::int64_t min_v, std::int64_t h_step, std::int64_t v_step,
                                     std::int64_t max_rate) {
  const std::int64_t product_step = kClockStepHz / std::gcd(kClockStepHz, max_rate);
  // When min_h has fewer factors of two than the step, every h has just as few, and a chunk only gets faster
  // as v grows.
  const bool fixed_chunks = LowestBit(min_h) < LowestBit(h_step);
  std::optional<Totals> best;
  for (std::int64_t v = min_v; v <= kMaxTotal && (!best || min_h * v <= best->h * best->v); v += v_step) {
    // A chunk has a pixel at least: a line rate above the chunk rate leaves no h.
    if (max_rate * v > kMaxChunkRateHz) break;
    if (fixed_chunks && max_rate * min_h * v > kMaxChunkRateHz * LowestBit(min_h)) break;
    const std::int64_t h_multiple = product_step / std::gcd(product_step, v);  // h must be a multiple of this
    const std::optional<std::int64_t> first = FirstMultiple(min_h, h_step, h_multiple);
    if (!first) continue;
    const std::int64_t h_repeat = std::lcm(h_step, h_multiple);
    for (std::int64_t h = *first; h <= kMaxTotal; h += h_repeat) {
      if (max_rate * h * v > kMaxChunkRateHz * LowestBit(h)) continue;
      if (!best || h * v < best->h * best->v) best = Totals{h, v};
      break;
    }
  }
  return best;
}

TimingResult Absurd() {
  return TimingResult::Failure(
      "At this size and rate the OVT blanking would take an absurd number of pixels or lines.");
}

}  // namespace

Expected<DisplayTiming> OvtTiming(int width, int height, double rate_hz) {
  if (width < 1 || width > kMaxSize) {
    return TimingResult::Failure("The width must be from 1 to " + std::to_string(kMaxSize) + " pixels.");
  }
  if (height < 1 || height > kMaxSize) {
    return TimingResult::Failure("The height must be from 1 to " + std::to_string(kMaxSize) + " lines.");
  }
  if (!(rate_hz >= kMinRateHz && rate_hz <= kMaxRateHz)) {
    return TimingResult::Failure("The rate must be from " + std::to_string(kMinRateHz) + " to " +
                                 std::to_string(kMaxRateHz) + " Hz, where a frame outlasts the " +
                                 std::to_string(kMinVBlankUs) + " microseconds of OVT vertical blanking.");
  }
  if (rate_hz != std::floor(rate_hz)) {
    return TimingResult::Failure("OVT takes a whole number of frames per second, such as 60 rather than " +
                                 SourceNumberText(rate_hz) + ".");
  }
  const auto rate = static_cast<std::int64_t>(rate_hz);
  const Family family = FamilyOf(rate);
  const std::int64_t r = family.max_rate;
  const std::int64_t h_active = width;
  const std::int64_t v_active = height;

  // Vertical: the picture in the frame time left after the blanking sets the
  // line time; the blanking takes its time in such lines, and 20 at least.
  const std::int64_t blank_lines = CeilDiv(kMinVBlankUs * v_active * r, kMicrosecondsPerSecond - kMinVBlankUs * r);
  const std::int64_t min_v_total = RoundUp(v_active + std::max(kMinVBlankLines, blank_lines), family.v_step);
  if (min_v_total > kMaxTotal) return Absurd();

  // Horizontal: room for the audio packets that can fall in one line, 80
  // pixels at least; lines sent in chunks that keep below the chunk rate.
  const std::int64_t packets_per_line = CeilDiv(kAudioPacketRateHz, r * min_v_total);
  const std::int64_t min_h_blank = kLineOverheadPixels + kAudioPacketPixels * packets_per_line;
  const std::int64_t first_h_total = h_active + std::max(kMinHBlank444, min_h_blank);
  if (first_h_total > kMaxTotal) return Absurd();
  const std::int64_t chunks = PowerOfTwoAtLeast(CeilDiv(r * first_h_total * min_v_total, kMaxChunkRateHz));
  const std::int64_t h_step = std::max(kMinHTotalStep, chunks);

  std::optional<Totals> totals = SmallestTotals(RoundUp(first_h_total, h_step), min_v_total, h_step, family.v_step, r);
  // At clocks that 4:2:0 pixels need, the line must also hold their blanking. The search then starts from
  // that length as it is, not rounded to the step: 1366x768 at 400 Hz has 1494 pixels a line.
  const std::int64_t min_h_total_420 = h_active + std::max(kMinHBlank420, kPixelFactor420 * min_h_blank);
  if (totals && r * totals->h * totals->v >= kMinClock420Hz && totals->h < min_h_total_420) {
    totals = SmallestTotals(min_h_total_420, min_v_total, h_step, family.v_step, r);
  }
  if (!totals) {
    return TimingResult::Failure("At this size and rate no OVT line length keeps each chunk of a line within " +
                                 std::to_string(kMaxChunkRateHz / 1'000'000) + " MHz.");
  }

  // Every rate of the family has the top rate's clock and line rate: a lower
  // rate has more lines, all of them in the front porch.
  const std::int64_t v_total = totals->v * r / rate;
  const std::int64_t sync_lead =
      std::max(kMinVSyncLeadLines, CeilDiv(kMinVSyncLeadUs * r * totals->v, kMicrosecondsPerSecond));
  const std::int64_t v_front = v_total - v_active - sync_lead;
  if (v_front < 0) return TimingResult::Failure("At this size and rate OVT leaves no room for the vertical sync.");

  DisplayTiming timing;
  timing.h_active = width;
  timing.h_front_porch = static_cast<int>(totals->h - h_active) - kHSync - kHBackPorch;
  timing.h_sync = kHSync;
  timing.h_back_porch = kHBackPorch;
  timing.v_active = height;
  timing.v_front_porch = static_cast<int>(v_front);
  timing.v_sync = kVSync;
  timing.v_back_porch = static_cast<int>(sync_lead) - kVSync;
  timing.pixel_clock_hz = static_cast<std::uint64_t>(r * totals->h * totals->v);
  timing.h_sync_positive = true;
  timing.v_sync_positive = true;
  timing.aspect = RidAspectRatio(width, height);
  timing.source = "OVT " + std::to_string(width) + 'x' + std::to_string(height) + '@' + SourceNumberText(rate_hz);
  return timing;
}

Expected<DisplayTiming> RidTiming(int rid, double rate_hz) {
  const RidInfo* const info = FindRid(rid);
  if (info == nullptr) {
    return TimingResult::Failure("There is no RID " + std::to_string(rid) + "; RIDs run from 1 to " +
                                 std::to_string(Rids().size()) + ".");
  }
  if (std::find(info->rates_hz.begin(), info->rates_hz.end(), rate_hz) == info->rates_hz.end()) {
    std::string rates;
    for (std::size_t i = 0; i < info->rates_hz.size(); ++i) {
      rates += (i == 0 ? "" : i + 1 == info->rates_hz.size() ? " and " : ", ") + std::to_string(info->rates_hz[i]);
    }
    return TimingResult::Failure("RID " + std::to_string(rid) + " comes at " + rates + " Hz, not at " +
                                 SourceNumberText(rate_hz) + " Hz.");
  }
  Expected<DisplayTiming> timing = OvtTiming(info->width, info->height, rate_hz);
  if (!timing) return timing;
  DisplayTiming result = *timing;
  result.aspect = info->aspect;
  result.source = "RID " + std::to_string(rid) + " @ " + SourceNumberText(rate_hz);
  return result;
}

}  // namespace zarn::modes
