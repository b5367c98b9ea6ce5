// The exports of a timing: EDID blocks read back by edid-decode with its
// conformity checks, the descriptor's limits, the xrandr and sway lines
// against cvt, the kernel's video= option, and the link check against
// figures worked by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/command_words.h"
#include "cli/zarn_timing.h"
#include "edid_decode_listing.h"
#include "edid_decode_reference.h"
#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/dmt.h"
#include "modes/edid.h"
#include "modes/exports.h"
#include "modes/gtf.h"
#include "modes/links.h"
#include "modes/modeline.h"

namespace zarn::modes {
namespace {

using testing::EdidDecodeTiming;

// Whether a descriptor can hold the timing, worked out apart from the code.
bool FitsDescriptor(const DisplayTiming& t) {
  return t.pixel_clock_hz % 10000 == 0 && t.pixel_clock_hz >= 10000000 && t.pixel_clock_hz <= 655350000 &&
         t.h_front_porch > 0 && t.h_sync > 0 && t.h_back_porch > 0 && t.v_front_porch > 0 && t.v_sync > 0 &&
         t.v_back_porch > 0 && t.h_active <= 4095 && t.h_blank() <= 4095 && t.v_active <= 4095 && t.v_blank() <= 4095 &&
         t.h_front_porch <= 1023 && t.h_sync <= 1023 && t.v_front_porch <= 63 && t.v_sync <= 63 &&
         (!t.interlaced || t.v_half_line);
}

std::vector<DisplayTiming> Spread() {
  std::vector<DisplayTiming> timings;
  for (const DmtMode& mode : DmtModes()) timings.push_back(ToTiming(mode));
  for (const CtaMode& mode : CtaModes()) timings.push_back(*VicTiming(mode.vic));
  for (const CtaMode& mode : HdmiVicModes()) timings.push_back(*HdmiVicTiming(mode.vic));
  CvtOptions rb1, rb2, rb3, interlaced, margins;
  rb1.blanking = CvtBlanking::ReducedV1;
  rb2.blanking = CvtBlanking::ReducedV2;
  rb3.blanking = CvtBlanking::ReducedV3;
  interlaced.interlaced = true;
  margins.margins = true;
  for (const auto& t :
       {CvtTiming(1920, 1080, 60), CvtTiming(1366, 768, 59.94), CvtTiming(1920, 1080, 60, interlaced),
        CvtTiming(800, 600, 75, margins), CvtTiming(3840, 2160, 30, rb1), CvtTiming(2560, 1440, 60, rb2),
        CvtTiming(1920, 1200, 120, rb3), CvtTiming(3840, 2160, 144, rb2), CvtTiming(7680, 4320, 60, rb2),
        GtfTiming(1366, 768, GtfInput::FrameRate, 60), GtfTiming(1280, 720, GtfInput::PixelClock, 74.25e6)}) {
    timings.push_back(*t);
  }
  return timings;
}

// The warnings edid-decode -c gives that do not hold one of the allowed texts.
int OtherWarnings(const std::string& report, std::initializer_list<const char*> allowed) {
  const std::size_t from = report.find("\nWarnings:\n"), to = report.find("\nEDID conformity");
  if (from == std::string::npos) return 0;
  std::istringstream lines(report.substr(from, to - from));
  int others = 0;
  for (std::string line; std::getline(lines, line);) {
    const bool message = line.starts_with("  ");
    const bool known = std::any_of(allowed.begin(), allowed.end(),
                                   [&](const char* text) { return line.find(text) != std::string::npos; });
    others += message && !known ? 1 : 0;
  }
  return others;
}

// A timing no descriptor holds is the preferred timing of a DisplayID block,
// which edid-decode reads back exactly; an interlaced one is refused there.
TEST(EdidExport, EveryBlockPassesEdidDecodeAndCarriesItsTiming) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << "edid-decode cannot be run here; it is the reference of this test";
  // A name of this process alone: test runs may share the machine.
  const std::string path = ::testing::TempDir() + "zarn-export-test-" + std::to_string(getpid()) + ".bin";
  int written = 0, in_display_id = 0;
  for (const DisplayTiming& t : Spread()) {
    SCOPED_TRACE(t.source);
    const auto block = MakeEdid(t, "Test");
    // Else a DisplayID block, within what the range limits hold: 510 Hz, 510 kHz, below 2550 MHz.
    const bool display_id =
        !t.interlaced && t.field_rate_hz() <= 510 && t.line_rate_hz() <= 510e3 && t.pixel_clock_hz < 2'550'000'000;
    ASSERT_EQ(block.ok(), FitsDescriptor(t) || display_id) << (block.ok() ? "written" : block.error());
    if (!block.ok()) {
      EXPECT_FALSE(block.error().empty());
      continue;
    }
    ++written;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(block->data()), static_cast<std::streamsize>(block->size()));
    const std::string report = testing::RunCommand("edid-decode -c " + path + " 2>&1");
    EXPECT_NE(report.find("EDID conformity: PASS"), std::string::npos) << report;
    EXPECT_NE(report.find("Display Product Name: 'Test'"), std::string::npos) << report;
    if (!FitsDescriptor(t)) {
      // The one warning: a DisplayID block names no OUI (the base block's PNP ID is none).
      EXPECT_EQ(OtherWarnings(report, {"Unknown OUI 00-00-00."}), 0) << report;
      const testing::EdidDecodeListing listing = testing::EdidDecodeListingOf(path);
      const bool carried = std::any_of(listing.timings.begin(), listing.timings.end(), [&](const auto& l) {
        const testing::ReferenceTiming& d = l.timing;
        return l.label == "DTD" && d.pixel_clock_hz == t.pixel_clock_hz && d.h_active == t.h_active &&
               d.h_front_porch == t.h_front_porch && d.h_sync == t.h_sync && d.h_back_porch == t.h_back_porch &&
               d.v_active == t.v_active && d.v_front_porch == t.v_front_porch && d.v_sync == t.v_sync &&
               d.v_back_porch == t.v_back_porch && d.h_sync_positive == t.h_sync_positive &&
               d.v_sync_positive == t.v_sync_positive;
      });
      EXPECT_TRUE(carried) << report;
      EXPECT_NE(report.find("preferred)"), std::string::npos) << report;
      ++in_display_id;
      continue;
    }
    EXPECT_EQ(block->size(), 128u);
    EXPECT_EQ(report.find("Warning"), std::string::npos) << report;
    const auto decoded = EdidDecodeTiming(path);
    ASSERT_TRUE(decoded) << report;
    EXPECT_EQ(decoded->pixel_clock_hz, t.pixel_clock_hz);
    EXPECT_EQ(decoded->h_active, t.h_active);
    EXPECT_EQ(decoded->h_front_porch, t.h_front_porch);
    EXPECT_EQ(decoded->h_sync, t.h_sync);
    EXPECT_EQ(decoded->h_back_porch, t.h_back_porch);
    EXPECT_EQ(decoded->v_active, t.interlaced ? 2 * t.v_active : t.v_active);
    EXPECT_EQ(decoded->v_front_porch, t.v_front_porch);
    EXPECT_EQ(decoded->v_sync, t.v_sync);
    EXPECT_EQ(decoded->v_back_porch, t.v_back_porch);
    EXPECT_EQ(decoded->h_sync_positive, t.h_sync_positive);
    EXPECT_EQ(decoded->v_sync_positive, t.v_sync_positive);
    EXPECT_EQ(decoded->interlaced, t.interlaced);
  }
  EXPECT_GT(written, 150);
  std::printf("[ exports  ] %d EDIDs written, %d of them with the timing in a DisplayID block\n", written,
              in_display_id);
  EXPECT_GE(in_display_id, 20);

