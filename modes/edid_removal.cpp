// Removing timings: each found by its origin or number as edid show lists it,
// then its bytes taken out (or its bit cleared) where it lives.
#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>

#include "modes/cta_writer.h"
#include "modes/displayid_writer.h"
#include "modes/edid_edit.h"
#include "modes/edid_editing.h"
#include "modes/typed_text.h"

namespace zarn::modes {

using namespace edid_editing;

namespace {

using Result = Expected<EdidEdited>;

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The index of the timing a word names: its number in the list, or its origin.
Expected<std::size_t> Find(const DecodedEdid& edid, const std::string& word) {
  const bool number = !word.empty() && word.size() < 7 &&
                      std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (number) {
    const std::size_t n = std::stoul(word);
    if (n >= 1 && n <= edid.timings.size()) return n - 1;
    return Expected<std::size_t>::Failure("The EDID lists " + std::to_string(edid.timings.size()) + " timings, and " +
                                          word + " is not one of their numbers.");
  }
  for (std::size_t i = 0; i < edid.timings.size(); ++i) {
    if (SameText(edid.timings[i].origin, word)) return i;
  }
  return Expected<std::size_t>::Failure("The EDID has no timing " + Quoted(word) +
                                        "; zarn-timing edid show lists each by its number and origin.");
}

// The data block of a block that holds the byte at offset.
const EdidDataBlock* HoldingBlock(const DecodedEdid& edid, int block, int offset) {
  for (const EdidDataBlock& data : edid.blocks[static_cast<std::size_t>(block)].data_blocks) {
    if (offset > data.offset && offset < data.offset + static_cast<int>(data.bytes.size())) return &data;
  }
  return nullptr;
}

// The place of a detailed timing among all the EDID's (base block first),
// as its origin counts it: "DTD 3" and "CTA DTD 3" are the third.
int DtdOrdinal(const EdidTiming& t) {
  const std::size_t space = t.origin.rfind(' ');
  return t.kind == EdidTimingKind::DetailedTiming && space != std::string::npos ? std::stoi(t.origin.substr(space + 1))
                                                                                : 0;
}

int NativeDtdCount(const DecodedEdid& edid) {
  for (const EdidBlockInfo& block : edid.blocks) {
    if (block.tag == 0x02) return block.bytes[3] & 0x0F;
  }
  return 0;
}

bool SameSize(const DisplayTiming& a, const DisplayTiming& b) {
  return a.h_active == b.h_active && a.v_active == b.v_active && a.interlaced == b.interlaced;
}

// Why removing these timings would leave the EDID at odds with what its
// blocks require or say of each other; empty when it would not.
std::string RemovalProblem(const DecodedEdid& edid, const std::set<std::size_t>& removed) {
  const std::vector<EdidTiming>& all = edid.timings;
  const auto kept = [&](EdidTimingKind kind, auto&& test) {
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (!removed.contains(i) && all[i].kind == kind && test(all[i])) return true;
    }
    return false;
  };
  const bool cta = std::any_of(edid.blocks.begin(), edid.blocks.end(), [](const auto& b) { return b.tag == 0x02; });
  const EdidTiming* first_vic = nullptr;
  for (const EdidTiming& t : all) {
    if (t.kind == EdidTimingKind::Vic && first_vic == nullptr) first_vic = &t;
  }
  for (const std::size_t i : removed) {
    const EdidTiming& t = all[i];
    const EdidLocation& at = t.location;
    if (t.kind == EdidTimingKind::DetailedTiming && at.block == 0 && at.offset == 54) {
      return "DTD 1 is the preferred timing and cannot simply go; make another timing preferred first (--prefer), "
             "which moves it elsewhere.";
    }
    if (t.kind == EdidTimingKind::HdmiVic) {
      return t.origin + " sits in the HDMI vendor block's list, which this edit does not change.";
    }
    if (t.kind == EdidTimingKind::Vic && t.native) {
      return t.origin +
             " is marked as the display's native format; removing it would leave the CTA-861 data "
             "without it, or with another one.";
    }
    if (t.kind == EdidTimingKind::Vic && &t == first_vic && NativeDtdCount(edid) == 0 &&
        kept(EdidTimingKind::DetailedTiming, [&](const EdidTiming& d) {
          return d.location.offset == 54 && d.location.block == 0 && SameSize(d.timing, t.timing);
        })) {
      return t.origin +
             " comes first among the VICs, which makes it CTA-861's preferred format, of DTD 1's size; "
             "removing it would make the next VIC preferred instead.";
    }
    if (t.kind == EdidTimingKind::Vic &&
        kept(EdidTimingKind::HdmiVic, [&](const EdidTiming& h) { return SameFigures(h.timing, t.timing); })) {
      return t.origin +
             " is the CTA-861 equivalent of an HDMI VIC that the HDMI vendor block lists, which needs "
             "it.";
    }
    const bool display_id_detailed =
        t.kind == EdidTimingKind::DisplayIdType7 || t.kind == EdidTimingKind::DisplayIdType1;
    if (display_id_detailed && t.preferred && !kept(t.kind, [](const EdidTiming& d) { return d.preferred; })) {
      return t.origin +
             " is the preferred timing of the DisplayID data, which needs one; make another DisplayID "
             "timing preferred first (--prefer).";
    }
  }
  // A CTA-861 display offers 640x480 at 60 Hz, as an established timing or VIC 1.
  const auto vga = [](const EdidTiming& t) {
    return t.origin == "Established: DMT 0x04" || t.origin.starts_with("VIC 1 ") || t.origin == "VIC 1";
  };
  bool had_vga = false;
  for (const EdidTiming& t : all) had_vga = had_vga || vga(t);
  if (cta && had_vga && !kept(EdidTimingKind::Established, vga) && !kept(EdidTimingKind::Vic, vga)) {
    return "A CTA-861 display must offer 640x480 at 60 Hz, as the established timing DMT 0x04 or as VIC 1, and "
           "this would remove the last of them.";
  }
  return {};
}

// Every CTA-861 block counts as many fewer native detailed timings as were
// among those removed (the count is the same in each block).
void LowerNativeCount(Draft& draft, int removed_native) {
  if (removed_native == 0) return;
  for (int i = 1; i < BlockCount(draft.edited); ++i) {
    const auto block = BlockOf(draft.edited, i);
    if (block[0] != 0x02) continue;
    const int count = std::max(0, (block[3] & 0x0F) - removed_native);
    block[3] = static_cast<std::uint8_t>((block[3] & 0xF0) | count);
    SealBlock(draft.edited, i);
    draft.edited.changes.push_back("CTA-861 block " + std::to_string(i) + " counts " + std::to_string(count) +
                                   " native detailed timings: the one removed was among them.");
  }
}

// Takes the timing's bytes out of its block; empty, or why it cannot.
std::string TakeOut(Draft& draft, const EdidTiming& t) {
  const EdidLocation& at = t.location;
  const auto block = BlockOf(draft.edited, at.block);
  const auto offset = static_cast<std::size_t>(at.offset);
  if (at.bit >= 0) {
    // The bit of the timing: a 3-byte CVT code keeps its rates in its last byte.
    const std::size_t byte = offset + (t.kind == EdidTimingKind::Cvt3Byte ? 2 : 0);
    block[byte] = static_cast<std::uint8_t>(block[byte] & ~(1u << at.bit));
    // A 3-byte CVT code that offers no rate any more is unused.
    if (t.kind == EdidTimingKind::Cvt3Byte && (block[offset + 2] & 0x1F) == 0) {
      std::fill(block.begin() + at.offset, block.begin() + at.offset + 3, std::uint8_t{0});
    }
    if (block[0] == 0x70 && at.block > 0) SealDisplayIdSection(block);
    return {};
  }
  switch (t.kind) {
    case EdidTimingKind::DetailedTiming:
      if (at.block == 0) {
        std::fill(block.begin() + at.offset, block.begin() + at.offset + 18, std::uint8_t{0});
        block[offset + 3] = 0x10;  // a dummy descriptor
        bool moved = false;
        ArrangeBaseDescriptors(draft, nullptr, false, moved);
      } else {
        RemoveCtaDtd(block, at.offset);
      }
      return {};
    case EdidTimingKind::Standard:
      block[offset] = 0x01;
      block[offset + 1] = 0x01;
      return {};
    case EdidTimingKind::Vic:
    case EdidTimingKind::Ycbcr420Vic:
    case EdidTimingKind::DisplayIdType1:
    case EdidTimingKind::DisplayIdType7:
    case EdidTimingKind::DisplayIdType3:
    case EdidTimingKind::DisplayIdType8:
    case EdidTimingKind::DisplayIdDmt: {
      const EdidDataBlock* data = HoldingBlock(draft.decoded, at.block, at.offset);
      if (data == nullptr) return "The data block of " + t.origin + " cannot be found.";
      if (block[0] == 0x70) {
        RemoveDisplayIdBytes(block, data->offset, at.offset, at.length);
      } else {
        RemoveCtaDataByte(block, data->offset, at.offset);
      }
      return {};
    }
    default:
      return t.origin + " cannot be removed.";
  }
}

}  // namespace

