#include "platform/win32/win32_services.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

#include "platform/win32/code_page.h"

namespace zarn::platform {
namespace {

HKEY ToHkey(std::uintptr_t value) { return reinterpret_cast<HKEY>(value); }

}  // namespace

long Win32Registry::OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t options, std::uint32_t access,
                            RegistryHandle& handle) {
  HKEY key = nullptr;
  // Predefined roots are 32-bit values sign-extended into a handle.
  const HKEY rootKey = ToHkey(static_cast<std::uintptr_t>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
  const LONG result = RegOpenKeyExA(rootKey, Utf8ToAnsi(keyName).c_str(), options, access, &key);
  handle = reinterpret_cast<RegistryHandle>(key);
  return result;
}

long Win32Registry::QueryValue(RegistryHandle handle, const std::string& valueName, std::uint32_t& type,
                               std::span<std::uint8_t> buffer, std::uint32_t& size) {
  DWORD valueType = 0;
  DWORD dataSize = static_cast<DWORD>(std::min<std::size_t>(size, buffer.size()));
  const LONG result =
      RegQueryValueExA(ToHkey(handle), Utf8ToAnsi(valueName).c_str(), nullptr, &valueType, buffer.data(), &dataSize);
  type = valueType;
  size = dataSize;
  return result;
}

long Win32Registry::CloseKey(RegistryHandle handle) { return RegCloseKey(ToHkey(handle)); }

std::string Win32Registry::DecodeText(std::span<const std::uint8_t> bytes) const {
  return AnsiToUtf8({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

void Win32ProgramStarter::Start(const std::string& path) {
  if (path.empty()) throw std::runtime_error("no program to start");
  const std::string application = Utf8ToAnsi(path);
  std::string commandLine = "\"" + application + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    throw std::runtime_error("cannot start " + path);
  }
  // Nothing waits for the program or keeps it.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

bool Win32FileFinder::OrdinaryFileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(Utf8ToAnsi(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

void Win32MessageDialog::Show(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, Utf8ToAnsi(text).c_str(), Utf8ToAnsi(caption).c_str(), MB_OK);
}

void Win32Shell::Execute(const std::string& verb, const std::string& target) {
  ShellExecuteA(GetDesktopWindow(), Utf8ToAnsi(verb).c_str(), Utf8ToAnsi(target).c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

}  // namespace zarn::platform