  // Several timings in one EDID: the base block's free descriptor, a new
  // CTA-861 block, DisplayID; each listed by edid-decode with its figures.
  CvtOptions rb2;
  rb2.blanking = CvtBlanking::ReducedV2;
  const DisplayTiming several[] = {*DmtTiming(0x52),
                                   *VicTiming(97),
                                   *CvtTiming(3840, 2160, 144, rb2),
                                   *CvtTiming(7680, 4320, 60, rb2),
                                   *CvtTiming(1366, 768, 60, rb2),
                                   *CvtTiming(1280, 720, 60, rb2),
                                   *GtfTiming(1024, 768, GtfInput::FrameRate, 85)};
  const auto made = WriteEdid(several, "Several");
  ASSERT_TRUE(made.ok()) << made.error();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(made->bytes.data()), static_cast<std::streamsize>(made->bytes.size()));
  const std::string report = testing::RunCommand("edid-decode -c " + path + " 2>&1");
  EXPECT_NE(report.find("EDID conformity: PASS"), std::string::npos) << report;
  EXPECT_EQ(OtherWarnings(report, {"Unknown OUI 00-00-00.", "similar but not identical to VIC"}), 0) << report;
  const testing::EdidDecodeListing listing = testing::EdidDecodeListingOf(path);
  for (const DisplayTiming& t : several) {
    const bool listed = std::any_of(listing.timings.begin(), listing.timings.end(), [&](const auto& l) {
      const testing::ReferenceTiming& d = l.timing;
      return d.pixel_clock_hz == t.pixel_clock_hz && d.h_active == t.h_active && d.h_back_porch == t.h_back_porch &&
             d.v_active == t.v_active && d.v_front_porch == t.v_front_porch && d.v_back_porch == t.v_back_porch;
    });
    EXPECT_TRUE(listed) << t.source << "\n" << report;
  }
  std::remove(path.c_str());
}

