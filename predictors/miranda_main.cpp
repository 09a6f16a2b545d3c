// lib/miranda MIRNA_FASTA TARGET_FASTA -out OUTPUT_FILE [-t THREADS]

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "predictors/input_file.h"
#include "predictors/output_stream.h"
#include "predictors/scanner.h"

namespace {

// The -t value, or 0 when it is not a positive number.
unsigned ThreadCount(const char* text) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  return *text != '\0' && *end == '\0' && value > 0 && value <= 1024 ? static_cast<unsigned>(value) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool withThreads = argc == 7 && std::strcmp(argv[5], "-t") == 0;
  const unsigned threads = withThreads ? ThreadCount(argv[6]) : std::max(1u, std::thread::hardware_concurrency());
  if ((argc != 5 && !withThreads) || std::strcmp(argv[3], "-out") != 0 || threads == 0) {
    std::fprintf(stderr, "usage: miranda MIRNA_FASTA TARGET_FASTA -out OUTPUT_FILE [-t THREADS]\n");
    return 1;
  }
  try {
    using namespace velmora::scanner;
    const auto mirnas = ReadFasta(velmora::predictors::ReadInputFile(argv[1]), argv[1]);
    const auto targets = ReadFasta(velmora::predictors::ReadInputFile(argv[2]), argv[2]);
    velmora::predictors::OutputStream out(argv[4]);
    const std::string folder = std::filesystem::path(argv[4]).parent_path().string();
    velmora::predictors::ProgressReport progress(velmora::predictors::ProgressReport::DescriptorFromEnvironment(),
                                                 ScanUnits(mirnas, targets));
    Scan(mirnas, targets, argv[1], argv[2], threads, folder.empty() ? "." : folder, out.stream(), &progress);
    out.Close();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "miranda: out of memory\n");
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "miranda: %s\n", error.what());
    return 1;
  }
  return 0;
}
