#include "platform/monitors.h"

namespace zarn::platform {

std::vector<MonitorEdid> AttachedMonitors() { return DrmMonitors("/sys/class/drm"); }

}  // namespace zarn::platform
