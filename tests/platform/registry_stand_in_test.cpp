#include "platform/desktop/registry_stand_in.h"

#include <gtest/gtest.h>

#include "forms/about/sys_info_launcher.h"
#include "tests/support/platform_fakes.h"

namespace zarn::platform {
namespace {

const std::string kToolKey = forms::SysInfoLauncher::kMsInfoKey;

TEST(RegistryStandIn, AnswersOnlyTheToolLookupReadOnly) {
  RegistryStandIn registry([] { return std::string("/usr/bin/hardinfo"); });
  RegistryHandle handle = 0;
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, forms::SysInfoLauncher::kLocationKey, 0, kKeyRead, handle),
            kErrorFileNotFound);
  EXPECT_EQ(registry.OpenKey(0x80000001, kToolKey, 0, kKeyRead, handle), kErrorFileNotFound);
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, kToolKey, 0, 0x2003F, handle), kErrorAccessDenied);
  ASSERT_EQ(registry.OpenKey(kHKeyLocalMachine, kToolKey, 0, kKeyRead, handle), kErrorSuccess);

  std::array<std::uint8_t, 1024> buffer{};
  std::uint32_t type = 0;
  std::uint32_t size = 1024;
  EXPECT_EQ(registry.QueryValue(handle, "Other", type, buffer, size), kErrorFileNotFound);
  ASSERT_EQ(registry.QueryValue(handle, "PATH", type, buffer, size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 18u);  // the path and its terminating zero
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data())), "/usr/bin/hardinfo");

  std::array<std::uint8_t, 4> small{};
  size = 4;
  EXPECT_EQ(registry.QueryValue(handle, "PATH", type, small, size), kErrorMoreData);
  EXPECT_EQ(registry.CloseKey(handle), kErrorSuccess);
}

TEST(RegistryStandIn, FailsTheOpenWithoutAnInstalledTool) {
  RegistryStandIn registry([] { return std::string(); });
  RegistryHandle handle = 0;
  EXPECT_EQ(registry.OpenKey(kHKeyLocalMachine, kToolKey, 0, kKeyRead, handle), kErrorFileNotFound);
}

TEST(RegistryStandIn, LetsTheLauncherStartTheDesktopTool) {
  RegistryStandIn registry([] { return std::string("/opt/tools/system info/kinfocenter"); });
  testing::RecordingPrograms programs;
  testing::RecordingFiles files;
  testing::RecordingMessages messages;
  forms::SysInfoLauncher launcher(registry, programs, files, messages, "Zarn");
  launcher.StartSysInfo();
  EXPECT_EQ(programs.started, std::vector<std::string>{"/opt/tools/system info/kinfocenter"});
  EXPECT_TRUE(messages.shown.empty());

  RegistryStandIn none([] { return std::string(); });
  forms::SysInfoLauncher nothing(none, programs, files, messages, "Zarn");
  nothing.StartSysInfo();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "System Information Is Unavailable At This Time");
}

}  // namespace
}  // namespace zarn::platform
