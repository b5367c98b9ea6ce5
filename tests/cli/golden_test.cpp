// zarn-timing's whole output for a set of command lines, pinned in a
// transcript beside the list: help texts, messages, exit codes and every
// export of a few modes. Set ZARN_UPDATE_GOLDEN=1 to write the transcript
// anew after an intended change, and review its diff.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "cli/command_words.h"
#include "cli/zarn_timing.h"
#include "modes/export_formats.h"

namespace zarn::cli {
namespace {

const std::string kFolder = ZARN_GOLDEN_DIR;

std::string Transcript(const std::string& line) {
  const auto words = SplitCommandWords(line);
  if (!words) return "unreadable case\n";
  const Outcome outcome = Run(*words);
  std::string text = "exit " + std::to_string(outcome.exit_code) + "\n--- out\n" + outcome.out;
  if (!outcome.out.empty() && outcome.out.back() != '\n') text += "\n\\ no newline\n";
  return text + "--- err\n" + outcome.err;
}

TEST(GoldenOutput, EveryPinnedCommandPrintsAsBefore) {
  std::ifstream cases(kFolder + "/cases.txt");
  ASSERT_TRUE(cases) << kFolder << "/cases.txt";
  std::map<std::string, std::string> expected;
  {
    std::ifstream in(kFolder + "/transcript.txt");
    std::string row, key;
    while (std::getline(in, row)) {
      if (row.rfind("$ zarn-timing ", 0) == 0) {
        key = row.substr(14);
        expected[key];
      } else if (!key.empty()) {
        expected[key] += row + "\n";
      }
    }
  }
  std::string written;
  int count = 0;
  for (std::string line; std::getline(cases, line);) {
    if (line.empty() || line[0] == '#') continue;
    ++count;
    const std::string actual = Transcript(line);
    written += "$ zarn-timing " + line + "\n" + actual;
    const auto found = expected.find(line);
    if (found == expected.end()) {
      ADD_FAILURE() << "no transcript for: " << line;
    } else {
      EXPECT_EQ(actual, found->second) << "zarn-timing " << line;
    }
  }
  EXPECT_GT(count, 200);
  if (std::getenv("ZARN_UPDATE_GOLDEN") != nullptr) std::ofstream(kFolder + "/transcript.txt") << written;
}

TEST(ManualPage, DescribesEveryFormat) {
  std::ifstream page(ZARN_MANUAL_PAGE);
  ASSERT_TRUE(page) << ZARN_MANUAL_PAGE;
  std::stringstream text;
  text << page.rdbuf();
  const std::string formats = text.str().substr(text.str().find(".SH FORMATS"));
  for (const modes::ExportFormat& format : modes::ExportFormats()) {
    EXPECT_NE(formats.find("\n.B " + std::string(format.name) + "\n"), std::string::npos) << format.name;
  }
}

}  // namespace
}  // namespace zarn::cli