Result RemoveTimings(std::span<const std::uint8_t> bytes, std::span<const std::string> which) {
  Expected<Draft> started = StartEdit(bytes);
  if (!started) return Result::Failure(started.error());
  Draft draft = *started;
  if (which.empty()) return Result::Failure("Name a timing to remove.");
  // The timings named, then every timing that lives in the same bytes.
  std::set<std::size_t> named;
  for (const std::string& word : which) {
    const Expected<std::size_t> index = Find(draft.decoded, word);
    if (!index) return Result::Failure(index.error());
    named.insert(*index);
  }
  const std::vector<EdidTiming>& timings = draft.decoded.timings;
  // Keyed so that the last bytes of a block come out first and the offsets
  // of the rest stay as read.
  std::map<std::tuple<int, int, int>, std::vector<std::size_t>, std::greater<>> places;
  for (const std::size_t i : named)
    places[{timings[i].location.block, timings[i].location.offset, timings[i].location.bit}];
  std::set<std::size_t> removed;
  for (std::size_t i = 0; i < timings.size(); ++i) {
    const EdidLocation& at = timings[i].location;
    const auto place = places.find({at.block, at.offset, at.bit});
    if (place == places.end()) continue;
    place->second.push_back(i);
    removed.insert(i);
  }
  if (std::string problem = RemovalProblem(draft.decoded, removed); !problem.empty()) return Result::Failure(problem);
  int removed_native = 0;
  for (const std::size_t i : removed) {
    const int ordinal = DtdOrdinal(timings[i]);
    removed_native += ordinal > 0 && ordinal <= NativeDtdCount(draft.decoded) ? 1 : 0;
  }
  std::map<std::size_t, std::string> changes;  // by the place in the list
  for (const auto& [key, found] : places) {
    const EdidTiming& t = timings[found.front()];
    if (std::string problem = TakeOut(draft, t); !problem.empty()) return Result::Failure(problem);
    SealBlock(draft.edited, t.location.block);
    std::string sentence = "Removed " + t.origin + " (" + FiguresText(t.timing) + ")";
    for (std::size_t k = 1; k < found.size(); ++k) {
      sentence += (k == 1 ? ", with " : " and ") + timings[found[k]].origin;
    }
    if (found.size() > 1) sentence += ", which the same bytes offer";
    changes[found.front()] = sentence + ".";
  }
  for (const auto& [place, sentence] : changes) draft.edited.changes.push_back(sentence);
  LowerNativeCount(draft, removed_native);
  return FinishEdit(std::move(draft));
}

}  // namespace zarn::modes
