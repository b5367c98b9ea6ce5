// The monitors' EDIDs and EDID overrides in the real registry, and the
// monitor INF installed by the system's own setupapi (under Wine on Linux);
// zarn-timing edid install and uninstall over both.
#include "platform/monitors.h"
// Before windows.h, whose objbase.h makes "interface" a macro.
#include "modes/edid_reader.h"

#include <windows.h>

#include <initguid.h>

#include <devguid.h>
#include <sddl.h>
#include <setupapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/zarn_timing.h"
#include "modes/monitor_inf.h"

namespace zarn::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::HasSubstr;

const std::wstring kDisplay = L"SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\";
// Two real monitors: an analogue one (one block) and a digital one (three).
const char* const kAnalog = "Analog_Dell_DEL4071_92385DD4347D.bin";
const char* const kDigital = "Digital_Dell_DELD177_2ED7B8624A8A.bin";

Bytes Corpus(const std::string& name) {
  std::ifstream file(std::filesystem::path(ZARN_TEST_DATA_DIR) / "edid" / name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// hw-probe names each EDID of the corpus after the monitor's ID, which
// Windows derives the same way: TYPE_VENDOR_ID_HASH.bin.
std::string NamedId(const std::string& file) {
  const std::size_t end = file.rfind('_');
  const std::size_t start = file.rfind('_', end - 1) + 1;
  return file.substr(start, end - start);
}

std::wstring Parameters(const std::wstring& instance) { return kDisplay + instance + L"\\Device Parameters"; }

// Makes the key, with the value unless its type is REG_NONE.
void Plant(const std::wstring& key, const wchar_t* name, DWORD type, const Bytes& value) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  if (type != REG_NONE) {
    EXPECT_EQ(RegSetValueExW(handle, name, 0, type, value.data(), static_cast<DWORD>(value.size())), ERROR_SUCCESS);
  }
  RegCloseKey(handle);
}

// The values of a key, by name, with their types: {"0", REG_BINARY, bytes}.
struct Value {
  std::wstring name;
  DWORD type;
  Bytes bytes;
  bool operator==(const Value&) const = default;
};
void PrintTo(const Value& value, std::ostream* out) {
  *out << "{" << std::string(value.name.begin(), value.name.end()) << ", type " << value.type << ",";
  for (const std::uint8_t byte : value.bytes) *out << " " << std::hex << int{byte} << std::dec;
  *out << "}";
}
std::vector<Value> Values(const std::wstring& key) {
  std::vector<Value> values;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    wchar_t name[64];
    DWORD length = 64, type = 0, size = 4096;
    Bytes bytes(size);
    if (RegEnumValueW(handle, i, name, &length, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) break;
    bytes.resize(size);
    values.push_back({std::wstring(name, length), type, bytes});
  }
  RegCloseKey(handle);
  std::sort(values.begin(), values.end(), [](const Value& a, const Value& b) { return a.name < b.name; });
  return values;
}

// What an override of these bytes holds: one binary value per block.
std::vector<Value> Blocks(const Bytes& edid) {
  std::vector<Value> blocks;
  for (std::size_t at = 0; at < edid.size(); at += 128) {
    const auto start = edid.begin() + static_cast<std::ptrdiff_t>(at);
    blocks.push_back({std::to_wstring(at / 128), REG_BINARY, Bytes(start, start + 128)});
  }
  return blocks;
}

// Everyone may only read the key (as users may a monitor's), or do anything.
void OnlyRead(const std::wstring& key, bool only) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorW(only ? L"D:P(A;;KR;;;WD)" : L"D:P(A;;KA;;;WD)", SDDL_REVISION_1,
                                                       &descriptor, nullptr);
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, WRITE_DAC, &handle) == ERROR_SUCCESS) {
    EXPECT_EQ(RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    RegCloseKey(handle);
  }
  LocalFree(descriptor);
}

class Monitors : public testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    OnlyRead(Parameters(kOwn), false);
    OnlyRead(Parameters(kOwn) + L"\\EDID_OVERRIDE", false);
    for (const wchar_t* model : {L"DEL4071", L"DELD177"})
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kDisplay + model).c_str());
  }

  const std::wstring kOwn = L"DELD177\\5&zarn&0&UID2";
  const MonitorEdid monitor{"DELD177\\5&zarn&0&UID2", "DISPLAY\\DELD177\\5&zarn&0&UID2", Corpus(kDigital)};
};

