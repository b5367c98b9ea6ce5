#include "modes/exports.h"

#include "modes/decimal.h"
#include "modes/edid.h"
#include "modes/kernel_mode.h"
#include "modes/modeline.h"
#include "modes/typed_text.h"

namespace zarn::modes {
namespace {

constexpr std::string_view kPlaceholder = "OUTPUT";

std::string OutputOrPlaceholder(std::string_view output) { return std::string(output.empty() ? kPlaceholder : output); }

}  // namespace

std::string XrandrCommands(const DisplayTiming& timing, std::string_view output) {
  // Modelines' names are letters, digits, x, _ and ., but quote them all the same.
  const std::string name = Quoted(ModeName(timing), '"');
  return "xrandr --newmode " + name + " " + ModelineFields(timing) + "\nxrandr --addmode " +
         OutputOrPlaceholder(output) + " " + name + "\n";
}

Expected<std::string> SwayOutputLine(const DisplayTiming& timing, std::string_view output) {
  if (timing.interlaced) {
    return Expected<std::string>::Failure("sway's output modeline cannot carry an interlaced timing.");
  }
  return "output " + OutputOrPlaceholder(output) + " modeline " + ModelineFields(timing) + "\n";
}

std::string EdidOverrideRoute(const DisplayTiming& timing) {
  const std::string load = ", then load it with the kernel's drm.edid_firmware= option.";
  const auto made = MakeEdid(timing, "");
  if (made && DescribeTiming(timing)) return " Make it an EDID override instead (--format edid -o FILE)" + load;
  const DisplayTiming rounded = WithDescriptorClock(timing);
  const auto block = MakeEdid(rounded, "");
  if (block && DescribeTiming(rounded) && rounded.pixel_clock_hz != timing.pixel_clock_hz) {
    return " An EDID override can carry it with the clock rounded to the 10 kHz step a descriptor holds, " +
           ScaledDecimal(rounded.pixel_clock_hz, 6, 2) + " MHz, which gives " +
           FixedDecimal(rounded.field_rate_hz(), 3) + " Hz (--round-clock --format edid -o FILE)" + load;
  }
  if (made) {
    return " An EDID override can carry it in a DisplayID extension block, which the kernel reads (--format edid -o "
           "FILE)" +
           load;
  }
  return " No EDID override can carry it either: " + made.error();
}

Expected<KernelOption> KernelModeOption(const DisplayTiming& timing, const TimingRequest* request,
                                        std::string_view output) {
  using Result = Expected<KernelOption>;
  if (request == nullptr || request->source == nullptr || request->source->kernel_mode == nullptr) {
    return Result::Failure(
        "The kernel's video= option names modes by the formulas it computes itself (CVT and GTF), "
        "and " +
        timing.source + " is not one of them." + EdidOverrideRoute(timing));
  }
  const Expected<std::string> mode = request->source->kernel_mode(request->values);
  if (!mode) return Result::Failure(mode.error() + EdidOverrideRoute(timing));
  const auto kernelRequest = ParseKernelMode(*mode);
  const auto built =
      kernelRequest ? KernelTiming(*kernelRequest) : Expected<DisplayTiming>::Failure(kernelRequest.error());
  if (!built) {
    return Result::Failure("The kernel makes no mode of " + *mode + ": " + built.error() + EdidOverrideRoute(timing));
  }
  if (built->h_active != timing.h_active || built->v_active != timing.v_active ||
      built->interlaced != timing.interlaced) {
    return Result::Failure("From " + *mode + " the kernel makes a " +
                           ShortModeName(*built).substr(0, ShortModeName(*built).find('_')) + " mode, not " +
                           ShortModeName(timing).substr(0, ShortModeName(timing).find('_')) + "." +
                           EdidOverrideRoute(timing));
  }
  KernelOption option;
  option.option = "video=" + (output.empty() ? std::string() : std::string(output) + ":") + *mode + "\n";
  const std::string differences = KernelModeDifferences(*built, timing);
  if (!differences.empty()) {
    option.note = "Unless the monitor offers a mode of this size and rate, the kernel computes its own from " + *mode +
                  ", and it differs from this timing: " + differences + "." + EdidOverrideRoute(timing);
  }
  return option;
}

}  // namespace zarn::modes
