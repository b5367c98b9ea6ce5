// WriteFileSafely on POSIX systems: a new file beside the old one, fsync,
// rename.
#include "platform/safe_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

namespace zarn::platform {
namespace {

using Result = modes::Expected<FileWrite>;
using Bytes = std::span<const std::uint8_t>;

Result Failure(std::string_view shown, int error, bool incomplete = false) {
  std::string text = "Cannot write " + std::string(shown) + ": " + std::generic_category().message(error);
  if (incomplete) text += "; the file may be incomplete";
  return Result::Failure(text + ".");
}

// A file-size limit raises SIGXFSZ and a pipe without a reader SIGPIPE, and
// either ends the process by default. Blocked in this thread while the file
// is written, the write fails with EFBIG or EPIPE instead and is reported;
// the signals it raised are taken off before the mask is restored.
class QuietSignals {
 public:
  QuietSignals() {
    sigemptyset(&quiet_);
    sigaddset(&quiet_, SIGXFSZ);
    sigaddset(&quiet_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &quiet_, &previous_);
  }
  ~QuietSignals() {
    const timespec noWait{};
    while (sigtimedwait(&quiet_, nullptr, &noWait) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  QuietSignals(const QuietSignals&) = delete;
  QuietSignals& operator=(const QuietSignals&) = delete;

 private:
  sigset_t quiet_{};
  sigset_t previous_{};
};

int OpenFile(const std::string& path, int flags, mode_t mode = 0) {
  int fd = -1;
  do {
    fd = open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Each call returns 0 or the errno of the failure.
int WriteAll(int fd, Bytes bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written == 0) {
      return EIO;  // the system took nothing and gave no reason
    } else if (errno != EINTR) {
      return errno;
    }
  }
  return 0;
}

int Flush(int fd) {
  while (fsync(fd) != 0) {
    // EINVAL and EROFS: a device, pipe or pseudo-file that keeps nothing to flush.
    if (errno == EINVAL || errno == EROFS) return 0;
    if (errno != EINTR) return errno;
  }
  return 0;
}

// Linux closes the descriptor even when close is interrupted.
int Close(int fd) { return close(fd) == 0 || errno == EINTR ? 0 : errno; }

// The path up to and including its last slash: the folder, as a prefix.
std::string FolderPrefix(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool InProcFileSystem(const std::string& folder) {
#ifdef __linux__
  struct statfs info {};
  return statfs(folder.empty() ? "." : folder.c_str(), &info) == 0 && info.f_type == PROC_SUPER_MAGIC;
#else
  (void)folder;
  return false;
#endif
}

// The file a path names once the symbolic links on its last part are
// followed, even where the last link names a file yet to be made. A link
// inside /proc (where /dev/stdout leads) names an open descriptor, not a
// place in a folder: it is written through, never replaced.
struct Target {
  std::string path;
  bool descriptor = false;
  int error = 0;
};

Target Resolve(std::string path) {
  for (int links = 0; links < 40; ++links) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return {path};
    if (InProcFileSystem(FolderPrefix(path))) return {path, true};
    std::string content(256, '\0');
    ssize_t length = 0;
    while ((length = readlink(path.c_str(), content.data(), content.size())) >= 0 &&
           static_cast<std::size_t>(length) == content.size()) {
      content.resize(content.size() * 2);
    }
    if (length < 0) return {path, false, errno};
    content.resize(static_cast<std::size_t>(length));
    path = content.starts_with('/') ? content : FolderPrefix(path) + content;
  }
  return {path, false, ELOOP};
}

std::string UniqueName() {
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t x = (static_cast<std::uint64_t>(getpid()) << 32) ^ counter.fetch_add(1) ^
                    static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  // splitmix64's finaliser: every input bit reaches every output bit.
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
  x ^= x >> 31;
  char name[32];
  std::snprintf(name, sizeof name, ".zarn-%016llx.tmp", static_cast<unsigned long long>(x));
  return name;
}

int WriteAndFlush(int fd, Bytes bytes) {
  const int error = WriteAll(fd, bytes);
  return error != 0 ? error : Flush(fd);
}

// The descriptor of this process that a path in /proc names ("/dev/stdout"
// leads to /proc/self/fd/1), or -1.
int OwnDescriptor(const std::string& path) {
  const std::string last = path.substr(path.rfind('/') + 1);
  if (last.empty() || last.size() > 9 || last.find_first_not_of("0123456789") != std::string::npos) return -1;
  const int fd = std::stoi(last);
  struct stat named {};
  struct stat opened {};
  if (stat(path.c_str(), &named) != 0 || fstat(fd, &opened) != 0) return -1;
  return named.st_dev == opened.st_dev && named.st_ino == opened.st_ino ? fd : -1;
}

// A device, pipe or terminal: written as it is. A regular file reached
// through another process's descriptor is added to, so that what it holds
// stays.
Result WriteDirect(std::string_view shown, const std::string& path, bool append, Bytes bytes) {
  const int fd = OpenFile(path, O_WRONLY | (append ? O_APPEND : 0));
  if (fd < 0) return Failure(shown, errno);
  int error = WriteAndFlush(fd, bytes);
  const int closed = Close(fd);
  if (error == 0) error = closed;
  if (error != 0) return Failure(shown, error);
  return FileWrite::kDirect;
}

// The folder takes no new file: the file itself is overwritten and cut to
// the new length. A failure may leave it part old, part new.
Result WriteInPlace(std::string_view shown, const std::string& target, int folderError, Bytes bytes) {
  const int fd = OpenFile(target, O_WRONLY);
  if (fd < 0) return Failure(shown, folderError);
  int error = WriteAll(fd, bytes);
  struct stat info {};
  if (error == 0 && fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) > bytes.size() &&
      ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
    error = errno;
  }
  if (error == 0) error = Flush(fd);
  const int closed = Close(fd);
  if (error == 0) error = closed;
  if (error != 0) return Failure(shown, error, true);
  return FileWrite::kInPlace;
}

// As far as the system allows: only a privileged process may give a file
// away (anyone may pass it to a group of their own), and a file system
// without owners or modes (FAT) keeps its own.
void KeepOwnerAndMode(int fd, const struct stat& old) {
  if (old.st_uid != geteuid() || old.st_gid != getegid()) {
    [[maybe_unused]] const bool given =
        fchown(fd, old.st_uid, old.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
  }
  // After fchown, which clears the set-user-ID and set-group-ID bits.
  [[maybe_unused]] const bool kept = fchmod(fd, old.st_mode & 07777) == 0;
}

// Makes the rename itself durable. Some file systems cannot sync a folder;
// the new content is in place by then either way.
void FlushFolder(const std::string& prefix) {
  const int fd = OpenFile(prefix.empty() ? "." : prefix, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  Flush(fd);
  Close(fd);
}

Result Replace(std::string_view shown, const std::string& target, const struct stat* old, Bytes bytes) {
  const std::string prefix = FolderPrefix(target);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = prefix + UniqueName();
    // A new file gets 0666 less the umask, as any program's would.
    fd = OpenFile(temp, O_WRONLY | O_CREAT | O_EXCL, old != nullptr ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int error = errno;
    if (old != nullptr && (error == EACCES || error == EPERM)) return WriteInPlace(shown, target, error, bytes);
    return Failure(shown, error);
  }
  if (old != nullptr) KeepOwnerAndMode(fd, *old);
  int error = WriteAndFlush(fd, bytes);
  const int closed = Close(fd);
  if (error == 0) error = closed;
  if (error != 0) {
    unlink(temp.c_str());
    return Failure(shown, error);
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    error = errno;
    unlink(temp.c_str());
    // A file mounted on its own (a container's bind mount) cannot be renamed
    // over; written in place, it still takes the content.
    if (old != nullptr && (error == EBUSY || error == EXDEV)) return WriteInPlace(shown, target, error, bytes);
    return Failure(shown, error);
  }
  FlushFolder(prefix);
  return FileWrite::kReplaced;
}

}  // namespace

Result WriteFileSafely(std::string_view path, Bytes bytes) {
  if (path.empty()) return Result::Failure("Cannot write a file without a name.");
  const std::string name(path);
  if (name.find('\0') != std::string::npos) return Result::Failure("Cannot write a file whose name holds a zero byte.");
  const QuietSignals quiet;
  const Target target = Resolve(name);
  if (target.error != 0) return Failure(path, target.error);
  if (target.descriptor) {
    // Written where the descriptor stands, as the shell's ">" or ">>" set
    // it; opened anew, a pipe without a reader would block.
    const int fd = OwnDescriptor(target.path);
    if (fd < 0) return WriteDirect(path, name, true, bytes);
    const int error = WriteAndFlush(fd, bytes);
    if (error != 0) return Failure(path, error);
    return FileWrite::kDirect;
  }
  struct stat info {};
  if (stat(target.path.c_str(), &info) != 0) {
    if (errno != ENOENT) return Failure(path, errno);
    return Replace(path, target.path, nullptr, bytes);
  }
  if (!S_ISREG(info.st_mode)) return WriteDirect(path, name, false, bytes);
  // A file its owner made read-only is not replaced behind their back.
  if (faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0) return Failure(path, errno);
  return Replace(path, target.path, &info, bytes);
}

modes::Expected<std::string> ReadFileStart(std::string_view path, std::size_t limit) {
  using Read = modes::Expected<std::string>;
  const std::string name(path);
  const int file = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return Read::Failure("Cannot read " + name + ": " + std::generic_category().message(errno) + ".");
  std::string content(limit, '\0');
  std::size_t have = 0;
  while (have < limit) {
    const ssize_t got = read(file, content.data() + have, limit - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      close(file);
      return Read::Failure("Cannot read " + name + ": " + std::generic_category().message(error) + ".");
    }
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  close(file);
  content.resize(have);
  return content;
}

modes::Expected<std::string> WriteTemporaryFile(std::span<const std::uint8_t> bytes) {
  using Written = modes::Expected<std::string>;
  const char* folder = std::getenv("TMPDIR");
  const std::string prefix = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/";
  const QuietSignals quiet;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string path = prefix + UniqueName().substr(1);
    const int fd = OpenFile(path, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return Written::Failure(Failure(path, errno).error());
    const int error = WriteAll(fd, bytes);
    const int closed = Close(fd);
    if (error != 0 || closed != 0) {
      unlink(path.c_str());
      return Written::Failure(Failure(path, error != 0 ? error : closed).error());
    }
    return path;
  }
  return Written::Failure(Failure(prefix, EEXIST).error());
}

bool RemoveFile(std::string_view path) { return unlink(std::string(path).c_str()) == 0; }

}  // namespace zarn::platform
