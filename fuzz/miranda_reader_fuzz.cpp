// The scanner's output reader on any bytes: pairs or a RunFailure.

#include "core/run_failure.h"
#include "fuzz/fuzz_file.h"
#include "mapping/miranda_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  const auto output = fuzz::WriteFile("miranda_out.txt", fuzz::Bytes(data, size));
  try {
    ExtractMirandaPairs(output, fuzz::Folder() / "mir_lnc2.txt");
  } catch (const RunFailure&) {
  }
  return 0;
}
