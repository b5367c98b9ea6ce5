#pragma once

// Pieces the EDID reader's source files share; not in the library's interface.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "modes/edid_model.h"

namespace zarn::modes::edid_decoding {

using Bytes = std::span<const std::uint8_t>;

// The byte at index, or 0 past the end: every read of an EDID goes through
// this or through a bounds check of its own.
inline std::uint8_t At(Bytes bytes, std::size_t index) { return index < bytes.size() ? bytes[index] : 0; }
inline int Le16(Bytes bytes, std::size_t index) { return At(bytes, index) | At(bytes, index + 1) << 8; }
inline int Le24(Bytes bytes, std::size_t index) { return Le16(bytes, index) | At(bytes, index + 2) << 16; }

// "0x2a".
std::string HexByte(int value);
// "00 ff 1a" for a few bytes.
std::string HexList(Bytes bytes);

// Adds a timing under its origin (which becomes the timing's source too).
void AddTiming(DecodedEdid& edid, DisplayTiming timing, std::string origin, EdidTimingKind kind, EdidLocation location,
               bool preferred = false);

// An 18-byte detailed timing descriptor as a timing. Implausible figures (no
// active pixels, a clock below 10 MHz, porches that do not fit the blanking)
// are warnings: the timing is kept, so that it can be seen and replaced.
std::optional<EdidTiming> DetailedTiming(Bytes descriptor, DecodedEdid& edid, const std::string& origin);

// A VIC of the CTA-861 table or an HDMI VIC, added under that origin; a VIC
// the table lacks is a warning.
void AddVic(DecodedEdid& edid, int vic, bool hdmi_vic, std::string origin, EdidTimingKind kind, EdidLocation location,
            bool native = false);

// A DMT mode by ID, added under that origin; an unknown ID is a warning.
void AddDmt(DecodedEdid& edid, int id, std::string origin, EdidTimingKind kind, EdidLocation location);

// The CVT timing of a size and rate, normal or reduced blanking (version 1),
// added under "PREFIX: CVT 1920x1080@60"; a size CVT cannot make is a warning.
void AddCvt(DecodedEdid& edid, int width, int height, int rate_hz, bool reduced, bool interlaced,
            const std::string& prefix, EdidTimingKind kind, EdidLocation location, bool preferred = false);

// The base block, then the extensions.
void DecodeBaseBlock(DecodedEdid& edid);
void DecodeCtaBlock(DecodedEdid& edid, int index);
void DecodeDisplayIdBlock(DecodedEdid& edid, int index);

}  // namespace zarn::modes::edid_decoding
