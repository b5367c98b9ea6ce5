// The steps that install an EDID override for the Linux kernel and take it
// away again, made from what the system holds; nothing here touches it.
#include "cli/linux_edid_plan.h"

#include <algorithm>

#include "cli/command_line.h"

namespace zarn::cli {
namespace {

using Kind = InstallStep::Kind;

constexpr std::size_t kBlock = 128;

constexpr std::string_view kHook = R"(#!/bin/sh
# Written by zarn-timing edid install, and removed by zarn-timing edid
# uninstall with the last EDID. Copies the EDIDs Zarn installed in
# /usr/lib/firmware/edid into the initial RAM disk: the kernel loads the file
# of drm.edid_firmware= from there, before the root file system is mounted.
PREREQ=""
case "$1" in
prereqs)
	echo "$PREREQ"
	exit 0
	;;
esac

. /usr/share/initramfs-tools/hook-functions

for edid in /usr/lib/firmware/edid/zarn-*.bin; do
	[ -f "$edid" ] || continue
	# 1 says the file is in the image already.
	copy_file firmware "$edid" || [ $? -eq 1 ] || exit 1
done
exit 0
)";

bool Holds(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The other connectors the kernel gives this connector's entry as well: those
// whose names start with it and that have no entry of their own.
std::vector<std::string> AlsoCovered(const LinuxEdidSystem& system, const std::vector<std::string>& entries) {
  std::vector<std::string> covered;
  for (const std::string& other : system.connectors) {
    if (other != system.connector && other.starts_with(system.connector) && !Holds(entries, other)) {
      covered.push_back(other);
    }
  }
  return covered;
}

// Trying an override before a restart, or going back at once: debugfs takes an
// EDID for the connector unless the kernel is locked down.
std::string AtOnce(const LinuxEdidSystem& system, bool install) {
  if (!system.lockdown.empty() && system.lockdown != "none") {
    if (!install) return {};
    return "Trying it before a restart is not possible here: the kernel is locked down (" + system.lockdown +
           ", as with Secure Boot), and debugfs then takes no EDID. The boot parameter works all the same.\n";
  }
  if (system.debugfs.empty()) {
    if (!install) return {};
    return "Trying it before a restart needs debugfs (as root: mount -t debugfs none /sys/kernel/debug) and a kernel "
           "that offers /sys/kernel/debug/dri/N/" +
           system.connector + "/edid_override; it is not there now.\n";
  }
  std::string text = install ? "To try it now, before a restart (as root):\n" : "To go back at once (as root):\n";
  for (const std::string& file : system.debugfs) {
    text += install ? "  cat " + FirmwarePath(system.connector) + " > " + file + "\n" : "  echo reset > " + file + "\n";
  }
  if (install) {
    text += "The modes change at the next probe (xrandr, or unplug the monitor and plug it back in); echo reset > " +
            system.debugfs.front() + " goes back to the monitor's own EDID.\n";
  }
  return text;
}

}  // namespace

bool IsConnectorName(std::string_view name) {
  if (name.empty() || name.size() > 32 || name.front() == '-') return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
  });
}

std::optional<std::string> KernelRefusal(std::span<const std::uint8_t> edid) {
  static constexpr std::uint8_t kHeader[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  if (edid.size() < kBlock || !std::equal(std::begin(kHeader), std::end(kHeader), edid.begin())) {
    return "The file does not start with an EDID base block.";
  }
  const std::size_t counted = (std::size_t{edid[126]} + 1) * kBlock;
  if (edid.size() != counted) {
    return "The EDID is " + std::to_string(edid.size()) + " bytes, but its base block counts " +
           std::to_string(edid[126]) + " extension blocks: the kernel loads only a file of " + std::to_string(counted) +
           " bytes.";
  }
  if (edid[18] != 1) return "The EDID is of version " + std::to_string(edid[18]) + "; the kernel takes version 1.";
  for (std::size_t block = 0; block < edid.size() / kBlock; ++block) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < kBlock; ++i) sum += edid[block * kBlock + i];
    if (sum % 256 != 0) {
      return "The checksum of block " + std::to_string(block) + " is wrong: the kernel would " +
             (block == 0 ? "refuse the EDID." : "drop the block.");
    }
  }
  return std::nullopt;
}

bool FirmwareCovers(std::string_view edid_firmware, std::string_view connector) {
  while (!edid_firmware.empty() && (edid_firmware.back() == '\n' || edid_firmware.back() == ' ')) {
    edid_firmware.remove_suffix(1);
  }
  bool fallback = false;
  while (!edid_firmware.empty()) {
    const std::size_t comma = edid_firmware.find(',');
    const std::string_view entry = edid_firmware.substr(0, comma);
    const std::size_t colon = entry.find(':');
    if (colon != std::string_view::npos) {
      if (connector.starts_with(entry.substr(0, colon))) return true;
    } else if (!entry.empty()) {
      fallback = true;
    }
    if (comma == std::string_view::npos) break;
    edid_firmware.remove_prefix(comma + 1);
  }
  return fallback;
}

std::string KernelParameter(std::vector<std::string> connectors) {
  // The kernel takes the first entry whose name starts the connector's: DP-10
  // goes before DP-1, so that each finds its own.
  std::sort(connectors.begin(), connectors.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() > b.size() : a < b;
  });
  std::string parameter = "drm.edid_firmware=";
  for (std::size_t i = 0; i < connectors.size(); ++i) {
    parameter += (i == 0 ? "" : ",") + connectors[i] + ":edid/zarn-" + connectors[i] + ".bin";
  }
  return parameter;
}

std::string_view HookScript() { return kHook; }

std::string FirmwarePath(std::string_view connector) {
  return std::string(kFirmwareFolder) + "/zarn-" + std::string(connector) + ".bin";
}

