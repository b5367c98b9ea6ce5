// WriteFileSafely on Windows: a new file beside the old one,
// FlushFileBuffers, MoveFileExW. Every call is the wide one, so that any
// name works whatever the code page.
#include "platform/safe_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwctype>
#include <string>

#include "platform/win32/wide_text.h"

namespace zarn::platform {
namespace {

using Result = modes::Expected<FileWrite>;
using Bytes = std::span<const std::uint8_t>;

Result Failure(std::string_view shown, DWORD error, bool incomplete = false) {
  std::string text = "Cannot write " + std::string(shown) + ": " + SystemReason(error);
  if (incomplete) text += "; the file may be incomplete";
  return Result::Failure(text + ".");
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  // 0 or the error of closing.
  DWORD Close() {
    if (!ok()) return 0;
    const BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed ? 0 : GetLastError();
  }

 private:
  HANDLE handle_;
};

Handle Open(const std::wstring& path, DWORD access, DWORD sharing, DWORD disposition, DWORD flags) {
  return Handle(CreateFileW(path.c_str(), access, sharing, nullptr, disposition, flags, nullptr));
}

// Each call returns 0 or the error of the failure.
DWORD WriteAll(HANDLE handle, Bytes bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  return 0;
}

DWORD Flush(HANDLE handle) { return FlushFileBuffers(handle) ? 0 : GetLastError(); }

// The path up to and including its last separator, or the drive of "C:name".
std::wstring FolderPrefix(const std::wstring& path) {
  const auto separator = path.find_last_of(L"\\/");
  if (separator != std::wstring::npos) return path.substr(0, separator + 1);
  return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : std::wstring();
}

std::wstring UniqueName() {
  static std::atomic<std::uint64_t> counter{0};
  LARGE_INTEGER ticks{};
  QueryPerformanceCounter(&ticks);
  std::uint64_t x = (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) ^ counter.fetch_add(1) ^
                    static_cast<std::uint64_t>(ticks.QuadPart);
  // splitmix64's finaliser: every input bit reaches every output bit.
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
  x ^= x >> 31;
  wchar_t name[32];
  std::swprintf(name, 32, L".zarn-%016llx.tmp", static_cast<unsigned long long>(x));
  return name;
}

// A device or pipe (NUL, CON, \\.\pipe\...): written as it is. Flushing a
// pipe would wait for its reader, and a device keeps nothing to flush.
Result WriteDirect(std::string_view shown, const std::wstring& path, Bytes bytes) {
  Handle file = Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
  if (!file.ok()) return Failure(shown, GetLastError());
  DWORD error = WriteAll(file.get(), bytes);
  const DWORD closed = file.Close();
  if (error == 0) error = closed;
  if (error != 0) return Failure(shown, error);
  return FileWrite::kDirect;
}

// The folder takes no new file: the file itself is overwritten and cut to
// the new length. A failure may leave it part old, part new.
Result WriteInPlace(std::string_view shown, const std::wstring& target, DWORD folderError, Bytes bytes) {
  Handle file = Open(target, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file.ok()) return Failure(shown, folderError);
  DWORD error = WriteAll(file.get(), bytes);
  if (error == 0 && !SetEndOfFile(file.get())) error = GetLastError();
  if (error == 0) error = Flush(file.get());
  const DWORD closed = file.Close();
  if (error == 0) error = closed;
  if (error != 0) return Failure(shown, error, true);
  return FileWrite::kInPlace;
}

// attributes: the old file's hidden, system and archive marks, kept on the
// new one; 0 for a file yet to be made.
Result Replace(std::string_view shown, const std::wstring& target, bool exists, DWORD attributes, Bytes bytes) {
  const std::wstring prefix = FolderPrefix(target);
  std::wstring temp;
  Handle file(INVALID_HANDLE_VALUE);
  DWORD error = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = prefix + UniqueName();
    HANDLE made = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made != INVALID_HANDLE_VALUE) {
      file.Reset(made);
      break;
    }
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  if (!file.ok()) {
    if (exists && error == ERROR_ACCESS_DENIED) return WriteInPlace(shown, target, error, bytes);
    return Failure(shown, error);
  }
  error = WriteAll(file.get(), bytes);
  if (error == 0) error = Flush(file.get());
  const DWORD closed = file.Close();
  if (error == 0) error = closed;
  if (error == 0 && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != 0) {
    DeleteFileW(temp.c_str());
    return Failure(shown, error);
  }
  return FileWrite::kReplaced;
}

// The file an open handle names once every link is followed ("\\?\C:\..."),
// or the path itself where the system cannot tell.
std::wstring FinalPath(HANDLE handle, const std::wstring& path) {
  std::wstring final(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), 0);
  if (length >= final.size()) {
    final.assign(length, L'\0');
    length = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), 0);
  }
  if (length == 0 || length >= final.size()) return path;
  final.resize(length);
  return final;
}

