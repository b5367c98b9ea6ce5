// EDID edits against edid-decode: each edit of a data file made to the 300
// real monitors' EDIDs, each result checked by edid-decode -c -L against the
// original (conformity, the timings listed, the blocks left as they were);
// the refusals and reasons of a second data file; damaged EDIDs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_words.h"
#include "cli/zarn_timing.h"
#include "corpus_files.h"
#include "edid_decode_listing.h"
#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/edid.h"
#include "modes/edid_edit.h"
#include "modes/edid_hex.h"
#include "modes/edid_reader.h"
#include "modes/sources.h"

namespace zarn::modes {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kData = ZARN_TEST_DATA_DIR;

// What edid-decode -c reports of a result that the original did not have
// and that is no fault of the edit:
const char* const kAllowed[] = {
    // edid-decode asks this only of EDIDs with a CTA-861 block; both serial
    // numbers are the monitor's own, and no edit changes them.
    "Display Product Serial Number is set, so the Serial Number in the Base EDID should be #.",
    // A new DisplayID block cannot name the IEEE OUI that the base block never
    // gave (its PNP ID is none); 00-00-00 says it is not known.
    "OUI #-#-#: Unknown OUI #-#-#.",
    // A timing asked for that comes near a standard one stays the user's own.
    "DTD is similar but not identical to",
    // A note under an out-of-range warning the original had, which comes and
    // goes with the limits' figures.
    "Could be due to a Monitor Range off-by-one rounding",
};

bool Allowed(const std::string& message) {
  return std::any_of(std::begin(kAllowed), std::end(kAllowed),
                     [&](const char* a) { return message.find(a) != std::string::npos; });
}

using testing::ReadText;
Bytes ReadEdidFile(const fs::path& path) { return testing::ReadBytes(path); }
std::vector<fs::path> CorpusFiles() { return testing::CorpusFiles(kData / "edid"); }

// Rows of a data file: fields split at '|', trimmed; comments and blank lines left out.
std::vector<std::vector<std::string>> Rows(const fs::path& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(ReadText(path));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '|');) {
      field.erase(0, field.find_first_not_of(' '));
      field.erase(field.find_last_not_of(' ') + 1);
      fields.push_back(field);
    }
    rows.push_back(fields);
  }
  return rows;
}

// What edid-decode -c -L says of an EDID: its warnings and failures (digits
// as #), the verdict, the timings it lists, and its whole text.
struct Verdict {
  std::set<std::string> messages;
  bool pass = false;
  std::vector<testing::ListedTiming> timings;
  std::string text;
};

Verdict EdidDecode(const std::string& path) {
  Verdict v;
  v.text = testing::RunCommand("edid-decode -c -L '" + path + "' 2>&1");
  v.pass = v.text.find("EDID conformity: PASS") != std::string::npos;
  v.timings = testing::ParseEdidDecodeListing(v.text).timings;
  const std::size_t from = std::min(v.text.find("\nWarnings:\n"), v.text.find("\nFailures:\n"));
  std::istringstream in(from == std::string::npos ? std::string() : v.text.substr(from));
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("  ")) v.messages.insert(std::regex_replace(line.substr(2), std::regex("[0-9]+"), "#"));
  }
  return v;
}

using Figures = std::tuple<std::uint64_t, int, int, int, int, int, int, int, int, bool, bool, bool>;
Figures Of(const testing::ReferenceTiming& t) {
  return {t.pixel_clock_hz, t.h_active, t.h_front_porch, t.h_sync,          t.h_back_porch,    t.v_active,
          t.v_front_porch,  t.v_sync,   t.v_back_porch,  t.h_sync_positive, t.v_sync_positive, t.interlaced};
}
Figures Of(const DisplayTiming& t) {
  return {t.pixel_clock_hz, t.h_active, t.h_front_porch, t.h_sync,          t.h_back_porch,    t.v_active,
          t.v_front_porch,  t.v_sync,   t.v_back_porch,  t.h_sync_positive, t.v_sync_positive, t.interlaced};
}

// The timings listed in a but not in b, as a multiset.
std::multiset<Figures> Minus(const std::vector<testing::ListedTiming>& a, const std::vector<testing::ListedTiming>& b) {
  std::multiset<Figures> left;
  for (const auto& t : a) left.insert(Of(t.timing));
  for (const auto& t : b) {
    if (const auto at = left.find(Of(t.timing)); at != left.end()) left.erase(at);
  }
  return left;
}

