// zarn-timing's command line: what each format prints, and how bad command
// lines are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/zarn_timing.h"

namespace zarn::cli {
namespace {

TEST(ZarnTiming, EveryFormatCarriesTheSameTiming) {
  // 1080i60 (VIC 5): an interlaced frame of 1125 lines.
  const Outcome modeline = cli::Run({"vic", "5", "--format", "modeline"});
  EXPECT_EQ(modeline.out,
            "Modeline \"1920x1080i_60.00_0db0372c\" 74.25 1920 2008 2052 2200 1080 1084 1094 1125 interlace "
            "+hsync +vsync\n");
  const Outcome json = cli::Run({"dmt", "0x24", "--format=json"});
  EXPECT_EQ(json.out,
            "{\"source\": \"DMT 0x24\", \"pixel_clock_hz\": 135000000, \"h\": {\"active\": 1280, \"front_porch\": 16, "
            "\"sync\": 144, \"back_porch\": 248, \"total\": 1688}, \"v\": {\"active\": 1024, \"front_porch\": 1, "
            "\"sync\": 3, \"back_porch\": 38, \"total\": 1066}, \"h_sync_positive\": true, \"v_sync_positive\": true, "
            "\"interlaced\": false, \"line_rate_hz\": 79976.30331753555, \"refresh_rate_hz\": 75.02467478192828}\n");
  const Outcome readable = cli::Run({"custom", "--pixel-clock", "148,5", "--horizontal", "1920,88,44,148", "--vertical",
                                     "1080,4,5,36", "--vsync", "-"});
  EXPECT_EQ(readable.exit_code, 0) << readable.err;
  EXPECT_NE(readable.out.find("148.5 MHz"), std::string::npos) << readable.out;
  EXPECT_NE(readable.out.find("60.000000 Hz"), std::string::npos) << readable.out;
  EXPECT_NE(readable.out.find("+hsync -vsync"), std::string::npos) << readable.out;
  const Outcome list = cli::Run({"vic", "--list", "--format", "json"});
  EXPECT_EQ(list.out.front(), '[');
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 154 + 2);
}

TEST(ZarnTiming, RefusesBadCommandLinesWithOneSentence) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::string names;  // what the message must name
  };
  const Case cases[] = {
      {{}, kExitUsage, "no command"},
      {{"frobnicate"}, kExitUsage, "'frobnicate'"},
      {{"cvt", "1920", "1080"}, kExitUsage, "missing"},
      {{"cvt", "1920", "1080", "60", "75"}, kExitUsage, "'75'"},
      {{"cvt", "1,920", "1080", "60"}, kExitUsage, "WIDTH"},
      {{"cvt", "1920", "-1080", "60"}, kExitUsage, "HEIGHT"},
      {{"cvt", "0", "1080", "60"}, kExitNoMode, "width"},
      {{"cvt", "99999999999999999999999", "1080", "60"}, kExitNoMode, "width"},
      {{"cvt", "1920", "1080", "inf"}, kExitUsage, "RATE"},
      {{"cvt", "1920", "1080", "nan"}, kExitUsage, "RATE"},
      {{"cvt", "1920", "1080", "1e400"}, kExitUsage, "RATE"},
      {{"cvt", "1920", "1080", "59.9.4"}, kExitUsage, "RATE"},
      {{"cvt", "1920", "1080", "0"}, kExitNoMode, "rate"},
      {{"cvt", "1920", "1080", "60", "--rb", "4"}, kExitUsage, "--rb"},
      {{"cvt", "1920", "1080", "60", "--rb"}, kExitUsage, "--rb"},
      {{"cvt", "1920", "1080", "60", "--rb", "1", "--rb", "2"}, kExitUsage, "twice"},
      {{"cvt", "1920", "1080", "60", "--turbo"}, kExitUsage, "--turbo"},
      {{"cvt", "1920", "1080", "60", "--format", "xml"}, kExitUsage, "'xml'"},
      {{"gtf", "1920", "1080", "--line-rate", "67", "--pixel-clock", "148"}, kExitUsage, "only one"},
      {{"gtf", "1920", "1080", "60", "--secondary", "40", "600"}, kExitUsage, "--secondary"},
      {{"custom", "--horizontal", "1920,88,44,148", "--vertical", "1080,4,5,36"}, kExitUsage, "--pixel-clock"},
      {{"custom", "--pixel-clock", "148.5000001", "--horizontal", "1920,88,44,148", "--vertical", "1080,4,5,36"},
       kExitUsage,
       "--pixel-clock"},
      {{"custom", "--pixel-clock", "148.5", "--horizontal", "1920,88,44", "--vertical", "1080,4,5,36"},
       kExitUsage,
       "--horizontal"},
      {{"custom", "--pixel-clock", "148.5", "--horizontal", "1920,88,44,148", "--vertical", "1080,4,5,36", "--hsync",
        "up"},
       kExitUsage,
       "--hsync"},
      {{"dmt", "0x24", "--format", "edid"}, kExitUsage, "-o FILE"},
      {{"dmt", "--list", "--format", "xrandr"}, kExitUsage, "--list"},
      {{"dmt", "0x24", "--links", "--format", "modeline"}, kExitUsage, "--links"},
      {{"dmt", "0x24", "--format", "edid-hex", "--name", "A name too long"}, kExitUsage, "--name"},
      {{"dmt", "0x24", "--format", "xrandr", "--output", "HDMI-1; rm"}, kExitUsage, "--output"},
      {{"dmt", "0x24", "--format", "kernel"}, kExitNoMode, "EDID"},
      {{"dmt", "0x04", "--format", "edid-dtd"}, kExitNoMode, "10 kHz"},
      {{"vic", "5", "--format", "sway"}, kExitNoMode, "interlaced"},
      {{"dmt", "0x59"}, kExitNoMode, "0x59"},
      {{"dmt", "zz"}, kExitUsage, "DMT ID"},
      {{"vic", "128"}, kExitNoMode, "128"},
      {{"hdmi-vic", "5"}, kExitNoMode, "5"},
      {{"cvt", "1920", "1080", "60", "--video-optimized"}, kExitUsage, "--rb 2"},
      {{"cvt", "1920", "1080", "60", "--rb", "3", "--hblank", "300"}, kExitNoMode, ""},
      {{"cvt", "1920", "1080", "60", "--rb", "3", "--vblank-us", "400"}, kExitNoMode, ""},
      // What was typed is quoted with its control characters escaped.
      {{"cvt\n3840", "2160", "60"}, kExitUsage, "'cvt\\n3840'"},
      {{"cvt", "1920", "10\x1b[31mRED", "60"}, kExitUsage, "'10\\x1b[31mRED'"},
      {{"dmt", "0x24", "--format", "edid-hex", "--name", "\xc3\x84\xff"}, kExitUsage, "\"\xc3\x84\\xff\""},
      {{"kernel", "1920x1080M@60\r"}, kExitUsage, "\\r"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.arguments) line += a + " ";
    const Outcome outcome = cli::Run(c.arguments);
    EXPECT_EQ(outcome.exit_code, c.exit_code) << line << "-> " << outcome.err;
    EXPECT_TRUE(outcome.out.empty()) << line;
    EXPECT_EQ(outcome.err.rfind("zarn-timing: ", 0), 0u) << line << "-> " << outcome.err;
    EXPECT_EQ(std::count_if(outcome.err.begin(), outcome.err.end(), [](char byte) { return byte >= 0 && byte < 0x20; }),
              1)
        << line << "-> " << outcome.err;
    EXPECT_NE(outcome.err.find(c.names), std::string::npos) << line << "-> " << outcome.err;
  }
}

