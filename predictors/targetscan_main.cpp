// perlbin/targetscan_60 MIRNA_FILE UTR_FILE OUTPUT_FILE

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

#include "predictors/input_file.h"
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
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    velmora::sitefinder::FindSites(velmora::sitefinder::ReadFamilies(families), utrs, out);
    out.close();
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[3] + ": " + std::strerror(errno));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "targetscan_60: %s\n", error.what());
    return 1;
  }
  return 0;
}
