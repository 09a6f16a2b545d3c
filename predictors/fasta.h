#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::scanner {

struct Sequence {
  std::string id;           // the header up to the first space, TAB, CR or LF
  std::string description;  // the rest of the header, leading blanks skipped
  std::string bases;        // spaces, TABs, CRs and LFs removed
};

// Reads FASTA text; text before the first ">" is ignored. An empty name or
// sequence, or a letter outside ACGTU, N and RYKMSWBDHVX (either case),
// throws std::runtime_error naming the record.
std::vector<Sequence> ReadFasta(const std::string& text, const std::string& fileName);

}  // namespace velmora::scanner
