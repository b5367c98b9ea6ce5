#pragma once

#include <array>
#include <span>

#include "modes/display_timing.h"

namespace zarn::modes {

// One CTA-861 Resolution Identification (RID): a picture size and shape that
// a Video Format Data Block names together with frame rates. Every RID comes
// at the same fifteen rates, and OVT makes its timing at each; where a VIC is
// the same format (vics, for the eight rates up to 120 Hz), a source sends
// that VIC's timing instead.
struct RidInfo {
  int rid;
  int width;
  int height;
  AspectRatio aspect;
  std::span<const int> rates_hz;
  std::array<int, 8> vics;  // at 24, 25, 30, 48, 50, 60, 100 and 120 Hz; 0 where no VIC is that format
};

// RIDs 1 to 28, in RID order.
std::span<const RidInfo> Rids();

// The RID with that number; nullptr for none.
const RidInfo* FindRid(int rid);

// The VIC that is this RID at this rate; 0 for none.
int RidVic(const RidInfo& rid, int rate_hz);

// The picture aspect ratio of the first RID of that size (the square-pixel
// one where two RIDs share a size); 0:0 for a size no RID has.
AspectRatio RidAspectRatio(int width, int height);

}  // namespace zarn::modes
