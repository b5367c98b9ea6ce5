// OVT and the RIDs against edid-decode, an independent implementation of CTA-861 (Debian 12's build of March
// 2022): --ovt w=W,h=H,fps=R gives the timing of a size, --ovt rid=N,fps=R that of a RID, --list-rids the RIDs
// and --list-rid-timings 0 each RID at each of its rates, with the VIC where one is that format.
//
// That build leaves out two of the formula's minimums, 20 lines of vertical blanking and 14 lines from the
// start of the vertical sync to the picture; it differs where they apply, at low line rates: small pictures at
// low rates and the 720-line RIDs at 24, 25 and 30 Hz. The grid in ovt_edid_decode_grid.txt keeps to the rates
// where neither applies and where that build's arithmetic still holds; the RID test checks the 720-line
// rows at low rates against the 14-line minimum instead.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "edid_decode_reference.h"
#include "modes/cta.h"
#include "modes/ovt.h"
#include "modes/rid.h"

namespace zarn::modes {
namespace {

using testing::EdidDecodeAvailable;
using testing::EdidDecodeTimings;
using testing::ReferenceTiming;
using testing::RunCommand;

// All figures; with sync_lead false, all but where the vertical sync sits in the blanking.
void ExpectSame(const DisplayTiming& timing, const ReferenceTiming& expected, bool sync_lead = true) {
  EXPECT_EQ(timing.pixel_clock_hz, expected.pixel_clock_hz);
  EXPECT_EQ(timing.h_active, expected.h_active);
  EXPECT_EQ(timing.h_front_porch, expected.h_front_porch);
  EXPECT_EQ(timing.h_sync, expected.h_sync);
  EXPECT_EQ(timing.h_back_porch, expected.h_back_porch);
  EXPECT_EQ(timing.v_active, expected.v_active);
  EXPECT_EQ(timing.v_blank(), expected.v_front_porch + expected.v_sync + expected.v_back_porch);
  EXPECT_EQ(timing.v_sync, expected.v_sync);
  if (sync_lead) {
    EXPECT_EQ(timing.v_back_porch, expected.v_back_porch);
  }
  EXPECT_EQ(timing.h_sync_positive, expected.h_sync_positive);
  EXPECT_EQ(timing.v_sync_positive, expected.v_sync_positive);
  EXPECT_EQ(timing.interlaced, expected.interlaced);
}

// "--ovt FORMAT,fps=R" for each rate, in one run of edid-decode.
std::vector<ReferenceTiming> EdidDecodeOvt(const std::string& format, const std::vector<int>& rates) {
  std::string arguments;
  for (const int rate : rates) arguments += " --ovt " + format + ",fps=" + std::to_string(rate);
  return EdidDecodeTimings(arguments);
}

TEST(OvtReferenceTest, MatchesEdidDecodeOverAGridOfSizesAndRates) {
  ASSERT_TRUE(EdidDecodeAvailable()) << "edid-decode is not installed; these checks compare with it";
  std::ifstream grid(ZARN_OVT_GRID);
  ASSERT_TRUE(grid) << ZARN_OVT_GRID;
  int sizes = 0, timings = 0;
  for (std::string line; std::getline(grid, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    int width = 0, height = 0, first = 0, last = 0;
    ASSERT_TRUE(in >> width >> height >> first >> last) << line;
    ++sizes;
    constexpr int kRatesPerRun = 200;
    for (int from = first; from <= last; from += kRatesPerRun) {
      std::vector<int> rates;
      for (int rate = from; rate <= last && rate < from + kRatesPerRun; ++rate) rates.push_back(rate);
      const std::string format = "w=" + std::to_string(width) + ",h=" + std::to_string(height);
      const std::vector<ReferenceTiming> expected = EdidDecodeOvt(format, rates);
      ASSERT_EQ(expected.size(), rates.size()) << format;
      for (std::size_t i = 0; i < rates.size(); ++i) {
        SCOPED_TRACE(format + ",fps=" + std::to_string(rates[i]));
        const auto timing = OvtTiming(width, height, rates[i]);
        ASSERT_TRUE(timing.ok()) << timing.error();
        ExpectSame(*timing, expected[i]);
        ++timings;
      }
    }
  }
  EXPECT_GE(sizes, 20);
  std::cout << "compared " << timings << " OVT timings of " << sizes << " sizes with edid-decode\n";
}

// The words of each line that starts with "RID" in edid-decode's output for these arguments.
std::vector<std::vector<std::string>> RidLines(const std::string& arguments) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(RunCommand("edid-decode " + arguments));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.size() >= 4 && words[0] == "RID") rows.push_back(words);
  }
  return rows;
}

std::string Text(const AspectRatio& aspect) {
  return std::to_string(aspect.horizontal) + ':' + std::to_string(aspect.vertical);
}

