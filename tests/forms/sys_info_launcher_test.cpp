#include "forms/about/sys_info_launcher.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/platform_fakes.h"

namespace zarn::forms {
namespace {

using testing::MemoryRegistry;
using Strings = std::vector<std::string>;

const std::string kMsInfo = SysInfoLauncher::kMsInfoKey;
const std::string kLocation = SysInfoLauncher::kLocationKey;
const std::string kUnavailable = SysInfoLauncher::kUnavailable;

struct Launcher {
  MemoryRegistry registry;
  testing::RecordingPrograms programs;
  testing::RecordingFiles files;
  testing::RecordingMessages messages;
  SysInfoLauncher launcher{registry, programs, files, messages, "Zarn"};

  // The order of opens and queries, without the handle numbers of the closes.
  Strings Calls() const {
    Strings out;
    for (const auto& call : registry.calls) out.push_back(call.starts_with("close") ? "close" : call);
    return out;
  }
  std::string Read(const std::string& value, bool* ok = nullptr) {
    std::string text = "untouched";
    const bool result = launcher.GetKeyValue(platform::kHKeyLocalMachine, kMsInfo, value, text);
    if (ok != nullptr) *ok = result;
    return text;
  }
};

TEST(StartSysInfo, ShowsTheMessageOnceWhenNeitherKeyExists) {
  Launcher l;
  l.launcher.StartSysInfo();
  ASSERT_EQ(l.messages.shown.size(), 1u);
  EXPECT_EQ(l.messages.shown[0].text, kUnavailable);
  EXPECT_EQ(l.messages.shown[0].caption, "Zarn");
  EXPECT_TRUE(l.programs.started.empty());
  EXPECT_EQ(l.Calls(), (Strings{"open " + kMsInfo, "close", "open " + kLocation, "close"}));
}

TEST(StartSysInfo, StartsThePathValueAsReadWithoutLookingForIt) {
  Launcher l;
  const std::string path = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
  l.registry.AddKey(kMsInfo).values["PATH"] = MemoryRegistry::Text(path);
  l.registry.AddKey(kLocation).values["MSINFO"] = MemoryRegistry::Text("C:\\Tools");
  l.launcher.StartSysInfo();
  EXPECT_EQ(l.programs.started, Strings{path});  // whole, blanks and all, as one path
  EXPECT_TRUE(l.files.searched.empty());
  EXPECT_TRUE(l.messages.shown.empty());
  EXPECT_EQ(l.Calls(), (Strings{"open " + kMsInfo, "query PATH", "close"}));
}

TEST(StartSysInfo, AnUnstartablePathGivesTheMessageWithoutTheSecondKey) {
  Launcher l;
  l.registry.AddKey(kMsInfo).values["PATH"] = MemoryRegistry::Text("C:\\missing.exe");
  l.registry.AddKey(kLocation).values["MSINFO"] = MemoryRegistry::Text("C:\\Tools");
  l.files.existing = {"C:\\Tools\\MSINFO32.EXE"};
  l.programs.fail = true;
  l.launcher.StartSysInfo();
  EXPECT_EQ(l.programs.started, Strings{"C:\\missing.exe"});
  EXPECT_EQ(l.messages.shown.size(), 1u);
  EXPECT_EQ(l.Calls(), (Strings{"open " + kMsInfo, "query PATH", "close"}));
}

TEST(StartSysInfo, FallsBackToTheFolderValueWhenTheFileIsThere) {
  Launcher l;
  l.registry.AddKey(kMsInfo);  // key without the PATH value
  l.registry.AddKey(kLocation).values["MSINFO"] = MemoryRegistry::Text("C:\\Tools");
  l.files.existing = {"C:\\Tools\\MSINFO32.EXE"};
  l.launcher.StartSysInfo();
  EXPECT_EQ(l.files.searched, Strings{"C:\\Tools\\MSINFO32.EXE"});
  EXPECT_EQ(l.programs.started, Strings{"C:\\Tools\\MSINFO32.EXE"});
  EXPECT_TRUE(l.messages.shown.empty());
  EXPECT_EQ(l.Calls(),
            (Strings{"open " + kMsInfo, "query PATH", "close", "open " + kLocation, "query MSINFO", "close"}));
}

TEST(StartSysInfo, AppendsTheFileNameWhateverTheFolderEndsWith) {
  Launcher l;
  l.registry.AddKey(kLocation).values["MSINFO"] = MemoryRegistry::Text("C:\\Tools\\");
  l.files.existing = {"C:\\Tools\\\\MSINFO32.EXE"};
  l.launcher.StartSysInfo();
  EXPECT_EQ(l.programs.started, Strings{"C:\\Tools\\\\MSINFO32.EXE"});
}

TEST(StartSysInfo, ShowsTheMessageWhenTheFolderHasNoTool) {
  Launcher l;
  l.registry.AddKey(kLocation).values["MSINFO"] = MemoryRegistry::Text("C:\\Tools");
  l.launcher.StartSysInfo();
  EXPECT_EQ(l.files.searched, Strings{"C:\\Tools\\MSINFO32.EXE"});
  EXPECT_TRUE(l.programs.started.empty());
  EXPECT_EQ(l.messages.shown.size(), 1u);

  Launcher failing;  // a search that fails outright counts the same
  failing.registry.AddKey(kLocation).values["MSINFO"] = MemoryRegistry::Text("C:\\Tools");
  failing.files.fail = true;
  failing.launcher.StartSysInfo();
  EXPECT_EQ(failing.messages.shown.size(), 1u);
}

TEST(StartSysInfo, AnExpandableTextPathIsReadEmptyAndFails) {
  Launcher l;
  l.registry.AddKey(kMsInfo).values["PATH"] = {platform::kRegExpandSz, {'%', 'X', '%', 0}};
  l.registry.AddKey(kLocation).values["MSINFO"] = MemoryRegistry::Text("C:\\Tools");
  l.files.existing = {"C:\\Tools\\MSINFO32.EXE"};
  l.programs.fail = true;  // an empty path cannot be started
  l.launcher.StartSysInfo();
  EXPECT_EQ(l.programs.started, Strings{""});
  EXPECT_EQ(l.messages.shown.size(), 1u);
  EXPECT_EQ(l.Calls(), (Strings{"open " + kMsInfo, "query PATH", "close"}));
}

TEST(StartSysInfo, AZeroBytePathGivesTheMessageWithoutTheSecondKey) {
  Launcher l;
  l.registry.AddKey(kMsInfo).values["PATH"] = {platform::kRegSz, {}};
  l.registry.AddKey(kLocation).values["MSINFO"] = MemoryRegistry::Text("C:\\Tools");
  l.files.existing = {"C:\\Tools\\MSINFO32.EXE"};
  l.launcher.StartSysInfo();
  EXPECT_TRUE(l.programs.started.empty());
  EXPECT_EQ(l.messages.shown.size(), 1u);
  EXPECT_EQ(l.Calls(), (Strings{"open " + kMsInfo, "query PATH", "close"}));
}

TEST(StartSysInfo, OpensReadOnlySoAStandardUserReachesTheTool) {
  Launcher l;
  l.registry.AddKey(kMsInfo, /*writable=*/false).values["PATH"] = MemoryRegistry::Text("C:\\msinfo32.exe");
  l.launcher.StartSysInfo();
  EXPECT_EQ(l.programs.started, Strings{"C:\\msinfo32.exe"});
  EXPECT_TRUE(l.messages.shown.empty());
  ASSERT_EQ(l.registry.accessMasks.size(), 1u);
  EXPECT_EQ(l.registry.accessMasks[0], platform::kKeyRead);
  // The same key denies the mask that asks for write rights too.
  platform::RegistryHandle handle = 0;
  EXPECT_EQ(l.registry.OpenKey(platform::kHKeyLocalMachine, kMsInfo, 0, 0x2003F, handle), platform::kErrorAccessDenied);
}

TEST(GetKeyValue, TrimsOnlyOneTerminatingZero) {
  Launcher l;
  auto& values = l.registry.AddKey(kMsInfo).values;
  values["one"] = MemoryRegistry::Text("abc", 1);
  values["two"] = MemoryRegistry::Text("abc", 2);
  values["none"] = MemoryRegistry::Text("abc", 0);
  values["full"] = MemoryRegistry::Text(std::string(1024, 'x'), 0);
  values["fullzero"] = MemoryRegistry::Text(std::string(1023, 'x'), 1);
  EXPECT_EQ(l.Read("one"), "abc");
  EXPECT_EQ(l.Read("two"), std::string("abc\0", 4));
  EXPECT_EQ(l.Read("none"), "abc");
  EXPECT_EQ(l.Read("full"), std::string(1024, 'x'));
  EXPECT_EQ(l.Read("fullzero"), std::string(1023, 'x'));
  for (const auto size : l.registry.bufferSizes) EXPECT_EQ(size, 1024u);
  EXPECT_TRUE(l.registry.buffersZeroed);
}

TEST(GetKeyValue, FailsWithEmptyTextForMissingOrOversizedValues) {
  Launcher l;
  l.registry.AddKey(kMsInfo).values["big"] = MemoryRegistry::Text(std::string(1024, 'x'), 1);  // 1025 bytes
  bool ok = true;
  EXPECT_EQ(l.Read("big", &ok), "");
  EXPECT_FALSE(ok);
  EXPECT_EQ(l.Read("absent", &ok), "");
  EXPECT_FALSE(ok);
  std::string text = "untouched";
  EXPECT_FALSE(l.launcher.GetKeyValue(platform::kHKeyLocalMachine, "SOFTWARE\\Nowhere", "PATH", text));
  EXPECT_EQ(text, "");
  EXPECT_EQ(l.Calls().back(), "close");  // also after the failed open
}

TEST(GetKeyValue, WritesNumbersAsHexadecimalFromTheLastByte) {
  Launcher l;
  auto& values = l.registry.AddKey(kMsInfo).values;
  values["small"] = MemoryRegistry::Dword(6699);        // 2B 1A 00 00: the top zero byte is dropped
  values["large"] = MemoryRegistry::Dword(0x12345678);  // no zero at the end: all four bytes
  values["zero"] = MemoryRegistry::Dword(0);
  bool ok = false;
  EXPECT_EQ(l.Read("small", &ok), "&h001A2B");
  EXPECT_TRUE(ok);
  EXPECT_EQ(l.Read("large"), "&h12345678");
  EXPECT_EQ(l.Read("zero"), "&h000000");
}

TEST(GetKeyValue, KeepsTheTextForOtherTypes) {
  Launcher l;
  l.registry.AddKey(kMsInfo).values["binary"] = {3, {1, 2, 3}};
  bool ok = false;
  EXPECT_EQ(l.Read("binary", &ok), "untouched");
  EXPECT_TRUE(ok);
}

TEST(GetKeyValue, RaisesForZeroBytesAfterClosingTheKey) {
  Launcher l;
  l.registry.AddKey(kMsInfo).values["empty"] = {platform::kRegSz, {}};
  std::string text = "untouched";
  EXPECT_THROW(l.launcher.GetKeyValue(platform::kHKeyLocalMachine, kMsInfo, "empty", text), std::invalid_argument);
  EXPECT_EQ(text, "untouched");
  EXPECT_EQ(l.Calls(), (Strings{"open " + kMsInfo, "query empty", "close"}));
}

}  // namespace
}  // namespace zarn::forms