// Every request of a data file written as an EDID: conformant, or refused.
TEST(EdidExport, EveryRequestGivesAConformantBlockOrAReason) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << "edid-decode cannot be run here; it is the reference of this test";
  std::ifstream requests(ZARN_TEST_DATA_DIR "/edid_requests.txt");
  ASSERT_TRUE(requests) << ZARN_TEST_DATA_DIR;
  const std::string path = ::testing::TempDir() + "zarn-export-request-" + std::to_string(getpid()) + ".hex";
  int written = 0, refused = 0;
  for (std::string line; std::getline(requests, line);) {
    if (line.empty() || line[0] == '#') continue;
    SCOPED_TRACE(line);
    auto words = cli::SplitCommandWords(line);
    ASSERT_TRUE(words);
    words->insert(words->end(), {"--format", "edid-hex"});
    const cli::Outcome outcome = cli::Run(*words);
    if (outcome.exit_code != 0) {
      ++refused;
      EXPECT_TRUE(outcome.out.empty());
      EXPECT_GT(outcome.err.size(), 20u) << outcome.err;
      continue;
    }
    ++written;
    std::ofstream(path) << outcome.out;
    const std::string report = testing::RunCommand("edid-decode -c " + path + " 2>&1");
    EXPECT_NE(report.find("EDID conformity: PASS"), std::string::npos) << report;
    // The warnings allowed: a timing typed in that comes close to a CTA-861
    // format is still the user's own; a DisplayID block names no OUI.
    EXPECT_EQ(OtherWarnings(report, {"similar but not identical to VIC", "Unknown OUI 00-00-00."}), 0) << report;
  }
  std::remove(path.c_str());
  EXPECT_GE(written, 15);
  EXPECT_GE(refused, 12);
}

