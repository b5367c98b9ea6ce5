#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "modes/display_timing.h"
#include "modes/edid_blocks.h"
#include "modes/expected.h"

namespace zarn::modes {

// Edits of an EDID's bytes. Each keeps every byte it does not need to change,
// writes the checksums of the blocks it changes, and gives the new bytes with
// what changed, one sentence a change; what it cannot do is refused with the
// reason, and nothing is dropped without a word.
//
// Where a timing goes: into a detailed timing descriptor (DTD) when its clock
// is a whole number of 10 kHz steps up to 655.35 MHz and every figure fits
// one, in the base block when a descriptor there is free (a dummy), else in a
// CTA-861 extension block (a new one when none has room). Any other timing
// goes into a DisplayID extension block as a detailed timing of 20 bytes:
// type VII of DisplayID 2.0 (1 kHz steps, clocks far above 655.35 MHz), or
// type I where the EDID already has a DisplayID 1.x block (10 kHz steps).
// New blocks carry what a conformity check (edid-decode -c) requires of them.
// A timing added or made preferred that lies outside the display range
// limits widens them.

struct TimingEditOptions {
  // The clock moved to the nearest 10 kHz step first, so that the timing
  // fits a detailed timing descriptor; the change says the rate it gives.
  bool round_clock = false;
};

// Makes the timing the preferred one: DTD 1 of the base block, the DTD there
// before moving to a free descriptor or a CTA-861 block (or, when the timing
// is already a DTD, the two changing places). A timing no DTD holds becomes
// the preferred timing of a DisplayID block instead, and the change says
// that software reading only the base block keeps DTD 1.
Expected<EdidEdited> PreferTiming(std::span<const std::uint8_t> edid, const DisplayTiming& timing,
                                  const TimingEditOptions& options = {});

// Adds the timing where it fits (see above); a timing the EDID already offers
// with the same figures is refused.
Expected<EdidEdited> AddTiming(std::span<const std::uint8_t> edid, const DisplayTiming& timing,
                               const TimingEditOptions& options = {});

// Removes timings, each named as zarn-timing edid show lists it: by its
// origin ("DTD 3", "VIC 16 (native)", "Established: DMT 0x24") or its number
// in that list ("5"). All are found in the EDID as given, then removed
// together. DTD 1 of the base block (the preferred timing) and timings that
// share their bytes with others the list does not name are refused.
Expected<EdidEdited> RemoveTimings(std::span<const std::uint8_t> edid, std::span<const std::string> which);

// New display range limits: what is given replaces the stated figure.
struct RangeLimitsEdit {
  std::optional<int> min_v_rate_hz, max_v_rate_hz;
  std::optional<int> min_h_rate_khz, max_h_rate_khz;
  std::optional<int> max_pixel_clock_mhz;  // in 10 MHz steps as stored: rounded up
  bool range_limits_only = false;          // mark the descriptor "range limits only" (no timing formula)
};

// Sets the display range limits descriptor (a free descriptor becomes one
// where there is none), and an AMD FreeSync range of a CTA-861 block to the
// same refresh rates. Every timing the EDID offers must stay within the
// limits. EDID 1.3 holds rates up to 255 and no "range limits only" mark.
Expected<EdidEdited> SetRangeLimits(std::span<const std::uint8_t> edid, const RangeLimitsEdit& range);

// The variable refresh range as the Linux kernel and its AMD driver read it:
// the range limits' vertical rates, with the mark "range limits only".
Expected<EdidEdited> SetVrrRange(std::span<const std::uint8_t> edid, int min_hz, int max_hz);

// Sets the display name of the base block's name descriptor (a free
// descriptor becomes one where there is none).
Expected<EdidEdited> SetDisplayName(std::span<const std::uint8_t> edid, std::string_view name);

// Writes every block's checksum, and every DisplayID section's, that is wrong.
Expected<EdidEdited> MendChecksums(std::span<const std::uint8_t> edid);

}  // namespace zarn::modes
