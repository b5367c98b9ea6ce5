#pragma once

#include <cstdint>
#include <span>

#include "modes/edid_model.h"
#include "modes/expected.h"

namespace zarn::modes {

// Reads an EDID: the base block (EDID 1.0 to 1.4) and every extension block
// the bytes hold (CTA-861, DisplayID 1.3 and 2.x, block maps; others kept as
// bytes). Whatever does not read cleanly (a wrong checksum, a missing or
// short extension, an unknown tag, a reserved value) becomes a warning and
// the rest is read all the same. It fails only when there is no base block:
// fewer than 128 bytes, or no EDID header at the start.
Expected<DecodedEdid> DecodeEdid(std::span<const std::uint8_t> bytes);

}  // namespace zarn::modes