TEST(EdidExport, DescriptorBytesAndEachFieldsLimit) {
  // 1280x1024@75: the timing's twelve bytes, then the picture size (500 x 400
  // mm), no borders, and digital separate sync with both polarities positive.
  const std::string dmt_1280 = HexBytes(*DescribeTiming(*DmtTiming(0x24)));
  EXPECT_EQ(dmt_1280.substr(0, 36), "bc 34 00 98 51 00 2a 40 10 90 13 00 ") << dmt_1280;
  EXPECT_EQ(dmt_1280.substr(dmt_1280.size() - 3), "1e\n") << dmt_1280;

  DisplayTiming base;  // a small timing that fits, then one field at a time
  base.h_active = 640, base.h_front_porch = 16, base.h_sync = 96, base.h_back_porch = 48;
  base.v_active = 480, base.v_front_porch = 10, base.v_sync = 2, base.v_back_porch = 33;
  base.pixel_clock_hz = 25'200'000;
  struct Case {
    const char* what;
    void (*change)(DisplayTiming&);
    bool fits;
  } const cases[] = {
      {"pixel clock", [](DisplayTiming& t) { t.pixel_clock_hz = 655'350'000; }, true},
      {"pixel clock", [](DisplayTiming& t) { t.pixel_clock_hz = 655'360'000; }, false},
      {"10 kHz", [](DisplayTiming& t) { t.pixel_clock_hz = 25'175'000; }, false},
      {"10 kHz", [](DisplayTiming& t) { t.pixel_clock_hz = 25'200'001; }, false},
      {"horizontal active", [](DisplayTiming& t) { t.h_active = 4095; }, true},
      {"horizontal active", [](DisplayTiming& t) { t.h_active = 4096; }, false},
      {"horizontal blanking", [](DisplayTiming& t) { t.h_back_porch = 4095 - 112; }, true},
      {"horizontal blanking", [](DisplayTiming& t) { t.h_back_porch = 4096 - 112; }, false},
      {"horizontal front porch", [](DisplayTiming& t) { t.h_front_porch = 1023; }, true},
      {"horizontal front porch", [](DisplayTiming& t) { t.h_front_porch = 1024; }, false},
      {"horizontal sync", [](DisplayTiming& t) { t.h_sync = 1023; }, true},
      {"horizontal sync", [](DisplayTiming& t) { t.h_sync = 1024; }, false},
      {"vertical active", [](DisplayTiming& t) { t.v_active = 4095; }, true},
      {"vertical active", [](DisplayTiming& t) { t.v_active = 4096; }, false},
      {"vertical blanking", [](DisplayTiming& t) { t.v_back_porch = 4095 - 12; }, true},
      {"vertical blanking", [](DisplayTiming& t) { t.v_back_porch = 4096 - 12; }, false},
      {"vertical front porch", [](DisplayTiming& t) { t.v_front_porch = 63; }, true},
      {"vertical front porch", [](DisplayTiming& t) { t.v_front_porch = 64; }, false},
      {"vertical sync", [](DisplayTiming& t) { t.v_sync = 63; }, true},
      {"vertical sync", [](DisplayTiming& t) { t.v_sync = 64; }, false},
  };
  for (const Case& c : cases) {
    DisplayTiming t = base;
    c.change(t);
    const auto d = DescribeTiming(t);
    ASSERT_EQ(d.ok(), c.fits) << c.what << ": " << (d.ok() ? "written" : d.error());
    if (!d.ok()) {
      EXPECT_NE(d.error().find(c.what), std::string::npos) << d.error();
      continue;
    }
    // Read the fields back as a descriptor reader would.
    const auto& b = *d;
    EXPECT_EQ(b[0] | b[1] << 8, static_cast<int>(t.pixel_clock_hz / 10000)) << c.what;
    EXPECT_EQ(b[2] | (b[4] >> 4) << 8, t.h_active) << c.what;
    EXPECT_EQ(b[3] | (b[4] & 15) << 8, t.h_blank()) << c.what;
    EXPECT_EQ(b[5] | (b[7] >> 4) << 8, t.v_active) << c.what;
    EXPECT_EQ(b[6] | (b[7] & 15) << 8, t.v_blank()) << c.what;
    EXPECT_EQ(b[8] | (b[11] >> 6) << 8, t.h_front_porch) << c.what;
    EXPECT_EQ(b[9] | ((b[11] >> 4) & 3) << 8, t.h_sync) << c.what;
    EXPECT_EQ((b[10] >> 4) | ((b[11] >> 2) & 3) << 4, t.v_front_porch) << c.what;
    EXPECT_EQ((b[10] & 15) | (b[11] & 3) << 4, t.v_sync) << c.what;
  }
  EXPECT_FALSE(MakeEdid(base, "fourteen chars").ok());
  EXPECT_TRUE(MakeEdid(base, "thirteen char").ok());
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : line + " ") {
    if (c == ' ' || c == '\n') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  return words;
}

