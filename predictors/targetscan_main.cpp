// perlbin/targetscan_60 MIRNA_FILE UTR_FILE OUTPUT_FILE

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "predictors/input_file.h"
#include "predictors/output_stream.h"
#include "predictors/site_finder.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: targetscan_60 MIRNA_FILE UTR_FILE OUTPUT_FILE\n");
    return 1;
  }
  try {
    const std::string families = velmora::predictors::ReadInputFile(argv[1]);
    // The UTR file is read a gene block at a time, so its size does not matter.
    velmora::LineFile utrs(argv[2]);
    velmora::predictors::OutputStream out(argv[3]);
    std::error_code unknown;
    const std::uintmax_t size = std::filesystem::file_size(argv[2], unknown);
    velmora::predictors::ProgressReport progress(velmora::predictors::ProgressReport::DescriptorFromEnvironment(),
                                                 unknown ? 0 : size);
    velmora::sitefinder::FindSites(velmora::sitefinder::ReadFamilies(families), utrs, out.stream(), &progress);
    out.Close();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "targetscan_60: %s\n", error.what());
    return 1;
  }
  return 0;
}
