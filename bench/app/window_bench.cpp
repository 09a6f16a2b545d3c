// Listing and sorting 10000 result rows in the window (run with
// QT_QPA_PLATFORM=offscreen, or under a display).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableWidget>
#include <random>

#include "app/form1.h"

namespace velmora {
namespace {

std::vector<ResultRow> Rows() {
  std::mt19937 random(10000);
  std::vector<ResultRow> rows;
  for (int i = 0; i < ResultStore::kLastRow; ++i) {
    const int a = std::uniform_int_distribution(1, 40)(random);
    rows.push_back({i + 1,
                    {">LNC" + std::to_string(i % 2000), "Disease " + std::to_string(i % 372), std::to_string(a), "10",
                     "20", std::to_string(464 - a), std::to_string(std::uniform_real_distribution(0.0, 0.05)(random)),
                     "1", std::to_string(a % 7 ? a : -1)}});
  }
  return rows;
}

// As a run hands them over: queued calls, then the event loop delivers them.
void AddRows(Form1& window, const std::vector<ResultRow>& rows) {
  WindowFrontend frontend(window);
  for (const auto& row : rows) frontend.ShowResultRow(row);
  QCoreApplication::processEvents();
}

void BM_ListTenThousandRows(benchmark::State& state) {
  const auto rows = Rows();
  for (auto _ : state) {
    Form1 window(".");
    window.show();
    AddRows(window, rows);
    benchmark::DoNotOptimize(window.ListView1->rowCount());
  }
}
BENCHMARK(BM_ListTenThousandRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SortTenThousandRows(benchmark::State& state) {
  const auto rows = Rows();
  Form1 window(".");
  window.show();
  AddRows(window, rows);
  int column = 1;
  for (auto _ : state) {
    window.ListView1_ColumnClick(column % 10 + 1);  // each click sorts another column
    ++column;
  }
}
BENCHMARK(BM_SortTenThousandRows)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
