// The pair reader, grouping, union and intersection on any two pair files:
// the bytes up to the first NUL are the first file, the rest the second.

#include <string_view>

#include "core/run_failure.h"
#include "fuzz/fuzz_file.h"
#include "mapping/pair_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  const std::string_view bytes = fuzz::Bytes(data, size);
  const std::size_t cut = std::min(bytes.find('\0'), bytes.size());
  const auto first = fuzz::WriteFile("mir_lnc2_m.txt", bytes.substr(0, cut));
  const auto second = fuzz::WriteFile("mir_lnc2_t.txt", bytes.substr(std::min(cut + 1, bytes.size())));
  const auto grouped = fuzz::Folder() / "mir_lnc3.txt";
  try {
    GroupPairs(first, grouped);
    MergePairsUnion(first, second, grouped);
    MergePairsIntersection(first, second, grouped);
  } catch (const RunFailure&) {
  }
  return 0;
}