std::string OriginalPath(std::string_view connector) {
  return std::string(kOriginalFolder) + "/" + std::string(connector) + ".original.bin";
}

InstallPlan PlanEdidInstall(const LinuxEdidSystem& system, std::span<const std::uint8_t> edid) {
  const std::string& connector = system.connector;
  InstallPlan plan;
  std::string kept;
  if (system.original_kept) {
    kept = "The monitor's own EDID was kept before, in " + OriginalPath(connector) + "; it stays as it was.\n";
  } else if (system.shown_edid.empty()) {
    kept = connector + " shows no EDID now (no monitor, or one that sends none): there is none of its own to keep.\n";
  } else if (FirmwareCovers(system.edid_firmware, connector)) {
    kept = "The EDID " + connector + " shows now comes from drm.edid_firmware=" + system.edid_firmware +
           ", not from the monitor: it is not kept as the monitor's own.\n";
  } else {
    plan.steps.push_back({Kind::kFile,
                          "Keep the monitor's own EDID, to go back to",
                          OriginalPath(connector),
                          std::string(system.shown_edid.begin(), system.shown_edid.end()),
                          0644,
                          true,
                          {}});
    kept = "The monitor's own EDID is kept in " + OriginalPath(connector) + ".\n";
  }
  plan.steps.push_back({Kind::kFile,
                        Holds(system.installed, connector) ? "Replace the EDID the kernel's firmware loader finds"
                                                           : "Put the EDID where the kernel's firmware loader finds it",
                        FirmwarePath(connector),
                        std::string(edid.begin(), edid.end()),
                        0644,
                        false,
                        {}});

  std::vector<std::string> all = system.installed;
  if (!Holds(all, connector)) all.push_back(connector);
  const std::string parameter = KernelParameter(all);
  std::string& notes = plan.notes;
  if (system.initramfs_tools) {
    plan.steps.push_back({Kind::kFile,
                          "Add a hook that copies Zarn's EDIDs into the initial RAM disk",
                          std::string(kHookPath),
                          std::string(kHook),
                          0755,
                          false,
                          {}});
    plan.steps.push_back({Kind::kCommand,
                          "Rebuild the initial RAM disk",
                          std::string(kUpdateInitramfs),
                          "",
                          0,
                          false,
                          {"-u", "-k", "all"}});
  } else {
    notes += "This system has no initramfs-tools (/etc/initramfs-tools): put " + FirmwarePath(connector) +
             " into the initial RAM disk yourself (dracut: install_items+=\" " + FirmwarePath(connector) +
             " \" in a file in /etc/dracut.conf.d, then dracut -f; mkinitcpio: add it to FILES=() in "
             "/etc/mkinitcpio.conf, then mkinitcpio -P).\n";
  }
  notes += "To use it, start Linux with the kernel parameter\n  " + parameter +
           "\nWith GRUB: add it inside the quotes of GRUB_CMDLINE_LINUX_DEFAULT in /etc/default/grub, run update-grub "
           "and restart. Where the line has a drm.edid_firmware= already, this one takes its place, with any entries "
           "of the old one for other connectors after a comma.\n";
  if (const auto also = AlsoCovered(system, all); !also.empty()) {
    notes += "The kernel gives this EDID to " + Listed(also, " and ") + " as well: it takes the entry " + connector +
             ": for every connector whose name starts with " + connector + " and that has none of its own.\n";
  }
  notes += AtOnce(system, true);
  notes +=
      "If the screen stays dark after the restart: show the GRUB menu (hold Shift, or press Esc, as the "
      "computer starts), press e, delete drm.edid_firmware=... from the line that starts with linux, and press "
      "Ctrl+X to start. Then take the parameter out of /etc/default/grub and run update-grub, or run "
      "zarn-timing edid uninstall --connector " +
      connector + ".\n";
  notes += kept;
  return plan;
}

InstallPlan PlanEdidUninstall(const LinuxEdidSystem& system) {
  const std::string& connector = system.connector;
  InstallPlan plan;
  std::vector<std::string> others = system.installed;
  std::erase(others, connector);
  std::string& notes = plan.notes;
  if (Holds(system.installed, connector)) {
    plan.steps.push_back({Kind::kRemove, "Remove the EDID", FirmwarePath(connector), "", 0, false, {}});
  } else {
    notes += "Zarn has no EDID installed for " + connector + " (" + FirmwarePath(connector) + " is not there).\n";
  }
  if (system.hook_installed && others.empty()) {
    plan.steps.push_back(
        {Kind::kRemove, "Remove the hook, since no Zarn EDID is left", std::string(kHookPath), "", 0, false, {}});
  }
  if (system.initramfs_tools && !plan.steps.empty()) {
    plan.steps.push_back({Kind::kCommand,
                          "Rebuild the initial RAM disk without it",
                          std::string(kUpdateInitramfs),
                          "",
                          0,
                          false,
                          {"-u", "-k", "all"}});
  }
  notes += "Take " + KernelParameter({connector}) +
           " out of the kernel's parameters: with GRUB, out of GRUB_CMDLINE_LINUX_DEFAULT in /etc/default/grub, then "
           "run update-grub and restart.";
  notes += others.empty() ? "\n" : " For the other monitors the parameter becomes " + KernelParameter(others) + ".\n";
  if (FirmwareCovers(system.edid_firmware, connector)) {
    notes += "Linux runs with drm.edid_firmware=" + system.edid_firmware +
             " now: restarted with it, it finds no file and goes back to the monitor's own EDID, with an error in its "
             "log.\n";
  }
  notes += AtOnce(system, false);
  if (system.original_kept) notes += "The monitor's own EDID stays in " + OriginalPath(connector) + ".\n";
  return plan;
}

}  // namespace zarn::cli
