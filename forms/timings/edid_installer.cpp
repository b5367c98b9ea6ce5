#include "forms/timings/edid_installer.h"

#include <utility>
#include <vector>

#include "platform/programs.h"
#include "platform/safe_file.h"

namespace zarn::forms {
namespace {

using Result = modes::Expected<std::string>;

// The EDID in a file of its own for the installer to read, taken away again
// when done. (The installer, even one run as administrator, reads the user's
// temporary folder.)
class EdidFile {
 public:
  explicit EdidFile(std::span<const std::uint8_t> edid) : path_(platform::WriteTemporaryFile(edid)) {}
  ~EdidFile() {
    if (path_) platform::RemoveFile(*path_);
  }
  EdidFile(const EdidFile&) = delete;
  EdidFile& operator=(const EdidFile&) = delete;

  const modes::Expected<std::string>& path() const { return path_; }

 private:
  modes::Expected<std::string> path_;
};

std::string WithoutFinalNewline(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// The command line's message without its name before it.
std::string Message(const platform::ProgramRun& run) {
  std::string message = WithoutFinalNewline(run.err);
  for (const std::string_view prefix : {"zarn-timing: ", "zarn-timing.exe: "}) {
    if (message.starts_with(prefix)) message.erase(0, prefix.size());
  }
  if (message.empty()) message = "The installer ended with exit code " + std::to_string(run.exit_code) + ".";
  return message;
}

}  // namespace

CommandLineInstaller::CommandLineInstaller(std::string program, std::string root)
    : program_(std::move(program)), root_(std::move(root)) {}

Result CommandLineInstaller::Steps(std::span<const std::uint8_t> edid, const platform::MonitorEdid& monitor) {
  return Run(edid, monitor, true);
}

Result CommandLineInstaller::Install(std::span<const std::uint8_t> edid, const platform::MonitorEdid& monitor) {
  return Run(edid, monitor, false);
}

Result CommandLineInstaller::Run(std::span<const std::uint8_t> edid, const platform::MonitorEdid& monitor,
                                 bool dryRun) {
  const EdidFile file(edid);
  if (!file.path()) return Result::Failure(file.path().error());
  std::vector<std::string> arguments{"edid", "install", *file.path()};
#ifdef _WIN32
  arguments.insert(arguments.end(), {"--registry", "--monitor", monitor.connector});
#else
  arguments.insert(arguments.end(), {"--connector", monitor.connector});
  if (!root_.empty()) arguments.insert(arguments.end(), {"--root", root_});
#endif
  arguments.emplace_back(dryRun ? "--dry-run" : "--yes");
  const auto run = dryRun || !root_.empty() ? platform::RunProgram(program_, arguments)
                                            : platform::RunProgramElevated(program_, arguments);
  if (!run) return Result::Failure(run.error());
  if (run->exit_code != 0) return Result::Failure(Message(*run));
  std::string text = WithoutFinalNewline(run->out);
  // Windows gives no output of a program run as administrator.
  if (text.empty()) text = "Installed the EDID for " + monitor.connector + ".";
  return text;
}

}  // namespace zarn::forms
