#pragma once

// The alignment scanner shipped as lib/miranda: local alignment of each
// miRNA (reversed, 3' to 5') against each target (5' to 3') with a scaled
// seed region, hits at scores of 140 and more, and miRanda 3.3a's text
// output for every miRNA-target pair with at least one hit.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "predictors/fasta.h"
#include "predictors/progress_report.h"

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
  std::string queryLine, barLine, refLine;  // the aligned texts, all three as long
};

// Every hit of one miRNA on one target, highest score first.
std::vector<Hit> ScanPair(const std::string& mirna, const std::string& target);

// Writes the whole output file to `out`, miRNA by miRNA, then target by
// target, as the inputs list them. Scans run on `threads` threads, each on
// a group of miRNAs (one per vector lane); a group's text is written as soon
// as the groups before it are, and waits in temporary files in `spillFolder`
// until then. Throws std::runtime_error, before the closing line, if that
// text cannot be kept; a thread that cannot start leaves its share to the others.
// `progress`, when given, counts target nucleotides swept per miRNA group.
void Scan(const std::vector<Sequence>& mirnas, const std::vector<Sequence>& targets, const std::string& mirnaFile,
          const std::string& targetFile, unsigned threads, const std::string& spillFolder, std::ostream& out,
          predictors::ProgressReport* progress = nullptr);

// The units of Scan's progress: target nucleotides, once per miRNA group.
std::uint64_t ScanUnits(const std::vector<Sequence>& mirnas, const std::vector<Sequence>& targets);

}  // namespace velmora::scanner