// The words of a row with its placeholders filled in from the EDID; empty
// when the EDID has no such timing.
std::string Fill(std::string arguments, const DecodedEdid& edid) {
  std::string last_dtd, last_vic;
  for (const EdidTiming& t : edid.timings) {
    if (t.kind == EdidTimingKind::DetailedTiming && !(t.location.block == 0 && t.location.offset == 54)) {
      last_dtd = "'" + t.origin + "'";
    }
    if (t.kind == EdidTimingKind::Vic) last_vic = "'" + t.origin + "'";
  }
  const std::pair<std::string, std::string> fills[] = {
      {"@DTD", last_dtd}, {"@VIC", last_vic}, {"@2", edid.timings.size() >= 2 ? "2" : ""}};
  for (const auto& [mark, value] : fills) {
    if (const std::size_t at = arguments.find(mark); at != std::string::npos) {
      if (value.empty()) return {};
      arguments.replace(at, mark.size(), value);
    }
  }
  return arguments;
}

// The timings the words ask for (--add, --prefer), as the edit makes them.
std::vector<DisplayTiming> Asked(const std::vector<std::string>& words, const DecodedEdid& edid) {
  std::vector<DisplayTiming> asked;
  const bool round = std::find(words.begin(), words.end(), "--round-clock") != words.end();
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    if (words[i] != "--add" && words[i] != "--prefer" && words[i] != "--remove") continue;
    DisplayTiming timing;
    if (const auto request = cli::SplitCommandWords(words[i + 1]);
        request && !request->empty() && FindSource(request->front()) != nullptr) {
      timing = cli::TimingOfRequest(*request, {});
    } else {
      for (std::size_t n = 0; n < edid.timings.size(); ++n) {
        const bool named = edid.timings[n].origin == words[i + 1] || std::to_string(n + 1) == words[i + 1];
        if (named) timing = edid.timings[n].timing;
      }
    }
    asked.push_back(round ? WithDescriptorClock(timing) : timing);
  }
  return asked;
}

class TempFile {
 public:
  explicit TempFile(const std::string& name)
      : path_((fs::temp_directory_path() / ("zarn-edit-" + std::to_string(getpid()) + "-" + name)).string()) {}
  ~TempFile() { fs::remove(path_); }
  const std::string& Write(const std::string& bytes) const {
    std::ofstream(path_, std::ios::binary) << bytes;
    return path_;
  }

 private:
  std::string path_;
};

// Everything that an edit may not do to the EDID, for one result; the
// problems, one a line.
std::vector<std::string> Check(const std::string& kind, const Bytes& before, const Bytes& after, const Verdict& was,
                               const Verdict& is, const std::vector<DisplayTiming>& asked, const DecodedEdid& edid,
                               const std::vector<std::string>& changes) {
  std::vector<std::string> problems;
  const bool renamed = std::any_of(changes.begin(), changes.end(),
                                   [](const std::string& c) { return c.starts_with("The display name"); });
  for (const std::string& message : is.messages) {
    if (!was.messages.contains(message) && !Allowed(message)) problems.push_back("edid-decode now says: " + message);
  }
  if (was.pass && !is.pass) problems.push_back("edid-decode's conformity check passed and now fails");
  // The texts of the descriptors (serial number, strings; the name unless renamed) stay.
  std::istringstream texts(was.text);
  for (std::string line; std::getline(texts, line);) {
    const bool text =
        line.find(": '") != std::string::npos && !(renamed && line.find("Product Name") != std::string::npos);
    if (text && is.text.find(line) == std::string::npos) problems.push_back("edid-decode no longer prints" + line);
  }
  // Blocks: the base block and at most one extension change (the one a
  // timing goes into or leaves, or the one with the FreeSync range); a block
  // map put in as block 1 moves the rest.
  const std::size_t blocks = before.size() / 128;
  const bool map_added = blocks > 1 && before[128] != 0xF0 && after.size() > 128 && after[128] == 0xF0;
  int changed = 0;
  for (std::size_t i = 1; i < blocks; ++i) {
    const std::size_t j = i + (map_added ? 1 : 0);
    changed += after.size() < (j + 1) * 128 || !std::equal(before.begin() + static_cast<long>(i * 128),
                                                           before.begin() + static_cast<long>(i * 128 + 128),
                                                           after.begin() + static_cast<long>(j * 128))
                   ? 1
                   : 0;
  }
  if (changed > 1) problems.push_back(std::to_string(changed) + " extension blocks changed");
  if (kind == "same") {
    // Within the base block: one descriptor, the extension count and the checksum.
    std::set<int> slots;
    for (int i = 0; i < 128; ++i) {
      if (before[static_cast<std::size_t>(i)] != after[static_cast<std::size_t>(i)] && i != 127) {
        slots.insert(i >= 54 && i < 126 ? (i - 54) / 18 : -1 - i);
      }
    }
    if (slots.size() > 1) problems.push_back("base block bytes changed outside one descriptor");
  }
  // Timings: what comes and goes in edid-decode's listing.
  std::set<Figures> may_come;
  for (const DisplayTiming& t : asked) may_come.insert(Of(t));
  may_come.insert(Of(*VicTiming(1)));  // a new CTA-861 block's
  for (const EdidTiming& t : edid.timings) {
    if (t.location.block == 0 && t.location.offset == 54) may_come.insert(Of(t.timing));  // DTD 1 repeated
  }
  const std::multiset<Figures> came = Minus(is.timings, was.timings), gone = Minus(was.timings, is.timings);
  const bool formula_said = std::any_of(changes.begin(), changes.end(), [](const std::string& c) {
    return c.find("no longer offered") != std::string::npos;
  });
  for (const Figures& f : came) {
    if (kind == "remove" || (kind == "same" && !formula_said) || !may_come.contains(f)) {
      problems.push_back("edid-decode lists a timing of " + std::to_string(std::get<1>(f)) + "x" +
                         std::to_string(std::get<5>(f)) + " that the edit does not say");
    }
  }
  for (const DisplayTiming& t : kind == "remove" ? std::vector<DisplayTiming>() : asked) {
    const bool listed =
        std::any_of(is.timings.begin(), is.timings.end(), [&](const auto& l) { return Of(l.timing) == Of(t); });
    if (!listed) problems.push_back(t.source + " is not among the timings edid-decode lists, exact to the hertz");
  }
  // A timing removed may be listed twice (also as YCbCr 4:2:0), and goes twice.
  for (const Figures& f : gone) {
    if (kind != "remove" && formula_said) continue;
    // Where the reader's figures and edid-decode's differ by design (the
    // established IBM modes), the size must agree.
    const bool named = std::any_of(asked.begin(), asked.end(), [&](const DisplayTiming& t) {
      const bool known = t.source.starts_with("Established: IBM");
      return known ? std::get<1>(f) == t.h_active && std::get<5>(f) == t.v_active : Of(t) == f;
    });
    if (kind != "remove" || !named) {
      problems.push_back("a timing of " + std::to_string(std::get<1>(f)) + "x" + std::to_string(std::get<5>(f)) +
                         " is gone from edid-decode's listing");
    }
  }
  if (kind == "prefer" && !asked.empty()) {
    const auto first = std::find_if(is.timings.begin(), is.timings.end(),
                                    [](const auto& l) { return l.label == "DTD 1" || l.label == "DTD"; });
    const bool preferred = (first != is.timings.end() && Of(first->timing) == Of(asked.front()));
    const bool in_display_id = is.text.find("preferred)") != std::string::npos;
    if (!preferred && !in_display_id) problems.push_back("the timing asked is not the preferred one");
  }
  return problems;
}

