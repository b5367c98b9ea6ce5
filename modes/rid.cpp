#include "modes/rid.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace zarn::modes {
namespace {

constexpr AspectRatio k16x9{16, 9};
constexpr AspectRatio k64x27{64, 27};
constexpr AspectRatio k32x9{32, 9};

// The frame rates of the Video Format Data Block and the AVI InfoFrame's frame
// rate field, in that order; the first eight are those a VIC can be.
constexpr std::array<int, 15> kRates = {24, 25, 30, 48, 50, 60, 100, 120, 144, 200, 240, 300, 360, 400, 480};
constexpr std::size_t kRatesWithVics = 8;

constexpr std::span<const int> kAllRates{kRates};
constexpr std::array<int, 8> kNoVics{};

// Columns: RID; width; height; picture; the VICs at 24, 25, 30, 48, 50, 60, 100 and 120 Hz.
constexpr std::array<RidInfo, 28> kRids = {{
    {1, 1280, 720, k16x9, kAllRates, {60, 61, 62, 108, 19, 4, 41, 47}},
    {2, 1280, 720, k64x27, kAllRates, {65, 66, 67, 109, 68, 69, 70, 71}},
    {3, 1680, 720, k64x27, kAllRates, {79, 80, 81, 110, 82, 83, 84, 85}},
    {4, 1920, 1080, k16x9, kAllRates, {32, 33, 34, 111, 31, 16, 64, 63}},
    {5, 1920, 1080, k64x27, kAllRates, {72, 73, 74, 112, 75, 76, 77, 78}},
    {6, 2560, 1080, k64x27, kAllRates, {86, 87, 88, 113, 89, 90, 91, 92}},
    {7, 3840, 1080, k32x9, kAllRates, kNoVics},
    {8, 2560, 1440, k16x9, kAllRates, kNoVics},
    {9, 3440, 1440, k64x27, kAllRates, kNoVics},
    {10, 5120, 1440, k32x9, kAllRates, kNoVics},
    {11, 3840, 2160, k16x9, kAllRates, {93, 94, 95, 114, 96, 97, 117, 118}},
    {12, 3840, 2160, k64x27, kAllRates, {103, 104, 105, 116, 106, 107, 119, 120}},
    {13, 5120, 2160, k64x27, kAllRates, {121, 122, 123, 124, 125, 126, 127, 193}},
    {14, 7680, 2160, k32x9, kAllRates, kNoVics},
    {15, 5120, 2880, k16x9, kAllRates, kNoVics},
    {16, 5120, 2880, k64x27, kAllRates, kNoVics},
    {17, 6880, 2880, k64x27, kAllRates, kNoVics},
    {18, 10240, 2880, k32x9, kAllRates, kNoVics},
    {19, 7680, 4320, k16x9, kAllRates, {194, 195, 196, 197, 198, 199, 200, 201}},
    {20, 7680, 4320, k64x27, kAllRates, {202, 203, 204, 205, 206, 207, 208, 209}},
    {21, 10240, 4320, k64x27, kAllRates, {210, 211, 212, 213, 214, 215, 216, 217}},
    {22, 15360, 4320, k32x9, kAllRates, kNoVics},
    {23, 11520, 6480, k16x9, kAllRates, kNoVics},
    {24, 11520, 6480, k64x27, kAllRates, kNoVics},
    {25, 15360, 6480, k64x27, kAllRates, kNoVics},
    {26, 15360, 8640, k16x9, kAllRates, kNoVics},
    {27, 15360, 8640, k64x27, kAllRates, kNoVics},
    {28, 20480, 8640, k64x27, kAllRates, kNoVics},
}};

// Row i holds RID i + 1, so a row lost or doubled does not compile.
constexpr bool RowsInPlace() {
  for (std::size_t i = 0; i < kRids.size(); ++i) {
    if (kRids[i].rid != static_cast<int>(i) + 1) return false;
  }
  return true;
}
static_assert(RowsInPlace());

}  // namespace

std::span<const RidInfo> Rids() { return kRids; }

const RidInfo* FindRid(int rid) {
  if (rid < 1 || rid > static_cast<int>(kRids.size())) return nullptr;
  return &kRids[static_cast<std::size_t>(rid - 1)];
}

int RidVic(const RidInfo& rid, int rate_hz) {
  const auto* const end = kRates.begin() + kRatesWithVics;
  const auto* const at = std::find(kRates.begin(), end, rate_hz);
  return at == end ? 0 : rid.vics[static_cast<std::size_t>(at - kRates.begin())];
}

AspectRatio RidAspectRatio(int width, int height) {
  for (const RidInfo& rid : kRids) {
    if (rid.width == width && rid.height == height) return rid.aspect;
  }
  return {};
}

}  // namespace zarn::modes
