// zarn-timing edid install and uninstall for the Linux kernel, into a folder
// laid out as a system's root (--root): the files laid out (path, permission
// bits, bytes) against what the program says, the monitor's own EDID kept
// once, all of it taken away again; and the initramfs-tools hook run against
// an image folder, with Debian's own copy_file and with a stand-in.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/linux_edid_plan.h"
#include "cli/zarn_timing.h"

namespace zarn::cli {
namespace {

namespace fs = std::filesystem;

const std::string kCorpus = ZARN_TEST_DATA_DIR "/edid/";
// The monitors on DP-1 and DP-2, and the EDIDs installed in their place.
const std::string kMonitor = kCorpus + "Digital_AOC_AOC2267_0919A15B97C4.bin";
const std::string kSecondMonitor = kCorpus + "Analog_Dell_DEL4071_92385DD4347D.bin";
const std::string kOverride = kCorpus + "Digital_Dell_DELD177_2ED7B8624A8A.bin";  // three blocks

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Plant(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

// Every file under a folder: its permission bits and bytes.
struct File {
  unsigned mode;
  std::string bytes;
  bool operator==(const File&) const = default;
};
using Tree = std::map<std::string, File>;
Tree Files(const fs::path& folder) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    tree[fs::relative(entry.path(), folder).string()] = {static_cast<unsigned>(entry.status().permissions()) & 07777,
                                                         Read(entry.path())};
  }
  return tree;
}

// A system's root: DP-1 and DP-2 with monitors, HDMI-A-1 without, and
// initramfs-tools.
struct Root {
  Root() : path(fs::temp_directory_path() / ("zarn-root-" + std::to_string(getpid()))) {
    fs::remove_all(path);
    Plant(path / "sys/class/drm/card0-DP-1/edid", Read(kMonitor));
    Plant(path / "sys/class/drm/card0-DP-2/edid", Read(kSecondMonitor));
    Plant(path / "sys/class/drm/card0-HDMI-A-1/edid", "");
    fs::create_directories(path / "etc/initramfs-tools");
  }
  ~Root() { fs::remove_all(path); }
  Outcome Run(std::vector<std::string> arguments, const std::string& answer = "") const {
    arguments.insert(arguments.end(), {"--root", path.string()});
    Environment environment;
    environment.standard_input = [answer] { return answer; };
    return cli::Run(arguments, environment);
  }
  fs::path path;
};

#define EXPECT_SAYS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

TEST(EdidInstall, LaysOutWhatItSaysKeepsTheOriginalOnceAndTakesItAway) {
  const Root root;
  Tree expected = Files(root.path);
  const std::vector<std::string> install{"edid", "install", kOverride, "--connector", "DP-1"};
  // A dry run, and a "no", change nothing.
  Outcome outcome = root.Run({"edid", "install", kOverride, "--connector", "DP-1", "--dry-run"});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_SAYS(outcome.out, "4. Rebuild the initial RAM disk: update-initramfs -u -k all");
  EXPECT_EQ(Files(root.path), expected);
  outcome = root.Run(install, "n\n");
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_SAYS(outcome.err, "nothing was changed");
  EXPECT_EQ(Files(root.path), expected);

  outcome = root.Run(install, "y\n");
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  const Tree added{{"var/lib/zarn/edid/DP-1.original.bin", {0644, Read(kMonitor)}},
                   {"usr/lib/firmware/edid/zarn-DP-1.bin", {0644, Read(kOverride)}},
                   {"etc/initramfs-tools/hooks/zarn-edid", {0755, std::string(HookScript())}}};
  for (const auto& [path, file] : added) {
    expected[path] = file;
    EXPECT_SAYS(outcome.out, (root.path / path).string() + " (written");
  }
  EXPECT_EQ(Files(root.path), expected);
  for (const char* said : {"update-initramfs -u -k all (not run here", "  drm.edid_firmware=DP-1:edid/zarn-DP-1.bin\n",
                           "GRUB_CMDLINE_LINUX_DEFAULT", "update-grub", "press e", "Ctrl+X", "needs debugfs"}) {
    EXPECT_SAYS(outcome.out, said);
  }

  // Now the kernel shows the override on DP-1: the copy kept stays the
  // monitor's own, and a second install replaces the EDID.
  Plant(root.path / "sys/class/drm/card0-DP-1/edid", Read(kOverride));
  Plant(root.path / "sys/module/drm/parameters/edid_firmware", "DP-1:edid/zarn-DP-1.bin\n");
  outcome = root.Run({"edid", "install", kSecondMonitor, "--connector", "DP-1", "--yes"});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_SAYS(outcome.out, "kept before");
  outcome = root.Run({"edid", "install", kOverride, "--connector", "DP-2", "--yes"});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_SAYS(outcome.out, "drm.edid_firmware=DP-1:edid/zarn-DP-1.bin,DP-2:edid/zarn-DP-2.bin\n");
  EXPECT_EQ(Files(root.path)["var/lib/zarn/edid/DP-1.original.bin"], File({0644, Read(kMonitor)}));
  EXPECT_EQ(Files(root.path)["usr/lib/firmware/edid/zarn-DP-1.bin"], File({0644, Read(kSecondMonitor)}));

  // Taken away one after the other: the hook goes with the last EDID; the
  // copies of the monitors' own stay.
  outcome = root.Run({"edid", "uninstall", "--connector", "DP-1", "--yes"});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_SAYS(outcome.out, "the parameter becomes drm.edid_firmware=DP-2:edid/zarn-DP-2.bin.");
  EXPECT_SAYS(outcome.out, "restarted with it, it finds no file");
  EXPECT_TRUE(fs::exists(root.path / "etc/initramfs-tools/hooks/zarn-edid"));
  outcome = root.Run({"edid", "uninstall", "--connector", "DP-2", "--yes"});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_SAYS(outcome.out, "stays in /var/lib/zarn/edid/DP-2.original.bin");
  expected = Files(root.path);
  EXPECT_EQ(
      expected.erase("var/lib/zarn/edid/DP-1.original.bin") + expected.erase("var/lib/zarn/edid/DP-2.original.bin"),
      2u);
  for (const auto& [path, file] : expected) EXPECT_TRUE(path.starts_with("sys/")) << path;
  outcome = root.Run({"edid", "uninstall", "--connector", "DP-2"});
  EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_SAYS(outcome.out, "Nothing to change");
}

TEST(EdidInstall, RefusesWhatTheKernelWouldNotTakeAndChangesNothing) {
  const Root root;
  const Tree before = Files(root.path);
  const std::string good = Read(kOverride);
  const auto file = [&](const std::string& name, std::string bytes, std::size_t at, int change) {
    if (at < bytes.size()) bytes[at] = static_cast<char>(bytes[at] + change);
    Plant(root.path.parent_path() / (root.path.filename().string() + name), bytes);
    return (root.path.parent_path() / (root.path.filename().string() + name)).string();
  };
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::string err;
  } const cases[] = {
      {{"install", file("-base.bin", good, 100, 1), "--connector", "DP-1"}, 1, "checksum of block 0 is wrong"},
      {{"install", file("-cta.bin", good, 300, 1), "--connector", "DP-1"},
       1,
       "block 2 is wrong: the kernel would drop"},
      {{"install", file("-short.bin", good.substr(0, 256), 0, 0), "--connector", "DP-1"}, 1, "counts 2 extension"},
      {{"install", kOverride, "--connector", "DP-3"}, 1, "the connectors are DP-1, DP-2 and HDMI-A-1"},
      {{"install", kOverride, "--connector", "DP-1,HDMI-A-1"}, 2, "not 'DP-1,HDMI-A-1'"},
      {{"install", kOverride, "--connector", "../../etc"}, 2, "--connector takes"},
      {{"install", "-", "--connector", "DP-1"}, 2, "add --yes"},
      {{"install", kOverride, "--registry", "--monitor", "DP-1"}, 1, "Windows registry"},
      {{"install", kOverride}, 2, "one of them"},
      {{"uninstall", "--connector", "DP-1", "--inf", "x.inf"}, 2, "one of them"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments{"edid"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const Outcome outcome = root.Run(arguments, "y\n");
    EXPECT_EQ(outcome.exit_code, c.exit_code) << c.arguments[1] << " -> " << outcome.err;
    EXPECT_SAYS(outcome.err, c.err);
    EXPECT_EQ(Files(root.path), before) << c.arguments[1];
  }
}

TEST(EdidInstall, SaysHowToTryItAtOnceAndWhatCannotBeKept) {
  struct Case {
    std::map<std::string, std::string> planted;
    std::string said;
  } const cases[] = {
      {{{"sys/kernel/debug/dri/1/DP-1/edid_override", ""}, {"sys/kernel/security/lockdown", "[none] integrity\n"}},
       "cat /usr/lib/firmware/edid/zarn-DP-1.bin > /sys/kernel/debug/dri/1/DP-1/edid_override\n"},
      {{{"sys/kernel/debug/dri/1/DP-1/edid_override", ""}, {"sys/kernel/security/lockdown", "none [integrity]\n"}},
       "locked down (integrity, as with Secure Boot)"},
      // The kernel takes an entry without a connector for every connector,
      // and an entry whose name starts the connector's.
      {{{"sys/module/drm/parameters/edid_firmware", "edid/1024x768.bin\n"}}, "not kept as the monitor's own"},
      {{{"sys/module/drm/parameters/edid_firmware", "HDMI-A-1:edid/a.bin,DP:edid/b.bin\n"}},
       "not kept as the monitor's own"},
      {{{"sys/module/drm/parameters/edid_firmware", "DP-10:edid/a.bin\n"}}, "1. Keep the monitor's own EDID"},
      {{{"sys/class/drm/card1-DP-10/edid", ""}}, "gives this EDID to DP-10 as well"},
  };
  for (const Case& c : cases) {
    const Root root;
    for (const auto& [path, content] : c.planted) Plant(root.path / path, content);
    const Outcome outcome = root.Run({"edid", "install", kOverride, "--connector", "DP-1", "--dry-run"});
    EXPECT_EQ(outcome.exit_code, 0) << outcome.err;
    EXPECT_SAYS(outcome.out, c.said);
  }
}

TEST(EdidInstall, TheRunnerSaysHowACommandEnded) {
  using Kind = InstallStep::Kind;
  struct Case {
    InstallStep step;
    std::string said;  // what it did, or why it could not
  } const cases[] = {
      {{Kind::kCommand, "", "/bin/sh", "", 0, false, {"-c", "exit 0"}}, "done"},
      {{Kind::kCommand, "", "/bin/sh", "", 0, false, {"-c", "exit 3"}}, "sh -c exit 3 failed (exit status 3)."},
      {{Kind::kCommand, "", "/bin/sh", "", 0, false, {"-c", "kill -9 $$"}}, "ended by signal 9"},
      {{Kind::kCommand, "", "/no/update-initramfs", "", 0, false, {}}, "Cannot run /no/update-initramfs: No such file"},
  };
  for (const Case& c : cases) {
    const auto done = CarryOut(c.step, "/", true);
    EXPECT_SAYS(done ? *done : done.error(), c.said);
  }
}

// initramfs-tools' copy_file TYPE SOURCE [TARGET], as a stand-in: 1 when the
// file is in the image already.
constexpr const char* kCopyFile = R"(copy_file() {
	target="${DESTDIR}${3:-$2}"
	[ -e "$target" ] && return 1
	mkdir -p "${target%/*}" && cp "$2" "$target"
}
)";

