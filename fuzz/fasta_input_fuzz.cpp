// Any input either gives records that both predictors can take, or one
// RunFailure; nothing else.

#include <cstdlib>
#include <set>

#include "core/run_failure.h"
#include "core/text.h"
#include "engine/fasta_input.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  try {
    const auto records = ReadLncRnaFasta(fuzz::Bytes(data, size));
    std::set<std::string> names;
    for (const LncRnaRecord& record : records) {
      const bool usable = !record.name.empty() && record.name.find_first_of(" \t\r\n") == std::string::npos &&
                          !record.sequence.empty() &&
                          record.sequence.find_first_not_of("ACGTUNRYSWKMBDHV") == std::string::npos &&
                          names.insert(UpperCase(record.name)).second;
      if (!usable) std::abort();
    }
  } catch (const RunFailure& failure) {
    if (std::string_view(failure.what()).find('\n') != std::string_view::npos) std::abort();
  }
  return 0;
}
