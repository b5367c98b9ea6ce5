#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "modes/expected.h"
#include "platform/monitors.h"

namespace zarn::forms {

// Makes a monitor use an EDID in place of its own, for the Timings window.
class EdidInstaller {
 public:
  virtual ~EdidInstaller() = default;

  // What installing the EDID for the monitor would change, step by step, and
  // what the user does by hand afterwards; or why it cannot be installed.
  virtual modes::Expected<std::string> Steps(std::span<const std::uint8_t> edid,
                                             const platform::MonitorEdid& monitor) = 0;
  // Makes those changes, asking the system for the rights they need; what
  // was done, or why nothing was.
  virtual modes::Expected<std::string> Install(std::span<const std::uint8_t> edid,
                                               const platform::MonitorEdid& monitor) = 0;

 protected:
  EdidInstaller() = default;
  EdidInstaller(const EdidInstaller&) = default;
  EdidInstaller& operator=(const EdidInstaller&) = default;
};

// The installer of the command line, run as a program of its own: zarn-timing
// edid install, for the Linux kernel (--connector) or into the Windows
// registry (--registry --monitor), so that the window shows exactly the steps
// the command line takes. Steps are its --dry-run; Install runs it with the
// administrator's rights. With a root folder (for tests), it works on the
// system under that folder instead, with the user's own rights.
class CommandLineInstaller final : public EdidInstaller {
 public:
  // program and root: paths in UTF-8.
  explicit CommandLineInstaller(std::string program, std::string root = {});

  modes::Expected<std::string> Steps(std::span<const std::uint8_t> edid, const platform::MonitorEdid& monitor) override;
  modes::Expected<std::string> Install(std::span<const std::uint8_t> edid,
                                       const platform::MonitorEdid& monitor) override;

 private:
  modes::Expected<std::string> Run(std::span<const std::uint8_t> edid, const platform::MonitorEdid& monitor,
                                   bool dryRun);

  std::string program_;
  std::string root_;
};

}  // namespace zarn::forms