TEST_F(Monitors, ListEveryEdidTheRegistryKeepsByteForByte) {
  Plant(Parameters(L"DEL4071\\5&zarn&0&UID1"), L"EDID", REG_BINARY, Corpus(kAnalog));
  Plant(Parameters(kOwn), L"EDID", REG_BINARY, Corpus(kDigital));
  // None of these is listed: a monitor Windows could not read (as Wine's own
  // Default_Monitor, with BAD_EDID), an empty EDID, one of another type, an
  // instance without Device Parameters.
  Plant(Parameters(L"DEL4071\\5&zarn&0&UID3"), L"BAD_EDID", REG_BINARY, {});
  Plant(Parameters(L"DEL4071\\5&zarn&0&UID4"), L"EDID", REG_BINARY, {});
  Plant(Parameters(L"DEL4071\\5&zarn&0&UID5"), L"EDID", REG_SZ, {'x', 0, 0, 0});
  Plant(kDisplay + L"DEL4071\\5&zarn&0&UID6", L"", REG_NONE, {});

  std::vector<MonitorEdid> listed;
  for (MonitorEdid& found : AttachedMonitors()) {
    EXPECT_FALSE(found.connector.starts_with("Default_Monitor\\")) << found.connector;
    if (found.connector.find("&zarn&") != std::string::npos) listed.push_back(std::move(found));
  }
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].connector, "DEL4071\\5&zarn&0&UID1");
  EXPECT_EQ(listed[0].location, "DISPLAY\\DEL4071\\5&zarn&0&UID1");
  EXPECT_EQ(listed[0].edid, Corpus(kAnalog));
  EXPECT_EQ(listed[1].connector, "DELD177\\5&zarn&0&UID2");
  EXPECT_EQ(listed[1].location, "DISPLAY\\DELD177\\5&zarn&0&UID2");
  EXPECT_EQ(listed[1].edid, Corpus(kDigital));
  EXPECT_EQ(listed[1].edid.size(), 384u);
}

TEST_F(Monitors, WriteAnOverrideBlockByBlockAndRemoveIt) {
  const std::wstring blocks = Parameters(kOwn) + L"\\EDID_OVERRIDE";
  Plant(Parameters(kOwn), L"EDID", REG_BINARY, Corpus(kAnalog));
  // Blocks of an earlier, longer override, one after a gap.
  Plant(blocks, L"3", REG_BINARY, Bytes(128, 0x33));
  Plant(blocks, L"7", REG_BINARY, Bytes(128, 0x77));

  auto done = SetEdidOverride(monitor, Corpus(kDigital));
  ASSERT_TRUE(done) << done.error();
  EXPECT_THAT(*done, HasSubstr("DELD177\\5&zarn&0&UID2 (3 blocks)"));
  EXPECT_EQ(Values(blocks), Blocks(Corpus(kDigital)));
  done = SetEdidOverride(monitor, Corpus(kAnalog));
  ASSERT_TRUE(done) << done.error();
  EXPECT_EQ(Values(blocks), Blocks(Corpus(kAnalog)));

  // Refused, and the override kept.
  Bytes part = Corpus(kDigital);
  part.resize(200);
  EXPECT_THAT(SetEdidOverride(monitor, part).error(), HasSubstr("whole 128-byte blocks"));
  EXPECT_THAT(SetEdidOverride(monitor, Bytes(128, 0xFF)).error(), HasSubstr("EDID header"));
  EXPECT_EQ(Values(blocks), Blocks(Corpus(kAnalog)));

  done = RemoveEdidOverride(monitor);
  ASSERT_TRUE(done) << done.error();
  EXPECT_THAT(*done, HasSubstr("Removed the EDID override of DELD177\\5&zarn&0&UID2"));
  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, blocks.c_str(), 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
  done = RemoveEdidOverride(monitor);
  ASSERT_TRUE(done) << done.error();
  EXPECT_THAT(*done, HasSubstr("has no EDID override"));

  // A monitor the registry does not hold gets no key made for it.
  const MonitorEdid absent{"DEL4071\\gone", "DISPLAY\\DEL4071\\gone", Corpus(kAnalog)};
  EXPECT_THAT(SetEdidOverride(absent, Corpus(kAnalog)).error(), HasSubstr("Windows keeps no monitor DEL4071\\gone"));
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kDisplay + L"DEL4071").c_str(), 0, KEY_READ, &gone),
            ERROR_FILE_NOT_FOUND);
}

