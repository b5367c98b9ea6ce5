// zarn-timing's EDID commands over real monitors' EDIDs: edid show (files,
// standard input, an attached monitor), monitors, and the kernel's choice of
// a monitor's own mode.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/zarn_timing.h"
#include "platform/monitors.h"

namespace zarn::cli {
namespace {

namespace fs = std::filesystem;

const std::string kCorpus = ZARN_TEST_DATA_DIR "/edid/";
// A monitor of 1920x1080 at 60 Hz preferred, and one of 3840x2160 with a
// CTA-861 extension.
const std::string kAoc = kCorpus + "Digital_AOC_AOC2267_0919A15B97C4.bin";

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A folder laid out as /sys/class/drm is: a connector with the AOC, one with
// nothing attached, and the card itself.
struct DrmFolder {
  DrmFolder() : root(fs::temp_directory_path() / ("zarn-drm-" + std::to_string(getpid()))) {
    fs::create_directories(root / "card0-DP-1");
    fs::create_directories(root / "card0-HDMI-A-1");
    fs::create_directories(root / "card0");
    fs::copy_file(kAoc, root / "card0-DP-1" / "edid", fs::copy_options::overwrite_existing);
    std::ofstream(root / "card0-HDMI-A-1" / "edid");
  }
  ~DrmFolder() { fs::remove_all(root); }
  Environment Attached() const {
    return {[path = root] { return platform::DrmMonitors(path); }, [] { return std::string(); }};
  }
  fs::path root;
};

TEST(EdidCommand, ShowsDecodesAndExportsEachWay) {
  const DrmFolder drm;
  const Environment attached = drm.Attached();
  Environment piped = attached;
  piped.standard_input = [] {
    return std::string("junk before\n") + [] {
      // The AOC's bytes as hex, 16 to a line.
      std::string hex;
      const std::string bytes = Read(kAoc);
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(static_cast<unsigned char>(bytes[i])));
        hex += pair;
        hex += i % 16 == 15 ? '\n' : ' ';
      }
      return hex;
    }();
  };
  struct Case {
    std::vector<std::string> arguments;
    const Environment* environment;
    int exit_code;
    std::string out;  // a part of standard output
    std::string err;  // a part of standard error
  } const cases[] = {
      {{"edid", "show", kAoc}, &attached, 0, "  21  DTD 1", ""},
      {{"edid", "show", kAoc, "--format", "json"},
       &attached,
       0,
       "\"manufacturer\": \"AOC\", \"product_code\": 8807",
       ""},
      {{"edid", "show", "-", "--format", "json"}, &piped, 0, "\"name\": \"2267W\"", ""},
      {{"edid", "show", "--monitor", "DP-1", "--timing", "21", "--format", "modeline"},
       &attached,
       0,
       "148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync",
       ""},
      {{"edid", "show", "--monitor", "dp", "--timing", "14"}, &attached, 0, "DMT 0x24", ""},
      {{"edid", "show", "--monitor", "HDMI-A-1"}, &attached, 1, "", "the monitors are DP-1"},
      {{"edid", "show", kAoc, "--timing", "22"}, &attached, 1, "", "offers 21 timings"},
      {{"edid", "show", kAoc, "--format", "modeline"}, &attached, 2, "", "--timing"},
      {{"edid", "show", ZARN_TEST_DATA_DIR "/edid_requests.txt"}, &attached, 1, "", "holds no EDID"},
      {{"edid", "show", kAoc, "/no/such/file", "--format", "json"}, &attached, 1, "\"AOC\"", "Cannot read"},
      {{"monitors"}, &attached, 0, "DP-1        AOC 2267  2267W          48x27 cm   1920x1080_60.00 (DTD 1", ""},
      // The kernel takes the monitor's own mode of that size and rate, and
      // computes its own where the monitor has none.
      {{"kernel", "1920x1080M@60", "--monitor", "DP-1"}, &attached, 0, "Kernel 1920x1080M@60: the monitor's DTD 1", ""},
      {{"kernel", "1280x1024@75", "--edid", kAoc}, &attached, 0, "the monitor's Established: DMT 0x24", ""},
      {{"kernel", "1920x1080M@75", "--edid", kAoc}, &attached, 0, "Kernel 1920x1080M@75: 1920x1080", ""},
      {{"kernel", "1920x1080M@60", "--edid", kAoc, "--monitor", "DP-1"}, &attached, 2, "", "only one"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.arguments) line += a + " ";
    const Outcome outcome = cli::Run(c.arguments, *c.environment);
    EXPECT_EQ(outcome.exit_code, c.exit_code) << line << "-> " << outcome.err;
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << line << "-> " << outcome.out;
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << line << "-> " << outcome.err;
  }
}

}  // namespace
}  // namespace zarn::cli
