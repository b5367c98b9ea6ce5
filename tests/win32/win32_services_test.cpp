// The Win32 platform layer against the real registry, file system and process
// start (under Wine on Linux). The message box and the shell stay fakes.
#include "platform/win32/win32_services.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/about/sys_info_launcher.h"
#include "tests/support/platform_fakes.h"

namespace zarn::platform {
namespace {

const char* const kTestKey = "SOFTWARE\\ZarnTest";

void SetValue(const std::string& key, const std::string& name, DWORD type, const std::vector<BYTE>& bytes) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(handle, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(handle);
}

std::vector<BYTE> Bytes(const std::string& text, int zeros) {
  std::vector<BYTE> bytes(text.begin(), text.end());
  bytes.insert(bytes.end(), static_cast<std::size_t>(zeros), 0);
  return bytes;
}

void DeleteKey(const std::string& key) { RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str()); }

std::string TempFolder() {
  char buffer[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, buffer);
  std::string folder = std::string(buffer) + "zarn test " + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Waits (bounded) for a started program's proof file.
bool AppearsWithin(const std::string& path, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

std::string HelperPath() {
  char buffer[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path = buffer;
  return path.substr(0, path.find_last_of('\\') + 1) + "zarn_proof_writer.exe";
}

struct Launcher {
  Win32Registry registry;
  Win32ProgramStarter programs;
  Win32FileFinder files;
  testing::RecordingMessages messages;
  forms::SysInfoLauncher launcher{registry, programs, files, messages, "Zarn"};

  std::string Read(const std::string& value, bool* ok = nullptr) {
    std::string text = "untouched";
    const bool result = launcher.GetKeyValue(kHKeyLocalMachine, kTestKey, value, text);
    if (ok != nullptr) *ok = result;
    return text;
  }
};

class Win32Registry : public ::testing::Test {
 protected:
  void SetUp() override { DeleteKey(kTestKey); }
  void TearDown() override { DeleteKey(kTestKey); }
};

TEST_F(Win32Registry, GetKeyValueReadsTextWithTheOneByteTrim) {
  SetValue(kTestKey, "one", REG_SZ, Bytes("abc", 1));
  SetValue(kTestKey, "two", REG_SZ, Bytes("abc", 2));
  SetValue(kTestKey, "none", REG_SZ, Bytes("abc", 0));
  SetValue(kTestKey, "almost", REG_SZ, Bytes(std::string(1023, 'x'), 0));
  SetValue(kTestKey, "full", REG_SZ, Bytes(std::string(1024, 'x'), 0));
  SetValue(kTestKey, "big", REG_SZ, Bytes(std::string(1024, 'x'), 1));
  Launcher l;
  EXPECT_EQ(l.Read("one"), "abc");
  EXPECT_EQ(l.Read("two"), std::string("abc\0", 4));
  EXPECT_EQ(l.Read("none"), "abc");
  EXPECT_EQ(l.Read("almost"), std::string(1023, 'x'));
  // The ANSI query hands a text back with a terminating zero even when it was
  // stored without one: 1024 stored bytes need 1025 and count as missing.
  bool ok = true;
  EXPECT_EQ(l.Read("full", &ok), "");
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(l.Read("big", &ok), "");  // over 1024 bytes: missing
  EXPECT_FALSE(ok);
  EXPECT_EQ(l.Read("absent", &ok), "");
  EXPECT_FALSE(ok);
}

TEST_F(Win32Registry, GetKeyValueHandlesNumbersOtherTypesAndZeroBytes) {
  SetValue(kTestKey, "number", REG_DWORD, {0x2B, 0x1A, 0x00, 0x00});
  SetValue(kTestKey, "expand", REG_EXPAND_SZ, Bytes("%SystemRoot%", 1));
  SetValue(kTestKey, "empty", REG_SZ, {});
  Launcher l;
  EXPECT_EQ(l.Read("number"), "&h001A2B");
  bool ok = false;
  EXPECT_EQ(l.Read("expand", &ok), "untouched");
  EXPECT_TRUE(ok);
  std::string text = "untouched";
  EXPECT_THROW(l.launcher.GetKeyValue(kHKeyLocalMachine, kTestKey, "empty", text), std::invalid_argument);
  text = "x";
  EXPECT_FALSE(l.launcher.GetKeyValue(kHKeyLocalMachine, "SOFTWARE\\ZarnTest\\Nowhere", "PATH", text));
  EXPECT_EQ(text, "");
}

TEST(Win32Files, MatchOrdinaryFilesOnly) {
  const std::string folder = TempFolder();
  const std::string file = folder + "\\MSINFO32.EXE";
  const std::string hidden = folder + "\\hidden.exe";
  CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  CloseHandle(CreateFileA(hidden.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
  Win32FileFinder files;
  EXPECT_TRUE(files.OrdinaryFileExists(file));
  EXPECT_FALSE(files.OrdinaryFileExists(folder));
  EXPECT_FALSE(files.OrdinaryFileExists(hidden));
  EXPECT_FALSE(files.OrdinaryFileExists(folder + "\\absent.exe"));
}

TEST(Win32Programs, StartTheExactPathWithBlanks) {
  const std::string root = TempFolder();
  const std::string programFiles = root + "\\Program Files";
  const std::string common = programFiles + "\\Common Files";
  CreateDirectoryA(programFiles.c_str(), nullptr);
  CreateDirectoryA(common.c_str(), nullptr);
  const std::string tool = common + "\\proof writer.exe";
  // Programs named like the path's first words must never run.
  const std::string decoys[] = {root + "\\Program.exe", programFiles + "\\Common.exe", common + "\\proof.exe"};
  ASSERT_TRUE(CopyFileA(HelperPath().c_str(), tool.c_str(), FALSE));
  for (const auto& decoy : decoys) ASSERT_TRUE(CopyFileA(HelperPath().c_str(), decoy.c_str(), FALSE));

  Win32ProgramStarter programs;
  programs.Start(tool);
  EXPECT_TRUE(AppearsWithin(tool + ".ran", 20000));
  for (const auto& decoy : decoys) EXPECT_EQ(GetFileAttributesA((decoy + ".ran").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_THROW(programs.Start(root + "\\absent.exe"), std::runtime_error);
  EXPECT_THROW(programs.Start(""), std::runtime_error);
}

TEST(Win32Launcher, StartsTheToolFromEitherRegistryValue) {
  const std::string msinfo = forms::SysInfoLauncher::kMsInfoKey;
  const std::string location = forms::SysInfoLauncher::kLocationKey;
  DeleteKey(msinfo);
  DeleteKey(location);
  const std::string folder = TempFolder() + "\\Shared Tools";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string tool = folder + "\\MSINFO32.EXE";
  ASSERT_TRUE(CopyFileA(HelperPath().c_str(), tool.c_str(), FALSE));

  {  // The folder value, with a trailing backslash: searched and started with two.
    SetValue(location, "MSINFO", REG_SZ, Bytes(folder + "\\", 1));
    Launcher l;
    l.launcher.StartSysInfo();
    EXPECT_TRUE(l.messages.shown.empty());
    EXPECT_TRUE(AppearsWithin(tool + ".ran", 20000));
  }
  DeleteFileA((tool + ".ran").c_str());
  {  // The PATH value first, exactly as read.
    SetValue(msinfo, "PATH", REG_SZ, Bytes(tool, 1));
    Launcher l;
    l.launcher.StartSysInfo();
    EXPECT_TRUE(l.messages.shown.empty());
    EXPECT_TRUE(AppearsWithin(tool + ".ran", 20000));
  }
  {  // A PATH that names nothing: the message, without the folder value.
    SetValue(msinfo, "PATH", REG_SZ, Bytes(folder + "\\absent.exe", 1));
    Launcher l;
    l.launcher.StartSysInfo();
    ASSERT_EQ(l.messages.shown.size(), 1u);
    EXPECT_EQ(l.messages.shown[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(l.messages.shown[0].caption, "Zarn");
  }
  DeleteKey(msinfo);
  DeleteKey(location);
  {
    Launcher l;
    l.launcher.StartSysInfo();
    EXPECT_EQ(l.messages.shown.size(), 1u);
  }
}

}  // namespace
}  // namespace zarn::platform
