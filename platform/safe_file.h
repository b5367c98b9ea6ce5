#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "modes/expected.h"

namespace zarn::platform {

// How the bytes reached the file.
enum class FileWrite {
  kReplaced,  // a new file beside it, flushed, then renamed over the old one
  kDirect,    // a device, a pipe or a terminal: written as it is
  kInPlace,   // the folder takes no new file: the file itself was overwritten
};

// Writes the whole content to the file at path (UTF-8), so that a failure
// never leaves a half-written file behind where there was a whole one: the
// content goes to a new file in the same folder, is flushed to the disk and
// then takes the old file's name. A symbolic link stays a link and the file
// it names is replaced; the old file's permissions (and on POSIX its owner
// and group, where allowed) carry over; a new file gets the usual ones.
// Devices and pipes are written directly. Where the folder takes no new file
// but the file itself is writable, the file is overwritten in place.
// A failure is one sentence: "Cannot write mode.bin: No space left on device."
modes::Expected<FileWrite> WriteFileSafely(std::string_view path, std::span<const std::uint8_t> bytes);

// The same for text or any other bytes held in a string.
inline modes::Expected<FileWrite> WriteFileSafely(std::string_view path, std::string_view bytes) {
  return WriteFileSafely(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

// A new file in the system's folder for temporary files, holding the bytes,
// readable by its owner alone: its path (UTF-8), or why there is none. The
// caller removes it when done.
modes::Expected<std::string> WriteTemporaryFile(std::span<const std::uint8_t> bytes);
// Removes a file by its path in UTF-8; false when it could not.
bool RemoveFile(std::string_view path);

// The first bytes of a file, up to limit (the whole of a small file), by its
// path in UTF-8. A failure is one sentence: "Cannot read mode.bin: ...".
modes::Expected<std::string> ReadFileStart(std::string_view path, std::size_t limit);

}  // namespace zarn::platform
