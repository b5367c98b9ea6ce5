// zarn-timing -o FILE, the real program: a failed write says why and leaves
// the file there before it as it was.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Ran {
  int exit_code;
  std::string err;
};

// Runs a shell command line with zarn-timing as $ZT; what it wrote to stderr.
Ran Shell(const std::string& script) {
  const std::string err = ::testing::TempDir() + "zarn-file-output-" + std::to_string(getpid()) + ".err";
  const std::string command = "ZT='" ZARN_TIMING "'; { " + script + "; } 2>'" + err + "'";
  const int status = std::system(command.c_str());
  std::ifstream in(err);
  std::stringstream text;
  text << in.rdbuf();
  std::filesystem::remove(err);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

std::string Content(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(FileOutput, AFailedWriteSaysWhyAndKeepsTheOldFile) {
  const std::filesystem::path file = ::testing::TempDir() + "zarn-file-output-" + std::to_string(getpid()) + ".bin";
  std::ofstream(file) << "the old content";
  // A file-size limit: the new content cannot be written.
  // (Its messages go through a pipe: under the limit no file can take them.)
  const Ran limited = Shell("(ulimit -f 0; \"$ZT\" dmt 0x24 --format edid -o '" + file.string() +
                            "'; echo \"exit $?\") 2>&1 | cat >&2");
  EXPECT_NE(limited.err.find("exit 1"), std::string::npos) << limited.err;
  EXPECT_NE(limited.err.find("File too large"), std::string::npos) << limited.err;
  EXPECT_EQ(Content(file), "the old content");
  // A full device.
  const Ran full = Shell("\"$ZT\" dmt 0x24 --format edid -o /dev/full");
  EXPECT_EQ(full.exit_code, 1);
  EXPECT_NE(full.err.find("Cannot write /dev/full: No space left on device"), std::string::npos) << full.err;
  // And a write that works replaces the file whole.
  const Ran written = Shell("\"$ZT\" dmt 0x24 --format edid -o '" + file.string() + "'");
  EXPECT_EQ(written.exit_code, 0) << written.err;
  EXPECT_EQ(Content(file).size(), 128u);
  std::filesystem::remove(file);
}

}  // namespace
