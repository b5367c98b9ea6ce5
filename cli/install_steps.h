#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "modes/expected.h"

namespace zarn::cli {

// One change an installer makes to the system, as data: what it is for, the
// system's own path ("/usr/lib/firmware/edid/zarn-DP-1.bin") and what goes
// there. The runner puts every path under a root folder.
struct InstallStep {
  enum class Kind {
    kFile,     // writes content to path, with the permission bits mode
    kRemove,   // removes the file at path
    kCommand,  // runs the program at path with arguments
  };
  Kind kind = Kind::kFile;
  std::string what;  // what the step is for, said to the user
  std::string path;
  std::string content;
  unsigned mode = 0644;
  // A file that is never replaced: a copy kept once stays as it was.
  bool keep_existing = false;
  std::vector<std::string> arguments;
};

// The file or the command a step touches as the user reads it: the path under
// root, or the command line with the program's own name.
std::string StepTarget(const InstallStep& step, const std::filesystem::path& root);

// Carries out one step on the system under root ("/" for the system itself):
// a file goes in whole or not at all (WriteFileSafely), in folders made as
// needed (0755), with its permission bits; a command runs, its output on the
// terminal, unless run_commands is false. Returns what it did in a few words
// ("written", "kept as it was"), or the reason it could not.
modes::Expected<std::string> CarryOut(const InstallStep& step, const std::filesystem::path& root, bool run_commands);

}  // namespace zarn::cli
