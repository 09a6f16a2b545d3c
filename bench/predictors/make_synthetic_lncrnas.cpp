// Writes a deterministic synthetic lncRNA set as FASTA on standard output:
// an order-2 Markov chain trained on real lncRNAs, log-normal lengths
// (200 to 20,000 nt) until --nt nucleotides, or one sequence of --single nt.
//   make_synthetic_lncrnas --train lncrna_examples.fa --nt 1000000 --seed 1 > x.fa
//   make_synthetic_lncrnas --train lncrna_examples.fa --single 20000000 --seed 1 > x.fa

#include <CLI/CLI.hpp>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr char kBases[] = "ACGT";

int Code(char c) {
  switch (c) {
    case 'A':
    case 'a':
      return 0;
    case 'C':
    case 'c':
      return 1;
    case 'G':
    case 'g':
      return 2;
    case 'T':
    case 't':
    case 'U':
    case 'u':
      return 3;
    default:
      return -1;
  }
}

// Next-base counts by the two bases before, plus one so no pair is a dead end.
using Chain = std::array<std::array<double, 4>, 16>;

Chain Train(const std::string& path) {
  Chain counts;
  for (auto& row : counts) row.fill(1);
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  int previous = -1, last = -1;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '>') {
      previous = last = -1;
      continue;
    }
    for (char c : line) {
      const int code = Code(c);
      if (code < 0) continue;
      if (previous >= 0) counts[static_cast<std::size_t>(previous * 4 + last)][static_cast<std::size_t>(code)] += 1;
      previous = last;
      last = code;
    }
  }
  return counts;
}

// Portable draws (the standard distributions differ between libraries).
double Uniform(std::mt19937_64& random) { return static_cast<double>(random() >> 11) * 0x1.0p-53; }

double Normal(std::mt19937_64& random) {
  const double u = 1.0 - Uniform(random);
  return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * Uniform(random));
}

void WriteSequence(std::FILE* out, const std::string& id, std::uint64_t length, const Chain& chain,
                   std::mt19937_64& random) {
  std::fprintf(out, ">%s synthetic lncRNA\n", id.c_str());
  std::string line;
  int previous = static_cast<int>(random() % 4), last = static_cast<int>(random() % 4);
  for (std::uint64_t i = 0; i < length; ++i) {
    const auto& weights = chain[static_cast<std::size_t>(previous * 4 + last)];
    double draw = Uniform(random) * (weights[0] + weights[1] + weights[2] + weights[3]);
    int next = 0;
    while (next < 3 && (draw -= weights[static_cast<std::size_t>(next)]) >= 0) ++next;
    line += kBases[next];
    previous = last;
    last = next;
    if (line.size() == 60 || i + 1 == length) {
      std::fprintf(out, "%s\n", line.c_str());
      line.clear();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Deterministic synthetic lncRNA FASTA"};
  std::string train;
  std::uint64_t nt = 1000000, single = 0, seed = 1;
  app.add_option("--train", train, "FASTA to train the chain on")->required();
  app.add_option("--nt", nt, "total nucleotides of the set");
  app.add_option("--single", single, "write one sequence of this many nucleotides instead");
  app.add_option("--seed", seed, "random seed");
  CLI11_PARSE(app, argc, argv);
  try {
    const Chain chain = Train(train);
    std::mt19937_64 random(seed);
    if (single > 0) {
      WriteSequence(stdout, "SYN1", single, chain, random);
      return 0;
    }
    // Median 1,300 nt, mean about 2,000: some 500 sequences a Mnt.
    std::uint64_t written = 0;
    for (int k = 1; written < nt; ++k) {
      const double drawn = std::exp(std::log(1300.0) + Normal(random));
      auto length = static_cast<std::uint64_t>(std::clamp(drawn, 200.0, 20000.0));
      length = std::min(length, std::max<std::uint64_t>(nt - written, 200));
      WriteSequence(stdout, "SYN" + std::to_string(k), length, chain, random);
      written += length;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_synthetic_lncrnas: %s\n", error.what());
    return 1;
  }
  return 0;
}