TEST(ZarnTiming, EdidGoesToTheFileOnly) {
  const Outcome outcome = cli::Run({"dmt", "0x24", "--format", "edid", "-o", "mode.bin", "--name", "Bench 1"});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_TRUE(outcome.out.empty());
  EXPECT_EQ(outcome.file_path, "mode.bin");
  ASSERT_EQ(outcome.file_data.size(), 128u);
  unsigned sum = 0;
  for (const char c : outcome.file_data) sum += static_cast<unsigned char>(c);
  EXPECT_EQ(sum % 256, 0u);
  // The same bytes as hex.
  const Outcome hex = cli::Run({"dmt", "0x24", "--format", "edid-hex", "--name", "Bench 1"});
  EXPECT_EQ(hex.out.substr(0, 24), "00 ff ff ff ff ff ff 00 ");
  EXPECT_EQ(std::count(hex.out.begin(), hex.out.end(), '\n'), 8);
}

TEST(ZarnTiming, HelpForTheProgramAndEachCommand) {
  for (const char* command :
       {"dmt", "vic", "hdmi-vic", "cvt", "gtf", "custom", "kernel", "ovt", "rid", "monitors", "edid"}) {
    const Outcome outcome = cli::Run({command, "--help"});
    EXPECT_EQ(outcome.exit_code, 0);
    EXPECT_NE(outcome.out.find(std::string("zarn-timing ") + command), std::string::npos) << command;
  }
  EXPECT_NE(cli::Run({"--help"}).out.find("Usage: zarn-timing COMMAND"), std::string::npos);
}

}  // namespace
}  // namespace zarn::cli

namespace zarn::cli {
namespace {

TEST(ZarnTiming, ABatchAnswersEachLineWithOneLine) {
  const std::string input =
      "cvt 1920 1080 60 --format modeline\n"
      "\n"
      "# a comment\n"
      "dmt 0x24 --format 'edid-hex'\n"
      "cvt 1920 1080 0\n"
      "cvt 1920 1080 60 --rb 4\r\n"
      "dmt 0x24 -o mode.bin --format edid\n"
      "- \n"
      "vic 16 --format json";
  Environment environment;
  environment.standard_input = [&] { return input; };
  const Outcome outcome = cli::Run({"-"}, environment);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < outcome.out.size();) {
    const std::size_t end = outcome.out.find('\n', start);
    lines.push_back(outcome.out.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(lines.size(), 9u) << outcome.out;
  EXPECT_EQ(lines[0], cli::Run({"cvt", "1920", "1080", "60", "--format", "modeline"}).out.substr(0, lines[0].size()));
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3].rfind("{\"line\": 4, \"output\": \"00 ff ff ff ff ff ff 00 ", 0), 0u) << lines[3];
  EXPECT_EQ(lines[4], "{\"line\": 5, \"error\": \"The rate must be from 1 to 10000 Hz.\", \"exit\": 1}");
  EXPECT_EQ(lines[5].rfind("{\"line\": 6, \"error\": \"--rb must be", 0), 0u) << lines[5];
  EXPECT_NE(lines[5].find("\"exit\": 2}"), std::string::npos) << lines[5];
  EXPECT_NE(lines[6].find("\"exit\": 2}"), std::string::npos) << lines[6];  // no files in a batch
  EXPECT_NE(lines[7].find("\"exit\": 2}"), std::string::npos) << lines[7];  // no batch in a batch
  EXPECT_EQ(lines[8].rfind("{\"source\": \"VIC 16\"", 0), 0u) << lines[8];
  EXPECT_EQ(outcome.exit_code, kExitUsage);  // the highest of the failures
  EXPECT_NE(outcome.err.find("zarn-timing: line 5: The rate must be"), std::string::npos) << outcome.err;
}

}  // namespace
}  // namespace zarn::cli
