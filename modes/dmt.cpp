#include "modes/dmt.h"

#include <array>
#include <cstddef>
#include <string>

#include "modes/row_figures.h"

namespace zarn::modes {
namespace {

// Sync polarities, scanning and blanking, as the rows below name them.
constexpr bool kPos = true;
constexpr bool kNeg = false;
constexpr bool kIntl = true;
constexpr bool kProg = false;
constexpr bool kRb = true;
constexpr bool kFull = false;

constexpr AspectRatio k4x3{4, 3};
constexpr AspectRatio k5x4{5, 4};
constexpr AspectRatio k15x9{15, 9};
constexpr AspectRatio k16x9{16, 9};
constexpr AspectRatio k16x10{16, 10};

// Standard timing codes: byte 1 is width / 8 - 31; byte 2 holds the aspect in
// bits 7-6 (00 16:10, 01 4:3, 10 5:4, 11 16:9) and the rate - 60 below. The
// 120 Hz reduced-blanking modes have none.
//
// CVT codes: byte 1 holds the low 8 bits and byte 2 bits 7-4 the high 4 bits
// of lines / 2 - 1; byte 2 bits 3-2 give the aspect (00 4:3, 01 16:9,
// 10 16:10, 11 15:9). Byte 3 bits 6-5 give the preferred rate (00 50 Hz,
// 01 60 Hz, 10 75 Hz, 11 85 Hz) and bits 4-0 the rates offered: 50, 60, 75
// and 85 Hz with normal blanking, then 60 Hz with reduced blanking. So x21 is
// 60 Hz reduced, x28 60 Hz, x44 75 Hz and x62 85 Hz; the DMT gives 1440x900 and
// 1680x1050 at 85 Hz x68, which also offers 60 Hz, and we keep its bytes. Only
// the modes made by the CVT formula at 60, 75 and 85 Hz have a code.
//
// Borders are counted in the porches (640x480 at 60 and 72 Hz have 8 pixels and
// 8 lines of border on every side). The interlaced 0x0F lists one field; its
// frame has 2 * 408 + 1 = 817 lines.
constexpr std::array<DmtMode, 88> kModes = {{
    // id, std, cvt, h active/front/sync/back, v active/front/sync/back, clock, h pol, v pol, scan, blanking, aspect
    {0x01, 0x0000, 0x000000, 640, 32, 64, 96, 350, 32, 3, 60, 31'500'000, kPos, kNeg, kProg, kFull, {64, 35}},
    {0x02, 0x3119, 0x000000, 640, 32, 64, 96, 400, 1, 3, 41, 31'500'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x03, 0x0000, 0x000000, 720, 36, 72, 108, 400, 1, 3, 42, 35'500'000, kNeg, kPos, kProg, kFull, {9, 5}},
    {0x04, 0x3140, 0x000000, 640, 16, 96, 48, 480, 10, 2, 33, 25'175'000, kNeg, kNeg, kProg, kFull, k4x3},
    {0x05, 0x314C, 0x000000, 640, 24, 40, 128, 480, 9, 3, 28, 31'500'000, kNeg, kNeg, kProg, kFull, k4x3},
    {0x06, 0x314F, 0x000000, 640, 16, 64, 120, 480, 1, 3, 16, 31'500'000, kNeg, kNeg, kProg, kFull, k4x3},
    {0x07, 0x3159, 0x000000, 640, 56, 56, 80, 480, 1, 3, 25, 36'000'000, kNeg, kNeg, kProg, kFull, k4x3},
    {0x08, 0x0000, 0x000000, 800, 24, 72, 128, 600, 1, 2, 22, 36'000'000, kPos, kPos, kProg, kFull, k4x3},
    {0x09, 0x4540, 0x000000, 800, 40, 128, 88, 600, 1, 4, 23, 40'000'000, kPos, kPos, kProg, kFull, k4x3},
    {0x0A, 0x454C, 0x000000, 800, 56, 120, 64, 600, 37, 6, 23, 50'000'000, kPos, kPos, kProg, kFull, k4x3},
    {0x0B, 0x454F, 0x000000, 800, 16, 80, 160, 600, 1, 3, 21, 49'500'000, kPos, kPos, kProg, kFull, k4x3},
    {0x0C, 0x4559, 0x000000, 800, 32, 64, 152, 600, 1, 3, 27, 56'250'000, kPos, kPos, kProg, kFull, k4x3},
    {0x0D, 0x0000, 0x000000, 800, 48, 32, 80, 600, 3, 4, 29, 73'250'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x0E, 0x0000, 0x000000, 848, 16, 112, 112, 480, 6, 8, 23, 33'750'000, kPos, kPos, kProg, kFull, k16x9},
    {0x0F, 0x0000, 0x000000, 1024, 8, 176, 56, 384, 0, 4, 20, 44'900'000, kPos, kPos, kIntl, kFull, k4x3},
    {0x10, 0x6140, 0x000000, 1024, 24, 136, 160, 768, 3, 6, 29, 65'000'000, kNeg, kNeg, kProg, kFull, k4x3},
    {0x11, 0x614C, 0x000000, 1024, 24, 136, 144, 768, 3, 6, 29, 75'000'000, kNeg, kNeg, kProg, kFull, k4x3},
    {0x12, 0x614F, 0x000000, 1024, 16, 96, 176, 768, 1, 3, 28, 78'750'000, kPos, kPos, kProg, kFull, k4x3},
    {0x13, 0x6159, 0x000000, 1024, 48, 96, 208, 768, 1, 3, 36, 94'500'000, kPos, kPos, kProg, kFull, k4x3},
    {0x14, 0x0000, 0x000000, 1024, 48, 32, 80, 768, 3, 4, 38, 115'500'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x15, 0x714F, 0x000000, 1152, 64, 128, 256, 864, 1, 3, 32, 108'000'000, kPos, kPos, kProg, kFull, k4x3},
    {0x16, 0x0000, 0x7F1C21, 1280, 48, 32, 80, 768, 3, 7, 12, 68'250'000, kPos, kNeg, kProg, kRb, k15x9},
    {0x17, 0x0000, 0x7F1C28, 1280, 64, 128, 192, 768, 3, 7, 20, 79'500'000, kNeg, kPos, kProg, kFull, k15x9},
    {0x18, 0x0000, 0x7F1C44, 1280, 80, 128, 208, 768, 3, 7, 27, 102'250'000, kNeg, kPos, kProg, kFull, k15x9},
    {0x19, 0x0000, 0x7F1C62, 1280, 80, 136, 216, 768, 3, 7, 31, 117'500'000, kNeg, kPos, kProg, kFull, k15x9},
    {0x1A, 0x0000, 0x000000, 1280, 48, 32, 80, 768, 3, 7, 35, 140'250'000, kPos, kNeg, kProg, kRb, k15x9},
    {0x1B, 0x0000, 0x8F1821, 1280, 48, 32, 80, 800, 3, 6, 14, 71'000'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x1C, 0x8100, 0x8F1828, 1280, 72, 128, 200, 800, 3, 6, 22, 83'500'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x1D, 0x810F, 0x8F1844, 1280, 80, 128, 208, 800, 3, 6, 29, 106'500'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x1E, 0x8119, 0x8F1862, 1280, 80, 136, 216, 800, 3, 6, 34, 122'500'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x1F, 0x0000, 0x000000, 1280, 48, 32, 80, 800, 3, 6, 38, 146'250'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x20, 0x8140, 0x000000, 1280, 96, 112, 312, 960, 1, 3, 36, 108'000'000, kPos, kPos, kProg, kFull, k4x3},
    {0x21, 0x8159, 0x000000, 1280, 64, 160, 224, 960, 1, 3, 47, 148'500'000, kPos, kPos, kProg, kFull, k4x3},
    {0x22, 0x0000, 0x000000, 1280, 48, 32, 80, 960, 3, 4, 50, 175'500'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x23, 0x8180, 0x000000, 1280, 48, 112, 248, 1024, 1, 3, 38, 108'000'000, kPos, kPos, kProg, kFull, k5x4},
    {0x24, 0x818F, 0x000000, 1280, 16, 144, 248, 1024, 1, 3, 38, 135'000'000, kPos, kPos, kProg, kFull, k5x4},
    {0x25, 0x8199, 0x000000, 1280, 64, 160, 224, 1024, 1, 3, 44, 157'500'000, kPos, kPos, kProg, kFull, k5x4},
    {0x26, 0x0000, 0x000000, 1280, 48, 32, 80, 1024, 3, 7, 50, 187'250'000, kPos, kNeg, kProg, kRb, k5x4},
    {0x27, 0x0000, 0x000000, 1360, 64, 112, 256, 768, 3, 6, 18, 85'500'000, kPos, kPos, kProg, kFull, k16x9},
    {0x28, 0x0000, 0x000000, 1360, 48, 32, 80, 768, 3, 5, 37, 148'250'000, kPos, kNeg, kProg, kRb, k16x9},
    {0x29, 0x0000, 0x0C2021, 1400, 48, 32, 80, 1050, 3, 4, 23, 101'000'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x2A, 0x9040, 0x0C2028, 1400, 88, 144, 232, 1050, 3, 4, 32, 121'750'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x2B, 0x904F, 0x0C2044, 1400, 104, 144, 248, 1050, 3, 4, 42, 156'000'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x2C, 0x9059, 0x0C2062, 1400, 104, 152, 256, 1050, 3, 4, 48, 179'500'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x2D, 0x0000, 0x000000, 1400, 48, 32, 80, 1050, 3, 4, 55, 208'000'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x2E, 0x0000, 0xC11821, 1440, 48, 32, 80, 900, 3, 6, 17, 88'750'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x2F, 0x9500, 0xC11828, 1440, 80, 152, 232, 900, 3, 6, 25, 106'500'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x30, 0x950F, 0xC11844, 1440, 96, 152, 248, 900, 3, 6, 33, 136'750'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x31, 0x9519, 0xC11868, 1440, 104, 152, 256, 900, 3, 6, 39, 157'000'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x32, 0x0000, 0x000000, 1440, 48, 32, 80, 900, 3, 6, 44, 182'750'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x33, 0xA940, 0x000000, 1600, 64, 192, 304, 1200, 1, 3, 46, 162'000'000, kPos, kPos, kProg, kFull, k4x3},
    {0x34, 0xA945, 0x000000, 1600, 64, 192, 304, 1200, 1, 3, 46, 175'500'000, kPos, kPos, kProg, kFull, k4x3},
    {0x35, 0xA94A, 0x000000, 1600, 64, 192, 304, 1200, 1, 3, 46, 189'000'000, kPos, kPos, kProg, kFull, k4x3},
    {0x36, 0xA94F, 0x000000, 1600, 64, 192, 304, 1200, 1, 3, 46, 202'500'000, kPos, kPos, kProg, kFull, k4x3},
    {0x37, 0xA959, 0x000000, 1600, 64, 192, 304, 1200, 1, 3, 46, 229'500'000, kPos, kPos, kProg, kFull, k4x3},
    {0x38, 0x0000, 0x000000, 1600, 48, 32, 80, 1200, 3, 4, 64, 268'250'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x39, 0x0000, 0x0C2821, 1680, 48, 32, 80, 1050, 3, 6, 21, 119'000'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x3A, 0xB300, 0x0C2828, 1680, 104, 176, 280, 1050, 3, 6, 30, 146'250'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x3B, 0xB30F, 0x0C2844, 1680, 120, 176, 296, 1050, 3, 6, 40, 187'000'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x3C, 0xB319, 0x0C2868, 1680, 128, 176, 304, 1050, 3, 6, 46, 214'750'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x3D, 0x0000, 0x000000, 1680, 48, 32, 80, 1050, 3, 6, 53, 245'500'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x3E, 0xC140, 0x000000, 1792, 128, 200, 328, 1344, 1, 3, 46, 204'750'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x3F, 0xC14F, 0x000000, 1792, 96, 216, 352, 1344, 1, 3, 69, 261'000'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x40, 0x0000, 0x000000, 1792, 48, 32, 80, 1344, 3, 4, 72, 333'250'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x41, 0xC940, 0x000000, 1856, 96, 224, 352, 1392, 1, 3, 43, 218'250'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x42, 0xC94F, 0x000000, 1856, 128, 224, 352, 1392, 1, 3, 104, 288'000'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x43, 0x0000, 0x000000, 1856, 48, 32, 80, 1392, 3, 4, 75, 356'500'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x44, 0x0000, 0x572821, 1920, 48, 32, 80, 1200, 3, 6, 26, 154'000'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x45, 0xD100, 0x572828, 1920, 136, 200, 336, 1200, 3, 6, 36, 193'250'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x46, 0xD10F, 0x572844, 1920, 136, 208, 344, 1200, 3, 6, 46, 245'250'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x47, 0xD119, 0x572862, 1920, 144, 208, 352, 1200, 3, 6, 53, 281'250'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x48, 0x0000, 0x000000, 1920, 48, 32, 80, 1200, 3, 6, 62, 317'000'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x49, 0xD140, 0x000000, 1920, 128, 208, 344, 1440, 1, 3, 56, 234'000'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x4A, 0xD14F, 0x000000, 1920, 144, 224, 352, 1440, 1, 3, 56, 297'000'000, kNeg, kPos, kProg, kFull, k4x3},
    {0x4B, 0x0000, 0x000000, 1920, 48, 32, 80, 1440, 3, 4, 78, 380'500'000, kPos, kNeg, kProg, kRb, k4x3},
    {0x4C, 0x0000, 0x1F3821, 2560, 48, 32, 80, 1600, 3, 6, 37, 268'500'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x4D, 0x0000, 0x1F3828, 2560, 192, 280, 472, 1600, 3, 6, 49, 348'500'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x4E, 0x0000, 0x1F3844, 2560, 208, 280, 488, 1600, 3, 6, 63, 443'250'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x4F, 0x0000, 0x1F3862, 2560, 208, 280, 488, 1600, 3, 6, 73, 505'250'000, kNeg, kPos, kProg, kFull, k16x10},
    {0x50, 0x0000, 0x000000, 2560, 48, 32, 80, 1600, 3, 6, 85, 552'750'000, kPos, kNeg, kProg, kRb, k16x10},
    {0x51, 0x0000, 0x000000, 1366, 70, 143, 213, 768, 3, 3, 24, 85'500'000, kPos, kPos, kProg, kFull, k16x9},
    {0x52, 0xD1C0, 0x000000, 1920, 88, 44, 148, 1080, 4, 5, 36, 148'500'000, kPos, kPos, kProg, kFull, k16x9},
    {0x53, 0xA9C0, 0x000000, 1600, 24, 80, 96, 900, 1, 3, 96, 108'000'000, kPos, kPos, kProg, kRb, k16x9},
    {0x54, 0xE1C0, 0x000000, 2048, 26, 80, 96, 1152, 1, 3, 44, 162'000'000, kPos, kPos, kProg, kRb, k16x9},
    {0x55, 0x81C0, 0x000000, 1280, 110, 40, 220, 720, 5, 5, 20, 74'250'000, kPos, kPos, kProg, kFull, k16x9},
    {0x56, 0x0000, 0x000000, 1366, 14, 56, 64, 768, 1, 3, 28, 72'000'000, kPos, kPos, kProg, kRb, k16x9},
    {0x57, 0x0000, 0x000000, 4096, 8, 32, 40, 2160, 48, 8, 6, 556'744'000, kPos, kNeg, kProg, kRb, {256, 135}},
    {0x58, 0x0000, 0x000000, 4096, 8, 32, 40, 2160, 48, 8, 6, 556'188'000, kPos, kNeg, kProg, kRb, {256, 135}},
}};

constexpr bool IdsRunInOrder() {
  for (std::size_t i = 0; i < kModes.size(); ++i) {
    if (std::size_t{kModes[i].id} != i + 1) return false;
  }
  return true;
}
static_assert(IdsRunInOrder(), "the row of ID n must be row n - 1");

// "0x0f": a non-negative number in lowercase hex, at least two digits.
std::string HexText(unsigned value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdef"[value % 16]);
    value /= 16;
  } while (value != 0);
  if (digits.size() < 2) digits.insert(digits.begin(), '0');
  return "0x" + digits;
}

std::string IdText(int id) {
  if (id >= 0) return HexText(static_cast<unsigned>(id));
  return "-" + HexText(0u - static_cast<unsigned>(id));
}

}  // namespace

std::span<const DmtMode> DmtModes() { return kModes; }

DisplayTiming ToTiming(const DmtMode& mode) {
  DisplayTiming timing;
  CopyRowFigures(mode, timing);
  // The only interlaced mode, 1024x768 at 43 Hz, has an odd number of lines a frame (817).
  timing.v_half_line = mode.interlaced;
  timing.reduced_blanking = mode.reduced_blanking;
  timing.aspect = mode.aspect;
  timing.source = "DMT " + HexText(mode.id);
  return timing;
}

Expected<DisplayTiming> DmtTiming(int id) {
  const int last = static_cast<int>(kModes.size());
  if (id < 1 || id > last) {
    return Expected<DisplayTiming>::Failure("There is no DMT mode with ID " + IdText(id) + "; IDs run from " +
                                            HexText(1) + " to " + HexText(static_cast<unsigned>(last)) + ".");
  }
  return ToTiming(kModes[static_cast<std::size_t>(id - 1)]);
}

}  // namespace zarn::modes
