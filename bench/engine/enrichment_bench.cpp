// The enrichment step at full size, against the shipped collection and a
// large one, and the fast P-value path against the literal decimal-text
// arithmetic on the same pairs.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <random>

#include "engine/enrichment_table.h"
#include "stats/enrichment.h"
#include "stats/factorial_table.h"
#include "stats/fisher.h"
#include "tests/support/reference_arithmetic.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

class CountingFrontend : public Frontend {
 public:
  void ShowLogLine(std::string_view) override {}
  void ShowResultRow(const ResultRow&) override {}
};

using NameSet = std::vector<int>;

NameSet Draw(std::mt19937& random, int universe, int size) {
  NameSet all(static_cast<std::size_t>(universe));
  for (int i = 0; i < universe; ++i) all[static_cast<std::size_t>(i)] = i;
  std::shuffle(all.begin(), all.end(), random);
  all.resize(static_cast<std::size_t>(size));
  return all;
}

// The sizes of a collection and of the lncRNA sets tested against it.
struct Shape {
  int universe, sets, setLeast, setMost, lncs, lncLeast, lncMost;
};
// The shipped collection: 372 disease sets of 1 to 214 miRNAs, lncRNA sets of
// 20 to 300, in 494 miRNAs.
constexpr Shape kShipped{kUniverseSize, kDiseaseCount, 1, 214, 2000, 20, 300};
// A large collection: 1,000 sets of 5 to 300 in the 1,743 human mature
// names, lncRNA sets of 20 to 200.
constexpr Shape kLarge{1743, 1000, 5, 300, 2000, 20, 200};

Shape WithLncs(Shape shape, int lncs) {
  shape.lncs = lncs;
  return shape;
}

// Sets drawn uniformly from the universe.
struct Workload {
  int universe;
  std::vector<NameSet> diseases;
  std::vector<NameSet> lncs;

  explicit Workload(const Shape& shape) : universe(shape.universe) {
    std::mt19937 random(494);
    for (int k = 0; k < shape.sets; ++k) {
      diseases.push_back(Draw(random, universe, std::uniform_int_distribution(shape.setLeast, shape.setMost)(random)));
    }
    for (int l = 0; l < shape.lncs; ++l) {
      lncs.push_back(Draw(random, universe, std::uniform_int_distribution(shape.lncLeast, shape.lncMost)(random)));
    }
  }

  static std::string Line(const std::string& name, const NameSet& set) {
    std::string line = name;
    for (int i : set) line += "\thsa-mir-" + std::to_string(i);
    return line + "\n";
  }

  // The collection (its manifest's counts, its sets) and the lncRNA sets.
  void Write(const test::TempDir& dir) const {
    std::string diseaseFile, lncFile;
    for (std::size_t k = 0; k < diseases.size(); ++k) diseaseFile += Line("Disease " + std::to_string(k), diseases[k]);
    for (std::size_t l = 0; l < lncs.size(); ++l) lncFile += Line(">LNC" + std::to_string(l), lncs[l]);
    test::WriteBytes(dir / "MANIFEST",
                     "universe " + std::to_string(universe) + "\ndiseases " + std::to_string(diseases.size()) + "\n");
    test::WriteBytes(dir / "disease_mirset.txt", diseaseFile);
    test::WriteBytes(dir / "lnc_mirset.txt", lncFile);
  }

  // The 2x2 tables of every pair sharing at least one miRNA.
  std::vector<std::array<int, 4>> SharedTables() const {
    std::vector<std::array<int, 4>> tables;
    for (const NameSet& lnc : lncs) {
      std::vector<bool> held(static_cast<std::size_t>(universe));
      for (int i : lnc) held[static_cast<std::size_t>(i)] = true;
      for (const NameSet& disease : diseases) {
        int a = 0;
        for (int i : disease) a += held[static_cast<std::size_t>(i)];
        const int b = static_cast<int>(disease.size()) - a, c = static_cast<int>(lnc.size()) - a;
        if (a > 0) tables.push_back({a, b, c, universe - a - b - c});
      }
    }
    return tables;
  }
};

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The whole enrichment step of 2,000 lncRNAs: against the shipped
// collection (0), and against a large one (1), whose factorial table is
// written and loaded first, as a collection brings it.
void BM_FullEnrichment(benchmark::State& state) {
  const Shape& shape = state.range(0) == 0 ? kShipped : kLarge;
  test::TempDir dir;
  Workload(shape).Write(dir);
  test::WriteBytes(dir / "mulnum.txt", FactorialFile(shape.universe));
  const FactorialTable factorials = LoadFactorialTable(dir / "mulnum.txt");
  for (auto _ : state) {
    CountingFrontend frontend;
    Session session{dir.path(), frontend, factorials};
    WriteEnrichmentTable(session, dir / "disease_mirset.txt", dir / "lnc_mirset.txt", dir / "result.xls", true, true,
                         true);
    state.counters["rows"] = session.rowsShown;
  }
  state.counters["peak_rss_MB"] = PeakMegabytes();
}
BENCHMARK(BM_FullEnrichment)
    ->ArgName("large")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same pairs' P-values both ways; a fresh cache each time, so the fast
// path gets no help from an earlier iteration.
void BM_PValuesFast(benchmark::State& state) {
  const auto tables = Workload(WithLncs(kShipped, static_cast<int>(state.range(0)))).SharedTables();
  for (auto _ : state) {
    FisherCache cache(test::BuiltFactorials());
    double sum = 0;
    for (const auto& t : tables) sum += cache.FisherExactP(t[0], t[1], t[2], t[3]);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["pairs"] = static_cast<double>(tables.size());
}
BENCHMARK(BM_PValuesFast)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_PValuesLiteral(benchmark::State& state) {
  const auto tables = Workload(WithLncs(kShipped, static_cast<int>(state.range(0)))).SharedTables();
  for (auto _ : state) {
    double sum = 0;
    for (const auto& t : tables) sum += test::ReferenceFisherExactP(test::BuiltFactorials(), t[0], t[1], t[2], t[3]);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["pairs"] = static_cast<double>(tables.size());
}
BENCHMARK(BM_PValuesLiteral)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TableProbability(benchmark::State& state) {
  int a = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(TableProbability(test::BuiltFactorials(), a % 20, 60, 90, 344 - a % 20));
    ++a;
  }
}
BENCHMARK(BM_TableProbability);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
