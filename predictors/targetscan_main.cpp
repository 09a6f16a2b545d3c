// perlbin/targetscan_60 MIRNA_FILE UTR_FILE OUTPUT_FILE

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "predictors/finished_file.h"
#include "predictors/site_finder.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: targetscan_60 MIRNA_FILE UTR_FILE OUTPUT_FILE\n");
    return 1;
  }
  std::ifstream familyFile(argv[1], std::ios::binary);
  std::ifstream utrs(argv[2], std::ios::binary);
  for (auto [path, in] : {std::pair{argv[1], &familyFile}, std::pair{argv[2], &utrs}}) {
    if (!*in) {
      std::fprintf(stderr, "targetscan_60: cannot read %s\n", path);
      return 1;
    }
  }
  const std::string families{std::istreambuf_iterator<char>(familyFile), std::istreambuf_iterator<char>()};
  velmora::predictors::FinishedFile out(argv[3]);
  velmora::sitefinder::FindSites(velmora::sitefinder::ReadFamilies(families), utrs, out.Stream());
  if (utrs.bad() || familyFile.bad()) {
    std::fprintf(stderr, "targetscan_60: cannot read %s\n", utrs.bad() ? argv[2] : argv[1]);
    return 1;
  }
  if (!out.Finish()) {
    std::fprintf(stderr, "targetscan_60: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