TEST(LinuxExports, XrandrAndSwayCarryCvtsModeline) {
  ASSERT_NE(testing::RunCommand("cvt 640 480 60 2>/dev/null").find("Modeline"), std::string::npos)
      << "cvt (package xcvt) cannot be run here; it is a reference of this test";
  struct Case {
    int width, height;
    double rate;
    bool reduced;
  } const cases[] = {{1920, 1080, 60, false}, {1280, 1024, 75, false}, {2560, 1440, 60, true}};
  for (const Case& c : cases) {
    CvtOptions options;
    if (c.reduced) options.blanking = CvtBlanking::ReducedV1;
    const DisplayTiming t = *CvtTiming(c.width, c.height, c.rate, options);
    const std::string theirs =
        testing::RunCommand(std::string("cvt ") + (c.reduced ? "-r " : "") + std::to_string(c.width) + " " +
                            std::to_string(c.height) + " " + std::to_string(static_cast<int>(c.rate)));
    std::vector<std::string> expected = Words(theirs.substr(theirs.find("Modeline")));
    expected.erase(expected.begin(), expected.begin() + 2);  // "Modeline" and the name
    const std::string name = ModeName(t);

    std::vector<std::string> xrandr = Words(XrandrCommands(t, "HDMI-1"));
    ASSERT_EQ(xrandr.size(), 3 + expected.size() + 4) << XrandrCommands(t, "HDMI-1");
    EXPECT_EQ(xrandr[1], "--newmode");
    EXPECT_EQ(xrandr[2], "\"" + name + "\"");
    EXPECT_EQ(std::vector<std::string>(xrandr.begin() + 3, xrandr.begin() + 3 + static_cast<long>(expected.size())),
              expected);
    EXPECT_EQ(std::vector<std::string>(xrandr.end() - 4, xrandr.end()),
              (std::vector<std::string>{"xrandr", "--addmode", "HDMI-1", "\"" + name + "\""}));

    std::vector<std::string> sway = Words(*SwayOutputLine(t, "DP-2"));
    EXPECT_EQ(std::vector<std::string>(sway.begin(), sway.begin() + 3),
              (std::vector<std::string>{"output", "DP-2", "modeline"}));
    EXPECT_EQ(std::vector<std::string>(sway.begin() + 3, sway.end()), expected);
  }
  EXPECT_NE(XrandrCommands(*DmtTiming(0x24), "").find("--addmode OUTPUT "), std::string::npos);
  EXPECT_FALSE(SwayOutputLine(*VicTiming(5), "").ok());
}

TEST(LinuxExports, NoTwoTimingsShareAModeName) {
  std::vector<DisplayTiming> timings = Spread();
  CvtOptions interlaced;
  interlaced.interlaced = true;
  for (const int width : {640, 800, 1280, 1366, 1920, 2560, 3840}) {
    for (const int height : {480, 720, 768, 1080, 1440, 2160}) {
      for (const double rate : {23.976, 24.0, 30.0, 50.0, 59.94, 60.0, 75.0, 120.0, 144.0}) {
        for (const CvtBlanking blanking :
             {CvtBlanking::Normal, CvtBlanking::ReducedV1, CvtBlanking::ReducedV2, CvtBlanking::ReducedV3}) {
          CvtOptions options;
          options.blanking = blanking;
          if (const auto t = CvtTiming(width, height, rate, options)) timings.push_back(*t);
          options.h_blank = blanking == CvtBlanking::ReducedV3 ? 160 : 0;
          if (const auto t = CvtTiming(width, height, rate, options)) timings.push_back(*t);
        }
        if (const auto t = CvtTiming(width, height, rate, interlaced)) timings.push_back(*t);
        if (const auto t = GtfTiming(width, height, GtfInput::FrameRate, rate)) timings.push_back(*t);
        GtfOptions gtf;
        gtf.interlaced = true;
        if (const auto t = GtfTiming(width, height, GtfInput::FrameRate, rate, gtf)) timings.push_back(*t);
      }
    }
  }
  // A mode is its modeline's figures: the same figures from two sources (VIC
  // 2 and 3 differ only in their picture's aspect) are one mode.
  std::map<std::string, std::string> named;
  for (const DisplayTiming& t : timings) {
    const auto [at, added] = named.emplace(ModeName(t), ModelineFields(t));
    EXPECT_TRUE(added || at->second == ModelineFields(t)) << at->first << " names two timings";
  }
  EXPECT_GT(named.size(), 2000u);
  // The names people know stay at the front.
  EXPECT_EQ(ModeName(*VicTiming(5)).rfind("1920x1080i_60.00_", 0), 0u);
}

