#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/interfaces.h"

namespace zarn::testing {

// A registry in memory. Keys can hold values of any type, size and bytes, and
// can grant read without write access, as HKEY_LOCAL_MACHINE does for a
// standard user. Every call is recorded in order.
class MemoryRegistry final : public platform::Registry {
 public:
  struct Value {
    std::uint32_t type;
    std::vector<std::uint8_t> bytes;
  };
  struct Key {
    bool writable = true;
    std::map<std::string, Value> values;
  };

  // Adds a key below HKEY_LOCAL_MACHINE.
  Key& AddKey(const std::string& name, bool writable = true);
  static Value Text(const std::string& text, int terminatingZeros = 1);
  static Value Dword(std::uint32_t number);

  long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t options, std::uint32_t access,
               platform::RegistryHandle& handle) override;
  long QueryValue(platform::RegistryHandle handle, const std::string& valueName, std::uint32_t& type,
                  std::span<std::uint8_t> buffer, std::uint32_t& size) override;
  long CloseKey(platform::RegistryHandle handle) override;
  std::string DecodeText(std::span<const std::uint8_t> bytes) const override { return {bytes.begin(), bytes.end()}; }

  std::vector<std::string> calls;  // "open KEY", "query VALUE", "close HANDLE"
  std::vector<std::uint32_t> accessMasks;
  std::vector<std::uint32_t> bufferSizes;  // size passed to each query
  bool buffersZeroed = true;               // every query got an all-zero buffer

 private:
  std::map<std::string, Key> keys_;
  std::map<platform::RegistryHandle, std::string> open_;
  platform::RegistryHandle next_ = 0x100;
};

class RecordingPrograms final : public platform::ProgramStarter {
 public:
  void Start(const std::string& path) override {
    started.push_back(path);
    if (fail) throw std::runtime_error("cannot start");
  }
  std::vector<std::string> started;
  bool fail = false;
};

class RecordingFiles final : public platform::FileFinder {
 public:
  bool OrdinaryFileExists(const std::string& path) override {
    searched.push_back(path);
    if (fail) throw std::runtime_error("search failed");
    for (const auto& file : existing) {
      if (file == path) return true;
    }
    return false;
  }
  std::vector<std::string> existing;
  std::vector<std::string> searched;
  bool fail = false;
};

class RecordingMessages final : public platform::MessageDialog {
 public:
  void Show(const std::string& text, const std::string& caption) override { shown.push_back({text, caption}); }
  struct Shown {
    std::string text;
    std::string caption;
  };
  std::vector<Shown> shown;
};

class RecordingShell final : public platform::Shell {
 public:
  void Execute(const std::string& verb, const std::string& target) override { executed.push_back(verb + " " + target); }
  std::vector<std::string> executed;
};

// All five fakes, for a window that needs the platform's services.
struct FakePlatform {
  MemoryRegistry registry;
  RecordingPrograms programs;
  RecordingFiles files;
  RecordingMessages messages;
  RecordingShell shell;

  platform::Services Services() { return {registry, programs, files, messages, shell}; }
};

}  // namespace zarn::testing
