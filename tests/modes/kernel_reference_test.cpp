// The kernel's video= modes against Linux 6.1's own code: drm_cvt_mode,
// drm_gtf_mode, the command line parser and the choice among the monitor's
// modes, built from Debian's linux-source-6.1 into a reference program
// (kernel_reference/build_kernel_reference.sh).
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "edid_decode_reference.h"
#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/decimal.h"
#include "modes/dmt.h"
#include "modes/kernel_formulas.h"
#include "modes/kernel_mode.h"
#include "modes/kernel_mode_choice.h"
#include "modes/modeline.h"

namespace zarn::modes {
namespace {

using Outcome = KernelComputation::Outcome;

// Sends the requests, one a line, to the reference program; its answers, one a line.
std::vector<std::string> AskKernel(const std::string& requests) {
  const std::string path = ::testing::TempDir() + "zarn-kernel-requests-" + std::to_string(getpid()) + ".txt";
  std::ofstream(path) << requests;
  std::istringstream answers(testing::RunCommand("'" + std::string(ZARN_KERNEL_REFERENCE) + "' < '" + path + "'"));
  std::filesystem::remove(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(answers, line);) lines.push_back(line);
  return lines;
}

class KernelReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(ZARN_KERNEL_REFERENCE))
        << "The kernel's reference program is missing: it is built from " ZARN_KERNEL_SOURCE
           "; install linux-source-6.1 and xz-utils (scripts/packages.sh lists them) and build again.";
  }
};

// The reference program's figures: "CLOCK HD HSS HSE HT VD VSS VSE VT FLAGS".
std::string FrameText(const KernelFrame& f) {
  const int flags = (f.h_sync_positive ? 1 : 2) | (f.v_sync_positive ? 4 : 8) | (f.interlaced ? 16 : 0);
  std::ostringstream out;
  out << f.clock_khz << ' ' << f.h_display << ' ' << f.h_sync_start << ' ' << f.h_sync_end << ' ' << f.h_total << ' '
      << f.v_display << ' ' << f.v_sync_start << ' ' << f.v_sync_end << ' ' << f.v_total << ' ' << flags;
  return out.str();
}

// The kernel's mode as a modeline, from the reference program's figures.
std::string KernelModeline(const std::string& answer) {
  std::istringstream in(answer);
  std::uint64_t clock_khz = 0;
  std::int64_t figures[8] = {};
  int flags = 0;
  in >> clock_khz;
  for (std::int64_t& figure : figures) in >> figure;
  in >> flags;
  std::string text = ScaledDecimal(clock_khz * 1000, 6, 2);
  for (const std::int64_t figure : figures) text += " " + std::to_string(figure);
  if (flags & 16) text += " interlace";
  text += (flags & 1) ? " +hsync" : " -hsync";
  text += (flags & 4) ? " +vsync" : " -vsync";
  return text;
}

// Every combination of the parts, as option texts ("1920x1080MR@60im").
void AddRequests(std::vector<std::string>& requests, const std::vector<int>& widths, const std::vector<int>& heights,
                 const std::vector<std::string>& rates, const std::vector<std::string>& scans) {
  for (const int w : widths) {
    for (const int h : heights) {
      for (const std::string& rate : rates) {
        for (const char* kind : {"", "M", "MR"}) {
          for (const std::string& scan : scans) {
            requests.push_back(std::to_string(w) + "x" + std::to_string(h) + kind + rate + scan);
          }
        }
      }
    }
  }
}

