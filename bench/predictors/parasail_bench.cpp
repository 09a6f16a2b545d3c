// The same miRNA-by-target work as the scanner, through parasail's striped
// 16-bit Smith-Waterman (score only, run-time dispatched), for a side-by-side
// cells-per-second figure. Each target is the striped profile and each miRNA
// runs along it, the arrangement that suits a striped kernel best.
//   parasail_bench MIRNA_FASTA TARGET_FASTA [THREADS]

#include <parasail.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "predictors/fasta.h"

namespace {

std::string ReadWhole(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: parasail_bench MIRNA_FASTA TARGET_FASTA [THREADS]\n");
    return 1;
  }
  using velmora::scanner::ReadFasta;
  const auto mirnas = ReadFasta(ReadWhole(argv[1]), argv[1]);
  const auto targets = ReadFasta(ReadWhole(argv[2]), argv[2]);
  const unsigned threads = argc > 3 ? static_cast<unsigned>(std::stoul(argv[3])) : 2;
  // +5 for a match, -3 for a mismatch, gaps 9 and 4: the scanner's unscaled costs.
  parasail_matrix_t* matrix = parasail_matrix_create("ACGTUN", 5, -3);
  double mirnaLength = 0, targetLength = 0;
  for (const auto& m : mirnas) mirnaLength += static_cast<double>(m.bases.size());
  for (const auto& t : targets) targetLength += static_cast<double>(t.bases.size());
  std::atomic<std::size_t> next{0};
  std::atomic<long> checksum{0};
  const auto start = std::chrono::steady_clock::now();
  auto work = [&] {
    long sum = 0;
    for (std::size_t t; (t = next++) < targets.size();) {
      const std::string& target = targets[t].bases;
      parasail_profile_t* profile = parasail_profile_create_16(target.c_str(), static_cast<int>(target.size()), matrix);
      for (const auto& mirna : mirnas) {
        parasail_result_t* result =
            parasail_sw_striped_profile_16(profile, mirna.bases.c_str(), static_cast<int>(mirna.bases.size()), 9, 4);
        sum += parasail_result_get_score(result);
        parasail_result_free(result);
      }
      parasail_profile_free(profile);
    }
    checksum += sum;
  };
  std::vector<std::thread> pool;
  for (unsigned i = 1; i < threads; ++i) pool.emplace_back(work);
  work();
  for (auto& thread : pool) thread.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cells = mirnaLength * targetLength;
  std::printf("parasail sw_striped_profile_16: %.2f s, %.2f G cells/s on %u threads (%.2f per thread), checksum %ld\n",
              seconds, cells / seconds / 1e9, threads, cells / seconds / 1e9 / threads, checksum.load());
  parasail_matrix_free(matrix);
  return 0;
}
