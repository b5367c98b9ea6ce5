#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "modes/expected.h"

namespace zarn::modes {

// The bytes of an EDID pasted as hex: as edid-decode prints its hex block,
// as xrandr --verbose prints it (tab-indented lines of 32 digits), as the
// kernel and xxd print it, with or without spaces, line breaks, commas and
// 0x prefixes. Words that are not hex pairs (labels, offsets with a colon,
// bracketed times) are passed over, and what comes before the EDID header
// is dropped. Fails when the text holds no hex bytes.
Expected<std::vector<std::uint8_t>> ParseEdidHex(std::string_view text);

// A file's content as EDID bytes: binary when it starts with the EDID header
// or holds bytes that no text has, else hex text as above.
Expected<std::vector<std::uint8_t>> EdidBytesFromFile(std::string_view content);

}  // namespace zarn::modes