TEST(EdidInstall, TheHookCopiesZarnsEdidsIntoTheImage) {
  const Root root;
  for (const char* connector : {"DP-1", "DP-2"}) {
    ASSERT_EQ(root.Run({"edid", "install", kOverride, "--connector", connector, "--yes"}).exit_code, 0);
  }
  Plant(root.path / "usr/lib/firmware/edid/1024x768.bin", "not Zarn's");
  // The hook as mkinitramfs runs it, its system paths moved under the root.
  std::string hook = Read(root.path / "etc/initramfs-tools/hooks/zarn-edid");
  for (std::size_t at = hook.find("/usr/"); at != std::string::npos; at = hook.find("/usr/", at + 1)) {
    hook.insert(at, root.path.string());
    at += root.path.string().size();
  }
  Plant(root.path / "hook", hook);
  const fs::path image = root.path / "image";
  const std::string run = "cd " + root.path.string() + " && DESTDIR=" + image.string() + " verbose=n sh hook";
  const std::string debian = Read("/usr/share/initramfs-tools/hook-functions");
  ASSERT_NE(debian.find("copy_file()"), std::string::npos) << "initramfs-tools-core is not installed";
  const fs::path copied = image / root.path.relative_path() / "usr/lib/firmware/edid";
  for (const std::string& functions : {std::string(kCopyFile), debian}) {
    Plant(root.path / "usr/share/initramfs-tools/hook-functions", functions);
    fs::remove_all(image);
    EXPECT_EQ(std::system((run + " prereqs >/dev/null").c_str()), 0);
    // Twice: what is in the image already is no failure.
    EXPECT_EQ(std::system(run.c_str()), 0);
    EXPECT_EQ(std::system(run.c_str()), 0);
    const Tree files = Files(image);
    ASSERT_EQ(files.size(), 2u);
    for (const char* name : {"zarn-DP-1.bin", "zarn-DP-2.bin"}) {
      EXPECT_EQ(Read(copied / name), Read(kOverride)) << (copied / name);
    }
  }
}

}  // namespace
}  // namespace zarn::cli