TEST(LinuxExports, KernelOptionOnlyForModesTheKernelComputes) {
  struct Case {
    std::vector<std::string> request;
    const char* output;
    const char* expected;  // nullptr: refused
  } const cases[] = {
      {{"cvt", "1920", "1080", "60"}, "HDMI-A-1", "video=HDMI-A-1:1920x1080M@60\n"},
      {{"cvt", "2560", "1440", "60", "--rb", "1"}, "", "video=2560x1440MR@60\n"},
      {{"cvt", "1920", "1080", "60", "--interlaced"}, "DP-1", "video=DP-1:1920x1080M@30i\n"},
      {{"cvt", "1024", "768", "75", "--margins"}, "", nullptr},  // the kernel's margins widen the picture
      {{"cvt", "1920", "1080", "59.94"}, "", nullptr},
      {{"cvt", "1366", "768", "60"}, "", nullptr},
      {{"cvt", "1920", "1080", "60", "--rb", "2"}, "", nullptr},
      {{"cvt", "1920", "1080", "60", "--rb", "3", "--hblank", "160"}, "", nullptr},
      {{"dmt", "0x24"}, "", nullptr},
      {{"vic", "16"}, "", nullptr},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.request;
    arguments.insert(arguments.end(), {"--format", "kernel", "--output", c.output});
    const cli::Outcome outcome = cli::Run(arguments);
    if (c.expected != nullptr) {
      EXPECT_EQ(outcome.exit_code == 0 ? outcome.out : outcome.err, c.expected) << c.request[0];
    } else {
      ASSERT_EQ(outcome.exit_code, cli::kExitNoMode) << outcome.out;
      EXPECT_NE(outcome.err.find("EDID"), std::string::npos) << outcome.err;
    }
  }
}

