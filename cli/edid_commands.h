#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/zarn_timing.h"

namespace zarn::cli {

// zarn-timing monitors: the monitors attached, each with its connector,
// vendor, name, size and preferred timing.
Outcome Monitors(std::span<const std::string> arguments, const Environment& environment);

// zarn-timing edid show (FILE... | - | --monitor NAME) [--timing N]: the
// decoded EDID, or one of its timings in any format; edid install and edid
// uninstall are EdidInstall's (cli/edid_install.h).
Outcome Edid(std::span<const std::string> arguments, const Environment& environment);

// zarn-timing edid edit (FILE | - | --monitor NAME) -o OUT EDIT...: the EDID
// with the edits made (cli/edid_edit_command.cpp), what changed on standard output.
Outcome EdidEdit(std::span<const std::string> arguments, const Environment& environment);

// All of a file's content, or standard input's for "-"; a failure, or more
// than limit bytes ("NAME is too large."), is NoModeError.
std::string ReadInput(const std::string& path, const Environment& environment, std::size_t limit,
                      std::string_view tooLarge = "is too large.");
// The most an input of requests (a batch) may hold.
inline constexpr std::size_t kMaxRequestBytes = 256 << 20;

// The bytes of an EDID: a file's (binary or hex text), standard input's
// for "-", or an attached monitor's by its connector. Failures are NoModeError.
std::vector<std::uint8_t> LoadEdidFile(const std::string& path, const Environment& environment);
std::vector<std::uint8_t> LoadMonitorEdid(const std::string& name, const Environment& environment);
// The attached monitor a user names (see platform::FindMonitor); a
// NoModeError naming the monitors there are when none answers to the name.
platform::MonitorEdid AttachedMonitor(const std::string& name, const Environment& environment);

}  // namespace zarn::cli
