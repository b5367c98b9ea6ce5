#pragma once

#include <cstdint>
#include <string>

#include "platform/interfaces.h"

namespace zarn::forms {

// Finds the system-information tool through two registry values and starts
// it, or says that it is unavailable.
class SysInfoLauncher {
 public:
  static constexpr const char* kMsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
  static constexpr const char* kMsInfoValue = "PATH";
  static constexpr const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
  static constexpr const char* kLocationValue = "MSINFO";
  static constexpr const char* kProgramFile = "\\MSINFO32.EXE";
  static constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";
  static constexpr std::uint32_t kBufferSize = 1024;

  SysInfoLauncher(platform::Registry& registry, platform::ProgramStarter& programs, platform::FileFinder& files,
                  platform::MessageDialog& messages, std::string caption);

  // Starts the tool; every failure ends in the one message box.
  void StartSysInfo();

  // Reads one value as text into KeyVal. False (and KeyVal empty) when the key
  // cannot be opened or the value not read; throws std::invalid_argument for a
  // value of zero bytes. The key is closed in every case.
  bool GetKeyValue(std::uint32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                   std::string& KeyVal);

 private:
  platform::Registry& registry_;
  platform::ProgramStarter& programs_;
  platform::FileFinder& files_;
  platform::MessageDialog& messages_;
  std::string caption_;
};

}  // namespace zarn::forms
