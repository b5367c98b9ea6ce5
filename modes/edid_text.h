#pragma once

#include <string>
#include <string_view>

#include "modes/edid_model.h"

namespace zarn::modes {

// A readable report of a decoded EDID: identity, basic parameters, each
// block's contents, every timing with its origin, and the warnings.
std::string EdidReport(const DecodedEdid& edid);

// Who the monitor is, on one line: "AOC 2267W (AOC 8807, serial 2250), made in
// week 37 of 2017; EDID 1.3; 48 x 27 cm; 21 timings".
std::string EdidIdentityLine(const DecodedEdid& edid);

// The decoded EDID as one JSON object on one line: blocks (tag, checksum_ok),
// manufacturer, product_code, serial_number, week, year, version, name,
// serial_text, range_limits, cta, warnings and timings (origin, preferred and
// the keys of JsonObject). Always valid UTF-8, whatever bytes the EDID's texts hold.
std::string EdidJson(const DecodedEdid& edid);

// Text as valid UTF-8: each byte that does not belong to a well-formed
// sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view text);

}  // namespace zarn::modes