TEST_F(Monitors, WithoutTheRightToWriteAskForAdministratorRights) {
  const std::wstring blocks = Parameters(kOwn) + L"\\EDID_OVERRIDE";
  Plant(Parameters(kOwn), L"EDID", REG_BINARY, Corpus(kDigital));
  const auto rights = [](const modes::Expected<std::string>& result) {
    EXPECT_FALSE(result);
    EXPECT_THAT(result.error(), HasSubstr("DELD177\\5&zarn&0&UID2 needs administrator rights"));
    EXPECT_THAT(result.error(), HasSubstr("Run as administrator"));
  };
  OnlyRead(Parameters(kOwn), true);
  rights(SetEdidOverride(monitor, Corpus(kAnalog)));
  EXPECT_TRUE(Values(blocks).empty());

  OnlyRead(Parameters(kOwn), false);
  ASSERT_TRUE(SetEdidOverride(monitor, Corpus(kAnalog)));
  // Wine lets a key be deleted whatever its DACL says: removing cannot be
  // refused here.
  OnlyRead(blocks, true);
  rights(SetEdidOverride(monitor, Corpus(kDigital)));
  EXPECT_EQ(Values(blocks), Blocks(Corpus(kAnalog)));
}

// A string field of an INF line as the system's INF reader gives it.
std::wstring Field(INFCONTEXT& line, DWORD field) {
  wchar_t text[1024] = {};
  EXPECT_TRUE(SetupGetStringFieldW(&line, field, text, 1024, nullptr)) << field;
  return text;
}

TEST_F(Monitors, SetupapiInstallsTheOverrideOfTheInf) {
  for (const char* file : {kAnalog, kDigital}) {
    SCOPED_TRACE(file);
    const Bytes edid = Corpus(file);
    const std::string id = NamedId(file);
    const std::wstring wideId(id.begin(), id.end());
    const auto inf = modes::MonitorInf(edid, "Dell \"Test\" 100% \xC3\xA9",
                                       std::chrono::year_month_day(std::chrono::year(2026) / 12 / 7));
    ASSERT_TRUE(inf) << inf.error();
    for (std::size_t at = inf->find('\n'); at != std::string::npos; at = inf->find('\n', at + 1)) {
      EXPECT_EQ(inf->at(at - 1), '\r');
    }
    EXPECT_EQ(std::count(inf->begin(), inf->end(), '\r'), std::count(inf->begin(), inf->end(), '\n'));
    const std::filesystem::path path = std::filesystem::temp_directory_path() / (id + ".inf");
    std::ofstream(path, std::ios::binary) << *inf;

    GUID guid{};
    wchar_t className[64] = {};
    ASSERT_TRUE(SetupDiGetINFClassW(path.c_str(), &guid, className, 64, nullptr));
    EXPECT_STREQ(className, L"Monitor");
    EXPECT_TRUE(IsEqualGUID(guid, GUID_DEVCLASS_MONITOR));
    UINT error_line = 0;
    const HINF handle = SetupOpenInfFileW(path.c_str(), L"Monitor", INF_STYLE_WIN4, &error_line);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "line " << error_line;
    INFCONTEXT line{};
    ASSERT_TRUE(SetupFindFirstLineW(handle, L"Version", L"DriverVer", &line));
    EXPECT_EQ(Field(line, 1), L"12/07/2026");

    // [Manufacturer] names the models of 64-bit Windows; the model, matched by
    // the monitor's hardware ID, names the section to install.
    ASSERT_TRUE(SetupFindFirstLineW(handle, L"Manufacturer", nullptr, &line));
    const std::wstring models = Field(line, 1) + L".NTamd64";
    EXPECT_EQ(Field(line, 3), L"NTamd64");
    ASSERT_TRUE(SetupFindFirstLineW(handle, models.c_str(), nullptr, &line));
    EXPECT_EQ(Field(line, 0), L"Dell \"Test\" 100? ?");
    EXPECT_EQ(Field(line, 2), L"Monitor\\" + wideId);
    wchar_t section[256] = {};
    ASSERT_TRUE(SetupDiGetActualSectionToInstallW(handle, Field(line, 1).c_str(), section, 256, nullptr, nullptr));
    const std::wstring hardware = std::wstring(section) + L".HW";
    ASSERT_TRUE(SetupFindFirstLineW(handle, (std::wstring(section) + L".Services").c_str(), L"AddService", &line));
    EXPECT_EQ(Field(line, 1), L"monitor");

    // Installed on the monitor's hardware key, as Windows does: a binary value
    // of 128 bytes per block, and nothing of an earlier override. Wine's
    // setupapi reads "0xFF" as 0 (it takes hex digits only), so the bytes are
    // compared as the AddReg lines give them.
    const std::wstring instance = L"DELD177\\5&zarn&0&UID9";
    Plant(Parameters(instance) + L"\\EDID_OVERRIDE", L"5", REG_BINARY, Bytes(128, 0x55));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, Parameters(instance).c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_TRUE(SetupInstallFromInfSectionW(nullptr, handle, hardware.c_str(), SPINST_REGISTRY, key, nullptr, 0,
                                            nullptr, nullptr, nullptr, nullptr))
        << GetLastError();
    RegCloseKey(key);
    std::vector<Value> installed = Values(Parameters(instance) + L"\\EDID_OVERRIDE");
    ASSERT_TRUE(SetupFindFirstLineW(handle, hardware.c_str(), L"AddReg", &line));
    ASSERT_TRUE(SetupFindFirstLineW(handle, Field(line, 1).c_str(), nullptr, &line));
    for (Value& value : installed) {
      EXPECT_EQ(value.bytes.size(), 128u);
      EXPECT_EQ(Field(line, 1) + L"," + Field(line, 2) + L"," + Field(line, 3) + L"," + Field(line, 4),
                L"HKR,EDID_OVERRIDE," + value.name + L",0x01");
      EXPECT_EQ(SetupGetFieldCount(&line), 4u + 128u);
      for (DWORD field = 5; field <= SetupGetFieldCount(&line); ++field) {
        const std::wstring text = Field(line, field);
        EXPECT_EQ(text.size(), 4u);
        value.bytes[field - 5] = static_cast<std::uint8_t>(std::wcstoul(text.c_str(), nullptr, 16));
      }
      SetupFindNextLine(&line, &line);
    }
    EXPECT_EQ(installed, Blocks(edid));
    SetupCloseInfFile(handle);
    std::filesystem::remove(path);
  }
  EXPECT_FALSE(modes::MonitorInf(Bytes(256, 0), "x"));
}