TEST(EdidEditCorpus, EveryEditChangesOnlyWhatItSays) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << "edid-decode cannot be run here; it is the reference of this test";
  const std::vector<fs::path> files = CorpusFiles();
  ASSERT_EQ(files.size(), 300u);
  std::vector<Verdict> originals;
  std::vector<DecodedEdid> decoded;
  for (const fs::path& file : files) {
    originals.push_back(EdidDecode(file.string()));
    decoded.push_back(*DecodeEdid(ReadEdidFile(file)));
  }
  const TempFile out("result.bin");
  int results = 0;
  for (const auto& row : Rows(kData / "edid_edits.txt")) {
    ASSERT_EQ(row.size(), 4u);
    const std::string& kind = row[0];
    int made = 0, refused = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
      const std::string arguments = Fill(row[1], decoded[f]);
      if (arguments.empty()) continue;
      const auto words = cli::SplitCommandWords("edid edit '" + files[f].string() + "' -o OUT " + arguments);
      ASSERT_TRUE(words) << row[1];
      const cli::Outcome outcome = cli::Run(*words);
      const std::string trace = files[f].filename().string() + ": " + arguments;
      if (outcome.exit_code != 0) {
        EXPECT_EQ(outcome.exit_code, cli::kExitNoMode) << trace << ": " << outcome.err;
        EXPECT_GT(outcome.err.size(), 30u) << trace;
        ++refused;
        continue;
      }
      ++made;
      const Bytes before = ReadEdidFile(files[f]);
      const Bytes after(outcome.file_data.begin(), outcome.file_data.end());
      const Verdict is = EdidDecode(out.Write(outcome.file_data));
      std::vector<std::string> changes;
      std::istringstream lines(outcome.out);
      for (std::string line; std::getline(lines, line);) changes.push_back(line);
      for (const std::string& problem :
           Check(kind, before, after, originals[f], is, Asked(*words, decoded[f]), decoded[f], changes)) {
        ADD_FAILURE() << trace << ": " << problem << "\n" << outcome.out;
      }
      if (row[3] != "-") {
        EXPECT_NE(is.text.find(row[3]), std::string::npos) << trace << "\n" << is.text;
      }
    }
    std::printf("[ edits    ] %-70.70s %3d made, %3d refused\n", row[1].c_str(), made, refused);
    EXPECT_GE(made, std::stoi(row[2])) << row[1];
    results += made;
  }
  EXPECT_GT(results, 3000);
}

