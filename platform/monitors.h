#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "modes/expected.h"

namespace zarn::platform {

// A monitor the system knows and the EDID it has read from it.
struct MonitorEdid {
  // How the user names it: the connector on Linux ("DP-1", "HDMI-A-1"); on
  // Windows the monitor's model and instance as the system lists them
  // ("DEL4079\5&2b5e4d8&0&UID4352").
  std::string connector;
  // Where the system keeps it: the connector's folder under /sys/class/drm
  // on Linux; the monitor's key under HKLM\SYSTEM\CurrentControlSet\Enum on
  // Windows ("DISPLAY\DEL4079\5&2b5e4d8&0&UID4352").
  std::string location;
  std::vector<std::uint8_t> edid;
};

// The monitors attached, each with its EDID, in the system's order: on Linux
// every connector under /sys/class/drm whose edid file holds one, on Windows
// every monitor whose EDID the system keeps in the registry.
std::vector<MonitorEdid> AttachedMonitors();

// Makes Windows read these EDID bytes in place of what the monitor sends:
// each 128-byte block becomes the binary value "0", "1", ... of the key
// EDID_OVERRIDE under the monitor's Device Parameters, and blocks an earlier,
// longer override left are removed. Windows reads it when it next sets the
// monitor up (after a restart). It needs administrator rights. Says in one
// sentence what it did; fails with the reason, on Linux always.
modes::Expected<std::string> SetEdidOverride(const MonitorEdid& monitor, std::span<const std::uint8_t> edid);

// Removes the monitor's EDID override, so that Windows reads its own EDID
// again; a monitor without one is left as it is, and said to be.
modes::Expected<std::string> RemoveEdidOverride(const MonitorEdid& monitor);

// The connectors with an EDID under a folder laid out as /sys/class/drm is
// (card0-DP-1/edid, ...), sorted by name; Linux's reader, and the tests'.
std::vector<MonitorEdid> DrmMonitors(const std::filesystem::path& root);

// The monitor a user names: exactly its connector, or else the one monitor
// whose connector starts with the name (case aside); nullptr when none or
// more than one does.
const MonitorEdid* FindMonitor(const std::vector<MonitorEdid>& monitors, const std::string& name);

}  // namespace zarn::platform
