// Writes the factorial table: 1! to 500!, one per line, plain decimal, CR LF.

#include <gmpxx.h>

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_factorials OUTPUT\n");
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  mpz_class factorial = 1;
  for (unsigned long k = 1; k <= 500; ++k) {
    factorial *= k;
    out << factorial.get_str() << "\r\n";
  }
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_factorials: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
