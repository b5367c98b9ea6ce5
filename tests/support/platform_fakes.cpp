#include "tests/support/platform_fakes.h"

#include <algorithm>

namespace zarn::testing {

MemoryRegistry::Key& MemoryRegistry::AddKey(const std::string& name, bool writable) {
  Key& key = keys_[name];
  key.writable = writable;
  return key;
}

MemoryRegistry::Value MemoryRegistry::Text(const std::string& text, int terminatingZeros) {
  Value value{platform::kRegSz, {text.begin(), text.end()}};
  value.bytes.insert(value.bytes.end(), static_cast<std::size_t>(terminatingZeros), 0);
  return value;
}

MemoryRegistry::Value MemoryRegistry::Dword(std::uint32_t number) {
  return {platform::kRegDword,
          {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
           static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

long MemoryRegistry::OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t /*options*/,
                             std::uint32_t access, platform::RegistryHandle& handle) {
  calls.push_back("open " + keyName);
  accessMasks.push_back(access);
  const auto key = keys_.find(keyName);
  if (root != platform::kHKeyLocalMachine || key == keys_.end()) return platform::kErrorFileNotFound;
  const std::uint32_t writeRights = platform::kKeySetValue | platform::kKeyCreateSubKey | platform::kKeyCreateLink;
  if ((access & writeRights) != 0 && !key->second.writable) return platform::kErrorAccessDenied;
  handle = next_++;
  open_[handle] = keyName;
  return platform::kErrorSuccess;
}

long MemoryRegistry::QueryValue(platform::RegistryHandle handle, const std::string& valueName, std::uint32_t& type,
                                std::span<std::uint8_t> buffer, std::uint32_t& size) {
  calls.push_back("query " + valueName);
  bufferSizes.push_back(size);
  if (std::any_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b != 0; })) buffersZeroed = false;
  const auto key = open_.find(handle);
  if (key == open_.end()) return 6;  // ERROR_INVALID_HANDLE
  const auto& values = keys_[key->second].values;
  const auto value = values.find(valueName);
  if (value == values.end()) return platform::kErrorFileNotFound;
  type = value->second.type;
  const auto& bytes = value->second.bytes;
  if (bytes.size() > size || bytes.size() > buffer.size()) {
    size = static_cast<std::uint32_t>(bytes.size());
    return platform::kErrorMoreData;
  }
  std::copy(bytes.begin(), bytes.end(), buffer.begin());
  size = static_cast<std::uint32_t>(bytes.size());
  return platform::kErrorSuccess;
}

long MemoryRegistry::CloseKey(platform::RegistryHandle handle) {
  calls.push_back("close " + std::to_string(handle));
  open_.erase(handle);
  return platform::kErrorSuccess;
}

}  // namespace zarn::testing
