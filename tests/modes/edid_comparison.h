#pragma once

#include <string>
#include <vector>

#include "edid_decode_listing.h"
#include "modes/edid_model.h"

namespace zarn::modes::testing {

// The known differences between the reader and edid-decode, read from
// tests/data/edid/known_differences.txt.
struct KnownDifference {
  std::string file;  // "*": every file
  std::string origin;
  std::string what;  // "figures", "extra" (only the reader lists it) or "missing" (only edid-decode)
};
std::vector<KnownDifference> ReadKnownDifferences(const std::string& path);

// The label edid-decode gives a timing of that origin: "Established: DMT 0x04"
// is "DMT 0x04", "CTA DTD 2" is "DTD 2", "VIC 16 (native)" is "VIC 16",
// "DisplayID Type VII 1" is "DTD", "Standard: GTF 1152x864@60" is "GTF".
std::string EdidDecodeLabel(const std::string& origin);

// Compares the timings in order (origin, clock, all eight figures,
// polarities, interlace) and the identity; returns one line per difference
// that the known differences do not explain. compared counts the timings.
std::vector<std::string> CompareWithEdidDecode(const std::string& file, const DecodedEdid& ours,
                                               const EdidDecodeListing& reference,
                                               const std::vector<KnownDifference>& known, int& compared);

}  // namespace zarn::modes::testing
