// The fold the scanner runs once per reported hit, on hit windows of the
// usual size: a 21 to 24 nt miRNA, seven linker positions and its footprint.

#include <benchmark/benchmark.h>

#include <utility>

#include "predictors/rna_fold.h"

namespace {

const std::pair<const char*, const char*> kHits[] = {
    {"GUCCCUCUCCAAAUGUGUCUUG", "ACGGCGGAGAGCAGAGAGGGAG"},    {"GUCCCUCUCCAAAUGUGUCUUG", "AGUGGGGAGUGGAGAGAGGGAG"},
    {"CUAUACAAUCUAUUGCCUUCCC", "UCUUGUUGUCCCCUUUGUAUAU"},    {"UGGCAGGGAGGCUGGGAGGGG", "GACAUGGAAGCCUCCCCUGCCA"},
    {"UGGCAGGGAGGCUGGGAGGGG", "GACAUGGAAGCCUCCCCUGCCC"},     {"GCUGACUCCUAGUCCAGGGCUC", "AAAUCUUCCUAAAAGAGUCAGN"},
    {"UCCCUGUCCUCCAGGAGCUCACG", "NNNNNNNGGAGUUAGCGACAGGGA"}, {"AGCAGAAGCAGGGAGGUUCUCCCA", "GCAGCCAGCGCAGGGGCUUCUGCU"},
    {"ACCCGUCCCGUUCGUCCCCGGA", "GCUCGGGGCGGCCGGGACGAGG"},
};

void HitFold(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& [mirna, window] : kHits) benchmark::DoNotOptimize(velmora::fold::HitEnergy(mirna, window));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(kHits)));
  state.counters["us_per_fold"] = benchmark::Counter(static_cast<double>(state.iterations() * std::size(kHits)),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(HitFold)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
