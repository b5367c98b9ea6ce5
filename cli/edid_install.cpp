// zarn-timing edid install and edid uninstall: an EDID override for the Linux
// kernel (files under a root, commands), as a monitor driver INF, or in the
// Windows registry.
#include "cli/edid_install.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "cli/command_line.h"
#include "cli/edid_commands.h"
#include "cli/linux_edid_plan.h"
#include "modes/edid_reader.h"
#include "modes/monitor_inf.h"
#include "platform/safe_file.h"

namespace zarn::cli {
namespace {

namespace fs = std::filesystem;

fs::path Under(const fs::path& root, std::string_view path) { return root / fs::path(path).relative_path(); }

// The start of a file (sysfs and debugfs files are small; a bound keeps an
// odd one from being read for ever).
std::string ReadStart(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::string text(64 * 1024, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(file ? text.size() : static_cast<std::size_t>(file.gcount()));
  return text;
}

// What the system under root holds for the connector.
LinuxEdidSystem ReadSystem(const fs::path& root, const std::string& connector) {
  LinuxEdidSystem system;
  system.connector = connector;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(root / "sys/class/drm", error)) {
    const std::string name = entry.path().filename().string();
    const std::size_t dash = name.find('-');
    if (!name.starts_with("card") || dash == std::string::npos) continue;
    const std::string found = name.substr(dash + 1);
    if (std::find(system.connectors.begin(), system.connectors.end(), found) == system.connectors.end()) {
      system.connectors.push_back(found);
    }
    // Two cards may both have a DP-1: the first that shows an EDID.
    if (found == connector && system.shown_edid.empty()) {
      const std::string edid = ReadStart(entry.path() / "edid");
      system.shown_edid.assign(edid.begin(), edid.end());
    }
  }
  std::sort(system.connectors.begin(), system.connectors.end());
  system.original_kept = fs::exists(Under(root, OriginalPath(connector)), error);
  system.edid_firmware = ReadStart(root / "sys/module/drm/parameters/edid_firmware");
  while (!system.edid_firmware.empty() && std::isspace(static_cast<unsigned char>(system.edid_firmware.back()))) {
    system.edid_firmware.pop_back();
  }
  system.initramfs_tools = fs::is_directory(root / "etc/initramfs-tools", error);
  system.hook_installed = fs::exists(Under(root, kHookPath), error);
  for (const auto& entry : fs::directory_iterator(Under(root, kFirmwareFolder), error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("zarn-") || !name.ends_with(".bin")) continue;
    const std::string installed = name.substr(5, name.size() - 9);
    if (IsConnectorName(installed)) system.installed.push_back(installed);
  }
  std::sort(system.installed.begin(), system.installed.end());
  for (const auto& entry : fs::directory_iterator(root / "sys/kernel/debug/dri", error)) {
    if (fs::exists(entry.path() / connector / "edid_override", error)) {
      system.debugfs.push_back("/sys/kernel/debug/dri/" + entry.path().filename().string() + "/" + connector +
                               "/edid_override");
    }
  }
  std::sort(system.debugfs.begin(), system.debugfs.end());
  // "none [integrity] confidentiality": the level in brackets is in force.
  const std::string lockdown = ReadStart(root / "sys/kernel/security/lockdown");
  const std::size_t open = lockdown.find('[');
  const std::size_t close = lockdown.find(']', open);
  if (open != std::string::npos && close != std::string::npos)
    system.lockdown = lockdown.substr(open + 1, close - open - 1);
  return system;
}

// A caller that supplies standard input (a test) holds the whole exchange in
// the outcome. Otherwise what is said so far goes to the terminal at once:
// before a question is read, and before a command writes there too.
void ShowNow(const Environment& environment, Outcome& outcome) {
  if (environment.standard_input) return;
  std::fwrite(outcome.out.data(), 1, outcome.out.size(), stdout);
  std::fflush(stdout);
  outcome.out.clear();
}

// Asks a yes/no question: true for y or yes.
bool Agreed(const Environment& environment, Outcome& outcome) {
  outcome.out += "Go ahead? [y/N] ";
  std::string answer;
  if (environment.standard_input) {
    answer = environment.standard_input();
    answer.resize(std::min(answer.size(), answer.find('\n')));
    outcome.out += answer + "\n";
  } else {
    ShowNow(environment, outcome);
    char line[256];
    if (std::fgets(line, sizeof line, stdin) != nullptr) answer = line;
  }
  std::string word;
  for (const char c : answer) {
    if (std::isspace(static_cast<unsigned char>(c)) == 0)
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return word == "y" || word == "yes";
}

Outcome NothingChanged(Outcome outcome) {
  outcome.err += "zarn-timing: nothing was changed.\n";
  outcome.exit_code = kExitNoMode;
  return outcome;
}

struct Choices {
  bool dry_run = false;
  bool yes = false;
};

Outcome CarryOutPlan(const InstallPlan& plan, const std::string& title, const fs::path& root, bool rooted,
                     const Choices& choices, const std::string& undo, const Environment& environment) {
  Outcome outcome;
  std::string& out = outcome.out;
  if (plan.steps.empty()) {
    out = "Nothing to change on the system.\n" + plan.notes;
    return outcome;
  }
  const std::size_t count = plan.steps.size();
  const auto line = [&](std::size_t i) {
    return "  " + std::to_string(i + 1) + ". " + plan.steps[i].what + ": " + StepTarget(plan.steps[i], root);
  };
  if (choices.dry_run || !choices.yes) {
    out += title + (choices.dry_run ? ", a dry run that changes nothing:\n" : ":\n");
    for (std::size_t i = 0; i < count; ++i) out += line(i) + "\n";
    if (choices.dry_run) {
      out += "\n" + plan.notes;
      return outcome;
    }
    if (!Agreed(environment, outcome)) return NothingChanged(std::move(outcome));
  } else {
    out += title + ":\n";
  }
  for (std::size_t i = 0; i < count; ++i) {
    out += line(i);
    // A command's own output comes between the step and what became of it.
    const bool shown = plan.steps[i].kind == InstallStep::Kind::kCommand && !rooted;
    if (shown) {
      out += "\n";
      ShowNow(environment, outcome);
    }
    const auto done = CarryOut(plan.steps[i], root, !rooted);
    if (!done) {
      outcome.out += "\n";
      outcome.err = "zarn-timing: " + done.error() + "\nzarn-timing: stopped at step " + std::to_string(i + 1) +
                    " of " + std::to_string(count) +
                    (undo.empty() || i == 0 ? "" : "; " + undo + " takes away what was done") + ".\n";
      outcome.exit_code = kExitNoMode;
      return outcome;
    }
    outcome.out += (shown ? "     (" : " (") + *done + ")\n";
  }
  outcome.out += "\n" + plan.notes;
  return outcome;
}

Outcome Linux(bool install, const CommandLine& line, const Choices& choices, const Environment& environment) {
  const std::string connector = *line.Value("--connector");
  if (!IsConnectorName(connector)) {
    throw UsageError{"--connector takes a connector's name as /sys/class/drm gives it (DP-1, HDMI-A-1), not " +
                     Quoted(connector) + "."};
  }
  const bool rooted = line.Has("--root");
  const fs::path root = rooted ? fs::path(*line.Value("--root")) : fs::path("/");
  std::error_code error;
  if (!fs::is_directory(root, error)) throw NoModeError{"--root " + Quoted(root.string()) + " is not a folder."};
  std::vector<std::uint8_t> edid;
  if (install) {
    const std::string file = line.Positional(1, "FILE")[0];
    if (file == "-" && !choices.yes && !choices.dry_run) {
      throw UsageError{
          "with the EDID on standard input, the answer to the question cannot come from there: add --yes."};
    }
    edid = LoadEdidFile(file, environment);
    if (const auto refusal = KernelRefusal(edid)) throw NoModeError{Quoted(file) + " cannot be installed. " + *refusal};
  } else {
    line.Positional(0, "");
  }
  const LinuxEdidSystem system = ReadSystem(root, connector);
  // A system mounted under --root has no /sys of its own: the name is taken
  // as it is there.
  if (install && (!rooted || !system.connectors.empty()) &&
      std::find(system.connectors.begin(), system.connectors.end(), connector) == system.connectors.end()) {
    throw NoModeError{"No connector is called " + Quoted(connector) + " in " + (root / "sys/class/drm").string() +
                      (system.connectors.empty() ? std::string("; there is none")
                                                 : "; the connectors are " + Listed(system.connectors, " and ")) +
                      "."};
  }
#ifndef _WIN32
  if (!rooted && !choices.dry_run && geteuid() != 0) {
    throw NoModeError{"Changing the system's files needs root: run it with sudo (or try --dry-run first)."};
  }
#endif
  if (install) {
    return CarryOutPlan(PlanEdidInstall(system, edid), "Installing the EDID for " + connector, root, rooted, choices,
                        "zarn-timing edid uninstall --connector " + connector, environment);
  }
  return CarryOutPlan(PlanEdidUninstall(system), "Taking away Zarn's EDID for " + connector, root, rooted, choices, "",
                      environment);
}

Outcome Registry(bool install, const CommandLine& line, const Choices& choices, const Environment& environment) {
  const auto name = line.Value("--monitor");
  if (!name) throw UsageError{"--registry needs --monitor NAME, as zarn-timing monitors lists it."};
  std::vector<std::uint8_t> edid;
  if (install) {
    const std::string file = line.Positional(1, "FILE")[0];
    edid = LoadEdidFile(file, environment);
    Unwrapped(modes::MonitorPnpId(edid), kExitNoMode);
  } else {
    line.Positional(0, "");
  }
  const platform::MonitorEdid monitor = AttachedMonitor(*name, environment);
  const std::string key =
      "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\" + monitor.location + "\\Device Parameters\\EDID_OVERRIDE";
  Outcome outcome;
  const std::string blocks = std::to_string(edid.size() / 128);
  outcome.out = (install ? "Write the EDID override of " + monitor.connector + " (" + blocks + " of 128 bytes)"
                         : "Remove the EDID override of " + monitor.connector) +
                ": " + key + "\n";
  if (choices.dry_run) return outcome;
  if (!choices.yes && !Agreed(environment, outcome)) return NothingChanged(std::move(outcome));
  const auto done = install ? platform::SetEdidOverride(monitor, edid) : platform::RemoveEdidOverride(monitor);
  if (!done) throw NoModeError{done.error()};
  outcome.out += *done + "\n";
  if (install) {
    outcome.out += "zarn-timing edid uninstall --registry --monitor " + *name +
                   " takes it away again (as administrator; from another screen or a remote session should this one "
                   "stay dark).\n";
  }
  return outcome;
}

Outcome Inf(const CommandLine& line, const Choices& choices, const Environment& environment) {
  const std::string file = line.Positional(1, "FILE")[0];
  const std::vector<std::uint8_t> edid = LoadEdidFile(file, environment);
  const std::string id = Unwrapped(modes::MonitorPnpId(edid), kExitNoMode);
  const auto decoded = modes::DecodeEdid(edid);
  const std::string model = decoded && decoded->name ? *decoded->name : id;
  const std::string inf = Unwrapped(modes::MonitorInf(edid, model + " (EDID override)"), kExitNoMode);
  const std::string path = *line.Value("--inf");
  Outcome outcome;
  outcome.out = std::string(choices.dry_run ? "Would write" : "Wrote") + " a monitor driver for MONITOR\\" + id +
                " that sets its EDID_OVERRIDE: " + path + "\n";
  if (choices.dry_run) return outcome;
  if (const auto written = platform::WriteFileSafely(path, inf); !written) throw NoModeError{written.error()};
  outcome.out +=
      "To install it on Windows: Device Manager, Monitors, the monitor, Update driver, Browse my computer for "
      "drivers, Let me pick from a list, Have Disk, choose " +
      fs::path(path).filename().string() +
      "; then restart. To take it away again: zarn-timing edid uninstall --registry --monitor NAME (as "
      "administrator), or uninstall the monitor with its driver in Device Manager and scan for hardware changes.\n";
  return outcome;
}

}  // namespace

Outcome EdidInstall(std::span<const std::string> arguments, const Environment& environment) {
  const bool install = arguments.front() == "install";
  const CommandLine line(arguments.subspan(1), {{"--connector", 1},
                                                {"--root", 1},
                                                {"--inf", 1},
                                                {"--registry", 0},
                                                {"--monitor", 1},
                                                {"--dry-run", 0},
                                                {"--yes", 0}});
  const Choices choices{line.Has("--dry-run"), line.Has("--yes")};
  const int ways = int{line.Has("--connector")} + int{line.Has("--inf")} + int{line.Has("--registry")};
  const std::string usage = install ? "edid install FILE takes --connector NAME (Linux), --inf FILE or --registry "
                                      "--monitor NAME (Windows), one of them"
                                    : "edid uninstall takes --connector NAME (Linux) or --registry --monitor NAME "
                                      "(Windows), one of them";
  if (ways != 1 || (!install && line.Has("--inf"))) throw UsageError{usage + "; see zarn-timing edid --help."};
#ifdef _WIN32
  if (line.Has("--connector")) {
    throw NoModeError{
        "--connector installs an EDID for the Linux kernel; on Windows, use --inf FILE or --registry "
        "--monitor NAME."};
  }
#else
  if (line.Has("--registry")) {
    throw NoModeError{
        "--registry changes the Windows registry; on Linux the kernel takes an EDID override at boot: "
        "zarn-timing edid install FILE --connector NAME (and --inf FILE writes a driver for Windows)."};
  }
#endif
  if (line.Has("--root") && !line.Has("--connector")) throw UsageError{"--root goes with --connector only."};
  if (line.Has("--monitor") && !line.Has("--registry")) {
    throw UsageError{"--monitor goes with --registry here; on Linux, --connector names the monitor's connector."};
  }
  if (line.Has("--connector")) return Linux(install, line, choices, environment);
  if (line.Has("--registry")) return Registry(install, line, choices, environment);
  return Inf(line, choices, environment);
}

}  // namespace zarn::cli