// --list-rids: "RID  1:  1280x720  16:9"; --list-rid-timings 0: "RID 1:  1280x720    24.000 Hz  16:9  maps to
// VIC 60" or "RID 8:  2560x1440   24.000000 Hz  16:9     44.400 kHz    122.544000 MHz"; then --ovt rid=N,fps=R
// for the figures of every rate.
TEST(RidReferenceTest, EveryRidAtEveryRateMatchesEdidDecode) {
  ASSERT_TRUE(EdidDecodeAvailable()) << "edid-decode is not installed; these checks compare with it";
  const std::vector<std::vector<std::string>> rids = RidLines("--list-rids");
  ASSERT_EQ(rids.size(), Rids().size());
  for (const std::vector<std::string>& words : rids) {
    const RidInfo* const rid = FindRid(std::stoi(words[1]));
    ASSERT_NE(rid, nullptr) << words[1];
    EXPECT_EQ(std::to_string(rid->width) + 'x' + std::to_string(rid->height), words[2]);
    EXPECT_EQ(Text(rid->aspect), words[3]);
  }
  EXPECT_EQ(FindRid(0), nullptr);
  EXPECT_EQ(FindRid(static_cast<int>(Rids().size()) + 1), nullptr);

  std::map<int, std::vector<std::vector<std::string>>> listed;
  for (const auto& words : RidLines("--list-rid-timings 0")) listed[std::stoi(words[1])].push_back(words);
  for (const RidInfo& rid : Rids()) {
    std::vector<int> rates;
    for (const auto& words : listed[rid.rid]) rates.push_back(static_cast<int>(std::lround(std::stod(words[3]))));
    EXPECT_EQ(rates, std::vector<int>(rid.rates_hz.begin(), rid.rates_hz.end())) << "RID " << rid.rid;
    const std::vector<ReferenceTiming> expected = EdidDecodeOvt("rid=" + std::to_string(rid.rid), rates);
    ASSERT_EQ(expected.size(), rates.size()) << "RID " << rid.rid;
    for (std::size_t i = 0; i < rates.size(); ++i) {
      const std::vector<std::string>& words = listed[rid.rid][i];
      SCOPED_TRACE("RID " + std::to_string(rid.rid) + " @ " + std::to_string(rates[i]));
      const auto timing = RidTiming(rid.rid, rates[i]);
      ASSERT_TRUE(timing.ok()) << timing.error();
      EXPECT_EQ(timing->source, "RID " + std::to_string(rid.rid) + " @ " + std::to_string(rates[i]));
      EXPECT_EQ(Text(timing->aspect), words[5]);
      if (words[words.size() - 2] == "VIC") {
        const int vic = std::stoi(words.back());
        EXPECT_EQ(RidVic(rid, rates[i]), vic);
        const auto vic_timing = VicTiming(vic);
        ASSERT_TRUE(vic_timing.ok());
        EXPECT_EQ(vic_timing->h_active, rid.width);
        EXPECT_EQ(vic_timing->v_active, rid.height);
        EXPECT_EQ(vic_timing->aspect, rid.aspect);
      } else {
        EXPECT_EQ(RidVic(rid, rates[i]), 0);
        EXPECT_EQ(timing->pixel_clock_hz,
                  static_cast<std::uint64_t>(std::llround(std::stod(words[words.size() - 2]) * 1e6)));
      }
      // edid-decode puts the 720-line RIDs' sync nearer the picture at 24 to 30 Hz than the 14 lines OVT asks.
      const bool sync_lead_kept = expected[i].v_sync + expected[i].v_back_porch >= 14;
      ExpectSame(*timing, expected[i], sync_lead_kept);
      if (!sync_lead_kept) {
        EXPECT_EQ(timing->v_sync + timing->v_back_porch, 14);
      }
    }
  }
}

TEST(OvtRefusalTest, RefusesWhatTheFormulaDoesNotAllow) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::pair<const char*, Expected<DisplayTiming>>> cases = {
      {"zero width", OvtTiming(0, 1080, 60)},
      {"width past 16 bits", OvtTiming(65536, 1080, 60)},
      {"zero height", OvtTiming(1920, 0, 60)},
      {"height past 16 bits", OvtTiming(1920, 65536, 60)},
      {"zero rate", OvtTiming(1920, 1080, 0)},
      {"NaN rate", OvtTiming(1920, 1080, kNaN)},
      {"fractional rate", OvtTiming(1920, 1080, 59.94)},
      {"frame shorter than the blanking", OvtTiming(1920, 1080, 2174)},
      {"blanking of absurd length", OvtTiming(1920, 65535, 2173)},
      {"odd width above the chunk rate", OvtTiming(4095, 2161, 75)},
      {"RID 0", RidTiming(0, 60)},
      {"RID 29", RidTiming(29, 60)},
      {"rate no RID has", RidTiming(1, 61)},
      {"fractional RID rate", RidTiming(4, 59.94)},
  };
  for (const auto& [what, result] : cases) {
    SCOPED_TRACE(what);
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.error().empty());
  }
}

}  // namespace
}  // namespace zarn::modes
