#include "platform/safe_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zarn::platform {
namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Put(const fs::path& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

// What a write came to: how the bytes went, or the message.
std::string Outcome(const std::string& path, std::string_view bytes) {
  const auto written = WriteFileSafely(path, bytes);
  if (!written) return written.error();
  switch (*written) {
    case FileWrite::kReplaced:
      return "replaced";
    case FileWrite::kDirect:
      return "direct";
    case FileWrite::kInPlace:
      return "in place";
  }
  return "?";
}

class SafeFile : public testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    const auto run = GetCurrentProcessId();
#else
    const auto run = getpid();
#endif
    // Named after the test and the run, so that two runs on one machine do not meet.
    folder_ = fs::temp_directory_path() / ("zarn-safe-file-" + std::to_string(run) + "-" +
                                           testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directory(folder_);
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all);
    fs::remove_all(folder_);
  }
  std::string At(const std::string& name) const { return Utf8(folder_ / FromUtf8(name)); }
  // What the folder holds: a leftover new file would show here.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(Utf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path folder_;
};

TEST_F(SafeFile, WritesAnyBytesUnderAnyName) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(255 - i);
  const std::string name = "Größe ✓ 日本 🖥.bin";
  EXPECT_EQ(Outcome(At(name), bytes), "replaced");
  EXPECT_EQ(Read(folder_ / FromUtf8(name)), bytes);
  EXPECT_EQ(Outcome(At(name), "shorter"), "replaced");
  EXPECT_EQ(Read(folder_ / FromUtf8(name)), "shorter");
  EXPECT_EQ(Names(), std::vector<std::string>{name});

  EXPECT_EQ(Outcome("", bytes), "Cannot write a file without a name.");
  const std::string lost = At("no such folder/mode.bin");
  const std::string error = Outcome(lost, bytes);
  EXPECT_EQ(error.rfind("Cannot write " + lost + ": ", 0), 0u) << error;
  EXPECT_GT(error.size(), lost.size() + 20);
  EXPECT_EQ(Names(), std::vector<std::string>{name});
}

#ifdef _WIN32

