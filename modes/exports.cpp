#include "modes/exports.h"

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

Expected<std::string> KernelModeOption(const DisplayTiming& timing, const TimingRequest* request,
                                       std::string_view output) {
  using Result = Expected<std::string>;
  if (request == nullptr || request->source == nullptr || request->source->kernel_mode == nullptr) {
    return Result::Failure("The kernel's video= option names modes by the CVT formula only, and " + timing.source +
                           " is not a CVT timing." + std::string(kEdidOverrideAdvice));
  }
  const Result mode = request->source->kernel_mode(request->values);
  if (!mode) return mode;
  return "video=" + (output.empty() ? std::string() : std::string(output) + ":") + *mode + "\n";
}

}  // namespace zarn::modes