TEST_F(Monitors, ZarnTimingInstallsTheOverrideInTheRegistryOrAsAnInf) {
  const std::wstring blocks = Parameters(kOwn) + L"\\EDID_OVERRIDE";
  Plant(Parameters(kOwn), L"EDID", REG_BINARY, Corpus(kDigital));
  const std::string file = std::string(ZARN_TEST_DATA_DIR) + "/edid/" + kAnalog;
  std::vector<std::string> install{"edid", "install", file, "--registry", "--monitor", monitor.connector};
  cli::Environment no;
  no.standard_input = [] { return std::string("n\n"); };
  EXPECT_EQ(cli::Run(install, no).exit_code, 1);
  EXPECT_TRUE(Values(blocks).empty());
  install.push_back("--yes");
  cli::Outcome outcome = cli::Run(install);
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_EQ(Values(blocks), Blocks(Corpus(kAnalog)));
  outcome = cli::Run({"edid", "uninstall", "--registry", "--monitor", monitor.connector, "--yes"});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_TRUE(Values(blocks).empty());
  OnlyRead(Parameters(kOwn), true);
  outcome = cli::Run(install);
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_THAT(outcome.err, HasSubstr("needs administrator rights"));
  EXPECT_THAT(cli::Run({"edid", "install", file, "--connector", "DP-1"}).err, HasSubstr("on Windows, use --inf"));

  // The INF is MonitorInf's, for the monitor's name (the date aside).
  const std::filesystem::path inf = std::filesystem::temp_directory_path() / "zarn-install.inf";
  outcome = cli::Run({"edid", "install", file, "--inf", inf.string()});
  ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
  EXPECT_THAT(outcome.out, HasSubstr("Have Disk"));
  const auto name = modes::DecodeEdid(Corpus(kAnalog))->name;
  ASSERT_TRUE(name);
  const auto undated = [](std::string text) {
    const std::size_t at = text.find("DriverVer");
    return text.erase(at, text.find('\n', at) - at);
  };
  std::stringstream written;
  written << std::ifstream(inf, std::ios::binary).rdbuf();
  EXPECT_EQ(undated(written.str()), undated(*modes::MonitorInf(Corpus(kAnalog), *name + " (EDID override)")));
  std::filesystem::remove(inf);
}

TEST(MonitorPnpId, MatchesTheCorpusNames) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ZARN_TEST_DATA_DIR) / "edid")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".bin") continue;
    const auto id = modes::MonitorPnpId(Corpus(name));
    EXPECT_EQ(id ? *id : id.error(), NamedId(name));
    ++files;
  }
  EXPECT_EQ(files, 300);
}

}  // namespace
}  // namespace zarn::platform
