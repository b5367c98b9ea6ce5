#include "platform/desktop/registry_stand_in.h"

#include <algorithm>
#include <cstring>

namespace zarn::platform {
namespace {
constexpr const char* kToolKeyName = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kToolValueName = "PATH";
}  // namespace

long RegistryStandIn::OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t /*options*/,
                              std::uint32_t access, RegistryHandle& handle) {
  // Read access is all it grants.
  if (root != kHKeyLocalMachine || keyName != kToolKeyName) return kErrorFileNotFound;
  if ((access & (kKeySetValue | kKeyCreateSubKey | kKeyCreateLink)) != 0) return kErrorAccessDenied;
  toolPath_ = locator_ ? locator_() : std::string();
  if (toolPath_.empty()) return kErrorFileNotFound;
  handle = kToolKey;
  return kErrorSuccess;
}

long RegistryStandIn::QueryValue(RegistryHandle handle, const std::string& valueName, std::uint32_t& type,
                                 std::span<std::uint8_t> buffer, std::uint32_t& size) {
  if (handle != kToolKey || valueName != kToolValueName) return kErrorFileNotFound;
  // A text value with its terminating zero, as the registry stores one.
  const std::size_t needed = toolPath_.size() + 1;
  type = kRegSz;
  if (needed > std::min<std::size_t>(size, buffer.size())) {
    size = static_cast<std::uint32_t>(needed);
    return kErrorMoreData;
  }
  std::memcpy(buffer.data(), toolPath_.data(), toolPath_.size());
  buffer[toolPath_.size()] = 0;
  size = static_cast<std::uint32_t>(needed);
  return kErrorSuccess;
}

long RegistryStandIn::CloseKey(RegistryHandle handle) {
  if (handle == kToolKey) toolPath_.clear();
  return kErrorSuccess;
}

std::string RegistryStandIn::DecodeText(std::span<const std::uint8_t> bytes) const {
  return {bytes.begin(), bytes.end()};  // already UTF-8
}

}  // namespace zarn::platform
