#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One lncRNA of the input, as both predictor inputs are written from it.
struct LncRnaRecord {
  std::string name;         // the header up to its first blank, without ">"
  std::string description;  // the rest of the header, blanks around it removed
  std::string sequence;     // nucleotide codes only, upper-cased
  int line = 0;             // the header's line number, from 1
};

// Parses and checks the whole FASTA input before anything is written. Lines
// end at LF, CR LF or CR; a UTF-8 byte-order mark at the start is skipped. A
// header is a line whose first non-blank character is ">"; blanks (spaces,
// TABs) inside sequence lines are dropped; A, C, G, T, U, N and the IUPAC
// codes R, Y, S, W, K, M, B, D, H, V are accepted in either case. Anything
// else throws RunFailure naming the line, and the record and character at
// fault: another character, text before the first header, a header without a
// name or without sequence, two names that are equal once upper-cased (the
// predictors would merge them), an input without any record.
std::vector<LncRnaRecord> ReadLncRnaFasta(std::string_view text);

}  // namespace velmora
