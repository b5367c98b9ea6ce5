// The DMT table against edid-decode, which knows every DMT mode: "--dmt 0xNN"
// prints the timing of one, "--list-dmts" all of them with their standard and
// CVT codes, aspect ratios and reduced-blanking marks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <sstream>
#include <string>

#include "edid_decode_reference.h"
#include "modes/dmt.h"

namespace zarn::modes {
namespace {

constexpr char kNoEdidDecode[] = "edid-decode cannot be run here; it is the reference of these tests";

std::string HexId(unsigned id) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", id);
  return text;
}

// edid-decode prints borders apart ("Hborder 8"); the table counts them in the porches.
int Border(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key + ' ');
  return at == std::string::npos ? 0 : std::stoi(text.substr(at + key.size() + 1));
}

// The vertical figures of xcvt's reduced-blanking modeline at 120 Hz
// ("Modeline "1856x1392R" 356.25 1856 1904 1936 2016 1392 1395 1399 1474 ...").
struct Vertical {
  int front_porch, sync, back_porch;
};
std::optional<Vertical> XcvtReducedVertical(int width, int height) {
  const std::string text =
      testing::RunCommand("cvt -r " + std::to_string(width) + " " + std::to_string(height) + " 120 2>/dev/null");
  const std::size_t at = text.find("Modeline");
  if (at == std::string::npos) return std::nullopt;
  std::istringstream words(text.substr(at));
  std::string keyword, name;
  double clock_mhz = 0.0;
  int h[4] = {}, v[4] = {};
  words >> keyword >> name >> clock_mhz >> h[0] >> h[1] >> h[2] >> h[3] >> v[0] >> v[1] >> v[2] >> v[3];
  if (!words || v[0] != height) return std::nullopt;
  return Vertical{v[1] - v[0], v[2] - v[1], v[3] - v[2]};
}

// edid-decode prints 3/4/74 lines of vertical blanking for 0x43 and 2/3/78 for 0x4b,
// short of the 1474 and 1525 lines of those modes. Both are the CVT reduced-blanking
// formula's at 120 Hz, so xcvt is their reference for the vertical figures.
bool EdidDecodeSlipsVertically(unsigned id) { return id == 0x43 || id == 0x4b; }

TEST(DmtReference, EveryTimingMatchesEdidDecode) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << kNoEdidDecode;
  ASSERT_EQ(DmtModes().size(), 88u);
  for (unsigned id = 0x01; id <= 0x58; ++id) {
    const std::string name = "DMT " + HexId(id);
    const Expected<DisplayTiming> timing = DmtTiming(static_cast<int>(id));
    ASSERT_TRUE(timing.ok()) << name << ": " << timing.error();
    const std::optional<testing::ReferenceTiming> reference = testing::EdidDecodeTiming("--dmt " + HexId(id));
    ASSERT_TRUE(reference.has_value()) << "edid-decode printed no timing for " << name;
    const std::string text = testing::RunCommand("edid-decode --dmt " + HexId(id) + " 2>/dev/null");
    const int h_border = Border(text, "Hborder");
    const int v_border = Border(text, "Vborder");
    const DisplayTiming& t = *timing;
    const testing::ReferenceTiming& r = *reference;

    EXPECT_EQ(t.source, name);
    EXPECT_EQ(t.pixel_clock_hz, r.pixel_clock_hz) << name;
    EXPECT_EQ(t.h_active, r.h_active) << name;
    EXPECT_EQ(t.h_front_porch, r.h_front_porch + h_border) << name;
    EXPECT_EQ(t.h_sync, r.h_sync) << name;
    EXPECT_EQ(t.h_back_porch, r.h_back_porch + h_border) << name;
    // edid-decode gives the active lines of the frame, the blanking of one field.
    EXPECT_EQ(t.interlaced ? 2 * t.v_active : t.v_active, r.v_active) << name;
    Vertical vertical{r.v_front_porch + v_border, r.v_sync, r.v_back_porch + v_border};
    if (EdidDecodeSlipsVertically(id)) {
      const std::optional<Vertical> xcvt = XcvtReducedVertical(t.h_active, t.v_active);
      ASSERT_TRUE(xcvt.has_value()) << "xcvt's cvt printed no modeline for " << name;
      vertical = *xcvt;
    }
    EXPECT_EQ(t.v_front_porch, vertical.front_porch) << name;
    EXPECT_EQ(t.v_sync, vertical.sync) << name;
    EXPECT_EQ(t.v_back_porch, vertical.back_porch) << name;
    EXPECT_EQ(t.h_sync_positive, r.h_sync_positive) << name;
    EXPECT_EQ(t.v_sync_positive, r.v_sync_positive) << name;
    EXPECT_EQ(t.interlaced, r.interlaced) << name;
    EXPECT_EQ(t.v_half_line, r.v_half_line) << name;
  }
}