TEST(EdidEditCommand, AnswersAndRefusalsSayWhatAndWhy) {
  ASSERT_TRUE(testing::EdidDecodeAvailable()) << "edid-decode cannot be run here; it is the reference of this test";
  const TempFile out("case.bin"), original("given.bin");
  int cases = 0;
  for (const auto& row : Rows(kData / "edid_edit_cases.txt")) {
    ASSERT_EQ(row.size(), 4u);
    const std::string line = "edid edit '" + (kData / "edid" / row[0]).string() + "' -o OUT " + row[1];
    const auto words = cli::SplitCommandWords(line);
    ASSERT_TRUE(words) << line;
    const cli::Outcome outcome = cli::Run(*words);
    const int exit_code = std::stoi(row[2]);
    EXPECT_EQ(outcome.exit_code, exit_code) << row[0] << ": " << row[1] << "\n" << outcome.out << outcome.err;
    EXPECT_NE((exit_code == 0 ? outcome.out : outcome.err).find(row[3]), std::string::npos)
        << row[0] << ": " << row[1] << "\n"
        << outcome.out << outcome.err;
    if (exit_code != 0) {
      EXPECT_TRUE(outcome.out.empty() && outcome.file_path.empty()) << row[1];
      EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    } else {
      EXPECT_EQ(outcome.file_path, "OUT");
      // The EDID given (hex text, some of them) as edid-decode reads it, and the result.
      const Bytes given = *EdidBytesFromFile(ReadText(kData / "edid" / row[0]));
      const Verdict was = EdidDecode(original.Write(std::string(given.begin(), given.end())));
      const Verdict is = EdidDecode(out.Write(outcome.file_data));
      for (const std::string& message : is.messages) {
        EXPECT_TRUE(was.messages.contains(message) || Allowed(message)) << row[1] << ": " << message;
      }
    }
    ++cases;
  }
  EXPECT_GE(cases, 50);
}

// Every seventh file of the corpus with bytes flipped at random (the same on
// every run), its checksums left wrong: each edit is made or refused with a
// reason, never a crash; what it gives is whole blocks that read as an EDID,
// and every block it changed has the right checksum.
TEST(EdidEditDamaged, EditsOfDamagedEdidsGiveWholeBlocksOrAReason) {
  std::mt19937 random(20260611);
  const std::vector<fs::path> files = CorpusFiles();
  int made = 0, refused = 0;
  for (std::size_t f = 0; f < files.size(); f += 7) {
    Bytes bytes = ReadEdidFile(files[f]);
    for (int flip = 0; flip < 6; ++flip) {
      const std::size_t at = 8 + random() % (bytes.size() - 8);
      if (at != 18) bytes[at] = static_cast<std::uint8_t>(bytes[at] ^ (1u << (random() % 8)));
    }
    RangeLimitsEdit range;
    range.min_v_rate_hz = 40, range.max_v_rate_hz = 90, range.range_limits_only = true;
    const std::string removed[] = {"2", "DTD 2", "VIC 1"};
    const Expected<EdidEdited> results[] = {
        AddTiming(bytes, *CvtTiming(1920, 1080, 60)),
        AddTiming(bytes, *CvtTiming(3840, 2160, 144, {CvtBlanking::ReducedV2})),
        PreferTiming(bytes, *CvtTiming(2560, 1440, 60, {CvtBlanking::ReducedV1})),
        RemoveTimings(bytes, removed),
        SetRangeLimits(bytes, range),
        SetDisplayName(bytes, "Damaged"),
        MendChecksums(bytes),
    };
    for (const Expected<EdidEdited>& result : results) {
      if (!result) {
        EXPECT_FALSE(result.error().empty());
        ++refused;
        continue;
      }
      ++made;
      ASSERT_EQ(result->bytes.size() % 128, 0u) << files[f];
      ASSERT_TRUE(DecodeEdid(result->bytes).ok()) << files[f];
      for (std::size_t b = 0; b < result->bytes.size() / 128; ++b) {
        const auto block = std::span(result->bytes).subspan(b * 128, 128);
        // A block as it was (a block map put in moves the blocks after it).
        bool same = false;
        for (std::size_t o = 0; o + 128 <= bytes.size(); o += 128) {
          same = same || std::equal(block.begin(), block.end(), bytes.begin() + static_cast<long>(o));
        }
        unsigned sum = 0;
        for (const std::uint8_t byte : block) sum += byte;
        EXPECT_TRUE(same || sum % 256 == 0) << files[f] << " block " << b;
      }
    }
  }
  std::printf("[ damaged  ] %d edits made, %d refused\n", made, refused);
  EXPECT_GT(made, 150);
}

}  // namespace
}  // namespace zarn::modes
