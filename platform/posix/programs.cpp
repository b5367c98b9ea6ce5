// Running a program on POSIX systems: posix_spawn with its output read
// through pipes; pkexec for the administrator's rights.
#include "platform/programs.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

extern char** environ;

namespace zarn::platform {
namespace {

using Result = modes::Expected<ProgramRun>;

class Pipe {
 public:
  Pipe() {
    if (pipe2(ends_.data(), O_CLOEXEC) != 0) ends_ = {-1, -1};
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  bool ok() const { return ends_[0] >= 0; }
  int read_end() const { return ends_[0]; }
  int write_end() const { return ends_[1]; }
  void CloseRead() { Close(ends_[0]); }
  void CloseWrite() { Close(ends_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  std::array<int, 2> ends_{};
};

std::string Reason(int error) { return std::generic_category().message(error); }

// Reads both pipes until the program closes them, so that neither fills up
// while the other is waited on.
void ReadBoth(Pipe& out, Pipe& err, ProgramRun& run) {
  std::array<pollfd, 2> fds{pollfd{out.read_end(), POLLIN, 0}, pollfd{err.read_end(), POLLIN, 0}};
  std::array<std::string*, 2> texts{&run.out, &run.err};
  std::array<char, 4096> buffer{};
  int open = 2;
  while (open > 0) {
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t got = read(fds[i].fd, buffer.data(), buffer.size());
      if (got > 0) {
        texts[i]->append(buffer.data(), static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

Result RunProgram(const std::string& program, std::span<const std::string> arguments) {
  Pipe out;
  Pipe err;
  if (!out.ok() || !err.ok()) return Result::Failure("Cannot start " + program + ": " + Reason(errno) + ".");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.write_end(), 1);
  posix_spawn_file_actions_adddup2(&actions, err.write_end(), 2);
  const std::string& path = program;
  std::vector<std::string> words{path};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int started = program.find('/') != std::string::npos
                          ? posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ)
                          : posix_spawnp(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return Result::Failure("Cannot start " + path + ": " + Reason(started) + ".");
  out.CloseWrite();
  err.CloseWrite();
  ProgramRun run;
  ReadBoth(out, err, run);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return Result::Failure("Cannot wait for " + path + ": " + Reason(errno) + ".");
  }
  if (WIFSIGNALED(status)) {
    return Result::Failure(path + " ended on signal " + std::to_string(WTERMSIG(status)) + ".");
  }
  run.exit_code = WEXITSTATUS(status);
  return run;
}

Result RunProgramElevated(const std::string& program, std::span<const std::string> arguments) {
  // pkexec takes the program by its full path and asks the user through the
  // desktop's authentication agent.
  char* full = realpath(program.c_str(), nullptr);
  std::vector<std::string> words{full != nullptr ? std::string(full) : program};
  std::free(full);
  words.insert(words.end(), arguments.begin(), arguments.end());
  Result run = RunProgram("pkexec", words);
  if (!run) {
    return Result::Failure("Cannot ask for the administrator's rights: pkexec (from polkit) is not there (" +
                           run.error() + ")");
  }
  // pkexec's own exit codes: the user dismissed the prompt, or was refused.
  if (run->exit_code == 126) return Result::Failure("The administrator's rights were not given: nothing was changed.");
  if (run->exit_code == 127) {
    std::string why = run->err.substr(0, run->err.find('\n'));
    return Result::Failure("The administrator's rights were refused" + (why.empty() ? "" : " (" + why + ")") +
                           ": nothing was changed.");
  }
  return run;
}

std::string ProgramBesideThisOne(std::string_view name) {
  std::array<char, 4096> self{};
  const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
  const std::string path(self.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
  const std::size_t folder = path.rfind('/');
  if (folder == std::string::npos) return std::string(name);
  return path.substr(0, folder + 1) + std::string(name);
}

}  // namespace zarn::platform
