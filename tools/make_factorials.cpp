// Writes the shipped factorial table: 1! to 500!, one per line, plain decimal, CR LF.

#include <cstdio>
#include <exception>

#include "core/output_file.h"
#include "stats/factorial_table.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_factorials OUTPUT\n");
    return 2;
  }
  try {
    velmora::OutputFile out(argv[1]);
    out.Write(velmora::FactorialFile(500));
    out.Close();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_factorials: %s\n", error.what());
    return 1;
  }
  return 0;
}
