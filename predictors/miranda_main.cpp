// lib/miranda MIRNA_FASTA TARGET_FASTA -out OUTPUT_FILE

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "predictors/input_file.h"
#include "predictors/scanner.h"

int main(int argc, char** argv) {
  if (argc != 5 || std::strcmp(argv[3], "-out") != 0) {
    std::fprintf(stderr, "usage: miranda MIRNA_FASTA TARGET_FASTA -out OUTPUT_FILE\n");
    return 1;
  }
  try {
    using namespace velmora::scanner;
    const auto mirnas = ReadFasta(velmora::predictors::ReadInputFile(argv[1]), argv[1]);
    const auto targets = ReadFasta(velmora::predictors::ReadInputFile(argv[2]), argv[2]);
    const std::string output =
        Scan(mirnas, targets, argv[1], argv[2], std::max(1u, std::thread::hardware_concurrency()));
    std::ofstream out(argv[4], std::ios::binary | std::ios::trunc);
    out << output;
    out.close();
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[4] + ": " + std::strerror(errno));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "miranda: %s\n", error.what());
    return 1;
  }
  return 0;
}
