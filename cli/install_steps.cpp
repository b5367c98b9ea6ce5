// Carrying out an installer's steps: files written whole, removed, and
// commands run.
#include "cli/install_steps.h"

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#endif

#include <cerrno>
#include <system_error>

#include "platform/safe_file.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace zarn::cli {
namespace {

namespace fs = std::filesystem;
using Result = modes::Expected<std::string>;

fs::path Under(const fs::path& root, const std::string& path) { return root / fs::path(path).relative_path(); }

std::string CommandLineOf(const InstallStep& step) {
  std::string line = fs::path(step.path).filename().string();
  for (const std::string& argument : step.arguments) line += " " + argument;
  return line;
}

// Makes the folders missing above the file, each 0755; says which was the
// first made, or fails with the reason.
Result MakeFolders(const fs::path& file) {
  fs::path missing;
  for (fs::path folder = file.parent_path(); !folder.empty() && !fs::exists(folder); folder = folder.parent_path()) {
    missing = folder;
    if (folder == folder.parent_path()) break;
  }
  if (missing.empty()) return std::string();
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  if (error) return Result::Failure("Cannot make the folder " + missing.string() + ": " + error.message() + ".");
  for (fs::path folder = file.parent_path();; folder = folder.parent_path()) {
    fs::permissions(folder, static_cast<fs::perms>(0755), error);
    if (folder == missing) break;
  }
  return ", and the folder " + missing.string() + " made";
}

Result WriteFile(const InstallStep& step, const fs::path& path) {
  std::error_code error;
  if (step.keep_existing && fs::exists(path, error)) return std::string("kept as it was");
  const Result folders = MakeFolders(path);
  if (!folders) return folders;
  const auto written = platform::WriteFileSafely(path.string(), step.content);
  if (!written) return Result::Failure(written.error());
  fs::permissions(path, static_cast<fs::perms>(step.mode), error);
  if (error) return Result::Failure("Cannot set the permissions of " + path.string() + ": " + error.message() + ".");
  return "written" + *folders;
}

Result RemoveFile(const fs::path& path) {
  std::error_code error;
  if (fs::remove(path, error)) return std::string("removed");
  if (error) return Result::Failure("Cannot remove " + path.string() + ": " + error.message() + ".");
  return std::string("was not there");
}

Result RunCommand(const InstallStep& step) {
#ifdef _WIN32
  return Result::Failure(CommandLineOf(step) + " runs on Linux only.");
#else
  std::vector<std::string> words{step.path};
  words.insert(words.end(), step.arguments.begin(), step.arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const int error = posix_spawn(&child, step.path.c_str(), nullptr, nullptr, argv.data(), environ);
  if (error != 0) {
    return Result::Failure("Cannot run " + step.path + ": " + std::generic_category().message(error) + ".");
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return Result::Failure(CommandLineOf(step) + " was lost: its end cannot be told.");
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return std::string("done");
  return Result::Failure(CommandLineOf(step) + " failed (" +
                         (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                            : "ended by signal " + std::to_string(WTERMSIG(status))) +
                         ").");
#endif
}

}  // namespace

std::string StepTarget(const InstallStep& step, const fs::path& root) {
  return step.kind == InstallStep::Kind::kCommand ? CommandLineOf(step) : Under(root, step.path).string();
}

Result CarryOut(const InstallStep& step, const fs::path& root, bool run_commands) {
  switch (step.kind) {
    case InstallStep::Kind::kFile:
      return WriteFile(step, Under(root, step.path));
    case InstallStep::Kind::kRemove:
      return RemoveFile(Under(root, step.path));
    case InstallStep::Kind::kCommand:
      if (!run_commands) {
        return "not run here; in the system under " + root.string() + ": chroot " + root.string() + " " +
               CommandLineOf(step);
      }
      return RunCommand(step);
  }
  return Result::Failure("An unknown step.");
}

}  // namespace zarn::cli
