// The monitors Windows has set up, the EDIDs it read from them and EDID
// overrides, all in the registry under HKLM\SYSTEM\CurrentControlSet\Enum.
// Every call is the wide one, so that any name works whatever the code page.
#include "platform/monitors.h"

#include <windows.h>

#include <cwctype>

#include "modes/monitor_inf.h"
#include "platform/win32/wide_text.h"

namespace zarn::platform {
namespace {

using Result = modes::Expected<std::string>;

constexpr std::size_t kBlock = 128;
const wchar_t* const kOverride = L"EDID_OVERRIDE";

// A registry key, closed when it goes.
class Key {
 public:
  Key() = default;
  ~Key() { Close(); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }
  HKEY* out() { return &key_; }
  void Close() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

Result Failure(const MonitorEdid& monitor, LONG error, const std::string& more = {}) {
  if (error == ERROR_ACCESS_DENIED) {
    return Result::Failure("Changing the EDID override of " + monitor.connector +
                           " needs administrator rights: run Zarn as administrator (right-click Zarn, or the Command "
                           "Prompt you run zarn-timing in, and choose Run as administrator)" +
                           more + ".");
  }
  if (error == ERROR_FILE_NOT_FOUND) {
    return Result::Failure("Windows keeps no monitor " + monitor.connector +
                           " (HKLM\\SYSTEM\\CurrentControlSet\\Enum\\" + monitor.location + "\\Device Parameters)" +
                           more + ".");
  }
  return Result::Failure("Cannot change the EDID override of " + monitor.connector + ": " +
                         SystemReason(static_cast<DWORD>(error)) + more + ".");
}

// The monitor's Device Parameters key below HKLM.
bool ParametersPath(const MonitorEdid& monitor, std::wstring& path) {
  std::wstring location;
  if (monitor.location.empty() || !Widen(monitor.location, location)) return false;
  path = L"SYSTEM\\CurrentControlSet\\Enum\\" + location + L"\\Device Parameters";
  return true;
}

// The names of a key's subkeys (at most 255 characters each).
std::vector<std::wstring> Subkeys(HKEY key) {
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

// A binary value; empty when it is missing, of another type or unreadable.
std::vector<std::uint8_t> BinaryValue(HKEY key, const std::wstring& subkey, const wchar_t* name) {
  DWORD size = 0;
  LONG result = RegGetValueW(key, subkey.c_str(), name, RRF_RT_REG_BINARY, nullptr, nullptr, &size);
  std::vector<std::uint8_t> bytes;
  // Should the value grow between two calls, the second says its new size.
  for (int attempt = 0; attempt < 3 && result == ERROR_SUCCESS && size > 0; ++attempt) {
    bytes.resize(size);
    result = RegGetValueW(key, subkey.c_str(), name, RRF_RT_REG_BINARY, nullptr, bytes.data(), &size);
    if (result == ERROR_SUCCESS) {
      bytes.resize(size);
      return bytes;
    }
    if (result == ERROR_MORE_DATA) result = ERROR_SUCCESS;
  }
  return {};
}

// The names of an override's block values from the first'th on: "2", "3", ...
std::vector<std::wstring> BlocksFrom(HKEY key, std::size_t first) {
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[32];
    DWORD length = 32;
    const LONG result = RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;  // too long a name for a block
    if (result != ERROR_SUCCESS) break;
    const std::wstring value(name, length);
    if (value.empty() || value.size() > 9 || (value.size() > 1 && value[0] == L'0') ||
        value.find_first_not_of(L"0123456789") != std::wstring::npos) {
      continue;
    }
    if (std::stoul(value) >= first) names.push_back(value);
  }
  return names;
}

}  // namespace

// Windows keeps what it read of each monitor under
// HKLM\SYSTEM\CurrentControlSet\Enum\DISPLAY\MODEL\INSTANCE\Device Parameters,
// the EDID in the binary value EDID. A monitor it could not read keeps none,
// or an empty one.
std::vector<MonitorEdid> AttachedMonitors() {
  std::vector<MonitorEdid> monitors;
  Key display;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Enum\\DISPLAY", 0, KEY_READ, display.out()) !=
      ERROR_SUCCESS) {
    return monitors;
  }
  for (const std::wstring& model : Subkeys(display.get())) {
    Key modelKey;
    if (RegOpenKeyExW(display.get(), model.c_str(), 0, KEY_READ, modelKey.out()) != ERROR_SUCCESS) continue;
    for (const std::wstring& instance : Subkeys(modelKey.get())) {
      std::vector<std::uint8_t> edid = BinaryValue(modelKey.get(), instance + L"\\Device Parameters", L"EDID");
      if (edid.empty()) continue;
      const std::string name = Narrow(model) + "\\" + Narrow(instance);
      monitors.push_back({name, "DISPLAY\\" + name, std::move(edid)});
    }
  }
  return monitors;
}

Result SetEdidOverride(const MonitorEdid& monitor, std::span<const std::uint8_t> edid) {
  if (const auto id = modes::MonitorPnpId(edid); !id) return Result::Failure(id.error());
  std::wstring path;
  if (!ParametersPath(monitor, path)) return Result::Failure("The monitor has no place in the registry.");
  // Opened for making keys in, so that a user without the right is told at once.
  Key parameters;
  LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_CREATE_SUB_KEY, parameters.out());
  if (result != ERROR_SUCCESS) return Failure(monitor, result);
  Key blocks;
  DWORD made = 0;
  result = RegCreateKeyExW(parameters.get(), kOverride, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, blocks.out(), &made);
  if (result != ERROR_SUCCESS) return Failure(monitor, result);
  bool changed = made == REG_CREATED_NEW_KEY;
  const std::size_t count = edid.size() / kBlock;
  for (std::size_t block = 0; block < count && result == ERROR_SUCCESS; ++block) {
    result = RegSetValueExW(blocks.get(), std::to_wstring(block).c_str(), 0, REG_BINARY, edid.data() + block * kBlock,
                            static_cast<DWORD>(kBlock));
    changed = changed || result == ERROR_SUCCESS;
  }
  for (const std::wstring& old : BlocksFrom(blocks.get(), count)) {
    if (result == ERROR_SUCCESS) result = RegDeleteValueW(blocks.get(), old.c_str());
  }
  if (result != ERROR_SUCCESS && !changed) return Failure(monitor, result);
  if (result != ERROR_SUCCESS) {
    // Old and new blocks mixed would make an EDID no one wrote: none is better.
    blocks.Close();
    const LONG removed = RegDeleteTreeW(parameters.get(), kOverride);
    return Failure(monitor, result,
                   removed == ERROR_SUCCESS ? "; no override is left"
                                            : "; what was written of it is still there: remove it before a restart");
  }
  return std::string("Wrote the EDID override of " + monitor.connector + " (" + std::to_string(count) +
                     (count == 1 ? " block" : " blocks") + "); Windows uses it from the next restart on.");
}

Result RemoveEdidOverride(const MonitorEdid& monitor) {
  std::wstring path;
  if (!ParametersPath(monitor, path)) return Result::Failure("The monitor has no place in the registry.");
  Key parameters;
  LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, parameters.out());
  if (result != ERROR_SUCCESS) return Failure(monitor, result);
  result = RegDeleteTreeW(parameters.get(), kOverride);
  if (result == ERROR_FILE_NOT_FOUND) return std::string(monitor.connector + " has no EDID override to remove.");
  if (result != ERROR_SUCCESS) return Failure(monitor, result);
  return std::string("Removed the EDID override of " + monitor.connector +
                     "; Windows goes back to the monitor's own EDID at the next restart.");
}

}  // namespace zarn::platform
