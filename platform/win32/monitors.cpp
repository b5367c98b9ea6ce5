#include "platform/monitors.h"

#include <windows.h>

namespace zarn::platform {
namespace {

// A wide registry name as UTF-8.
std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string result(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  return result;
}

// The names of a key's subkeys.
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

}  // namespace

// Windows keeps what it read of each monitor under
// HKLM\SYSTEM\CurrentControlSet\Enum\DISPLAY\MODEL\INSTANCE\Device Parameters,
// the EDID in the binary value EDID.
std::vector<MonitorEdid> AttachedMonitors() {
  std::vector<MonitorEdid> monitors;
  HKEY display = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Enum\\DISPLAY", 0, KEY_READ, &display) !=
      ERROR_SUCCESS) {
    return monitors;
  }
  for (const std::wstring& model : Subkeys(display)) {
    HKEY modelKey = nullptr;
    if (RegOpenKeyExW(display, model.c_str(), 0, KEY_READ, &modelKey) != ERROR_SUCCESS) continue;
    for (const std::wstring& instance : Subkeys(modelKey)) {
      const std::wstring parameters = instance + L"\\Device Parameters";
      DWORD size = 0;
      if (RegGetValueW(modelKey, parameters.c_str(), L"EDID", RRF_RT_REG_BINARY, nullptr, nullptr, &size) !=
              ERROR_SUCCESS ||
          size == 0) {
        continue;
      }
      std::vector<std::uint8_t> edid(size);
      if (RegGetValueW(modelKey, parameters.c_str(), L"EDID", RRF_RT_REG_BINARY, nullptr, edid.data(), &size) !=
          ERROR_SUCCESS) {
        continue;
      }
      edid.resize(size);
      const std::string name = Utf8(model.c_str()) + "\\" + Utf8(instance.c_str());
      monitors.push_back({name, "DISPLAY\\" + name, std::move(edid)});
    }
    RegCloseKey(modelKey);
  }
  RegCloseKey(display);
  return monitors;
}

}  // namespace zarn::platform
