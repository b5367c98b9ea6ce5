#include "forms/about/sys_info_launcher.h"

#include <array>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace zarn::forms {

SysInfoLauncher::SysInfoLauncher(platform::Registry& registry, platform::ProgramStarter& programs,
                                 platform::FileFinder& files, platform::MessageDialog& messages, std::string caption)
    : registry_(registry), programs_(programs), files_(files), messages_(messages), caption_(std::move(caption)) {}

void SysInfoLauncher::StartSysInfo() {
  try {
    std::string path;
    if (!GetKeyValue(platform::kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, path)) {
      if (!GetKeyValue(platform::kHKeyLocalMachine, kLocationKey, kLocationValue, path)) {
        messages_.Show(kUnavailable, caption_);
        return;
      }
      // The suffix goes on whatever the folder ends with.
      if (!files_.OrdinaryFileExists(path + kProgramFile)) {
        messages_.Show(kUnavailable, caption_);
        return;
      }
      path += kProgramFile;
    }
    // The path as read, even when empty: starting fails then.
    programs_.Start(path);
    return;
  } catch (...) {
    // Any failure, whatever raised it, ends in the message below.
  }
  messages_.Show(kUnavailable, caption_);
}

bool SysInfoLauncher::GetKeyValue(std::uint32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                                  std::string& KeyVal) {
  platform::RegistryHandle handle = 0;
  // The key is closed however this ends, also after a failed open and when
  // a zero-byte value raises.
  struct Closer {
    platform::Registry& registry;
    platform::RegistryHandle& handle;
    ~Closer() { registry.CloseKey(handle); }
  } closer{registry_, handle};

  // Read-only access: asking for write rights fails for a standard user.
  if (registry_.OpenKey(KeyRoot, KeyName, 0, platform::kKeyRead, handle) != platform::kErrorSuccess) {
    KeyVal.clear();
    return false;
  }

  std::array<std::uint8_t, kBufferSize> buffer{};
  std::uint32_t type = 0;
  std::uint32_t size = kBufferSize;
  if (registry_.QueryValue(handle, SubKeyRef, type, buffer, size) != platform::kErrorSuccess || size > kBufferSize) {
    KeyVal.clear();
    return false;
  }
  if (size == 0) throw std::invalid_argument("registry value has no data");

  // Only the last data byte is examined: a terminating zero is dropped.
  std::size_t length = size;
  if (buffer[length - 1] == 0) --length;

  switch (type) {
    case platform::kRegSz:
      KeyVal = registry_.DecodeText({buffer.data(), length});
      break;
    case platform::kRegDword: {
      std::string text = "&h";
      for (std::size_t i = length; i > 0; --i) {
        std::array<char, 3> hex{};
        std::snprintf(hex.data(), hex.size(), "%02X", static_cast<unsigned>(buffer[i - 1]));
        text += hex.data();
      }
      KeyVal = std::move(text);
      break;
    }
    default:
      break;  // read, but no text: KeyVal keeps what it had
  }
  return true;
}

}  // namespace zarn::forms
