#pragma once

#include <functional>
#include <string>

#include "platform/interfaces.h"

namespace zarn::platform {

// A stand-in for the registry on desktops that have none. It answers the one
// lookup that names the system-information tool ("SOFTWARE\Microsoft\Shared
// Tools\MSINFO", value "PATH", type 1) with the full path of the desktop's own
// tool when one is installed, and fails every other open. It reads no files
// of its own and keeps no settings.
class RegistryStandIn final : public Registry {
 public:
  // Returns the full path of an installed system-information program, or an
  // empty text when there is none.
  using ToolLocator = std::function<std::string()>;

  explicit RegistryStandIn(ToolLocator locator) : locator_(std::move(locator)) {}

  long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t options, std::uint32_t access,
               RegistryHandle& handle) override;
  long QueryValue(RegistryHandle handle, const std::string& valueName, std::uint32_t& type,
                  std::span<std::uint8_t> buffer, std::uint32_t& size) override;
  long CloseKey(RegistryHandle handle) override;
  std::string DecodeText(std::span<const std::uint8_t> bytes) const override;

 private:
  static constexpr RegistryHandle kToolKey = 1;
  ToolLocator locator_;
  std::string toolPath_;  // found at the open, released at the close
};

// The programs looked for, in this order, in the executable search path.
inline constexpr const char* kSystemInformationPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter", "cpu-x"};

}  // namespace zarn::platform
