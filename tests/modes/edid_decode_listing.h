#pragma once

#include <optional>
#include <string>
#include <vector>

#include "edid_decode_reference.h"

namespace zarn::modes::testing {

// One timing of edid-decode's long listing ("edid-decode -L"): its label
// ("DMT 0x04", "IBM", "GTF", "DTD 3", "VIC  16", "HDMI VIC 1", "DTD"), the
// heading of the block it is listed under, and its figures with the borders
// that edid-decode prints apart counted in the porches beside them, and
// vertical figures per field.
struct ListedTiming {
  std::string label;
  std::string section;
  ReferenceTiming timing;
  bool v_polarity_given = true;  // edid-decode gives none for composite sync
};

// What the listing says of one EDID.
struct EdidDecodeListing {
  std::vector<ListedTiming> timings;
  std::string manufacturer;
  int product_code = -1;
  long long serial_number = 0;  // edid-decode leaves out a serial number of 0
  int week = 0;
  int year = 0;
  bool model_year = false;
  std::optional<std::string> name;  // the first name descriptor's
  std::vector<bool> checksums_ok;   // one per block, in order
};

EdidDecodeListing ParseEdidDecodeListing(const std::string& text);

// Runs "edid-decode -L PATH" and reads its listing.
EdidDecodeListing EdidDecodeListingOf(const std::string& path);

}  // namespace zarn::modes::testing
