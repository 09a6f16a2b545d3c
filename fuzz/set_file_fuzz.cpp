// The set-file writer on any grouped-pair bytes, in both line-end modes.

#include "core/run_failure.h"
#include "fuzz/fuzz_file.h"
#include "mapping/set_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  const auto grouped = fuzz::WriteFile("mir_lnc3.txt", fuzz::Bytes(data, size));
  try {
    WriteLncMirSets(grouped, fuzz::Folder() / "lnc_mirset.txt", false);
    WriteLncMirSets(grouped, fuzz::Folder() / "lnc_mirset.txt", true);
  } catch (const RunFailure&) {
  }
  return 0;
}
