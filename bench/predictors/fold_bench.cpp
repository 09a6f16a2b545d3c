// The fold the scanner runs once per reported hit, on hit windows of the
// usual size: a 21 to 24 nt miRNA, seven linker positions and its footprint.
//
// HitFold folds every miRNA below against every window, window by window as
// the scanner meets a group of miRNAs target by target: each fold takes the
// columns of its miRNA and the linker from that miRNA's earlier hits.
// FullFold folds the same strands from empty tables.
//
// Measured on 2 shared cores at a load average of about 2, us_per_fold
// (the spread between runs is about 10%):
//   every fold from empty tables, the tables by row:      HitFold 46-55, FullFold 44-55
//   by column, a miRNA's columns kept in its own tables:  HitFold 26-27, FullFold 30
//   by column, kept apart compactly, pairing rows only:   HitFold 18-20, FullFold 22-23
//   partner lists built without a branch per position:    HitFold 16.6-17.0, FullFold 21.6-22
//   interior loops a 3' side at a time, 5' sides at once:  HitFold 14.4-14.6, FullFold 19.0-19.4
// The scanner on 1 Mnt of synthetic lncRNAs (125,406 hits, one thread)
// spends about 2.4 s aligning; the folds took about 4.3 s at first.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "predictors/rna_fold.h"

namespace {

const char* const kMirnas[] = {
    "GUCCCUCUCCAAAUGUGUCUUG",  "CUAUACAAUCUAUUGCCUUCCC",   "UGGCAGGGAGGCUGGGAGGGG",  "GCUGACUCCUAGUCCAGGGCUC",
    "UCCCUGUCCUCCAGGAGCUCACG", "AGCAGAAGCAGGGAGGUUCUCCCA", "ACCCGUCCCGUUCGUCCCCGGA",
};
const char* const kWindows[] = {
    "ACGGCGGAGAGCAGAGAGGGAG",   "AGUGGGGAGUGGAGAGAGGGAG",   "UCUUGUUGUCCCCUUUGUAUAU",
    "GACAUGGAAGCCUCCCCUGCCA",   "GACAUGGAAGCCUCCCCUGCCC",   "AAAUCUUCCUAAAAGAGUCAGN",
    "NNNNNNNGGAGUUAGCGACAGGGA", "GCAGCCAGCGCAGGGGCUUCUGCU", "GCUCGGGGCGGCCGGGACGAGG",
};
constexpr std::int64_t kFolds = std::size(kMirnas) * std::size(kWindows);

void Count(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kFolds);
  state.counters["us_per_fold"] = benchmark::Counter(static_cast<double>(state.iterations() * kFolds),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void HitFold(benchmark::State& state) {
  for (auto _ : state) {
    for (const char* window : kWindows) {
      for (const char* mirna : kMirnas) benchmark::DoNotOptimize(velmora::fold::HitEnergy(mirna, window));
    }
  }
  Count(state);
}
BENCHMARK(HitFold)->Unit(benchmark::kMicrosecond);

void FullFold(benchmark::State& state) {
  std::vector<std::string> strands;
  for (const std::string window : kWindows) {
    for (const std::string mirna : kMirnas) {
      strands.push_back(std::string(mirna.rbegin(), mirna.rend()) + std::string(7, velmora::fold::kLinker) +
                        std::string(window.rbegin(), window.rend()));
    }
  }
  for (auto _ : state) {
    for (const std::string& strand : strands) benchmark::DoNotOptimize(velmora::fold::MinimumFreeEnergy(strand));
  }
  Count(state);
}
BENCHMARK(FullFold)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
