#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "modes/expected.h"

namespace zarn::modes {

// The ID Windows knows a monitor by, read from its EDID: the manufacturer's
// three letters (bytes 8 and 9) and the product code (bytes 10 and 11, low
// byte first) as four uppercase hex digits, "DEL4079". The monitor's key is
// then Enum\DISPLAY\DEL4079\... and its hardware ID MONITOR\DEL4079. Fails
// unless the bytes are whole 128-byte blocks that start with the EDID header.
Expected<std::string> MonitorPnpId(std::span<const std::uint8_t> edid);

// A monitor driver INF (CR LF line ends, as Windows writes them) that makes
// Windows use these EDID bytes in place of what every monitor with the EDID's
// ID sends: installed as the monitor's driver (Device Manager, Update driver,
// Have Disk), it writes each 128-byte block as the binary value "0", "1", ...
// of the key EDID_OVERRIDE under the monitor's Device Parameters, after
// removing any earlier one. display_name names the model in Device Manager;
// characters outside printable ASCII become "?", since an INF of single bytes
// is read in the system's code page, and so does "%". Dated today, or on date
// (DriverVer).
// Fails as MonitorPnpId does.
Expected<std::string> MonitorInf(std::span<const std::uint8_t> edid, std::string_view display_name);
Expected<std::string> MonitorInf(std::span<const std::uint8_t> edid, std::string_view display_name,
                                 std::chrono::year_month_day date);

}  // namespace zarn::modes
