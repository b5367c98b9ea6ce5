#include "modes/links.h"

namespace zarn::modes {
namespace {

// Each rate is kept in whole bits per second. Where a fraction is involved
// (4:2:0 has 1.5 components, FRL 16/18 and DisplayPort 128/132 coding), both
// sides of a comparison are scaled to whole numbers instead.

// Bits per pixel times two: 4:2:0 carries one and a half components.
std::uint64_t DoubledBitsPerPixel(int depth, Sampling sampling) {
  const auto d = static_cast<std::uint64_t>(depth);
  switch (sampling) {
    case Sampling::Rgb444:
      return 6 * d;
    case Sampling::YCbCr422:
      return 4 * d;
    case Sampling::YCbCr420:
      return 3 * d;
  }
  return 0;
}

enum class Kind { Dvi, HdmiTmds, Frl, DisplayPort };

struct Link {
  std::string name;
  Kind kind;
  std::uint64_t raw_bps;  // line rate over all lanes, or the TMDS character rate times 10 per channel
  std::uint64_t coded;    // payload share: numerator ...
  std::uint64_t coding;   // ... over denominator
  std::uint64_t tmds_hz;  // the highest TMDS character rate (TMDS links)
  int links = 1;          // DVI dual link: two links side by side
};

std::vector<Link> Links() {
  std::vector<Link> links;
  links.push_back({"DVI single link", Kind::Dvi, 0, 1, 1, 165'000'000, 1});
  links.push_back({"DVI dual link", Kind::Dvi, 0, 1, 1, 165'000'000, 2});
  for (const std::uint64_t mhz : {165U, 340U, 600U}) {
    links.push_back({"HDMI TMDS " + std::to_string(mhz) + " MHz", Kind::HdmiTmds, 0, 1, 1, mhz * 1'000'000, 1});
  }
  const struct {
    int lanes;
    std::uint64_t gbps;
  } frl[] = {{3, 3}, {3, 6}, {4, 6}, {4, 8}, {4, 10}, {4, 12}};
  for (const auto& f : frl) {
    links.push_back({"HDMI FRL " + std::to_string(f.lanes) + "x" + std::to_string(f.gbps) + " Gbit/s", Kind::Frl,
                     static_cast<std::uint64_t>(f.lanes) * f.gbps * 1'000'000'000, 16, 18, 0, 1});
  }
  const struct {
    const char* name;
    std::uint64_t mbps;
    std::uint64_t coded, coding;
  } dp[] = {{"RBR", 1620, 8, 10},       {"HBR", 2700, 8, 10},        {"HBR2", 5400, 8, 10},
            {"HBR3", 8100, 8, 10},      {"UHBR10", 10000, 128, 132}, {"UHBR13.5", 13500, 128, 132},
            {"UHBR20", 20000, 128, 132}};
  for (const auto& rate : dp) {
    for (const std::uint64_t lanes : {1U, 2U, 4U}) {
      links.push_back({std::string("DisplayPort ") + rate.name + " x" + std::to_string(lanes), Kind::DisplayPort,
                       lanes * rate.mbps * 1'000'000, rate.coded, rate.coding, 0, 1});
    }
  }
  return links;
}

// TMDS carries 24 bits per character clock. Deep colour RGB/4:4:4 and 4:2:0
// raise the character rate by depth/8; 4:2:2 up to 12 bits rides in the
// 8-bit container at the pixel clock; 6-bit video is sent as 8-bit.
bool TmdsCarries(const Link& link, const DisplayTiming& t, int depth, Sampling sampling) {
  const std::uint64_t clock = t.pixel_clock_hz;
  const auto bits = static_cast<std::uint64_t>(depth < 8 ? 8 : depth);
  const std::uint64_t max = link.tmds_hz * static_cast<std::uint64_t>(link.links);
  if (link.kind == Kind::Dvi) return sampling == Sampling::Rgb444 && depth <= 8 && clock <= max;
  switch (sampling) {
    case Sampling::Rgb444:
      return clock * bits <= max * 8;
    case Sampling::YCbCr422:
      return depth <= 12 && clock <= max;
    case Sampling::YCbCr420:
      return clock * bits <= max * 16;
  }
  return false;
}

std::uint64_t Capacity(const Link& link) {
  if (link.kind == Kind::Dvi || link.kind == Kind::HdmiTmds) {
    return link.tmds_hz * 24 * static_cast<std::uint64_t>(link.links);
  }
  return link.raw_bps * link.coded / link.coding;
}

}  // namespace

const char* SamplingName(Sampling sampling) {
  switch (sampling) {
    case Sampling::Rgb444:
      return "RGB/4:4:4";
    case Sampling::YCbCr422:
      return "4:2:2";
    case Sampling::YCbCr420:
      return "4:2:0";
  }
  return "";
}

const char* SamplingKey(Sampling sampling) {
  switch (sampling) {
    case Sampling::Rgb444:
      return "rgb444";
    case Sampling::YCbCr422:
      return "ycbcr422";
    case Sampling::YCbCr420:
      return "ycbcr420";
  }
  return "";
}

bool FormatExists(int depth, Sampling sampling) {
  if (depth == 6) return sampling == Sampling::Rgb444;
  if (depth == 16) return sampling != Sampling::YCbCr422;
  return true;
}

std::uint64_t DataRateBitsPerSecond(const DisplayTiming& timing, int depth, Sampling sampling) {
  return timing.pixel_clock_hz * DoubledBitsPerPixel(depth, sampling) / 2;
}

std::vector<LinkCheck> CheckLinks(const DisplayTiming& timing) {
  std::vector<LinkCheck> checks;
  for (const Link& link : Links()) {
    LinkCheck check{link.name, Capacity(link), {}};
    for (std::size_t d = 0; d < kColourDepths.size(); ++d) {
      for (std::size_t s = 0; s < kSamplings.size(); ++s) {
        const int depth = kColourDepths[d];
        const Sampling sampling = kSamplings[s];
        bool carries = FormatExists(depth, sampling);
        if (carries && (link.kind == Kind::Dvi || link.kind == Kind::HdmiTmds)) {
          carries = TmdsCarries(link, timing, depth, sampling);
        } else if (carries) {
          // data <= raw * coded / coding, compared without division.
          carries = timing.pixel_clock_hz * DoubledBitsPerPixel(depth, sampling) * link.coding <=
                    2 * link.raw_bps * link.coded;
        }
        check.carries[d][s] = carries;
      }
    }
    checks.push_back(check);
  }
  return checks;
}

}  // namespace zarn::modes
