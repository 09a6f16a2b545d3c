// perlbin/targetscan_60 MIRNA_FILE UTR_FILE OUTPUT_FILE

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "predictors/site_finder.h"

namespace {

bool ReadWhole(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: targetscan_60 MIRNA_FILE UTR_FILE OUTPUT_FILE\n");
    return 1;
  }
  std::string families, utrs;
  for (auto [path, text] : {std::pair{argv[1], &families}, std::pair{argv[2], &utrs}}) {
    if (!ReadWhole(path, *text)) {
      std::fprintf(stderr, "targetscan_60: cannot read %s\n", path);
      return 1;
    }
  }
  const std::string output = velmora::sitefinder::FindSites(velmora::sitefinder::ReadFamilies(families),
                                                            velmora::sitefinder::ReadUtrs(utrs));
  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out << output;
  out.close();
  if (!out) {
    std::fprintf(stderr, "targetscan_60: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
