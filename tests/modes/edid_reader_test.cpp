// The EDID reader against edid-decode: 300 real monitors' EDIDs, damaged
// copies of some of them, DisplayID blocks written by hand, hex dumps as real
// tools print them, and random bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "corpus_files.h"
#include "edid_comparison.h"
#include "edid_decode_listing.h"
#include "modes/edid_hex.h"
#include "modes/edid_reader.h"
#include "modes/edid_text.h"

namespace zarn::modes {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr char kNoEdidDecode[] = "edid-decode cannot be run here; it is the reference of these tests";
const fs::path kData = ZARN_TEST_DATA_DIR;

using testing::ReadText;
Bytes ReadFile(const fs::path& path) { return testing::ReadBytes(path); }
std::vector<fs::path> CorpusFiles() { return testing::CorpusFiles(kData / "edid"); }

// A file of this test run's own, removed when the test ends.
class TempFile {
 public:
  explicit TempFile(const std::string& name)
      : path_(fs::temp_directory_path() / ("zarn-edid-" + std::to_string(getpid()) + "-" + name)) {}
  ~TempFile() { fs::remove(path_); }
  std::string Write(const Bytes& bytes) const {
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path_.string();
  }
  std::string Write(const std::string& text) const { return Write(Bytes(text.begin(), text.end())); }
  std::string path() const { return path_.string(); }

 private:
  fs::path path_;
};

const std::vector<testing::KnownDifference>& Known() {
  static const std::vector<testing::KnownDifference> known =
      testing::ReadKnownDifferences((kData / "edid" / "known_differences.txt").string());
  return known;
}

// Decodes the bytes and compares them with edid-decode's reading of the same bytes; the checksum
// verdicts of every block too. Returns the differences; adds to compared the timings compared.
std::vector<std::string> Compare(const std::string& name, const Bytes& bytes, int& compared) {
  const TempFile file(fs::path(name).filename().string());
  const testing::EdidDecodeListing reference = testing::EdidDecodeListingOf(file.Write(bytes));
  const Expected<DecodedEdid> edid = DecodeEdid(bytes);
  if (!edid) return {name + ": " + edid.error()};
  std::vector<std::string> problems = testing::CompareWithEdidDecode(name, *edid, reference, Known(), compared);
  std::vector<bool> ours;
  for (const EdidBlockInfo& block : edid->blocks) ours.push_back(block.checksum_ok);
  if (ours != reference.checksums_ok) problems.push_back(name + ": the checksum verdicts differ from edid-decode's");
  if (!problems.empty()) {
    for (const std::string& warning : edid->warnings)
      problems.push_back(name + ": (the reader warned: " + warning + ")");
  }
  return problems;
}

TEST(EdidCorpus, EveryFileMatchesEdidDecode) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << kNoEdidDecode;
  const std::vector<fs::path> files = CorpusFiles();
  ASSERT_EQ(files.size(), 300u);
  int compared = 0;
  for (const fs::path& path : files) {
    for (const std::string& problem : Compare(path.filename().string(), ReadFile(path), compared)) {
      ADD_FAILURE() << problem;
    }
  }
  std::printf("[ corpus   ] %zu files, %d timings compared with edid-decode\n", files.size(), compared);
  EXPECT_GT(compared, 5000);
}

// Every seventh file of the corpus with bits flipped at random (the same on every run) after the
// header, the version byte left, and each 256- or 384-byte file cut to whole blocks short of what the base block
// announces, and cut again in the middle of a block (which edid-decode refuses: it reads the
// same file cut to whole blocks).
TEST(EdidCorpus, DamagedCopiesMatchEdidDecode) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << kNoEdidDecode;
  std::mt19937 random(20240611);
  int compared = 0, copies = 0, bad_checksums = 0;
  const std::vector<fs::path> files = CorpusFiles();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const Bytes bytes = ReadFile(files[i]);
    const std::string name = files[i].filename().string();
    if (i % 7 == 0) {
      Bytes flipped = bytes;
      for (int flip = 0; flip < 3; ++flip) {
        // The version byte stays: an EDID of another version than 1 is no EDID either tool reads.
        std::size_t at = 8 + random() % (flipped.size() - 8);
        if (at == 18) ++at;
        flipped[at] = static_cast<std::uint8_t>(flipped[at] ^ (1u << (random() % 8)));
      }
      for (const std::string& problem : Compare(name + ".flipped", flipped, compared)) ADD_FAILURE() << problem;
      const Expected<DecodedEdid> edid = DecodeEdid(flipped);
      ASSERT_TRUE(edid.ok()) << name;
      for (const EdidBlockInfo& block : edid->blocks) bad_checksums += block.checksum_ok ? 0 : 1;
      ++copies;
    }
    if (bytes.size() > 128) {
      const Bytes cut(bytes.begin(), bytes.end() - 128);
      for (const std::string& problem : Compare(name + ".cut", cut, compared)) ADD_FAILURE() << problem;
      Bytes ragged = cut;
      ragged.insert(ragged.end(), bytes.end() - 128, bytes.end() - 61);
      const Expected<DecodedEdid> edid = DecodeEdid(ragged);
      ASSERT_TRUE(edid.ok()) << name;
      const Expected<DecodedEdid> whole = DecodeEdid(cut);
      EXPECT_EQ(edid->timings.size(), whole->timings.size()) << name;
      EXPECT_EQ(edid->warnings.size(), whole->warnings.size() + 1) << name << ": no warning of the partial block";
      copies += 2;
    }
  }
  std::printf("[ damaged  ] %d copies, %d blocks with a bad checksum, %d timings compared\n", copies, bad_checksums,
              compared);
  EXPECT_GT(bad_checksums, 30);
}

