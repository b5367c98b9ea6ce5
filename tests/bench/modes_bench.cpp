// Figures of the modes library: every DMT and CTA-861 timing built from its
// table, and one CVT and one GTF computation.
#include <benchmark/benchmark.h>

#include "modes/cta.h"
#include "modes/cvt.h"
#include "modes/dmt.h"
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

}  // namespace

BENCHMARK_MAIN();
