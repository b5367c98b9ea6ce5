#pragma once

#include <memory>

#include "platform/desktop/registry_stand_in.h"
#include "platform/interfaces.h"

namespace zarn::platform {

// The platform services of a desktop without a registry (Linux and other
// non-Windows systems), through Qt.
class DesktopServices {
 public:
  DesktopServices();
  ~DesktopServices();
  DesktopServices(const DesktopServices&) = delete;
  DesktopServices& operator=(const DesktopServices&) = delete;

  Services Get();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The full path of the first installed program of kSystemInformationPrograms.
std::string FindSystemInformationProgram();

}  // namespace zarn::platform
