#pragma once

#include <memory>

#include "platform/interfaces.h"

namespace zarn::platform {

// The registry through advapi32, with keys opened read-only.
class Win32Registry final : public Registry {
 public:
  long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t options, std::uint32_t access,
               RegistryHandle& handle) override;
  long QueryValue(RegistryHandle handle, const std::string& valueName, std::uint32_t& type,
                  std::span<std::uint8_t> buffer, std::uint32_t& size) override;
  long CloseKey(RegistryHandle handle) override;
  std::string DecodeText(std::span<const std::uint8_t> bytes) const override;
};

// Starts a program by its exact path: the path is the application name, so
// nothing splits it at blanks; the command line is the path in quotes.
class Win32ProgramStarter final : public ProgramStarter {
 public:
  void Start(const std::string& path) override;
};

// Ordinary files only: not folders, hidden or system files.
class Win32FileFinder final : public FileFinder {
 public:
  bool OrdinaryFileExists(const std::string& path) override;
};

// MessageBoxA with OK only and no icon.
class Win32MessageDialog final : public MessageDialog {
 public:
  void Show(const std::string& text, const std::string& caption) override;
};

// ShellExecuteA with the desktop window as owner, no parameters, no working
// folder and a normal window; the result is ignored.
class Win32Shell final : public Shell {
 public:
  void Execute(const std::string& verb, const std::string& target) override;
};

// All five, for the program.
class Win32Services {
 public:
  Services Get() { return {registry_, programs_, files_, messages_, shell_}; }

 private:
  Win32Registry registry_;
  Win32ProgramStarter programs_;
  Win32FileFinder files_;
  Win32MessageDialog messages_;
  Win32Shell shell_;
};

}  // namespace zarn::platform
