#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/install_steps.h"

namespace zarn::cli {

// Where an EDID override for the Linux kernel lives. The kernel loads
// drm.edid_firmware=DP-1:edid/zarn-DP-1.bin from /lib/firmware (the same
// folder as /usr/lib/firmware on a merged /usr) at boot, before the root file
// system is mounted, so the file has to be in the initial RAM disk as well.
inline constexpr std::string_view kFirmwareFolder = "/usr/lib/firmware/edid";
inline constexpr std::string_view kOriginalFolder = "/var/lib/zarn/edid";
inline constexpr std::string_view kHookPath = "/etc/initramfs-tools/hooks/zarn-edid";
inline constexpr std::string_view kUpdateInitramfs = "/usr/sbin/update-initramfs";

// What the system holds now, as the installer found it.
struct LinuxEdidSystem {
  std::string connector;                // the one to change: "DP-1"
  std::vector<std::string> connectors;  // every connector under /sys/class/drm
  // What /sys/class/drm/card*-DP-1/edid holds now: the monitor's own EDID, an
  // override the kernel loaded, or nothing.
  std::vector<std::uint8_t> shown_edid;
  bool original_kept = false;  // /var/lib/zarn/edid/DP-1.original.bin is there
  // The drm module's edid_firmware parameter now (empty without one).
  std::string edid_firmware;
  bool initramfs_tools = false;        // /etc/initramfs-tools is there
  bool hook_installed = false;         // so is the hook
  std::vector<std::string> installed;  // the connectors with a Zarn EDID now
  std::vector<std::string> debugfs;    // /sys/kernel/debug/dri/N/DP-1/edid_override
  std::string lockdown;                // "none", "integrity", ...; empty when unknown
};

struct InstallPlan {
  std::vector<InstallStep> steps;
  std::string notes;  // what the user does by hand, and how to undo it
};

// The plans, made from what the system holds: no step that is not needed.
InstallPlan PlanEdidInstall(const LinuxEdidSystem& system, std::span<const std::uint8_t> edid);
InstallPlan PlanEdidUninstall(const LinuxEdidSystem& system);

// Whether a connector name can go into the boot parameter and a file name:
// letters, digits and dashes, as the kernel names connectors.
bool IsConnectorName(std::string_view name);

// Why the kernel's EDID firmware loader would refuse the bytes or drop part of
// them (a size other than the base block counts, a bad header, version or
// checksum); nullopt when it takes them whole.
std::optional<std::string> KernelRefusal(std::span<const std::uint8_t> edid);

// Whether the kernel gives the connector an EDID from this edid_firmware
// value: the first entry "NAME:FILE" whose NAME starts the connector's name,
// or else an entry without a name.
bool FirmwareCovers(std::string_view edid_firmware, std::string_view connector);

// drm.edid_firmware=... for these connectors' Zarn EDIDs.
std::string KernelParameter(std::vector<std::string> connectors);

// The initramfs-tools hook: copies every Zarn EDID into the image.
std::string_view HookScript();

std::string FirmwarePath(std::string_view connector);
std::string OriginalPath(std::string_view connector);

}  // namespace zarn::cli
