#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zarn::modes::testing {

// A file's whole content, as text or as bytes (empty when it cannot be read).
std::string ReadText(const std::filesystem::path& path);
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);

// The binary EDIDs of a folder of the corpus (*.bin), sorted by name.
std::vector<std::filesystem::path> CorpusFiles(const std::filesystem::path& folder);

}  // namespace zarn::modes::testing
