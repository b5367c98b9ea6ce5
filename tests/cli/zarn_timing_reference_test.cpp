// zarn-timing's modelines against the reference tools: cvt's field order and
// edid-decode's figures.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/zarn_timing.h"
#include "edid_decode_reference.h"

namespace zarn::cli {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// The figures of a modeline after its name: clock, eight positions, flags.
std::vector<std::string> ModelineFigures(const std::string& text) {
  const std::size_t start = text.find("Modeline");
  if (start == std::string::npos) return {};
  std::vector<std::string> words = Words(text.substr(start, text.find('\n', start) - start));
  return words.size() > 2 ? std::vector<std::string>(words.begin() + 2, words.end()) : words;
}

TEST(ZarnTiming, ModelinesMatchCvtFieldByField) {
  ASSERT_NE(modes::testing::RunCommand("cvt 640 480 60 2>/dev/null").find("Modeline"), std::string::npos)
      << "cvt (package xcvt) cannot be run here; it is a reference of this test";
  struct Case {
    std::vector<std::string> ours;
    std::string theirs;
  };
  const Case cases[] = {
      {{"cvt", "1920", "1080", "60"}, "cvt 1920 1080 60"},
      {{"cvt", "2560", "1440", "60", "--rb", "1"}, "cvt -r 2560 1440 60"},
      {{"cvt", "1280", "800", "59,94"}, "cvt 1280 800 59.94"},
      {{"cvt", "800", "600", "75"}, "cvt 800 600 75"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.ours;
    arguments.insert(arguments.end(), {"--format", "modeline"});
    const Outcome outcome = cli::Run(arguments);
    ASSERT_EQ(outcome.exit_code, 0) << c.theirs << ": " << outcome.err;
    std::vector<std::string> ours = ModelineFigures(outcome.out);
    std::vector<std::string> theirs = ModelineFigures(modes::testing::RunCommand(c.theirs));
    ASSERT_EQ(ours.size(), theirs.size()) << c.theirs << "\n" << outcome.out;
    // The clock as a number (cvt writes two decimals), the rest as text.
    EXPECT_DOUBLE_EQ(std::stod(ours[0]), std::stod(theirs[0])) << c.theirs;
    for (std::size_t i = 1; i < ours.size(); ++i) EXPECT_EQ(ours[i], theirs[i]) << c.theirs << " field " << i;
  }
}

TEST(ZarnTiming, TheDocumentedExampleMatchesEdidDecode) {
  const auto reference = modes::testing::EdidDecodeTiming("--cvt w=2560,h=1440,fps=144,rb=2");
  ASSERT_TRUE(reference) << "edid-decode cannot be run here; it is a reference of this test";
  const Outcome outcome = cli::Run({"cvt", "2560", "1440", "144", "--rb", "2", "--format", "modeline"});
  const std::vector<std::string> f = ModelineFigures(outcome.out);
  ASSERT_EQ(f.size(), 11u) << outcome.out;
  const int h = reference->h_active, v = reference->v_active;
  EXPECT_EQ(f[0], "586.586");
  EXPECT_EQ(f[2], std::to_string(h + reference->h_front_porch));
  EXPECT_EQ(f[3], std::to_string(h + reference->h_front_porch + reference->h_sync));
  EXPECT_EQ(f[4], std::to_string(h + reference->h_front_porch + reference->h_sync + reference->h_back_porch));
  EXPECT_EQ(f[6], std::to_string(v + reference->v_front_porch));
  EXPECT_EQ(f[8], std::to_string(v + reference->v_front_porch + reference->v_sync + reference->v_back_porch));
  EXPECT_EQ(f[9], reference->h_sync_positive ? "+hsync" : "-hsync");
  EXPECT_EQ(f[10], reference->v_sync_positive ? "+vsync" : "-vsync");
}

}  // namespace
}  // namespace zarn::cli