TEST_F(KernelReferenceTest, ComputesTheKernelsOwnModes) {
  std::vector<std::string> grid;
  AddRequests(grid, {320,  640,  720,  800,  1000, 1024, 1152, 1280, 1360, 1366, 1400,
                     1440, 1600, 1680, 1920, 1925, 2048, 2560, 3440, 3840, 5120, 7680},
              {200, 240, 480, 576, 600, 720, 768, 800, 864, 900, 1024, 1050, 1080, 1081, 1200, 1440, 1600, 2160, 4320},
              {"", "@23", "@24", "@25", "@30", "@48", "@50", "@56", "@60", "@72", "@75", "@85", "@100", "@120", "@144",
               "@165", "@200", "@240"},
              {"", "i", "m", "im"});
  // Where the kernel's arithmetic strains and wraps: tiny and huge sizes, extreme rates.
  AddRequests(grid, {8, 16, 17, 64, 40000, 65535}, {1, 2, 3, 16, 30000, 65535},
              {"@1", "@2", "@500", "@900", "@1000", "@1817", "@1818", "@2173", "@65535"}, {"", "i", "m"});
  // Requests for which the kernel divides by zero would crash its code, and
  // Zarn refuses them: only the others go to the reference.
  std::vector<std::string> sent;
  std::vector<KernelComputation> ours;
  int unknown = 0;
  for (const std::string& text : grid) {
    const auto request = ParseKernelMode(text);
    ASSERT_TRUE(request.ok()) << text << ": " << request.error();
    KernelComputation computed = ComputeKernelMode(*request);
    if (computed.outcome == Outcome::Unknown) {
      ++unknown;
      continue;
    }
    sent.push_back(text);
    ours.push_back(std::move(computed));
  }
  std::string requests;
  for (const std::string& text : sent) requests += "mode " + text + "\n";
  const std::vector<std::string> answers = AskKernel(requests);
  ASSERT_EQ(answers.size(), sent.size());
  int valid = 0, discarded = 0, mismatches = 0, not_field_timings = 0;
  for (std::size_t i = 0; i < sent.size(); ++i) {
    const std::string& answer = answers[i];
    const bool kernel_valid = answer.ends_with(" 1");
    bool same;
    if (ours[i].outcome == Outcome::Valid) {
      ++valid;
      same = kernel_valid && answer == FrameText(ours[i].frame) + " 1";
      // The timing prints the kernel's figures again as a modeline.
      const auto timing = KernelTiming(*ParseKernelMode(sent[i]));
      if (timing.ok()) {
        same = same && ModelineFields(*timing) == KernelModeline(answer) && timing->source == "Kernel " + sent[i];
      } else {
        ++not_field_timings;
        same = same && ours[i].frame.interlaced && ours[i].frame.v_display % 2 == 1;
      }
    } else {
      ++discarded;
      same = !kernel_valid && !ours[i].reason.empty();
    }
    if (!same && ++mismatches <= 20) {
      ADD_FAILURE() << sent[i] << ": kernel " << answer << ", Zarn "
                    << (ours[i].outcome == Outcome::Valid ? FrameText(ours[i].frame) : ours[i].reason);
    }
  }
  EXPECT_EQ(mismatches, 0);
  // The grid must reach every path: else it proves less than it seems.
  EXPECT_GT(valid, 50000);
  EXPECT_GT(discarded, 10);
  EXPECT_GT(unknown, 10);
  EXPECT_GT(not_field_timings, 10);
  std::printf(
      "kernel modes: %d equal, %d dropped by both, %d not asked (division by zero, clock below zero), %d "
      "interlaced of odd height\n",
      valid, discarded, unknown, not_field_timings);
}

TEST_F(KernelReferenceTest, ReadsOptionsAsTheKernelDoes) {
  struct Case {
    const char* text;
    bool zarn_accepts;
    bool kernel_accepts;  // the mode part, as the kernel's parser takes it
    const char* reason;   // a word of Zarn's reason for refusing
  };
  const std::vector<Case> cases = {
      {"1920x1080M@60", true, true, ""},
      {"video=HDMI-A-1:1280x720MR@60", true, true, ""},
      {"video=DP-2:1920x1080RM@75im", true, true, ""},
      {"1920x1080", true, true, ""},
      {"1920x1080Mim", true, true, ""},
      {"720x576i@50", false, false, "after the refresh rate"},
      {"1920x1080@60M", false, false, "before the refresh rate"},
      {"1920x1080R@60", false, true, "needs M"},
      {"1920x1080M-24@60", false, true, "colour depth"},
      {"1920x1080M@60e", false, true, "on or off"},
      {"1920x1080M@60,rotate=90", false, true, "comma"},
      {"PAL", false, true, "NTSC"},
      {"0x1080M@60", false, true, "1 to 65535"},
      {"1920x1080M@0", false, true, "1 to 65535 Hz"},
      {"1920x70000", false, true, "1 to 65535"},
      {"1920x1080M@", false, false, "after the @"},
      {"1920X1080", false, false, "Expected a mode"},
      {"1920x1080M@60Hz", false, false, "Expected a mode"},
      {"video=:1920x1080", false, true, "connector"},
  };
  std::string requests;
  for (const Case& c : cases) {
    const std::string text = c.text;
    requests += "parse " + text.substr(text.find(':') == std::string::npos ? 0 : text.find(':') + 1) + "\n";
  }
  const std::vector<std::string> answers = AskKernel(requests);
  ASSERT_EQ(answers.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.text);
    EXPECT_EQ(answers[i] != "refused", c.kernel_accepts) << answers[i];
    const auto parsed = ParseKernelMode(c.text);
    ASSERT_EQ(parsed.ok(), c.zarn_accepts) << (parsed.ok() ? KernelModeText(*parsed) : parsed.error());
    if (!parsed.ok()) {
      EXPECT_NE(parsed.error().find(c.reason), std::string::npos) << parsed.error();
      continue;
    }
    // ok XRES YRES CVT RB RATE_GIVEN RATE INTERLACE MARGINS BPP_GIVEN FORCE NAMED OPTIONS
    const KernelModeRequest& r = *parsed;
    std::ostringstream expected;
    expected << "ok " << r.width << ' ' << r.height << ' ' << r.cvt << ' ' << r.reduced << ' ' << r.rate.has_value()
             << ' ' << r.rate.value_or(0) << ' ' << r.interlaced << ' ' << r.margins << " 0 0 - 0";
    EXPECT_EQ(answers[i], expected.str());
    const std::string option =
        r.connector.empty() ? KernelModeText(r) : "video=" + r.connector + ":" + KernelModeText(r);
    EXPECT_EQ(ParseKernelMode(option).value(), r) << option;
  }
}

