// Figures of the modes library: every DMT and CTA-861 timing built from its
// table, one CVT and one GTF computation, and the EDID reader over the corpus
// of real monitors' EDIDs and over one typical EDID.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/dmt.h"
#include "modes/edid.h"
#include "modes/edid_reader.h"
#include "modes/gtf.h"

namespace {

using namespace zarn::modes;

void BM_AllDmtTimings(benchmark::State& state) {
  for (auto _ : state) {
    for (const DmtMode& mode : DmtModes()) benchmark::DoNotOptimize(ToTiming(mode));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(DmtModes().size()));
}
BENCHMARK(BM_AllDmtTimings);

void BM_AllVicTimings(benchmark::State& state) {
  for (auto _ : state) {
    for (const CtaMode& mode : CtaModes()) benchmark::DoNotOptimize(VicTiming(mode.vic));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(CtaModes().size()));
}
BENCHMARK(BM_AllVicTimings);

void BM_CvtReducedBlankingV2(benchmark::State& state) {
  CvtOptions options;
  options.blanking = CvtBlanking::ReducedV2;
  for (auto _ : state) benchmark::DoNotOptimize(CvtTiming(2560, 1440, 144.0, options));
}
BENCHMARK(BM_CvtReducedBlankingV2);

void BM_CvtNormalBlanking(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CvtTiming(1920, 1080, 60.0));
}
BENCHMARK(BM_CvtNormalBlanking);

void BM_GtfFromRate(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(GtfTiming(1920, 1080, GtfInput::FrameRate, 60.0));
}
BENCHMARK(BM_GtfFromRate);

// An EDID base block made, and written as hex text.
void BM_MakeEdid(benchmark::State& state) {
  const auto timing = zarn::modes::DmtTiming(0x24);
  for (auto _ : state) benchmark::DoNotOptimize(zarn::modes::MakeEdid(*timing, "Bench"));
}
BENCHMARK(BM_MakeEdid);

void BM_EdidHexText(benchmark::State& state) {
  const auto block = zarn::modes::MakeEdid(*zarn::modes::DmtTiming(0x24), "Bench");
  for (auto _ : state) benchmark::DoNotOptimize(zarn::modes::HexBytes(*block));
}
BENCHMARK(BM_EdidHexText);

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string bytes = text.str();
  return {bytes.begin(), bytes.end()};
}

const std::vector<std::vector<std::uint8_t>>& Corpus() {
  static const std::vector<std::vector<std::uint8_t>> corpus = [] {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ZARN_TEST_DATA_DIR) / "edid")) {
      if (entry.path().extension() == ".bin") paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::vector<std::uint8_t>> files;
    for (const auto& path : paths) files.push_back(ReadFile(path));
    return files;
  }();
  return corpus;
}

// All 300 EDIDs of the corpus, decoded once per iteration.
void BM_DecodeEdidCorpus(benchmark::State& state) {
  const auto& corpus = Corpus();
  for (auto _ : state) {
    for (const auto& bytes : corpus) benchmark::DoNotOptimize(DecodeEdid(bytes));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(corpus.size()));
}
BENCHMARK(BM_DecodeEdidCorpus)->Unit(benchmark::kMillisecond);

// A typical monitor: a base block and a CTA-861 block with a video data block, HDMI and
// HDMI Forum blocks and detailed timings (an LG monitor).
void BM_DecodeTypicalEdid(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes =
      ReadFile(std::filesystem::path(ZARN_TEST_DATA_DIR) / "edid" / "Digital_Goldstar_GSM5BF4_C76DD6938104.bin");
  for (auto _ : state) benchmark::DoNotOptimize(DecodeEdid(bytes));
}
BENCHMARK(BM_DecodeTypicalEdid)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
