#include "platform/monitors.h"

namespace zarn::platform {

std::vector<MonitorEdid> AttachedMonitors() { return DrmMonitors("/sys/class/drm"); }

namespace {

modes::Expected<std::string> NotHere() {
  return modes::Expected<std::string>::Failure(
      "An EDID override in the registry is for Windows; on Linux, the kernel takes one at boot "
      "(drm.edid_firmware=CONNECTOR:edid/FILE.bin, the file in /lib/firmware/edid).");
}

}  // namespace

modes::Expected<std::string> SetEdidOverride(const MonitorEdid&, std::span<const std::uint8_t>) { return NotHere(); }

modes::Expected<std::string> RemoveEdidOverride(const MonitorEdid&) { return NotHere(); }

}  // namespace zarn::platform