// A line of the list reads "DMT 0x1c:  1280x800    59.810326 Hz  16:10    49.702 kHz    83.500000 MHz
// (STD: 0x81 0x00, CVT: 0x8f 0x18 0x28)"; the marks in brackets are "RB", "STD: ..." and "CVT: ...".
TEST(DmtReference, CodesAspectsAndReducedBlankingMatchEdidDecodeList) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << kNoEdidDecode;
  const std::span<const DmtMode> modes = DmtModes();
  std::istringstream lines(testing::RunCommand("edid-decode --list-dmts 2>/dev/null"));
  std::size_t listed = 0;
  for (std::string line; std::getline(lines, line);) {
    unsigned id = 0;
    if (std::sscanf(line.c_str(), "DMT 0x%x:", &id) != 1) continue;
    ++listed;
    ASSERT_TRUE(id >= 1 && id <= modes.size()) << "not in the table: " << line;
    const DmtMode& mode = modes[id - 1];

    int horizontal = 0, vertical = 0;
    const std::size_t hz_at = line.find(" Hz ");
    ASSERT_NE(hz_at, std::string::npos) << line;
    ASSERT_EQ(std::sscanf(line.c_str() + hz_at, " Hz %d:%d", &horizontal, &vertical), 2) << line;
    // edid-decode gives the ratio of the pixel counts (85:48 for 1366x768), the table the
    // picture's (16:9); they may differ by a little, never by a wrong shape.
    const double listed_ratio = static_cast<double>(horizontal) / vertical;
    const double ratio = static_cast<double>(mode.aspect.horizontal) / mode.aspect.vertical;
    EXPECT_NEAR(ratio / listed_ratio, 1.0, 0.01) << line;

    const std::size_t marks_at = line.find('(');
    const std::string marks = marks_at == std::string::npos ? "" : line.substr(marks_at);
    unsigned s1 = 0, s2 = 0, c1 = 0, c2 = 0, c3 = 0;
    if (const std::size_t at = marks.find("STD: "); at != std::string::npos) {
      ASSERT_EQ(std::sscanf(marks.c_str() + at, "STD: 0x%x 0x%x", &s1, &s2), 2) << line;
    }
    if (const std::size_t at = marks.find("CVT: "); at != std::string::npos) {
      ASSERT_EQ(std::sscanf(marks.c_str() + at, "CVT: 0x%x 0x%x 0x%x", &c1, &c2, &c3), 3) << line;
    }
    EXPECT_EQ(mode.standard_code, s1 << 8 | s2) << line;
    EXPECT_EQ(mode.cvt_code, c1 << 16 | c2 << 8 | c3) << line;
    // The list leaves the mark off 1280x768 at 120 Hz, whose blanking is reduced all the
    // same: 48, 32 and 80 pixels with a positive horizontal and a negative vertical sync.
    const bool cvt_reduced_shape = mode.h_front_porch == 48 && mode.h_sync == 32 && mode.h_back_porch == 80 &&
                                   mode.h_sync_positive && !mode.v_sync_positive;
    EXPECT_EQ(mode.reduced_blanking, marks.find("RB") != std::string::npos || cvt_reduced_shape) << line;
  }
  EXPECT_EQ(listed, modes.size());
}

TEST(Dmt, UnknownIdsFail) {
  for (const int id : {-1, 0, 0x59, 0x100}) EXPECT_FALSE(DmtTiming(id).ok()) << id;
  EXPECT_EQ(DmtTiming(0x59).error(), "There is no DMT mode with ID 0x59; IDs run from 0x01 to 0x58.");
}

}  // namespace
}  // namespace zarn::modes
