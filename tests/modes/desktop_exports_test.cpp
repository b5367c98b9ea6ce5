// The desktops' own ways of adding a mode, against the real programs where
// Debian has them: Xorg with the dummy driver sets the mode of the generated
// file, sway --validate takes the sway lines, wlr-randr takes the custom
// mode against a headless sway, cvt computes what a wlroots compositor makes
// of it, edid-decode states the monitors' ranges. Hyprland and niri, not in
// Debian 12, are held to the examples of their documentation.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/command_words.h"
#include "cli/zarn_timing.h"
#include "edid_decode_reference.h"
#include "modes/cvt.h"
#include "modes/desktop_exports.h"
#include "modes/dmt.h"
#include "modes/modeline.h"

namespace zarn::modes {
namespace {

namespace fs = std::filesystem;
using testing::RunCommand;

cli::Outcome Zarn(const std::string& line, const cli::Environment& environment = {}) {
  const auto words = cli::SplitCommandWords(line);
  return words ? cli::Run(*words, environment) : cli::Outcome{2, "", "unreadable: " + line, "", ""};
}

// A folder of this process alone, emptied first: test runs may share the machine.
fs::path FreshFolder(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("zarn-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::string Read(const fs::path& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// A program started in the background, ended (and waited for) by its id.
class Background {
 public:
  explicit Background(const std::string& command) {
    FILE* shell = popen((command + " >/dev/null 2>&1 & echo $!").c_str(), "r");
    if (shell != nullptr && std::fscanf(shell, "%d", &pid_) != 1) pid_ = -1;
    if (shell != nullptr) pclose(shell);
  }
  ~Background() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 50 && Running(); ++i) usleep(100000);
    if (Running()) kill(pid_, SIGKILL);
  }
  bool Running() const { return pid_ > 0 && fs::exists("/proc/" + std::to_string(pid_)) && !Zombie(); }

 private:
  bool Zombie() const {
    const std::string stat = Read("/proc/" + std::to_string(pid_) + "/stat");
    const std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
  }
  int pid_ = -1;
};

// Waits up to ten seconds for a command to print something, while the server lives.
std::string WaitFor(const Background& server, const std::string& command) {
  for (int i = 0; i < 100 && server.Running(); ++i) {
    if (std::string out = RunCommand(command); !out.empty()) return out;
    usleep(100000);
  }
  return {};
}

TEST(XorgConf, TheDummyServerSetsTheModeOfTheFile) {
  ASSERT_EQ(geteuid(), 0u) << "this test starts Xorg, which takes root here (tests run as root)";
  ASSERT_TRUE(fs::exists("/usr/lib/xorg/modules/drivers/dummy_drv.so"))
      << "packages xserver-xorg-core and xserver-xorg-video-dummy are needed";
  ASSERT_NE(RunCommand("command -v xrandr"), "") << "package x11-xserver-utils (xrandr) is needed";
  // A DMT, a CVT-RB2 and a custom mode; the last with a monitor's EDID whose
  // ranges leave it out, so that HorizSync and VertRefresh are written too.
  const std::string requests[] = {
      "dmt 0x52", "cvt 2560 1440 60 --rb 2",
      "custom --pixel-clock 100.123456 --horizontal 1600,40,80,160 --vertical 900,3,5,30 --hsync - "
      "--edid " ZARN_TEST_DATA_DIR "/edid/Analog_AOC_AOC1970_990903BF74BE.bin"};
  for (const std::string& request : requests) {
    SCOPED_TRACE(request);
    const cli::Outcome file = Zarn(request + " --format xorg-conf --output DUMMY0");
    ASSERT_EQ(file.exit_code, 0) << file.err;
    const fs::path dir = FreshFolder("xorg");
    fs::create_directories(dir / "conf.d");
    std::ofstream(dir / "conf.d" / "10-monitor-DUMMY0.conf") << file.out;
    // The test's own Device and Screen: the dummy driver, with room for 2560x1440.
    std::ofstream(dir / "xorg.conf") << "Section \"Device\"\n  Identifier \"Card\"\n  Driver \"dummy\"\n"
                                        "  VideoRam 256000\nEndSection\nSection \"Screen\"\n  Identifier \"Screen\"\n"
                                        "  Device \"Card\"\n  DefaultDepth 24\nEndSection\n";
    int display = 60;
    while (display < 200 && (fs::exists("/tmp/.X11-unix/X" + std::to_string(display)) ||
                             fs::exists("/tmp/.X" + std::to_string(display) + "-lock"))) {
      ++display;
    }
    const std::string name = ":" + std::to_string(display);
    const Background server("Xorg " + name + " -config " + (dir / "xorg.conf").string() + " -configdir " +
                            (dir / "conf.d").string() + " -noreset -nolisten tcp -logfile " +
                            (dir / "Xorg.log").string());
    const std::string listing = WaitFor(server, "DISPLAY=" + name + " xrandr --verbose 2>/dev/null");
    ASSERT_FALSE(listing.empty()) << "Xorg " << name << " did not start; its log:\n" << Read(dir / "Xorg.log");
    // The current mode of DUMMY0 is the file's, by its name and its figures.
    const std::string mode_name = file.out.substr(file.out.find("Modeline \"") + 10);
    const std::string current = mode_name.substr(0, mode_name.find('"'));
    const std::size_t at = listing.find("  " + current + " (");
    ASSERT_NE(at, std::string::npos) << "xrandr lists no mode " << current << ":\n" << listing;
    const std::string block = listing.substr(at, listing.find("clock", listing.find("v: height", at)) - at);
    EXPECT_NE(block.substr(0, block.find('\n')).find("*current"), std::string::npos) << block;
    std::string fields = mode_name.substr(mode_name.find('"') + 2);
    fields = fields.substr(0, fields.find('\n'));
    fs::remove_all(dir);
    std::istringstream in(fields);
    std::string clock;
    int h[4], v[4];
    in >> clock >> h[0] >> h[1] >> h[2] >> h[3] >> v[0] >> v[1] >> v[2] >> v[3];
    // xrandr's "h: width 1920 start 2008 end 2052 total 2200 ...", read word by word.
    std::vector<int> shown_positions;
    std::istringstream words(block.substr(block.find("h: ")));
    for (std::string word, value; words >> word;) {
      if (word == "width" || word == "height" || word == "start" || word == "end" || word == "total") {
        words >> value;
        shown_positions.push_back(std::stoi(value));
      }
    }
    EXPECT_EQ(shown_positions, std::vector<int>({h[0], h[1], h[2], h[3], v[0], v[1], v[2], v[3]})) << block;
    const std::string mode_line = block.substr(0, block.find('\n'));
    const std::size_t mhz = mode_line.find("MHz");
    ASSERT_NE(mhz, std::string::npos) << mode_line;
    const std::string shown = mode_line.substr(mode_line.rfind(' ', mhz) + 1, mhz - mode_line.rfind(' ', mhz) - 1);
    EXPECT_NEAR(std::stod(shown), std::stod(clock), 0.0005) << mode_line;
  }
}

// The progressive timings of every table and a few formulas, for the
// targets without an interlace flag.
std::vector<std::string> ProgressiveRequests() {
  std::vector<std::string> requests;
  for (int id = 1; id <= 0x58; ++id) {
    if (const auto t = DmtTiming(id); t && !t->interlaced) requests.push_back("dmt " + std::to_string(id));
  }
  for (const char* request : {"vic 16", "vic 97", "hdmi-vic 1", "cvt 1366 768 59.94", "cvt 2560 1440 144 --rb 2",
                              "gtf 1280 720 50", "ovt 3840 2160 120"}) {
    requests.emplace_back(request);
  }
  return requests;
}

// sway's headless backend, as a user the way people run it; setpriv starts
// it in its own process (no parent left waiting), so that it is ended by its id.
const std::string kSwayUser =
    "runuser -u nobody -- env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 "
    "WLR_RENDERER=pixman XDG_RUNTIME_DIR=";

TEST(WaylandExports, SwayValidatesItsLinesAndWlrRandrTakesTheCustomModes) {
  ASSERT_EQ(RunCommand("(command -v sway && command -v wlr-randr) | wc -l"), "2\n")
      << "packages sway and wlr-randr are needed";
  const fs::path dir = FreshFolder("sway");
  const fs::path runtime = dir / "runtime";
  fs::create_directories(runtime);
  ASSERT_EQ(std::system(("chown nobody " + runtime.string() + " && chmod 700 " + runtime.string()).c_str()), 0);
  fs::permissions(dir, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  const std::string as_user = kSwayUser + runtime.string() + " ";
  const auto validate = [&](const std::string& config) {
    std::ofstream(dir / "config") << config;
    fs::permissions(dir / "config", fs::perms::owner_all | fs::perms::others_read);
    return RunCommand(as_user + "sway --validate --config " + (dir / "config").string() + " 2>&1; echo exit $?");
  };
  // sway checks modelines when it validates: a line it cannot take fails.
  const std::string refused = validate("output X modeline 148.50 1920 2008 2052 2200 1080 1084 1089 +hsync +vsync\n");
  ASSERT_NE(refused.find("Invalid modeline"), std::string::npos) << "sway --validate did not check a modeline:\n"
                                                                 << refused;
  std::string config, commands;
  for (const std::string& request : ProgressiveRequests()) {
    const cli::Outcome line = Zarn(request + " --format sway --output HEADLESS-1");
    ASSERT_EQ(line.exit_code, 0) << request << ": " << line.err;
    config += line.out;
    const cli::Outcome custom = Zarn(request + " --format wlr-randr --output HEADLESS-1");
    ASSERT_EQ(custom.exit_code, 0) << request << ": " << custom.err;
    commands += custom.out;
  }
  const std::string report = validate(config);
  EXPECT_NE(report.find("exit 0"), std::string::npos) << "sway --validate refused lines of --format sway:\n" << report;
  EXPECT_EQ(report.find("Error"), std::string::npos) << report;

  // wlr-randr against a running headless sway: --dryrun has the compositor
  // test each custom mode; a malformed one is refused, so refusals show.
  std::ofstream(dir / "config") << "";
  const Background sway(as_user + "sway --config " + (dir / "config").string());
  // Its socket is the one its private runtime folder holds.
  const std::string socket =
      WaitFor(sway, "ls " + runtime.string() + " 2>/dev/null | grep '^wayland-[0-9]*$' | head -1 | tr -d '\\n'");
  ASSERT_NE(socket, "") << "headless sway did not start";
  const std::string client = as_user + "WAYLAND_DISPLAY=" + socket + " wlr-randr";
  ASSERT_NE(WaitFor(sway, client + " 2>/dev/null"), "") << "headless sway did not start";
  EXPECT_EQ(RunCommand(client + " --output HEADLESS-1 --custom-mode 1920x1080x60Hz --dryrun 2>&1; echo exit $?")
                .find("exit 0"),
            std::string::npos)
      << "wlr-randr took a malformed custom mode";
  std::istringstream lines(commands);
  int tried = 0;
  for (std::string line; std::getline(lines, line); ++tried) {
    ASSERT_EQ(line.rfind("wlr-randr ", 0), 0u) << line;
    const std::string answer =
        RunCommand(as_user + "WAYLAND_DISPLAY=" + socket + " " + line + " --dryrun 2>&1; echo exit $?");
    EXPECT_NE(answer.find("exit 0"), std::string::npos) << line << ": " << answer;
  }
  EXPECT_GT(tried, 80);
  fs::remove_all(dir);
}

// What a wlroots compositor makes of a custom mode is cvt's modeline; the
// note of --format wlr-randr appears exactly where the timing differs.
TEST(WaylandExports, TheCompositorsCustomModeIsCvts) {
  ASSERT_NE(RunCommand("cvt 640 480 60 2>/dev/null").find("Modeline"), std::string::npos)
      << "cvt (package xcvt) cannot be run here; it is the reference of this test";
  int compared = 0;
  for (const int width : {640, 1024, 1366, 1600, 1920, 2560, 3840}) {
    for (const int height : {480, 768, 1080, 1440, 2160}) {
      for (const char* rate : {"50", "59.94", "60", "75", "144"}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + "@" + rate);
        const std::string theirs =
            RunCommand("cvt " + std::to_string(width) + " " + std::to_string(height) + " " + rate + " 2>/dev/null");
        std::string fields = theirs.substr(theirs.find('"', theirs.find("Modeline") + 10) + 1);
        fields = fields.substr(0, fields.find('\n'));
        std::istringstream words(fields);
        std::string ours_text, word;
        const auto ours = CompositorCvtMode(width, height, std::stod(rate));
        ASSERT_TRUE(ours) << ours.error();
        std::vector<std::string> expected, made;
        while (words >> word) expected.push_back(word);
        std::istringstream made_words(ModelineFields(*ours));
        while (made_words >> word) made.push_back(word);
        EXPECT_EQ(made, expected);
        ++compared;
        const cli::Outcome custom =
            Zarn("cvt " + std::to_string(width) + " " + std::to_string(height) + " " + rate + " --format wlr-randr");
        ASSERT_EQ(custom.exit_code, 0) << custom.err;
        // No note exactly where the compositor makes the very timing of the request.
        std::vector<std::string> requested;
        std::istringstream requested_words(ModelineFields(*CvtTiming(width, height, std::stod(rate))));
        while (requested_words >> word) requested.push_back(word);
        EXPECT_EQ(custom.err.empty(), requested == expected) << custom.err;
      }
    }
  }
  EXPECT_EQ(compared, 175);
  const cli::Outcome dmt = Zarn("dmt 0x52 --format wlr-randr --output DP-1");
  EXPECT_EQ(dmt.out, "wlr-randr --output DP-1 --custom-mode 1920x1080@60Hz\n");
  EXPECT_NE(dmt.err.find("173.00 1920 2048 2248 2576 1080 1083 1088 1120 -hsync +vsync"), std::string::npos) << dmt.err;
  EXPECT_FALSE(Zarn("vic 5 --format wlr-randr").err.empty());
}

// Each target's line against its documentation's own example (a data file:
// the example, and the request of the same timing); refusals with a reason.
TEST(DesktopExports, EachTargetWritesItsDocumentedSyntax) {
  std::ifstream table(ZARN_TEST_DATA_DIR "/desktop_syntax.txt");
  ASSERT_TRUE(table) << ZARN_TEST_DATA_DIR "/desktop_syntax.txt";
  int rows = 0;
  for (std::string row; std::getline(table, row);) {
    if (row.empty() || row[0] == '#') continue;
    ++rows;
    SCOPED_TRACE(row);
    std::vector<std::string> cells;
    for (std::size_t start = 0;;) {
      const std::size_t bar = row.find(" | ", start);
      cells.push_back(row.substr(start, bar - start));
      if (bar == std::string::npos) break;
      start = bar + 3;
    }
    ASSERT_GE(cells.size(), 3u);
    const cli::Outcome made = Zarn(cells[1] + " --format " + cells[0]);
    if (cells[2].rfind("REFUSED ", 0) == 0) {
      EXPECT_EQ(made.exit_code, 1) << made.out;
      EXPECT_NE(made.err.find(cells[2].substr(8)), std::string::npos) << made.err;
      continue;
    }
    ASSERT_EQ(made.exit_code, 0) << made.err;
    // The example, "\n" for its line breaks, with the parts the program
    // writes otherwise on purpose ("THEIRS => OURS" in the fourth cell).
    std::string documented = cells[2];
    for (std::size_t at; (at = documented.find("\\n")) != std::string::npos;) documented.replace(at, 2, "\n");
    if (cells.size() > 3) {
      const std::size_t arrow = cells[3].find(" => ");
      documented.replace(documented.find(cells[3].substr(0, arrow)), arrow, cells[3].substr(arrow + 4));
    }
    // Blanks between words are free in every one of these syntaxes; numbers
    // are compared as numbers ("173.00" and "173.0").
    const auto words = [](const std::string& text) {
      std::vector<std::string> list;
      std::istringstream in(text);
      for (std::string word; in >> word;) {
        const bool number = word.find_first_not_of("0123456789.") == std::string::npos && word != ".";
        list.push_back(number ? std::to_string(std::stod(word)) : word);
      }
      return list;
    };
    EXPECT_EQ(words(made.out), words(documented)) << made.out;
  }
  EXPECT_GE(rows, 10);
}

// The monitor's ranges from its EDID, as edid-decode states them: HorizSync
// and VertRefresh are written exactly where the mode falls outside them, and
// then cover both.
TEST(XorgConf, RangesOnlyWhereTheMonitorsLeaveTheModeOut) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << "edid-decode cannot be run here; it is the reference of this test";
  int inside = 0, outside = 0;
  for (const auto& entry : fs::directory_iterator(ZARN_TEST_DATA_DIR "/edid")) {
    if (entry.path().extension() != ".bin" || inside + outside >= 120) continue;
    const std::string report = RunCommand("edid-decode " + entry.path().string() + " 2>/dev/null");
    int v_low = 0, v_high = 0, h_low = 0, h_high = 0;
    const std::size_t at = report.find("Monitor ranges");
    if (at == std::string::npos || std::sscanf(report.c_str() + report.find(": ", at) + 2, "%d-%d Hz V, %d-%d kHz H",
                                               &v_low, &v_high, &h_low, &h_high) != 4) {
      continue;
    }
    SCOPED_TRACE(entry.path().filename().string());
    // 1024x768 at 60 Hz (48.363 kHz, 60.004 Hz) and 2560x1440 at 120 Hz (RB2: 182.88 kHz).
    CvtOptions rb2;
    rb2.blanking = CvtBlanking::ReducedV2;
    for (const char* request : {"dmt 0x10", "cvt 2560 1440 120 --rb 2"}) {
      const DisplayTiming t = *(std::string(request) == "dmt 0x10" ? DmtTiming(0x10) : CvtTiming(2560, 1440, 120, rb2));
      const double h = t.line_rate_hz() / 1000, v = t.field_rate_hz();
      const bool fits = h >= h_low && h <= h_high && v >= v_low && v <= v_high;
      const cli::Outcome file = Zarn(std::string(request) + " --format xorg-conf --edid " + entry.path().string());
      ASSERT_EQ(file.exit_code, 0) << file.err;
      ++(fits ? inside : outside);
      if (fits) {
        EXPECT_EQ(file.out.find("HorizSync"), std::string::npos) << file.out;
        continue;
      }
      double written_h_low = 0, written_h_high = 0, written_v_low = 0, written_v_high = 0;
      ASSERT_EQ(std::sscanf(file.out.c_str() + file.out.find("    HorizSync "), "    HorizSync %lf-%lf", &written_h_low,
                            &written_h_high),
                2)
          << file.out;
      ASSERT_EQ(std::sscanf(file.out.c_str() + file.out.find("    VertRefresh "), "    VertRefresh %lf-%lf",
                            &written_v_low, &written_v_high),
                2)
          << file.out;
      EXPECT_TRUE(written_h_low <= std::min<double>(h, h_low) && written_h_high >= std::max<double>(h, h_high))
          << file.out;
      EXPECT_TRUE(written_v_low <= std::min<double>(v, v_low) && written_v_high >= std::max<double>(v, v_high))
          << file.out;
    }
  }
  EXPECT_GT(inside, 20);
  EXPECT_GT(outside, 20);
  // Without an EDID the ranges cover the mode, and the comment says the rest may need more.
  const cli::Outcome alone = Zarn("dmt 0x10 --format xorg-conf");
  EXPECT_NE(alone.out.find("HorizSync 48-49\n    VertRefresh 60-61\n"), std::string::npos) << alone.out;
  // An EDID read from standard input for the kernel's own choice serves the ranges too, read once.
  cli::Environment environment;
  environment.standard_input = [] { return Read(ZARN_TEST_DATA_DIR "/edid/Analog_AOC_AOC1970_990903BF74BE.bin"); };
  const cli::Outcome kernel = Zarn("kernel 1920x1080M@60 --edid - --format xorg-conf", environment);
  EXPECT_EQ(kernel.exit_code, 0) << kernel.err;
  EXPECT_NE(kernel.out.find("EDID's range limits"), std::string::npos) << kernel.out;
}

}  // namespace
}  // namespace zarn::modes
