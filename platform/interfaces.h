#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zarn::platform {

// Registry handle values and codes, as the Windows registry API has them.
using RegistryHandle = std::uintptr_t;
inline constexpr std::uint32_t kHKeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyCreateLink = 0x0020;
inline constexpr std::uint32_t kKeyRead = 0x20019;  // read-only access
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorMoreData = 234;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;

// Read access to the registry, shaped like RegOpenKeyExA, RegQueryValueExA
// and RegCloseKey. Key and value names are UTF-8 here; an implementation
// converts them to the system's code page at the call.
class Registry {
 public:
  virtual ~Registry() = default;
  virtual long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t options, std::uint32_t access,
                       RegistryHandle& handle) = 0;
  // Delivers the value's type and data; size holds the buffer's size on entry
  // and the number of data bytes on return.
  virtual long QueryValue(RegistryHandle handle, const std::string& valueName, std::uint32_t& type,
                          std::span<std::uint8_t> buffer, std::uint32_t& size) = 0;
  virtual long CloseKey(RegistryHandle handle) = 0;
  // Text data as stored (the system's code page) to UTF-8.
  virtual std::string DecodeText(std::span<const std::uint8_t> bytes) const = 0;

 protected:
  Registry() = default;
  Registry(const Registry&) = default;
  Registry& operator=(const Registry&) = default;
};

// Starts a program by its exact path, with no arguments and no shell, in a
// normal focused window, without waiting. Throws when it cannot be started.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  virtual void Start(const std::string& path) = 0;

 protected:
  ProgramStarter() = default;
  ProgramStarter(const ProgramStarter&) = default;
  ProgramStarter& operator=(const ProgramStarter&) = default;
};

// True when an ordinary file (not a folder, hidden or system file) exists.
class FileFinder {
 public:
  virtual ~FileFinder() = default;
  virtual bool OrdinaryFileExists(const std::string& path) = 0;

 protected:
  FileFinder() = default;
  FileFinder(const FileFinder&) = default;
  FileFinder& operator=(const FileFinder&) = default;
};

// A modal message with an OK button only and no icon; returns when closed.
class MessageDialog {
 public:
  virtual ~MessageDialog() = default;
  virtual void Show(const std::string& text, const std::string& caption) = 0;

 protected:
  MessageDialog() = default;
  MessageDialog(const MessageDialog&) = default;
  MessageDialog& operator=(const MessageDialog&) = default;
};

// Asks the desktop's shell to carry out a verb on a document or address
// ("Open" a mailto: link or a web address). The outcome is not reported.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual void Execute(const std::string& verb, const std::string& target) = 0;

 protected:
  Shell() = default;
  Shell(const Shell&) = default;
  Shell& operator=(const Shell&) = default;
};

// One implementation of each, for the platform the program runs on.
struct Services {
  Registry& registry;
  ProgramStarter& programs;
  FileFinder& files;
  MessageDialog& messages;
  Shell& shell;
};

}  // namespace zarn::platform
