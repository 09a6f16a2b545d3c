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
  std::string families, utrs;
  try {
    families = velmora::predictors::ReadInputFile(argv[1]);
    utrs = velmora::predictors::ReadInputFile(argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "targetscan_60: %s\n", error.what());
    return 1;
  }
  const std::string output =
      velmora::sitefinder::FindSites(velmora::sitefinder::ReadFamilies(families), velmora::sitefinder::ReadUtrs(utrs));
  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out << output;
  out.close();
  if (!out) {
    std::fprintf(stderr, "targetscan_60: cannot write %s: %s\n", argv[3], std::strerror(errno));
    return 1;
  }
  return 0;
}