TEST_F(KernelReferenceTest, ChoosesAmongTheMonitorsModesAsTheKernelDoes) {
  using enum EdidModeSource;
  const auto dmt = [](int id) { return *DmtTiming(id); };
  const auto vic = [](int id) { return *VicTiming(id); };
  // A television's modes as edid-decode lists them: established, standard,
  // the base block's detailed timings, the CTA-861 video formats, then the
  // extension's detailed timing.
  const std::vector<MonitorMode> tv = {
      {dmt(0x04), Established}, {dmt(0x09), Established}, {dmt(0x10), Established}, {dmt(0x11), Established},
      {dmt(0x12), Established}, {dmt(0x23), Standard},    {dmt(0x52), Standard},    {vic(16), Detailed, true},
      {vic(31), Detailed},      {vic(16), CtaVideo},      {vic(5), CtaVideo},       {vic(4), CtaVideo},
      {vic(32), CtaVideo},      {vic(19), Detailed},
  };
  // The order in which the kernel adds them, worked out by hand from
  // _drm_edid_connector_update and add_established_modes: detailed timings,
  // standard timings, established timings from the lowest bit (800x600@60,
  // 640x480@60, then 1024x768 at 75, 70 and 60), the CTA formats.
  const std::vector<std::size_t> tv_probe_order = {7, 8, 13, 5, 6, 1, 0, 4, 3, 2, 9, 10, 11, 12};
  // An interlaced preferred detailed timing and a progressive CTA format.
  const std::vector<MonitorMode> interlaced_first = {{vic(16), CtaVideo}, {vic(5), Detailed, true}};
  const std::vector<std::size_t> interlaced_first_probe_order = {1, 0};
  struct Case {
    const std::vector<MonitorMode>& modes;
    const std::vector<std::size_t>& probe_order;
    const char* request;
  };
  std::vector<Case> cases;
  for (const char* request : {"1920x1080M@60", "1920x1080", "1920x1080M@60i", "1920x1080M@50", "1920x1080@24",
                              "1920x1080@30i", "1280x720MR@60", "1280x720M@50", "1024x768", "1024x768M@70",
                              "640x480M@60", "640x480@59", "1366x768M@60", "8x480M@60"}) {
    cases.push_back({tv, tv_probe_order, request});
  }
  for (const char* request : {"1920x1080@60", "1920x1080@30"}) {
    cases.push_back({interlaced_first, interlaced_first_probe_order, request});
  }
  std::string requests;
  for (const Case& c : cases) {
    requests += "choose " + std::string(c.request) + " " + std::to_string(c.modes.size()) + "\n";
    for (const std::size_t i : c.probe_order) {
      const MonitorMode& mode = c.modes[i];
      requests += FrameText(KernelFrameOf(mode.timing)) + " " + (mode.preferred ? "1" : "0") + "\n";
    }
  }
  const std::vector<std::string> answers = AskKernel(requests);
  ASSERT_EQ(answers.size(), cases.size());
  int ignored = 0, monitors = 0;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.request);
    const auto request = ParseKernelMode(c.request);
    const auto choice = KernelModeChoice(*request, c.modes);
    if (answers[i] == "none") {
      ++ignored;
      EXPECT_FALSE(choice.ok());
      EXPECT_FALSE(choice.error().empty());
      continue;
    }
    ASSERT_TRUE(choice.ok()) << choice.error() << "; kernel: " << answers[i];
    if (answers[i].starts_with("monitor ")) {
      ++monitors;
      ASSERT_TRUE(choice->has_value()) << "kernel: " << answers[i];
      EXPECT_EQ(**choice, c.probe_order[std::stoul(answers[i].substr(8))]);
    } else {
      EXPECT_FALSE(choice->has_value()) << "Zarn picks " << **choice << "; kernel: " << answers[i];
      EXPECT_EQ(answers[i], "computed " + FrameText(ComputeKernelMode(*request).frame) + " 1");
    }
  }
  // Each of the three answers is among the cases.
  EXPECT_EQ(ignored, 1);
  EXPECT_GE(monitors, 10);
  EXPECT_GE(static_cast<int>(cases.size()) - ignored - monitors, 3);
}

TEST(KernelModeDifferencesTest, NamesEveryFigureThatDiffers) {
  const auto kernel = KernelTiming(*ParseKernelMode("640x480M@60"));
  const auto cvt = CvtTiming(640, 480, 60);
  ASSERT_TRUE(kernel.ok() && cvt.ok());
  EXPECT_EQ(KernelModeDifferences(*kernel, *cvt),
            "pixel clock 23.975 MHz instead of 23.75 MHz; horizontal sync starts at 664 instead of 656");
  EXPECT_EQ(KernelModeDifferences(*kernel, *kernel), "");
}

}  // namespace
}  // namespace zarn::modes
