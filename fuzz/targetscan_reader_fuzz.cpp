// The site finder's output reader on any bytes: pairs or a RunFailure.

#include "core/run_failure.h"
#include "fuzz/fuzz_file.h"
#include "mapping/targetscan_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  static const auto reference = fuzz::WriteFile("nor_mir.txt", "hsa-mir-21\r\nhsa-let-7a\r\n\r\nhsa-mir-1\r\n");
  const auto output = fuzz::WriteFile("targetscan60_out.txt", fuzz::Bytes(data, size));
  try {
    ExtractTargetScanPairs(output, fuzz::Folder() / "mir_lnc2.txt", reference, true, false, true);
  } catch (const RunFailure&) {
  }
  return 0;
}
