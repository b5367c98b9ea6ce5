#include "modes/exports.h"

#include <cmath>

#include "modes/cvt.h"
#include "modes/modeline.h"

namespace zarn::modes {
namespace {

constexpr std::string_view kPlaceholder = "OUTPUT";

std::string OutputOrPlaceholder(std::string_view output) { return std::string(output.empty() ? kPlaceholder : output); }

// A name for the shell: modelines' names are letters, digits, x, _ and .,
// but quote them all the same.
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

constexpr std::string_view kOverrideAdvice =
    " Load it as an EDID override instead (zarn-timing --format edid, then the kernel's drm.edid_firmware= "
    "option).";

}  // namespace

std::string XrandrCommands(const DisplayTiming& timing, std::string_view output) {
  const std::string name = Quoted(ModeName(timing));
  return "xrandr --newmode " + name + " " + ModelineFields(timing) + "\nxrandr --addmode " +
         OutputOrPlaceholder(output) + " " + name + "\n";
}

Expected<std::string> SwayOutputLine(const DisplayTiming& timing, std::string_view output) {
  if (timing.interlaced) {
    return Expected<std::string>::Failure("sway's output modeline cannot carry an interlaced timing.");
  }
  return "output " + OutputOrPlaceholder(output) + " modeline " + ModelineFields(timing) + "\n";
}

Expected<std::string> KernelModeOption(const DisplayTiming& timing, std::string_view output) {
  using Result = Expected<std::string>;
  const DisplayTiming::CvtRequest& cvt = timing.cvt;
  if (cvt.version < 0) {
    return Result::Failure("The kernel's video= option names modes by the CVT formula only, and " + timing.source +
                           " is not a CVT timing." + std::string(kOverrideAdvice));
  }
  if (cvt.version > 1) {
    return Result::Failure(
        "The kernel's video= option knows CVT with normal blanking (M) and reduced blanking v1 "
        "(MR) only, not reduced blanking v" +
        std::to_string(cvt.version) + "." + std::string(kOverrideAdvice));
  }
  if (cvt.other_options) {
    return Result::Failure("The kernel's video= option has no way to name this timing's CVT options." +
                           std::string(kOverrideAdvice));
  }
  if (timing.h_active % 8 != 0) {
    return Result::Failure("The kernel's CVT rounds the width down to a multiple of 8, so it cannot make " +
                           std::to_string(timing.h_active) + " active pixels." + std::string(kOverrideAdvice));
  }
  // The kernel reads a whole number of frames per second; for interlaced
  // modes that is half the field rate the CVT formula was given.
  const double rate = timing.interlaced ? cvt.rate_hz / 2.0 : cvt.rate_hz;
  if (rate != std::floor(rate)) {
    return Result::Failure("The kernel's video= option takes a whole refresh rate in frames per second, not " +
                           SourceNumberText(rate) + " Hz." + std::string(kOverrideAdvice));
  }
  const long long height = timing.interlaced ? 2LL * timing.v_active : timing.v_active;
  std::string mode = std::to_string(timing.h_active) + "x" + std::to_string(height) + "M" +
                     (cvt.version == 1 ? "R" : "") + "@" + std::to_string(static_cast<long long>(rate)) +
                     (timing.interlaced ? "i" : "") + (cvt.margins ? "m" : "");
  return "video=" + (output.empty() ? std::string() : std::string(output) + ":") + mode + "\n";
}

}  // namespace zarn::modes
