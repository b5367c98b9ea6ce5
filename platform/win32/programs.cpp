// Running a program on Windows: CreateProcessW with its output read through
// pipes, without a console window; the "runas" verb for the administrator's
// rights, which the User Account Control prompt asks for.
#include "platform/programs.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <string>
#include <thread>

#include "platform/win32/wide_text.h"

namespace zarn::platform {
namespace {

using Result = modes::Expected<ProgramRun>;

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE* put() {
    Close();
    return &handle_;
  }
  void Close() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

std::string ReadAll(HANDLE pipe) {
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  return text;
}

// The command line: the program, quoted, and each argument as the C runtime
// splits them again.
std::string CommandLine(const std::string& program, std::span<const std::string> arguments) {
  std::string line = QuotedWindowsArgument(program);
  for (const std::string& argument : arguments) line += ' ' + QuotedWindowsArgument(argument);
  return line;
}

std::string Parameters(std::span<const std::string> arguments) {
  std::string line;
  for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + QuotedWindowsArgument(argument);
  return line;
}

Result CannotStart(const std::string& program, DWORD error) {
  return Result::Failure("Cannot start " + program + ": " + SystemReason(error) + ".");
}

}  // namespace

Result RunProgram(const std::string& program, std::span<const std::string> arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle outRead, outWrite, errRead, errWrite, input;
  if (!CreatePipe(outRead.put(), outWrite.put(), &inherit, 0) ||
      !CreatePipe(errRead.put(), errWrite.put(), &inherit, 0)) {
    return CannotStart(program, GetLastError());
  }
  SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);
  *input.put() =
      CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  std::wstring line;
  std::wstring file;
  if (!Widen(CommandLine(program, arguments), line) || !Widen(program, file)) {
    return CannotStart(program, ERROR_INVALID_PARAMETER);
  }
  // A bare name is looked up as the command line's first word.
  const bool bare = program.find_first_of("\\/:") == std::string::npos;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = outWrite.get();
  startup.hStdError = errWrite.get();
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(bare ? nullptr : file.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process)) {
    return CannotStart(program, GetLastError());
  }
  Handle processHandle(process.hProcess);
  Handle thread(process.hThread);
  outWrite.Close();
  errWrite.Close();
  ProgramRun run;
  // Standard error is read beside standard output, so that neither pipe
  // fills up while the other is waited on.
  std::thread errReader([&] { run.err = ReadAll(errRead.get()); });
  run.out = ReadAll(outRead.get());
  errReader.join();
  WaitForSingleObject(processHandle.get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(processHandle.get(), &code);
  run.exit_code = static_cast<int>(code);
  return run;
}

Result RunProgramElevated(const std::string& program, std::span<const std::string> arguments) {
  std::wstring parameters;
  if (!Widen(Parameters(arguments), parameters)) return CannotStart(program, ERROR_INVALID_PARAMETER);
  std::wstring file;
  if (!Widen(program, file)) return CannotStart(program, ERROR_INVALID_PARAMETER);
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  execute.lpVerb = L"runas";
  execute.lpFile = file.c_str();
  execute.lpParameters = parameters.c_str();
  execute.nShow = SW_HIDE;
  if (!ShellExecuteExW(&execute)) {
    const DWORD error = GetLastError();
    if (error == ERROR_CANCELLED) {
      return Result::Failure("The administrator's rights were not given: nothing was changed.");
    }
    return CannotStart(program, error);
  }
  ProgramRun run;
  if (execute.hProcess == nullptr) return run;
  Handle processHandle(execute.hProcess);
  WaitForSingleObject(processHandle.get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(processHandle.get(), &code);
  run.exit_code = static_cast<int>(code);
  return run;
}

std::string ProgramBesideThisOne(std::string_view name) {
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0) return std::string(name) + ".exe";
    if (length < self.size()) {
      self.resize(length);
      break;
    }
    self.resize(self.size() * 2);
  }
  const std::size_t folder = self.find_last_of(L"\\/");
  return (folder == std::wstring::npos ? std::string() : Narrow(self.substr(0, folder + 1))) + std::string(name) +
         ".exe";
}

}  // namespace zarn::platform
