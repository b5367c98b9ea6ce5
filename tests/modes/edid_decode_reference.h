#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zarn::modes::testing {

// The timing that edid-decode prints for one of its calculation options
// (--dmt, --vic, --hdmi-vic, --cvt, --gtf, --ovt), read from its text.
struct ReferenceTiming {
  int h_active = 0, h_front_porch = 0, h_sync = 0, h_back_porch = 0;
  int v_active = 0, v_front_porch = 0, v_sync = 0, v_back_porch = 0;
  std::uint64_t pixel_clock_hz = 0;
  bool h_sync_positive = false;
  bool v_sync_positive = false;
  bool interlaced = false;
  bool v_half_line = false;
};

// Runs "edid-decode ARGUMENTS" and reads the first timing it prints;
// nullopt when it prints none.
std::optional<ReferenceTiming> EdidDecodeTiming(const std::string& arguments);

// Every timing it prints, in order: one for each of several options given at
// once ("--ovt w=640,h=480,fps=60 --ovt w=640,h=480,fps=61").
std::vector<ReferenceTiming> EdidDecodeTimings(const std::string& arguments);

// "135.000000" (MHz as edid-decode prints it) as whole hertz, without
// floating point.
std::uint64_t MegahertzTextToHz(const std::string& text);

// Whether edid-decode can be run here.
bool EdidDecodeAvailable();

// Runs a command and returns what it printed on standard output.
std::string RunCommand(const std::string& command);

}  // namespace zarn::modes::testing
