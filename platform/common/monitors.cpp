#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/monitors.h"

namespace zarn::platform {

std::vector<MonitorEdid> DrmMonitors(const std::filesystem::path& root) {
  std::vector<MonitorEdid> monitors;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
    // Connectors are named cardN-CONNECTOR; cardN itself has no EDID.
    const std::string name = entry.path().filename().string();
    const std::size_t dash = name.find('-');
    if (!name.starts_with("card") || dash == std::string::npos) continue;
    std::ifstream file(entry.path() / "edid", std::ios::binary);
    if (!file) continue;
    std::vector<std::uint8_t> edid((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // A connector with nothing attached has an empty edid file.
    if (edid.empty()) continue;
    monitors.push_back({name.substr(dash + 1), entry.path().string(), std::move(edid)});
  }
  std::sort(monitors.begin(), monitors.end(),
            [](const MonitorEdid& a, const MonitorEdid& b) { return a.connector < b.connector; });
  return monitors;
}

const MonitorEdid* FindMonitor(const std::vector<MonitorEdid>& monitors, const std::string& name) {
  const auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  for (const MonitorEdid& monitor : monitors) {
    if (monitor.connector == name) return &monitor;
  }
  const MonitorEdid* found = nullptr;
  for (const MonitorEdid& monitor : monitors) {
    if (!name.empty() && lower(monitor.connector).starts_with(lower(name))) {
      if (found != nullptr) return nullptr;
      found = &monitor;
    }
  }
  return found;
}

}  // namespace zarn::platform
