#pragma once

// Pieces the EDID edits share; not in the library's interface.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "modes/display_timing.h"
#include "modes/edid.h"
#include "modes/edid_blocks.h"
#include "modes/edid_model.h"
#include "modes/expected.h"

namespace zarn::modes::edid_editing {

// An edit in progress: the bytes with their changes, and their decoding,
// brought up to date by Redecode after the bytes change.
struct Draft {
  EdidEdited edited;
  DecodedEdid decoded;
  std::vector<bool> checksum_ok;  // of each block as given
  bool block_map_given = false;   // block 1 was a block map
};

Expected<Draft> StartEdit(std::span<const std::uint8_t> bytes);
void Redecode(Draft& draft);
// The result; a block whose checksum was wrong and now is right says so.
EdidEdited FinishEdit(Draft&& draft);

// "CVT-RB2 3840x2160@144 (3840x2160 at 144.000 Hz, 1306.206 MHz)".
std::string TimingText(const DisplayTiming& timing);
// "3840x2160 at 144.000 Hz, 1306.206 MHz".
std::string FiguresText(const DisplayTiming& timing);

// The timing as the 18-byte descriptor, with the image size this display
// states (its first detailed timing's, else its screen size, else none).
Expected<DetailedTimingDescriptor> DescribeTimingFor(const DecodedEdid& edid, const DisplayTiming& timing);

// The timing with its clock on the nearest 10 kHz step when asked, and the
// sentence that says what that does to its rate.
DisplayTiming RoundedWhenAsked(Draft& draft, const DisplayTiming& timing, bool round_clock);

// Where a timing went, in words ("DTD 2 of the base block") and in bytes.
struct Placed {
  std::string where;
  int block = 0;
  int offset = 0;
};

// A descriptor put where a detailed timing descriptor goes: a dummy
// descriptor of the base block (first: as DTD 1), else a CTA-861 block with
// room, else a new CTA-861 block (never as DTD 1).
Expected<Placed> PlaceDescriptor(Draft& draft, const DetailedTimingDescriptor& descriptor, bool first);

// The base block's descriptor slots in the order readers expect: detailed
// timings first, then display descriptors, then dummies; with a dummy given
// up for the new descriptor when there is one. Gives the new descriptor's
// slot, or -1 when no dummy is free; moved: whether other descriptors moved.
int ArrangeBaseDescriptors(Draft& draft, const DetailedTimingDescriptor* added, bool first, bool& moved);

// A timing put where it fits: a detailed timing descriptor, else a DisplayID
// detailed timing (preferred: with the preferred flag, taken from the other
// DisplayID timings).
Expected<Placed> PlaceTiming(Draft& draft, const DisplayTiming& timing, bool preferred);

// Clears the preferred flag of every DisplayID detailed timing but the one at
// (block, offset).
void KeepOneDisplayIdPreferred(Draft& draft, int block, int offset);

// Widens the display range limits to cover every timing the EDID offers now
// and did not before (a new CTA-861 block's VIC 1 too); empty, or why they
// cannot (EDID 1.3 holds rates up to 255, 1.4 up to 510; clocks up to 2550 MHz).
// A timing with the figures of asked goes by asked's name.
std::string WidenRangeLimits(Draft& draft, const std::vector<EdidTiming>& before, const DisplayTiming& asked);

// The rates and clock of a range limits descriptor, written as stored
// (offsets for rates above 255 in EDID 1.4); empty, or why they cannot be.
std::string WriteRateLimits(std::span<std::uint8_t> descriptor, bool edid14, int min_v, int max_v, int min_h, int max_h,
                            std::uint64_t max_clock_hz);

// Whether the timing lies within each limit, and within them all, as
// edid-decode checks them
// (rates within half a hertz or 500 Hz of line rate; a clock below the
// maximum when strict_clock, else up to it).
struct RangeFit {
  bool v, h, clock;
};
RangeFit FitOf(const EdidRangeLimits& range, const DisplayTiming& timing, bool strict_clock);
bool WithinRange(const EdidRangeLimits& range, const DisplayTiming& timing, bool strict_clock);

}  // namespace zarn::modes::edid_editing