bool IsDeviceNamespace(const std::wstring& path) {
  return path.size() >= 4 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/') &&
         path[2] == L'.' && (path[3] == L'\\' || path[3] == L'/');
}

}  // namespace

Result WriteFileSafely(std::string_view path, Bytes bytes) {
  if (path.empty()) return Result::Failure("Cannot write a file without a name.");
  std::wstring wide;
  if (!Widen(path, wide)) return Result::Failure("Cannot write a file whose name is not valid UTF-8.");
  if (wide.find(L'\0') != std::wstring::npos) {
    return Result::Failure("Cannot write a file whose name holds a zero character.");
  }
  if (IsDeviceNamespace(wide)) return WriteDirect(path, wide, bytes);
  // Opened for its attributes only: the handle tells a disk file from a
  // device and where a link leads.
  Handle probe = Open(wide, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS);
  if (!probe.ok()) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return Failure(path, error);
    return Replace(path, wide, false, 0, bytes);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(probe.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(probe.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    probe.Close();
    return WriteDirect(path, wide, bytes);
  }
  // A file its owner made read-only is not replaced behind their back.
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) return Failure(path, ERROR_ACCESS_DENIED);
  // Where every link on the way leads; the new file is made beside that.
  const std::wstring target = FinalPath(probe.get(), wide);
  probe.Close();
  const DWORD kept = info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  return Replace(path, target, true, kept, bytes);
}

modes::Expected<std::string> ReadFileStart(std::string_view path, std::size_t limit) {
  using Read = modes::Expected<std::string>;
  std::wstring wide;
  if (path.empty() || !Widen(path, wide) || wide.find(L'\0') != std::wstring::npos) {
    return Read::Failure("Cannot read a file without a valid name.");
  }
  Handle file = Open(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, 0);
  if (!file.ok()) return Read::Failure("Cannot read " + std::string(path) + ": " + SystemReason(GetLastError()) + ".");
  std::string content(limit, '\0');
  std::size_t have = 0;
  while (have < limit) {
    DWORD got = 0;
    const auto ask = static_cast<DWORD>(std::min<std::size_t>(limit - have, 1 << 20));
    if (!ReadFile(file.get(), content.data() + have, ask, &got, nullptr)) {
      return Read::Failure("Cannot read " + std::string(path) + ": " + SystemReason(GetLastError()) + ".");
    }
    if (got == 0) break;
    have += got;
  }
  content.resize(have);
  return content;
}

modes::Expected<std::string> WriteTemporaryFile(std::span<const std::uint8_t> bytes) {
  using Written = modes::Expected<std::string>;
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) {
    return Written::Failure("Cannot find the folder for temporary files: " + SystemReason(GetLastError()) + ".");
  }
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::wstring path = std::wstring(folder, length) + UniqueName().substr(1);
    Handle file = Open(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY);
    if (!file.ok() && GetLastError() == ERROR_FILE_EXISTS) continue;
    const std::string shown = Narrow(path);
    if (!file.ok()) return Written::Failure("Cannot write " + shown + ": " + SystemReason(GetLastError()) + ".");
    if (const DWORD error = WriteAll(file.get(), bytes); error != 0) {
      file.Close();
      DeleteFileW(path.c_str());
      return Written::Failure("Cannot write " + shown + ": " + SystemReason(error) + ".");
    }
    return shown;
  }
  return Written::Failure("Cannot make a temporary file: " + SystemReason(ERROR_FILE_EXISTS) + ".");
}

bool RemoveFile(std::string_view path) {
  std::wstring wide;
  return Widen(path, wide) && DeleteFileW(wide.c_str());
}

}  // namespace zarn::platform
