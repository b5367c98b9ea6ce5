// The CTA-861 and HDMI VIC tables against edid-decode, an independent decoder that knows every format: its
// --list-vics and --list-hdmi-vics give the set of numbers and their picture aspect ratios, and --vic N and
// --hdmi-vic N give each format's figures.
#include <gtest/gtest.h>

#include <cstddef>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "edid_decode_reference.h"
#include "modes/cta.h"

namespace zarn::modes {
namespace {

using testing::EdidDecodeAvailable;
using testing::EdidDecodeTiming;
using testing::ReferenceTiming;
using testing::RunCommand;

struct ListedFormat {
  int number = 0;
  AspectRatio aspect;
};

// Reads lines such as "VIC   3:   720x480    59.940060 Hz  16:9  ..." or "HDMI VIC 4:  4096x2160 ... 256:135 ...":
// the number ending in ':' after "VIC", then the first word of the form W:H.
std::vector<ListedFormat> ParseFormatList(const std::string& text) {
  std::vector<ListedFormat> formats;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    ListedFormat format;
    for (std::size_t i = 0; i < words.size(); ++i) {
      const std::string& w = words[i];
      const auto colon = w.find(':');
      if (i > 0 && words[i - 1] == "VIC" && colon == w.size() - 1) {
        format.number = std::stoi(w);
      } else if (format.number != 0 && colon != std::string::npos && colon > 0 && colon + 1 < w.size()) {
        format.aspect = {std::stoi(w.substr(0, colon)), std::stoi(w.substr(colon + 1))};
        break;
      }
    }
    if (format.number != 0) formats.push_back(format);
  }
  return formats;
}

void ExpectMatches(const DisplayTiming& ours, const ReferenceTiming& ref, AspectRatio aspect) {
  EXPECT_EQ(ours.pixel_clock_hz, ref.pixel_clock_hz);
  EXPECT_EQ(ours.h_active, ref.h_active);
  EXPECT_EQ(ours.h_front_porch, ref.h_front_porch);
  EXPECT_EQ(ours.h_sync, ref.h_sync);
  EXPECT_EQ(ours.h_back_porch, ref.h_back_porch);
  // edid-decode counts the active lines of the whole frame, the porches and sync of one field.
  EXPECT_EQ(ours.interlaced ? 2 * ours.v_active : ours.v_active, ref.v_active);
  EXPECT_EQ(ours.v_front_porch, ref.v_front_porch);
  EXPECT_EQ(ours.v_sync, ref.v_sync);
  EXPECT_EQ(ours.v_back_porch, ref.v_back_porch);
  EXPECT_EQ(ours.h_sync_positive, ref.h_sync_positive);
  EXPECT_EQ(ours.v_sync_positive, ref.v_sync_positive);
  EXPECT_EQ(ours.interlaced, ref.interlaced);
  EXPECT_EQ(ours.v_half_line, ref.v_half_line);
  EXPECT_EQ(ours.aspect.horizontal, aspect.horizontal);
  EXPECT_EQ(ours.aspect.vertical, aspect.vertical);
}

// Checks every format edid-decode lists for one numbering: the table holds the same numbers in the same order,
// and each number's timing equals the reference.
template <class Lookup>
void CheckAgainstEdidDecode(std::span<const CtaMode> table, const std::string& list_option, const std::string& option,
                            const std::string& name, Lookup lookup) {
  ASSERT_TRUE(EdidDecodeAvailable()) << "edid-decode, the reference for these formats, cannot be run here; "
                                     << "install it (package edid-decode) to run this test";
  const std::vector<ListedFormat> listed = ParseFormatList(RunCommand("edid-decode " + list_option + " 2>/dev/null"));
  ASSERT_FALSE(listed.empty()) << "edid-decode " << list_option << " printed no formats";
  ASSERT_EQ(table.size(), listed.size()) << "edid-decode " << list_option << " knows a different number of formats";
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const int number = listed[i].number;
    const std::string label = name + " " + std::to_string(number);
    SCOPED_TRACE(label);
    EXPECT_EQ(table[i].vic, number) << "row " << i << " of the table is out of order";
    const Expected<DisplayTiming> ours = lookup(number);
    if (!ours) {
      ADD_FAILURE() << label << " is not found: " << ours.error();
      continue;
    }
    EXPECT_EQ(ours->source, label);
    const auto reference = EdidDecodeTiming(option + " " + std::to_string(number));
    if (!reference) {
      ADD_FAILURE() << "edid-decode " << option << " " << number << " printed no timing";
      continue;
    }
    ExpectMatches(*ours, *reference, listed[i].aspect);
  }
}

TEST(CtaReferenceTest, EveryVicMatchesEdidDecode) {
  CheckAgainstEdidDecode(CtaModes(), "--list-vics", "--vic", "VIC", VicTiming);
}

TEST(CtaReferenceTest, EveryHdmiVicMatchesEdidDecode) {
  CheckAgainstEdidDecode(HdmiVicModes(), "--list-hdmi-vics", "--hdmi-vic", "HDMI VIC", HdmiVicTiming);
}

TEST(CtaReferenceTest, UnknownNumbersFail) {
  for (const int vic : {-1, 0, 128, 150, 192, 220, 256}) {
    const Expected<DisplayTiming> timing = VicTiming(vic);
    EXPECT_FALSE(timing.ok()) << "VIC " << vic;
    EXPECT_NE(timing.error().find("VIC " + std::to_string(vic) + ";"), std::string::npos) << timing.error();
  }
  for (const int hdmi_vic : {-1, 0, 5}) {
    const Expected<DisplayTiming> timing = HdmiVicTiming(hdmi_vic);
    EXPECT_FALSE(timing.ok()) << "HDMI VIC " << hdmi_vic;
    EXPECT_NE(timing.error().find("HDMI VIC " + std::to_string(hdmi_vic) + ";"), std::string::npos) << timing.error();
  }
}

}  // namespace
}  // namespace zarn::modes
