#include "modes/edid.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "modes/cvt.h"
#include "modes/decimal.h"
#include "modes/edid_edit.h"
#include "modes/typed_text.h"

namespace zarn::modes {
namespace {

using Descriptor = DetailedTimingDescriptor;

std::uint8_t Low8(long long value) { return static_cast<std::uint8_t>(value & 0xFF); }

// One field of the descriptor and the largest value it holds.
struct FieldLimit {
  const char* name;
  const char* unit;
  long long value;
  long long max;
};

std::string MegahertzText(std::uint64_t hz) { return ScaledDecimal(hz, 6, 0) + " MHz"; }

// The picture size in millimetres the descriptor and the block state: 500 mm
// wide in the picture's aspect ratio (the source's, or else the pixels'),
// then scaled to lie within the 10 cm to 255 cm that a plausible EDID states.
struct ImageSize {
  int h_mm;
  int v_mm;
};

ImageSize PictureSize(const DisplayTiming& t) {
  const double lines = t.interlaced ? 2.0 * t.v_active : t.v_active;
  const double ratio = t.aspect.horizontal > 0 && t.aspect.vertical > 0
                           ? static_cast<double>(t.aspect.horizontal) / t.aspect.vertical
                           : t.h_active / lines;
  double h = 500.0;
  double v = h / ratio;
  if (v < 100.0) {
    h *= 100.0 / v;
    v = 100.0;
  }
  if (std::max(h, v) > 2550.0) {
    const double scale = 2550.0 / std::max(h, v);
    h *= scale;
    v *= scale;
  }
  return {std::max(1, static_cast<int>(std::lround(h))), std::max(1, static_cast<int>(std::lround(v)))};
}

void PutRangeLimits(std::uint8_t* d, const DisplayTiming& t) {
  const double field_rate = t.field_rate_hz();
  const double line_khz = t.line_rate_hz() / 1e3;
  auto min_v = static_cast<long long>(std::floor(field_rate));
  auto max_v = static_cast<long long>(std::ceil(field_rate));
  auto min_h = static_cast<long long>(std::floor(line_khz));
  auto max_h = static_cast<long long>(std::ceil(line_khz));
  min_v = std::max(1LL, min_v);
  min_h = std::max(1LL, min_h);
  std::uint8_t offsets = 0;
  // Rates above 255 are stored less 255, with a flag for each.
  if (max_v > 255) offsets |= 0x02;
  if (min_v > 255) offsets |= 0x01;
  if (max_h > 255) offsets |= 0x08;
  if (min_h > 255) offsets |= 0x04;
  d[0] = d[1] = d[2] = 0;
  d[3] = 0xFD;
  d[4] = offsets;
  d[5] = Low8(min_v > 255 ? min_v - 255 : min_v);
  d[6] = Low8(max_v > 255 ? max_v - 255 : max_v);
  d[7] = Low8(min_h > 255 ? min_h - 255 : min_h);
  d[8] = Low8(max_h > 255 ? max_h - 255 : max_h);
  d[9] = Low8(static_cast<long long>((t.pixel_clock_hz + 9'999'999) / 10'000'000));
  d[10] = 0x01;  // range limits only: no timing formula
  d[11] = 0x0A;
  std::fill(d + 12, d + 18, std::uint8_t{0x20});
}

// The base block whose DTD 1 is the timing, which a descriptor holds.
Expected<BlockBytes> BaseBlock(const DisplayTiming& t, const std::string& name) {
  using Result = Expected<BlockBytes>;
  const auto descriptor = DescribeTiming(t);
  if (!descriptor) return Result::Failure(descriptor.error());
  if (t.field_rate_hz() > 510.0) {
    return Result::Failure("The display range limits of an EDID reach 510 Hz, below this timing's rate.");
  }
  if (t.line_rate_hz() > 510e3) {
    return Result::Failure("The display range limits of an EDID reach 510 kHz, below this timing's line rate.");
  }

  BlockBytes b{};
  constexpr std::uint8_t kHeader[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  std::copy(std::begin(kHeader), std::end(kHeader), b.begin());
  // "ZZZ": letters as 1..26 in three 5-bit groups; product 0x0000, no serial.
  constexpr int kLetter = 'Z' - 'A' + 1;
  const int id = (kLetter << 10) | (kLetter << 5) | kLetter;
  b[8] = static_cast<std::uint8_t>(id >> 8);
  b[9] = static_cast<std::uint8_t>(id & 0xFF);
  b[16] = 0;            // week unknown
  b[17] = 2026 - 1990;  // year of manufacture
  b[18] = 1;            // EDID 1.4
  b[19] = 4;
  b[20] = 0xA0;  // digital input, 8 bits per colour, interface not stated
  const ImageSize size = PictureSize(t);
  b[21] = static_cast<std::uint8_t>(std::max(1, (size.h_mm + 9) / 10));  // screen size in cm
  b[22] = static_cast<std::uint8_t>(std::max(1, (size.v_mm + 9) / 10));
  b[23] = 120;   // gamma 2.2
  b[24] = 0x06;  // RGB 4:4:4, sRGB, the preferred timing is the native one
  // sRGB chromaticity: red, green, blue and white x and y in 10 bits.
  constexpr int kChroma[8] = {655, 338, 307, 614, 154, 61, 320, 337};
  b[25] = static_cast<std::uint8_t>(((kChroma[0] & 3) << 6) | ((kChroma[1] & 3) << 4) | ((kChroma[2] & 3) << 2) |
                                    (kChroma[3] & 3));
  b[26] = static_cast<std::uint8_t>(((kChroma[4] & 3) << 6) | ((kChroma[5] & 3) << 4) | ((kChroma[6] & 3) << 2) |
                                    (kChroma[7] & 3));
  for (int i = 0; i < 8; ++i) b[static_cast<std::size_t>(27 + i)] = static_cast<std::uint8_t>(kChroma[i] >> 2);
  // No established timings (35-37); the eight standard timings unused.
  for (std::size_t i = 38; i < 54; ++i) b[i] = 0x01;
  std::copy(descriptor->begin(), descriptor->end(), b.begin() + 54);
  // Display name.
  std::uint8_t* d = b.data() + 72;
  d[3] = 0xFC;
  std::fill(d + 5, d + 18, std::uint8_t{0x20});
  std::copy(name.begin(), name.end(), d + 5);
  if (name.size() < kMaxDisplayNameLength) d[5 + name.size()] = 0x0A;
  PutRangeLimits(b.data() + 90, t);
  // The fourth descriptor is a dummy.
  b[108 + 3] = 0x10;
  b[126] = 0;  // no extension blocks
  unsigned sum = 0;
  for (std::size_t i = 0; i < 127; ++i) sum += b[i];
  b[127] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
  return b;
}

}  // namespace

Expected<Descriptor> DescribeTiming(const DisplayTiming& t) {
  using Result = Expected<Descriptor>;
  if (t.pixel_clock_hz == 0) return Result::Failure("A detailed timing descriptor needs a pixel clock above 0.");
  if (t.pixel_clock_hz > 655'350'000) {
    return Result::Failure("The pixel clock of " + MegahertzText(t.pixel_clock_hz) +
                           " is above 655.35 MHz, the most a detailed timing descriptor holds.");
  }
  if (t.pixel_clock_hz < kMinDescriptorClockHz) {
    return Result::Failure("The pixel clock of " + MegahertzText(t.pixel_clock_hz) + " is below " +
                           MegahertzText(kMinDescriptorClockHz) +
                           ", which readers of a detailed timing descriptor take for invalid data.");
  }
  if (t.pixel_clock_hz % 10'000 != 0) {
    return Result::Failure("The pixel clock of " + MegahertzText(t.pixel_clock_hz) +
                           " is not a whole number of 10 kHz steps, as a detailed timing descriptor stores it.");
  }
  const FieldLimit limits[] = {
      {"horizontal active", "pixels", t.h_active, 4095},
      {"horizontal blanking", "pixels", t.h_blank(), 4095},
      {"vertical active", "lines", t.v_active, 4095},
      {"vertical blanking", "lines", t.v_blank(), 4095},
      {"horizontal front porch", "pixels", t.h_front_porch, 1023},
      {"horizontal sync", "pixels", t.h_sync, 1023},
      {"vertical front porch", "lines", t.v_front_porch, 63},
      {"vertical sync", "lines", t.v_sync, 63},
  };
  for (const FieldLimit& f : limits) {
    if (f.value < 0 || f.value > f.max) {
      return Result::Failure("The " + std::string(f.name) + " of " + std::to_string(f.value) + " " + f.unit +
                             " does not fit a detailed timing descriptor, which holds 0 to " + std::to_string(f.max) +
                             " " + f.unit + ".");
    }
  }
  if (t.h_active == 0 || t.v_active == 0) {
    return Result::Failure("A detailed timing descriptor needs at least one active pixel and line.");
  }
  // Readers take a zero porch or sync for a broken descriptor.
  const FieldLimit nonzero[] = {
      {"horizontal front porch", "pixels", t.h_front_porch, 0},
      {"horizontal sync", "pixels", t.h_sync, 0},
      {"horizontal back porch", "pixels", t.h_back_porch, 0},
      {"vertical front porch", "lines", t.v_front_porch, 0},
      {"vertical sync", "lines", t.v_sync, 0},
      {"vertical back porch", "lines", t.v_back_porch, 0},
  };
  for (const FieldLimit& f : nonzero) {
    if (f.value == 0) {
      return Result::Failure("A detailed timing descriptor needs a " + std::string(f.name) + " of at least one " +
                             std::string(f.unit).substr(0, std::string(f.unit).size() - 1) +
                             "; readers take 0 for a broken descriptor.");
    }
  }
  if (t.interlaced && !t.v_half_line) {
    return Result::Failure(
        "A detailed timing descriptor gives every interlaced field half a line more, and the "
        "fields of " +
        t.source + " have none.");
  }
  const ImageSize size = PictureSize(t);
  const long long clock = static_cast<long long>(t.pixel_clock_hz / 10'000);
  const long long h_blank = t.h_blank(), v_blank = t.v_blank();
  Descriptor d{};
  d[0] = Low8(clock);
  d[1] = Low8(clock >> 8);
  d[2] = Low8(t.h_active);
  d[3] = Low8(h_blank);
  d[4] = static_cast<std::uint8_t>(((t.h_active >> 8) << 4) | (h_blank >> 8));
  d[5] = Low8(t.v_active);
  d[6] = Low8(v_blank);
  d[7] = static_cast<std::uint8_t>(((t.v_active >> 8) << 4) | (v_blank >> 8));
  d[8] = Low8(t.h_front_porch);
  d[9] = Low8(t.h_sync);
  d[10] = static_cast<std::uint8_t>(((t.v_front_porch & 0x0F) << 4) | (t.v_sync & 0x0F));
  d[11] = static_cast<std::uint8_t>(((t.h_front_porch >> 8) << 6) | ((t.h_sync >> 8) << 4) |
                                    ((t.v_front_porch >> 4) << 2) | (t.v_sync >> 4));
  d[12] = Low8(size.h_mm);
  d[13] = Low8(size.v_mm);
  d[14] = static_cast<std::uint8_t>(((size.h_mm >> 8) << 4) | (size.v_mm >> 8));
  d[15] = 0;  // no borders
  d[16] = 0;
  // Digital separate sync (bits 4 and 3), then each polarity.
  d[17] = static_cast<std::uint8_t>((t.interlaced ? 0x80 : 0) | 0x18 | (t.v_sync_positive ? 0x04 : 0) |
                                    (t.h_sync_positive ? 0x02 : 0));
  return d;
}

DisplayTiming WithDescriptorClock(const DisplayTiming& timing) {
  DisplayTiming rounded = timing;
  rounded.pixel_clock_hz = (timing.pixel_clock_hz + 5'000) / 10'000 * 10'000;
  return rounded;
}

std::string DisplayNameProblem(std::string_view name) {
  if (name.empty()) return "An EDID display name needs at least one character.";
  for (const char c : name) {
    if (c < 0x20 || c > 0x7E) {
      return "An EDID display name holds printable ASCII characters only (letters, digits, spaces and signs such as "
             "- or _), not " +
             Quoted(name, '"') + ".";
    }
  }
  if (name.size() > kMaxDisplayNameLength) {
    return "The display name " + Quoted(name, '"') + " has " + std::to_string(name.size()) +
           " characters, more than the " + std::to_string(kMaxDisplayNameLength) + " an EDID holds.";
  }
  if (name.back() == ' ') {
    return "An EDID display name may not end in a space: the descriptor pads the name with spaces, so a reader would "
           "not see it.";
  }
  return {};
}

Expected<EdidEdited> WriteEdid(std::span<const DisplayTiming> timings, std::string_view display_name) {
  using Result = Expected<EdidEdited>;
  if (timings.empty()) return Result::Failure("An EDID needs a timing to offer.");
  const std::string name = display_name.empty() ? std::string("Zarn") : std::string(display_name);
  if (std::string problem = DisplayNameProblem(name); !problem.empty()) return Result::Failure(std::move(problem));
  const DisplayTiming& preferred = timings.front();
  const Expected<Descriptor> fits = DescribeTiming(preferred);
  DisplayTiming first = preferred;
  if (!fits) {
    // The nearest timing a descriptor holds, for DTD 1: the same with its
    // clock rounded, else CVT-RB2 at 60 Hz of its size, of half its size, of
    // a third, ...
    CvtOptions rb2;
    rb2.blanking = CvtBlanking::ReducedV2;
    std::optional<DisplayTiming> found;
    if (DescribeTiming(WithDescriptorClock(preferred))) found = preferred;
    for (int part = 1; part <= 8 && !found && !preferred.interlaced; ++part) {
      const Expected<DisplayTiming> smaller =
          CvtTiming(preferred.h_active / part / 8 * 8, preferred.v_active / part, 60, rb2);
      if (smaller && DescribeTiming(WithDescriptorClock(*smaller))) found = *smaller;
    }
    if (!found || preferred.interlaced) return Result::Failure(fits.error());
    first = WithDescriptorClock(*found);
  }
  const Expected<BlockBytes> base = BaseBlock(first, name);
  if (!base) return Result::Failure(base.error());
  EdidEdited made{EdidBytes(base->begin(), base->end()), {}};
  if (!fits) {
    const Expected<EdidEdited> carried = PreferTiming(made.bytes, preferred);
    if (!carried) return Result::Failure(carried.error());
    made.bytes = carried->bytes;
    made.changes.push_back(fits.error() + " So " + preferred.source +
                           " is the preferred timing of a DisplayID 2.0 extension block, and DTD 1 of the base "
                           "block holds " +
                           first.source + " at " + FixedDecimal(first.field_rate_hz(), 3) + " Hz (" +
                           ScaledDecimal(first.pixel_clock_hz, 6, 2) +
                           " MHz) for software that reads only the base block.");
  }
  for (const DisplayTiming& timing : timings.subspan(1)) {
    const Expected<EdidEdited> added = AddTiming(made.bytes, timing);
    if (!added) return Result::Failure(added.error());
    made.bytes = added->bytes;
  }
  return made;
}

Expected<EdidBytes> MakeEdid(const DisplayTiming& timing, std::string_view display_name) {
  const Expected<EdidEdited> made = WriteEdid(std::span<const DisplayTiming>(&timing, 1), display_name);
  if (!made) return Expected<EdidBytes>::Failure(made.error());
  return made->bytes;
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(bytes.size() * 3, ' ');
  char* out = text.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    *out++ = kDigits[bytes[i] >> 4];
    *out++ = kDigits[bytes[i] & 0x0F];
    *out++ = (i % 16 == 15 || i + 1 == bytes.size()) ? '\n' : ' ';
  }
  return text;
}

}  // namespace zarn::modes