// A read-only file, and one another program holds open without leave to
// delete it (so that the rename fails), both keep their content; NUL is a
// device and written as it is.
TEST_F(SafeFile, LeavesReadOnlyAndHeldFilesAsTheyWere) {
  Put(folder_ / "locked.bin", "locked");
  Put(folder_ / "held.bin", "held");
  fs::permissions(folder_ / "locked.bin", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const HANDLE held = CreateFileW((folder_ / "held.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (const std::string name : {"locked.bin", "held.bin"}) {
    const std::string said = Outcome(At(name), "new");
    EXPECT_EQ(said.rfind("Cannot write " + At(name) + ": ", 0), 0u) << said;
  }
  CloseHandle(held);
  EXPECT_EQ(Read(folder_ / "locked.bin"), "locked");
  EXPECT_EQ(Read(folder_ / "held.bin"), "held");
  fs::permissions(folder_ / "locked.bin", fs::perms::owner_all);
  EXPECT_EQ(Names(), (std::vector<std::string>{"held.bin", "locked.bin"}));
  EXPECT_EQ(Outcome("NUL", "x"), "direct");
}

#else

// Runs job in a child process and returns what it wrote to its pipe, or
// "ended by signal N": the limits and users a child takes stay its own.
template <class Job>
std::string InChild(Job job) {
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    const std::string said = job();
    if (write(fds[1], said.data(), said.size()) < 0) _exit(2);
    _exit(0);
  }
  close(fds[1]);
  std::string said;
  char buffer[256];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? "ended by signal " + std::to_string(WTERMSIG(status)) : said;
}

TEST_F(SafeFile, FileSizeLimitLeavesTheOldFileWhole) {
  Put(folder_ / "mode.bin", "the old EDID");
  const std::string said = InChild([&] {
    const rlimit limit{16, 16};  // as "ulimit -f" would set, in bytes
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string text = Outcome(At("mode.bin"), std::string(128, 'x'));
    sigset_t blocked;
    pthread_sigmask(SIG_BLOCK, nullptr, &blocked);
    if (sigismember(&blocked, SIGXFSZ) == 1) text += " (SIGXFSZ left blocked)";
    return text;
  });
  EXPECT_EQ(said, "Cannot write " + At("mode.bin") + ": File too large.");
  EXPECT_EQ(Read(folder_ / "mode.bin"), "the old EDID");
  EXPECT_EQ(Names(), std::vector<std::string>{"mode.bin"});
}

TEST_F(SafeFile, WritesDevicesPipesAndDescriptorsAsTheyAre) {
  EXPECT_EQ(Outcome("/dev/full", "x"), "Cannot write /dev/full: No space left on device.");
  struct stat full {};
  ASSERT_EQ(stat("/dev/full", &full), 0);
  EXPECT_TRUE(S_ISCHR(full.st_mode));
  EXPECT_EQ(Outcome("/dev/null", "x"), "direct");

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  EXPECT_EQ(Outcome("/dev/fd/" + std::to_string(fds[1]), "piped"), "direct");
  close(fds[1]);
  char buffer[8] = {};
  EXPECT_EQ(read(fds[0], buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "piped");
  close(fds[0]);
  // Standard output a pipe whose reader has gone: a message, not SIGPIPE.
  EXPECT_EQ(InChild([] {
              int unread[2];
              if (pipe(unread) != 0 || dup2(unread[1], 1) != 1) return std::string("no pipe");
              close(unread[0]);
              return Outcome("/dev/stdout", "x");
            }),
            "Cannot write /dev/stdout: Broken pipe.");

  // What "-o /dev/stdout > out.txt" meets: the shell's descriptor, written
  // where it stands, so that what the program writes to it next follows.
  const int out = open(At("out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(out, 0);
  EXPECT_EQ(write(out, "a\n", 2), 2);
  EXPECT_EQ(Outcome("/proc/self/fd/" + std::to_string(out), "b\n"), "direct");
  EXPECT_EQ(write(out, "c\n", 2), 2);
  close(out);
  EXPECT_EQ(Read(folder_ / "out.txt"), "a\nb\nc\n");
}

TEST_F(SafeFile, KeepsLinksModesAndOwners) {
  Put(folder_ / "real.bin", "old");
  fs::permissions(folder_ / "real.bin", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(At("real.bin").c_str(), 65534, 65534), 0);
  }
  fs::create_symlink("real.bin", folder_ / "link.bin");
  fs::create_symlink(folder_ / "link.bin", folder_ / "chain.bin");
  fs::create_symlink("made.bin", folder_ / "pending.bin");

  EXPECT_EQ(Outcome(At("chain.bin"), "new"), "replaced");
  const mode_t previous = umask(022);
  EXPECT_EQ(Outcome(At("pending.bin"), "made"), "replaced");
  umask(previous);

  EXPECT_EQ(Names(), (std::vector<std::string>{"chain.bin", "link.bin", "made.bin", "pending.bin", "real.bin"}));
  for (const char* link : {"chain.bin", "link.bin", "pending.bin"}) EXPECT_TRUE(fs::is_symlink(folder_ / link));
  EXPECT_EQ(Read(folder_ / "real.bin"), "new");
  EXPECT_EQ(Read(folder_ / "made.bin"), "made");
  struct stat real {};
  struct stat fresh {};
  ASSERT_EQ(stat(At("real.bin").c_str(), &real), 0);
  ASSERT_EQ(stat(At("made.bin").c_str(), &fresh), 0);
  EXPECT_EQ(real.st_mode & 07777, 0640u);
  EXPECT_EQ(fresh.st_mode & 07777, 0644u);
  if (root) {
    EXPECT_EQ(real.st_uid, 65534u);
  }
}

// Root writes anywhere: the child gives up root for "nobody" (65534) first,
// so that the folder's and files' permission bits bind.
TEST_F(SafeFile, UnwritableFolderTakesNoNewFileButAWritableFileIsWrittenInPlace) {
  Put(folder_ / "shared.bin", "the old content, longer than the new");
  Put(folder_ / "locked.bin", "locked");
  chmod(At("shared.bin").c_str(), 0666);
  chmod(At("locked.bin").c_str(), 0444);
  chmod(folder_.c_str(), 0555);
  const std::string said = InChild([&] {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
      return std::string("still root");
    }
    return Outcome(At("shared.bin"), "new") + "\n" + Outcome(At("fresh.bin"), "new") + "\n" +
           Outcome(At("locked.bin"), "new");
  });
  EXPECT_EQ(said, "in place\nCannot write " + At("fresh.bin") + ": Permission denied.\nCannot write " +
                      At("locked.bin") + ": Permission denied.");
  EXPECT_EQ(Read(folder_ / "shared.bin"), "new");
  EXPECT_EQ(Read(folder_ / "locked.bin"), "locked");
  EXPECT_EQ(Names(), (std::vector<std::string>{"locked.bin", "shared.bin"}));
}

#endif

}  // namespace
}  // namespace zarn::platform
