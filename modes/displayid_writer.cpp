#include "modes/displayid_writer.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "modes/decimal.h"

namespace zarn::modes {
namespace {

using Section = std::vector<std::uint8_t>;

constexpr std::size_t kMaxSection = 121;  // the data bytes one block's section holds
constexpr std::size_t kDescriptorSize = 20;

// The section's data blocks, without the padding after them.
Section ReadSection(std::span<const std::uint8_t> block) {
  const std::size_t length = std::min<std::size_t>(block[2], kMaxSection);
  std::size_t at = 0;
  while (at + 3 <= length && !(block[5 + at] == 0 && block[6 + at] == 0 && block[7 + at] == 0)) {
    const std::size_t size = block[7 + at];
    if (at + 3 + size > length) break;
    at += 3 + size;
  }
  return Section(block.begin() + 5, block.begin() + 5 + static_cast<std::ptrdiff_t>(at));
}

void WriteSection(MutableDisplayIdBlock block, const Section& data) {
  block[2] = static_cast<std::uint8_t>(data.size());
  std::copy(data.begin(), data.end(), block.begin() + 5);
  std::fill(block.begin() + 5 + static_cast<std::ptrdiff_t>(data.size()), block.begin() + 127, std::uint8_t{0});
  SealDisplayIdSection(block);
}

void Put16(Section& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// An aspect ratio code of the detailed timing: 8 ("undefined") when the
// picture is none of the listed shapes.
std::uint8_t AspectCode(int width, int height) {
  static constexpr int kRatios[8][2] = {{1, 1}, {5, 4}, {4, 3}, {15, 9}, {16, 9}, {16, 10}, {64, 27}, {256, 135}};
  for (std::uint8_t code = 0; code < 8; ++code) {
    if (static_cast<long long>(width) * kRatios[code][1] == static_cast<long long>(height) * kRatios[code][0]) {
      return code;
    }
  }
  return 8;
}

// A 12-bit colour coordinate from the base block's 10-bit one.
void PutChromaticity(Section& out, const DecodedEdid& edid, std::size_t point) {
  const int x = static_cast<int>(std::lround(edid.chromaticity[2 * point] * 4096.0));
  const int y = static_cast<int>(std::lround(edid.chromaticity[2 * point + 1] * 4096.0));
  out.push_back(static_cast<std::uint8_t>(x & 0xFF));
  out.push_back(static_cast<std::uint8_t>(((x >> 8) & 0x0F) | ((y & 0x0F) << 4)));
  out.push_back(static_cast<std::uint8_t>(y >> 4));
}

}  // namespace

Expected<DisplayIdDescriptor> DescribeDisplayIdTiming(const DisplayTiming& t, bool type7, bool preferred) {
  using Result = Expected<DisplayIdDescriptor>;
  const std::string kind = type7 ? "a DisplayID type VII timing" : "a DisplayID type I timing";
  if (t.interlaced) {
    return Result::Failure(
        "The Linux kernel reads DisplayID detailed timings as progressive, so an interlaced timing goes into a "
        "detailed timing descriptor only.");
  }
  const std::uint64_t step = type7 ? 1'000 : 10'000;
  if (t.pixel_clock_hz == 0 || t.pixel_clock_hz % step != 0) {
    return Result::Failure("The pixel clock of " + ScaledDecimal(t.pixel_clock_hz, 6, 0) +
                           " MHz is not a whole number of " + (type7 ? "1 kHz" : "10 kHz") + " steps, as " + kind +
                           " stores it.");
  }
  if (t.pixel_clock_hz / step > 0x1000000) {
    return Result::Failure(std::string(type7 ? "A DisplayID type VII" : "A DisplayID type I") +
                           " timing holds a pixel clock up to " + ScaledDecimal(0x1000000 * step, 6, 0) + " MHz.");
  }
  struct Field {
    const char* name;
    long long value;
    long long max;
  } const fields[] = {
      {"horizontal active", t.h_active, 65536},
      {"horizontal front porch", t.h_front_porch, 32768},
      {"horizontal sync", t.h_sync, 65536},
      {"horizontal back porch", t.h_back_porch, 65536},
      {"horizontal blanking", t.h_blank(), 65536},
      {"vertical active", t.v_active, 65536},
      {"vertical front porch", t.v_front_porch, 32768},
      {"vertical sync", t.v_sync, 65536},
      {"vertical back porch", t.v_back_porch, 65536},
      {"vertical blanking", t.v_blank(), 65536},
  };
  for (const Field& f : fields) {
    if (f.value < 1 || f.value > f.max) {
      return Result::Failure("The " + std::string(f.name) + " of " + std::to_string(f.value) + " does not fit " + kind +
                             ", which holds 1 to " + std::to_string(f.max) + ".");
    }
  }
  Section d;
  const std::uint64_t clock = t.pixel_clock_hz / step - 1;
  d.push_back(static_cast<std::uint8_t>(clock & 0xFF));
  d.push_back(static_cast<std::uint8_t>((clock >> 8) & 0xFF));
  d.push_back(static_cast<std::uint8_t>((clock >> 16) & 0xFF));
  d.push_back(static_cast<std::uint8_t>((preferred ? 0x80 : 0) | AspectCode(t.h_active, t.v_active)));
  Put16(d, t.h_active - 1);
  Put16(d, t.h_blank() - 1);
  Put16(d, (t.h_front_porch - 1) | (t.h_sync_positive ? 0x8000 : 0));
  Put16(d, t.h_sync - 1);
  Put16(d, t.v_active - 1);
  Put16(d, t.v_blank() - 1);
  Put16(d, (t.v_front_porch - 1) | (t.v_sync_positive ? 0x8000 : 0));
  Put16(d, t.v_sync - 1);
  DisplayIdDescriptor out{};
  std::copy(d.begin(), d.end(), out.begin());
  return out;
}

BlockBytes NewDisplayIdBlock(const DecodedEdid& edid, const DisplayTiming* native_size, bool first_section) {
  BlockBytes block{};
  block[0] = 0x70;
  block[1] = 0x20;
  block[3] = first_section ? 0x02 : 0x00;  // primary use case: a generic display
  Section data;
  if (first_section) {
    const std::span<const std::uint8_t> base(edid.bytes.data(), std::min<std::size_t>(edid.bytes.size(), 128));
    // Product identification: OUI unknown, then what the base block says.
    data.insert(data.end(), {0x20, 0x00, 12, 0x00, 0x00, 0x00});
    Put16(data, edid.product_code);
    Put16(data, static_cast<int>(edid.serial_number & 0xFFFF));
    Put16(data, static_cast<int>(edid.serial_number >> 16));
    data.push_back(static_cast<std::uint8_t>(edid.model_year ? 0xFF : (edid.week <= 54 ? edid.week : 0)));
    data.push_back(static_cast<std::uint8_t>(std::clamp(edid.year - 2000, 0, 255)));
    data.push_back(0);  // no product name string
    // Display parameters: the size in 0.1 mm steps, the pixels, then colour.
    data.insert(data.end(), {0x21, 0x00, 29});
    Put16(data, edid.screen_width_cm * 100);
    Put16(data, edid.screen_height_cm * 100);
    Put16(data, native_size ? native_size->h_active : 0);
    Put16(data, native_size ? native_size->v_active : 0);
    data.push_back(0x80);  // audio speakers not integrated; CIE 1931 colour points
    for (std::size_t point = 0; point < 4; ++point) PutChromaticity(data, edid, point);
    data.insert(data.end(), 6, std::uint8_t{0});  // luminance not given
    const int bits = edid.bits_per_color >= 6 && edid.bits_per_color <= 16 ? edid.bits_per_color : 8;
    data.push_back(static_cast<std::uint8_t>((bits - 6) / 2));  // colour depth; technology not given
    data.push_back(base.size() > 23 ? base[23] : 0xFF);         // gamma as the base block stores it
    // Display interface features: RGB at 8 bits and the native depth, sRGB.
    data.insert(data.end(), {0x26, 0x00, 9});
    data.push_back(static_cast<std::uint8_t>(0x02 | (1 << ((bits - 6) / 2))));
    data.insert(data.end(), {0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00});
  }
  WriteSection(block, data);
  return block;
}

bool IsDisplayId2(std::span<const std::uint8_t> block) { return block[1] >= 0x20; }

int AddDisplayIdTiming(MutableDisplayIdBlock block, const DisplayIdDescriptor& descriptor) {
  Section data = ReadSection(block);
  const std::uint8_t tag = IsDisplayId2(block) ? 0x22 : 0x03;
  for (std::size_t at = 0; at + 3 <= data.size(); at += std::size_t{3} + data[at + 2]) {
    if (data[at] != tag) continue;
    if (data[at + 2] + kDescriptorSize > 255 || data.size() + kDescriptorSize > kMaxSection) return -1;
    const std::size_t insert = at + 3 + data[at + 2];
    data.insert(data.begin() + static_cast<std::ptrdiff_t>(insert), descriptor.begin(), descriptor.end());
    data[at + 2] = static_cast<std::uint8_t>(data[at + 2] + kDescriptorSize);
    WriteSection(block, data);
    return 5 + static_cast<int>(insert);
  }
  if (data.size() + 3 + kDescriptorSize > kMaxSection) return -1;
  data.insert(data.end(), {tag, 0x00, static_cast<std::uint8_t>(kDescriptorSize)});
  const std::size_t insert = data.size();
  data.insert(data.end(), descriptor.begin(), descriptor.end());
  WriteSection(block, data);
  return 5 + static_cast<int>(insert);
}

void RemoveDisplayIdBytes(MutableDisplayIdBlock block, int data_block, int offset, int length) {
  Section data = ReadSection(block);
  const auto header = static_cast<std::size_t>(data_block - 5);
  const auto from = static_cast<std::size_t>(offset - 5);
  if (header + 3 > data.size() || from + static_cast<std::size_t>(length) > data.size()) return;
  data.erase(data.begin() + static_cast<std::ptrdiff_t>(from),
             data.begin() + static_cast<std::ptrdiff_t>(from) + length);
  data[header + 2] = static_cast<std::uint8_t>(data[header + 2] - length);
  if (data[header + 2] == 0) {
    data.erase(data.begin() + static_cast<std::ptrdiff_t>(header),
               data.begin() + static_cast<std::ptrdiff_t>(header) + 3);
  }
  WriteSection(block, data);
}

void SealDisplayIdSection(MutableDisplayIdBlock block) {
  const std::size_t length = std::min<std::size_t>(block[2], kMaxSection);
  unsigned sum = 0;
  for (std::size_t i = 1; i < 5 + length; ++i) sum += block[i];
  block[5 + length] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
}

}  // namespace zarn::modes