// DisplayID blocks written by hand (tests/data/edid/displayid/*.hex): 2.0 blocks with type VII and
// VIII timings, 1.3 blocks with type I, each behind a base block, read by edid-decode as the test runs.
TEST(EdidDisplayId, HandBuiltBlocksMatchEdidDecode) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << kNoEdidDecode;
  int compared = 0, files = 0, display_id_timings = 0;
  for (const auto& entry : fs::directory_iterator(kData / "edid" / "displayid")) {
    const Expected<Bytes> bytes = ParseEdidHex(ReadText(entry.path()));
    ASSERT_TRUE(bytes.ok()) << entry.path();
    const std::string name = entry.path().filename().string();
    for (const std::string& problem : Compare(name, *bytes, compared)) ADD_FAILURE() << problem;
    const Expected<DecodedEdid> edid = DecodeEdid(*bytes);
    ASSERT_TRUE(edid.ok()) << name;
    EXPECT_TRUE(edid->warnings.empty()) << name << ": " << edid->warnings.front();
    for (const EdidTiming& t : edid->timings) display_id_timings += t.location.block > 0 ? 1 : 0;
    ++files;
  }
  std::printf("[ displayid] %d files, %d timings compared, %d of them in DisplayID blocks\n", files, compared,
              display_id_timings);
  EXPECT_GE(files, 3);
  EXPECT_GE(display_id_timings, 8);
}

// The hex dumps that edid-decode, xxd, od and hexdump print of a file (every line: hexdump and od
// mark repeated lines with a "*" otherwise, which the reader does not expand), xrandr's form (its
// EDID property: tab-indented lines of 32 digits, other properties around it) and the kernel's
// (16 bytes a line behind dmesg's time stamps), read back.
TEST(EdidHex, DumpsOfRealToolsReadBack) {
  const fs::path path = kData / "edid" / "Digital_Dell_DELD177_2ED7B8624A8A.bin";
  const Bytes bytes = ReadFile(path);
  const std::string file = "'" + path.string() + "'";
  std::string xrandr = "DP-1 connected primary 2560x1440+0+0\n\tEDID: \n";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(bytes[i]));
    xrandr += (i % 16 == 0 ? "\t\t" : "") + std::string(pair) + (i % 16 == 15 ? "\n" : "");
  }
  xrandr += "\tGAMMA_LUT_SIZE: 4096 \n\tEDID: \n\t\t00ffffffffffff0010ac77d1\n";
  // The kernel's dump of a block it finds bad, as dmesg shows it: a time stamp before 16 bytes a line.
  std::string kernel = "[    3.141592] i915 0000:00:02.0: [drm] DP-1: EDID is invalid:\n";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, " %02x", static_cast<unsigned>(bytes[i]));
    kernel += (i % 16 == 0 ? "[    3.141600]  \t" : "") + std::string(pair + (i % 16 == 0 ? 1 : 0)) +
              (i % 16 == 15 ? "\n" : "");
  }
  const std::vector<std::pair<std::string, std::string>> dumps = {
      {"edid-decode", testing::RunCommand("edid-decode " + file + " 2>/dev/null")},
      {"xxd", testing::RunCommand("xxd " + file)},
      {"od", testing::RunCommand("od -An -tx1 -v " + file)},
      {"hexdump -C", testing::RunCommand("hexdump -C -v " + file)},
      {"xrandr", xrandr},
      {"kernel", kernel},
  };
  for (const auto& [tool, text] : dumps) {
    ASSERT_FALSE(text.empty()) << tool << " printed nothing";
    const Expected<Bytes> read = EdidBytesFromFile(text);
    ASSERT_TRUE(read.ok()) << tool << ": " << read.error();
    EXPECT_EQ(*read, bytes) << tool;
  }
  const std::string binary(bytes.begin(), bytes.end());
  EXPECT_EQ(*EdidBytesFromFile(binary), bytes);
  EXPECT_FALSE(EdidBytesFromFile("no hex here").ok());
}

// Random bytes, with and without the header, of every length up to three blocks: a decoding or,
// without a base block, a failure; never a crash (the sanitizer build checks the reads). The
// texts of every decoding are read back by Python's JSON parser.
TEST(EdidReader, AnyBytesDecodeOrFailWithoutBaseBlock) {
  std::mt19937 random(7);
  const Bytes header = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  std::string json_lines;
  int decoded = 0;
  for (int run = 0; run < 3000; ++run) {
    Bytes bytes(random() % 400);
    for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
    const bool with_header = run % 4 != 0 && bytes.size() >= 8;
    if (with_header) std::copy(header.begin(), header.end(), bytes.begin());
    // Half of them with extension tags the reader knows.
    for (std::size_t at = 128; run % 2 == 0 && at < bytes.size(); at += 128) {
      bytes[at] = std::array<std::uint8_t, 3>{0x02, 0x70, 0xF0}[at / 128 % 3];
    }
    const Expected<DecodedEdid> edid = DecodeEdid(bytes);
    EXPECT_EQ(edid.ok(), with_header && bytes.size() >= 128) << bytes.size();
    if (!edid) {
      EXPECT_FALSE(edid.error().empty());
      continue;
    }
    ++decoded;
    EXPECT_FALSE(EdidReport(*edid).empty());
    json_lines += EdidJson(*edid) + "\n";
  }
  const TempFile file("random.json");
  const std::string verdict = testing::RunCommand(
      "python3 -c 'import json,sys; print(sum(1 for l in open(sys.argv[1], encoding=\"utf-8\") if "
      "isinstance(json.loads(l), dict)))' " +
      file.Write(json_lines) + " 2>&1");
  EXPECT_EQ(verdict, std::to_string(decoded) + "\n");
}

}  // namespace
}  // namespace zarn::modes
