#include "modes/sources.h"

#include <array>
#include <cmath>

#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/decimal.h"
#include "modes/dmt.h"
#include "modes/edid_reader.h"
#include "modes/gtf.h"
#include "modes/kernel_mode.h"
#include "modes/kernel_mode_choice.h"
#include "modes/ovt.h"
#include "modes/rid.h"
#include "modes/vesa_formula.h"

namespace zarn::modes {
namespace {

using K = ValueKind;
using Values = std::span<const Value>;
using TimingResult = Expected<DisplayTiming>;

// The largest figure typed in: what 16-bit timing hardware counts.
constexpr double kMaxTypedFigure = 65535.0;
// A megahertz figure to the hertz, at most a terahertz.
constexpr double kMaxTypedClockMhz = 1000000.0;

// The tables.
constexpr Parameter kDmtParameters[] = {Parameter("id", "ID", "the DMT ID", K::ModeNumber)};
constexpr Parameter kVicParameters[] = {Parameter("vic", "N", "the VIC", K::ModeNumber)};
constexpr Parameter kHdmiVicParameters[] = {Parameter("hdmi-vic", "N", "the HDMI VIC", K::ModeNumber)};

std::vector<DisplayTiming> DmtList() {
  std::vector<DisplayTiming> timings;
  for (const DmtMode& mode : DmtModes()) timings.push_back(ToTiming(mode));
  return timings;
}

std::vector<DisplayTiming> VicList() {
  std::vector<DisplayTiming> timings;
  for (const CtaMode& mode : CtaModes()) timings.push_back(VicTiming(mode.vic).value());
  return timings;
}

std::vector<DisplayTiming> HdmiVicList() {
  std::vector<DisplayTiming> timings;
  for (const CtaMode& mode : HdmiVicModes()) timings.push_back(HdmiVicTiming(mode.vic).value());
  return timings;
}

TimingResult MakeDmt(Values v) { return DmtTiming(v[0].Int()); }
TimingResult MakeVic(Values v) { return VicTiming(v[0].Int()); }
TimingResult MakeHdmiVic(Values v) { return HdmiVicTiming(v[0].Int()); }

// CVT.
enum Cvt : std::size_t {
  kCvtWidth,
  kCvtHeight,
  kCvtRate,
  kCvtBlanking,
  kCvtInterlaced,
  kCvtMargins,
  kCvtVideoOptimized,
  kCvtHBlank,
  kCvtVBlank,
  kCvtEarlyVsync
};
constexpr int kV2 = static_cast<int>(CvtBlanking::ReducedV2);
constexpr int kV3 = static_cast<int>(CvtBlanking::ReducedV3);
constexpr Parameter kCvtParameters[] = {
    Parameter("width", "WIDTH", "the width", K::Whole).Range(kMinWidth, kMaxSize, "pixels"),
    Parameter("height", "HEIGHT", "the height", K::Whole).Range(1, kMaxSize, "lines"),
    Parameter("rate", "RATE", "the rate", K::Number).Range(kMinRateHz, kMaxRateHz, "Hz"),
    Parameter("blanking", "--rb", "the blanking", K::Choice).Choices(kCvtBlankingNames),
    Parameter("interlaced", "--interlaced", "interlacing", K::Flag),
    Parameter("margins", "--margins", "the margins", K::Flag),
    Parameter("video-optimized", "--video-optimized", "the video-optimised rate", K::Flag).Needs(kCvtBlanking, kV2),
    Parameter("hblank", "--hblank", "the horizontal blanking", K::Whole)
        .Range(kCvtRb3MinHBlank, kCvtRb3MaxHBlank, "pixels")
        .Shown("N")
        .Needs(kCvtBlanking, kV3),
    Parameter("vblank-us", "--vblank-us", "the vertical blanking time", K::Whole)
        .Range(kCvtRb3MinVBlankUs, kCvtRb3MaxVBlankUs, "microseconds")
        .Shown("N")
        .Needs(kCvtBlanking, kV3),
    Parameter("early-vsync", "--early-vsync", "the early vertical sync", K::Flag).Needs(kCvtBlanking, kV3),
};

CvtOptions CvtOptionsOf(Values v) {
  CvtOptions options;
  options.blanking = static_cast<CvtBlanking>(v[kCvtBlanking].Int());
  options.interlaced = v[kCvtInterlaced].On();
  options.margins = v[kCvtMargins].On();
  options.video_optimized = v[kCvtVideoOptimized].On();
  options.h_blank = v[kCvtHBlank].Int();
  options.v_blank_us = v[kCvtVBlank].Int();
  options.early_vsync = v[kCvtEarlyVsync].On();
  return options;
}

TimingResult MakeCvt(Values v) {
  return CvtTiming(v[kCvtWidth].Int(), v[kCvtHeight].Int(), v[kCvtRate].number, CvtOptionsOf(v));
}

Expected<std::string> CvtKernelMode(Values v) {
  using Result = Expected<std::string>;
  const CvtOptions options = CvtOptionsOf(v);
  const int version = static_cast<int>(options.blanking);
  if (version > 1) {
    return Result::Failure(
        "The kernel's video= option knows CVT with normal blanking (M) and reduced blanking v1 "
        "(MR) only, not reduced blanking v" +
        std::to_string(version) + ".");
  }
  if (options.video_optimized || options.h_blank != 0 || options.v_blank_us != 0 || options.early_vsync) {
    return Result::Failure("The kernel's video= option has no way to name this timing's CVT options.");
  }
  const int width = v[kCvtWidth].Int();
  if (width % 8 != 0 && width != 1366) {
    return Result::Failure("The kernel's CVT rounds the width down to a multiple of 8, so it cannot make " +
                           std::to_string(width) + " active pixels.");
  }
  // The kernel reads a whole number of frames per second; for interlaced
  // modes that is half the field rate the CVT formula was given.
  const double rate = options.interlaced ? v[kCvtRate].number / 2.0 : v[kCvtRate].number;
  if (rate != std::floor(rate)) {
    return Result::Failure("The kernel's video= option takes a whole refresh rate in frames per second, not " +
                           SourceNumberText(rate) + " Hz.");
  }
  return std::to_string(width) + "x" + std::to_string(v[kCvtHeight].Int()) + "M" + (version == 1 ? "R" : "") + "@" +
         std::to_string(static_cast<long long>(rate)) + (options.interlaced ? "i" : "") + (options.margins ? "m" : "");
}

// GTF: one of a rate, a line rate or a pixel clock.
enum Gtf : std::size_t {
  kGtfWidth,
  kGtfHeight,
  kGtfRate,
  kGtfLineRate,
  kGtfPixelClock,
  kGtfInterlaced,
  kGtfMargins,
  kGtfSecondary
};
constexpr Parameter kGtfParameters[] = {
    Parameter("width", "WIDTH", "the width", K::Whole).Range(kMinWidth, kMaxSize, "pixels"),
    Parameter("height", "HEIGHT", "the height", K::Whole).Range(1, kMaxSize, "lines"),
    Parameter("rate", "RATE", "the rate", K::Number).Range(kMinRateHz, kMaxRateHz, "Hz").Group(1),
    Parameter("line-rate", "--line-rate", "the line rate", K::Number)
        .Range(kGtfMinLineRateHz / 1e3, kGtfMaxLineRateHz / 1e3, "kHz")
        .Shown("KHZ")
        .Group(1),
    Parameter("pixel-clock", "--pixel-clock", "the pixel clock", K::Number)
        .Range(kGtfMinPixelClockHz / 1e6, kGtfMaxPixelClockHz / 1e6, "MHz")
        .Shown("MHZ")
        .Group(1),
    Parameter("interlaced", "--interlaced", "interlacing", K::Flag),
    Parameter("margins", "--margins", "the margins", K::Flag),
    Parameter("secondary", "--secondary", "the secondary curve", K::Curve).Shown("C M K J"),
};

TimingResult MakeGtf(Values v) {
  GtfInput input = GtfInput::FrameRate;
  double value = v[kGtfRate].number;
  if (v[kGtfLineRate].given) {
    input = GtfInput::LineRate;
    value = v[kGtfLineRate].number * 1e3;
  } else if (v[kGtfPixelClock].given) {
    input = GtfInput::PixelClock;
    value = v[kGtfPixelClock].number * 1e6;
  }
  GtfOptions options;
  options.interlaced = v[kGtfInterlaced].On();
  options.margins = v[kGtfMargins].On();
  if (v[kGtfSecondary].given) {
    const auto& c = v[kGtfSecondary].parts;
    options.secondary = true;
    options.curve = {c[0], c[1], c[2], c[3]};
  }
  return GtfTiming(v[kGtfWidth].Int(), v[kGtfHeight].Int(), input, value, options);
}

// Figures typed in.
enum Custom : std::size_t {
  kCustomClock,
  kCustomHorizontal,
  kCustomVertical,
  kCustomHSync,
  kCustomVSync,
  kCustomInterlaced
};
constexpr Parameter kCustomParameters[] = {
    Parameter("pixel-clock", "--pixel-clock", "the pixel clock", K::Megahertz)
        .Range(1e-6, kMaxTypedClockMhz, "MHz")
        .Shown("MHZ")
        .Required(),
    Parameter("horizontal", "--horizontal", "horizontal", K::Figures)
        .Range(1, kMaxTypedFigure, "pixels")
        .Shown("ACTIVE,FRONT,SYNC,BACK")
        .Required(),
    Parameter("vertical", "--vertical", "vertical", K::Figures)
        .Range(1, kMaxTypedFigure, "lines")
        .Shown("ACTIVE,FRONT,SYNC,BACK")
        .Required(),
    Parameter("hsync", "--hsync", "the horizontal sync polarity", K::Polarity),
    Parameter("vsync", "--vsync", "the vertical sync polarity", K::Polarity),
    Parameter("interlaced", "--interlaced", "interlacing", K::Flag),
};

TimingResult MakeCustom(Values v) {
  DisplayTiming t;
  const auto figure = [&](std::size_t parameter, std::size_t part) {
    return static_cast<int>(v[parameter].parts[part]);
  };
  t.h_active = figure(kCustomHorizontal, 0);
  t.h_front_porch = figure(kCustomHorizontal, 1);
  t.h_sync = figure(kCustomHorizontal, 2);
  t.h_back_porch = figure(kCustomHorizontal, 3);
  t.v_active = figure(kCustomVertical, 0);
  t.v_front_porch = figure(kCustomVertical, 1);
  t.v_sync = figure(kCustomVertical, 2);
  t.v_back_porch = figure(kCustomVertical, 3);
  t.pixel_clock_hz = v[kCustomClock].hertz;
  // Polarities are positive unless given otherwise.
  t.h_sync_positive = !v[kCustomHSync].given || v[kCustomHSync].On();
  t.v_sync_positive = !v[kCustomVSync].given || v[kCustomVSync].On();
  t.interlaced = v[kCustomInterlaced].On();
  t.source = "Custom";
  return t;
}

// The kernel's own mode for a video= option.
std::string KernelOptionProblem(std::string_view text) {
  const auto request = ParseKernelMode(text);
  return request ? std::string() : request.error();
}

constexpr Parameter kKernelParameters[] = {
    Parameter("option", "OPTION", "the kernel's mode", K::Word).Words(KernelOptionProblem),
    Parameter("edid", "--edid", "the monitor's EDID", K::EdidFile).Shown("FILE").Group(2),
    Parameter("monitor", "--monitor", "the monitor", K::Monitor).Shown("NAME").Group(2),
};

TimingResult MakeKernel(Values v) {
  const auto request = ParseKernelMode(v[0].word);
  if (!request) return TimingResult::Failure(request.error());
  // With the monitor's EDID: the mode of its own the kernel picks, if any.
  for (const Value& monitor : {v[1], v[2]}) {
    if (monitor.bytes.empty()) continue;
    const auto edid = DecodeEdid(monitor.bytes);
    if (!edid) return TimingResult::Failure("The monitor's EDID cannot be read: " + edid.error());
    return KernelModeOnMonitor(*request, *edid);
  }
  return KernelTiming(*request);
}

Expected<std::string> KernelOptionMode(Values v) {
  const auto request = ParseKernelMode(v[0].word);
  if (!request) return Expected<std::string>::Failure(request.error());
  return KernelModeText(*request);
}

// OVT, and the CTA-861 RIDs it makes the timings of.
constexpr Parameter kOvtParameters[] = {
    Parameter("width", "WIDTH", "the width", K::Whole).Range(1, kOvtMaxSize, "pixels"),
    Parameter("height", "HEIGHT", "the height", K::Whole).Range(1, kOvtMaxSize, "lines"),
    Parameter("rate", "RATE", "the rate", K::Number).Range(kOvtMinRateHz, kOvtMaxRateHz, "Hz"),
};

TimingResult MakeOvt(Values v) { return OvtTiming(v[0].Int(), v[1].Int(), v[2].number); }

constexpr Parameter kRidParameters[] = {
    Parameter("rid", "N", "the RID", K::ModeNumber),
    Parameter("rate", "RATE", "the rate", K::Number).Range(kOvtMinRateHz, kOvtMaxRateHz, "Hz"),
};

TimingResult MakeRid(Values v) { return RidTiming(v[0].Int(), v[1].number); }

std::vector<DisplayTiming> RidList() {
  std::vector<DisplayTiming> timings;
  for (const RidInfo& rid : Rids()) {
    for (const int rate : rid.rates_hz) {
      if (const auto timing = RidTiming(rid.rid, rate)) timings.push_back(*timing);
    }
  }
  return timings;
}

constexpr SourceInfo kSources[] = {
    {SourceId::Dmt, "dmt", kDmtParameters, MakeDmt, DmtList, nullptr},
    {SourceId::Vic, "vic", kVicParameters, MakeVic, VicList, nullptr},
    {SourceId::HdmiVic, "hdmi-vic", kHdmiVicParameters, MakeHdmiVic, HdmiVicList, nullptr},
    {SourceId::Cvt, "cvt", kCvtParameters, MakeCvt, nullptr, CvtKernelMode},
    {SourceId::Gtf, "gtf", kGtfParameters, MakeGtf, nullptr, nullptr},
    {SourceId::Custom, "custom", kCustomParameters, MakeCustom, nullptr, nullptr},
    {SourceId::Kernel, "kernel", kKernelParameters, MakeKernel, nullptr, KernelOptionMode},
    {SourceId::Ovt, "ovt", kOvtParameters, MakeOvt, nullptr, nullptr},
    {SourceId::Rid, "rid", kRidParameters, MakeRid, RidList, nullptr},
};

}  // namespace

std::span<const SourceInfo> Sources() { return kSources; }

const SourceInfo& SourceOf(SourceId id) {
  for (const SourceInfo& source : kSources) {
    if (source.id == id) return source;
  }
  return kSources[0];
}

const SourceInfo* FindSource(std::string_view command) {
  for (const SourceInfo& source : kSources) {
    if (source.command == command) return &source;
  }
  return nullptr;
}

std::size_t ParameterIndex(const SourceInfo& source, std::string_view key) {
  for (std::size_t i = 0; i < source.parameters.size(); ++i) {
    if (source.parameters[i].key == key) return i;
  }
  return source.parameters.size();
}

Expected<DisplayTiming> MakeTiming(const TimingRequest& request, const InputStyle& style) {
  if (request.source == nullptr || request.values.size() != request.source->parameters.size()) {
    return Expected<DisplayTiming>::Failure("Choose a source.");
  }
  if (std::string problem = RequestProblem(request.source->parameters, request.values, style); !problem.empty()) {
    return Expected<DisplayTiming>::Failure(std::move(problem));
  }
  return request.source->make(request.values);
}

}  // namespace zarn::modes