TEST(LinkCheck, FiguresWorkedByHand) {
  CvtOptions rb2;
  rb2.blanking = CvtBlanking::ReducedV2;
  const DisplayTiming hd = *VicTiming(16);                        // 1920x1080@60, 148.5 MHz
  const DisplayTiming uhd = *VicTiming(97);                       // 3840x2160@60, 594 MHz
  const DisplayTiming eight_k = *CvtTiming(7680, 4320, 60, rb2);  // 2068.66 MHz
  ASSERT_EQ(eight_k.pixel_clock_hz, 2'068'660'000u);
  // Data rates: clock x 3 x depth (RGB), x 1.5 x depth (4:2:0), in bit/s.
  EXPECT_EQ(DataRateBitsPerSecond(hd, 8, Sampling::Rgb444), 3'564'000'000u);
  EXPECT_EQ(DataRateBitsPerSecond(hd, 10, Sampling::Rgb444), 4'455'000'000u);
  EXPECT_EQ(DataRateBitsPerSecond(uhd, 8, Sampling::Rgb444), 14'256'000'000u);
  EXPECT_EQ(DataRateBitsPerSecond(uhd, 10, Sampling::Rgb444), 17'820'000'000u);
  EXPECT_EQ(DataRateBitsPerSecond(uhd, 10, Sampling::YCbCr420), 8'910'000'000u);
  EXPECT_EQ(DataRateBitsPerSecond(eight_k, 8, Sampling::Rgb444), 49'647'840'000u);
  EXPECT_EQ(DataRateBitsPerSecond(eight_k, 10, Sampling::Rgb444), 62'059'800'000u);
  EXPECT_EQ(DataRateBitsPerSecond(eight_k, 10, Sampling::YCbCr420), 31'029'900'000u);

  struct Expect {
    const DisplayTiming* timing;
    const char* link;
    int depth;
    Sampling sampling;
    bool carries;
  } const cases[] = {
      {&hd, "DVI single link", 8, Sampling::Rgb444, true},      // 148.5 <= 165 MHz
      {&hd, "DVI single link", 10, Sampling::Rgb444, false},    // DVI: 8 bits only
      {&hd, "HDMI TMDS 165 MHz", 10, Sampling::Rgb444, false},  // 185.625 MHz TMDS
      {&hd, "HDMI TMDS 340 MHz", 10, Sampling::Rgb444, true},
      {&uhd, "HDMI TMDS 600 MHz", 8, Sampling::Rgb444, true},     // 594 <= 600
      {&uhd, "HDMI TMDS 600 MHz", 10, Sampling::Rgb444, false},   // 742.5 MHz
      {&uhd, "HDMI TMDS 600 MHz", 10, Sampling::YCbCr420, true},  // 371.25 MHz
      {&uhd, "HDMI TMDS 340 MHz", 10, Sampling::YCbCr420, false},
      {&uhd, "HDMI TMDS 340 MHz", 12, Sampling::YCbCr422, false},  // 594 MHz in the 4:2:2 container
      {&uhd, "HDMI FRL 3x6 Gbit/s", 10, Sampling::Rgb444, false},  // 17820 > 16000
      {&uhd, "HDMI FRL 4x6 Gbit/s", 10, Sampling::Rgb444, true},   // <= 21333.3
      {&uhd, "DisplayPort HBR2 x4", 8, Sampling::Rgb444, true},    // 14256 <= 17280
      {&uhd, "DisplayPort HBR2 x4", 10, Sampling::Rgb444, false},
      {&uhd, "DisplayPort HBR3 x4", 10, Sampling::Rgb444, true},        // <= 25920
      {&eight_k, "DisplayPort UHBR20 x4", 10, Sampling::Rgb444, true},  // 62059.8 <= 77575.76
      {&eight_k, "DisplayPort UHBR20 x4", 16, Sampling::Rgb444, false},
      {&eight_k, "HDMI FRL 4x12 Gbit/s", 8, Sampling::Rgb444, false},    // 49647.84 > 42666.67
      {&eight_k, "HDMI FRL 4x12 Gbit/s", 10, Sampling::YCbCr420, true},  // 31029.9
      {&eight_k, "DisplayPort HBR3 x4", 8, Sampling::YCbCr420, true},    // 24823.92 <= 25920
      {&eight_k, "DisplayPort HBR3 x4", 10, Sampling::YCbCr420, false},
      {&eight_k, "HDMI TMDS 600 MHz", 8, Sampling::YCbCr420, false},  // 1034.33 MHz
  };
  for (const Expect& e : cases) {
    bool found = false;
    for (const LinkCheck& link : CheckLinks(*e.timing)) {
      if (link.name != e.link) continue;
      found = true;
      std::size_t d = 0, s = 0;
      while (kColourDepths[d] != e.depth) ++d;
      while (kSamplings[s] != e.sampling) ++s;
      EXPECT_EQ(link.carries[d][s], e.carries)
          << e.timing->source << " " << e.link << " " << e.depth << " bit " << SamplingName(e.sampling);
    }
    EXPECT_TRUE(found) << e.link;
  }
  const std::vector<LinkCheck> links = CheckLinks(hd);
  EXPECT_EQ(links.front().capacity_bps, 3'960'000'000u);  // 165 MHz x 24 bits
  EXPECT_EQ(links.back().capacity_bps, 77'575'757'575u);  // 4 x 20 Gbit/s x 128/132
}

}  // namespace
}  // namespace zarn::modes
