#include "modes/kernel_mode_choice.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

#include "modes/kernel_formulas.h"
#include "modes/kernel_frame.h"

namespace zarn::modes {
namespace {

// Established timings I and II and the manufacturer's bit, from bit 0 of
// the first byte up: the order in which the kernel adds them.
struct EstablishedMode {
  int width, height, rate;
  bool interlaced;
};
constexpr std::array<EstablishedMode, 17> kEstablishedByBit = {{
    {800, 600, 60, false},
    {800, 600, 56, false},
    {640, 480, 75, false},
    {640, 480, 72, false},
    {640, 480, 67, false},
    {640, 480, 60, false},
    {720, 400, 88, false},
    {720, 400, 70, false},
    {1280, 1024, 75, false},
    {1024, 768, 75, false},
    {1024, 768, 70, false},
    {1024, 768, 60, false},
    {1024, 768, 87, true},
    {832, 624, 75, false},
    {800, 600, 75, false},
    {800, 600, 72, false},
    {1152, 870, 75, false},
}};

// Sizes of CTA-861's interlaced formats, which the kernel doubles to frame
// lines when a detailed timing has them.
constexpr std::array<std::array<int, 2>, 7> kCtaInterlacedSizes = {
    {{1920, 1080}, {720, 480}, {1440, 480}, {2880, 480}, {720, 576}, {1440, 576}, {2880, 576}}};

// The mode as the kernel makes it of the EDID's figures.
KernelFrame KernelFrameOfMonitorMode(const MonitorMode& mode) {
  const DisplayTiming& t = mode.timing;
  KernelFrame frame = KernelFrameOf(t);
  if (mode.source != EdidModeSource::Detailed || !t.interlaced) return frame;
  // A descriptor holds one field's figures; the kernel doubles them, and
  // makes the total odd, for CTA-861's sizes only.
  const bool cta_size = std::ranges::find(kCtaInterlacedSizes, std::array<int, 2>{t.h_active, 2 * t.v_active}) !=
                        kCtaInterlacedSizes.end();
  const std::int64_t scale = cta_size ? 2 : 1;
  frame.v_display = scale * t.v_active;
  frame.v_sync_start = scale * (std::int64_t{t.v_active} + t.v_front_porch);
  frame.v_sync_end = scale * (std::int64_t{t.v_active} + t.v_front_porch + t.v_sync);
  frame.v_total = cta_size ? 2 * std::int64_t{t.v_total()} + 1 : t.v_total();
  return frame;
}

int SourceRank(EdidModeSource source) { return static_cast<int>(source); }

// Within the established timings: I and II by bit, then the rest (III).
std::size_t EstablishedRank(const KernelFrame& frame) {
  const std::int64_t rate = KernelRefreshRate(frame);
  for (std::size_t bit = 0; bit < kEstablishedByBit.size(); ++bit) {
    const EstablishedMode& e = kEstablishedByBit[bit];
    if (frame.h_display == e.width && frame.v_display == e.height && rate == e.rate &&
        frame.interlaced == e.interlaced) {
      return bit;
    }
  }
  return kEstablishedByBit.size();
}

}  // namespace

Expected<std::optional<std::size_t>> KernelModeChoice(const KernelModeRequest& request,
                                                      std::span<const MonitorMode> modes) {
  using Result = Expected<std::optional<std::size_t>>;
  std::vector<KernelFrame> frames;
  for (const MonitorMode& mode : modes) frames.push_back(KernelFrameOfMonitorMode(mode));
  std::vector<std::size_t> order(modes.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto rank = [&](std::size_t i) {
    const bool established = modes[i].source == EdidModeSource::Established;
    return std::pair{SourceRank(modes[i].source), established ? EstablishedRank(frames[i]) : 0};
  };
  std::ranges::stable_sort(order, [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
  for (const std::size_t i : order) {
    const KernelFrame& f = frames[i];
    if (f.h_display == request.width && f.v_display == request.height &&
        (!request.rate || KernelRefreshRate(f) == *request.rate)) {
      return std::optional<std::size_t>{i};
    }
  }
  const KernelComputation computed = ComputeKernelMode(request);
  switch (computed.outcome) {
    case KernelComputation::Outcome::Valid:
      return std::optional<std::size_t>{};
    case KernelComputation::Outcome::Discarded:
      return Result::Failure(computed.reason.substr(0, computed.reason.size() - 1) +
                             ", and the monitor offers no mode of that size and rate, so the kernel ignores the "
                             "option.");
    case KernelComputation::Outcome::Unknown:
      break;
  }
  return Result::Failure(computed.reason);
}

namespace {

EdidModeSource KernelSourceOf(EdidTimingKind kind) {
  switch (kind) {
    case EdidTimingKind::DetailedTiming:
      return EdidModeSource::Detailed;
    case EdidTimingKind::Cvt3Byte:
      return EdidModeSource::CvtCode;
    case EdidTimingKind::Standard:
      return EdidModeSource::Standard;
    case EdidTimingKind::Established:
    case EdidTimingKind::EstablishedIII:
      return EdidModeSource::Established;
    case EdidTimingKind::Vic:
    case EdidTimingKind::Ycbcr420Vic:
    case EdidTimingKind::HdmiVic:
      return EdidModeSource::CtaVideo;
    default:
      return EdidModeSource::DisplayId;
  }
}

}  // namespace

Expected<DisplayTiming> KernelModeOnMonitor(const KernelModeRequest& request, const DecodedEdid& edid) {
  std::vector<MonitorMode> modes;
  for (const EdidTiming& timing : edid.timings) {
    modes.push_back({timing.timing, KernelSourceOf(timing.kind), timing.preferred});
  }
  const auto choice = KernelModeChoice(request, modes);
  if (!choice) return Expected<DisplayTiming>::Failure(choice.error());
  if (!*choice) return KernelTiming(request);
  DisplayTiming timing = edid.timings[**choice].timing;
  timing.source = "Kernel " + KernelModeText(request) + ": the monitor's " + edid.timings[**choice].origin;
  return timing;
}

}  // namespace zarn::modes
