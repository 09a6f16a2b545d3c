#pragma once

// The alignment scanner shipped as lib/miranda: local alignment of each
// miRNA (reversed, 3' to 5') against each target (5' to 3') with a scaled
// seed region, hits at scores of 140 and more, and miRanda 3.3a's text
// output for every miRNA-target pair with at least one hit.

#include <string>
#include <vector>

#include "predictors/fasta.h"

namespace velmora::scanner {

inline constexpr int kScoreThreshold = 140;

enum class Column { Pair, TargetOnly, MirnaOnly };

struct Hit {
  int score = 0;
  float energy = 0;                  // kcal/mol; printed in single precision
  int queryStart = 0, queryEnd = 0;  // qs, qe: 5'-most aligned miRNA position, 3'-most plus one
  int refStart = 0, refEnd = 0;      // footprint on the target, 1-based inclusive
  int alignStart = 0, alignEnd = 0;  // aligned target region, 1-based inclusive
  int length = 0;                    // alignment columns, gaps included
  double identity = 0, similarity = 0;
  std::string queryLine, barLine, refLine;  // the aligned texts
};

// Every hit of one miRNA on one target, highest score first.
std::vector<Hit> ScanPair(const std::string& mirna, const std::string& target);

// The whole output file. Scans run on `threads` threads; the output order
// is miRNA by miRNA, then target by target, as the inputs list them.
std::string Scan(const std::vector<Sequence>& mirnas, const std::vector<Sequence>& targets,
                 const std::string& mirnaFile, const std::string& targetFile, unsigned threads);

}  // namespace velmora::scanner
