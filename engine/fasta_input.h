#pragma once

#include <stop_token>
#include <string_view>

#include "core/byte_stream.h"

namespace velmora {

// What one pass over the FASTA input reports, in input order. The defaults
// keep nothing: a pass that only checks the input.
class FastaSink {
 public:
  virtual ~FastaSink() = default;
  // A record starts: its name (the header up to its first blank, without
  // ">") and description (the rest, blanks around it removed).
  virtual void Header(std::string_view /*name*/, std::string_view /*description*/) {}
  // The next nucleotide codes of the record, upper-cased, blanks dropped.
  virtual void Sequence(std::string_view /*nucleotides*/) {}
  // The record's sequence is complete.
  virtual void EndRecord() {}
};

// Reads and checks the FASTA input in one pass, a piece of a line at a time,
// so that no sequence is ever held whole. Lines end at LF, CR LF or CR; a
// UTF-8 byte-order mark at the start is skipped. A header is a line whose
// first non-blank character is ">"; blanks (spaces, TABs) inside sequence
// lines are dropped; A, C, G, T, U, N and the IUPAC codes R, Y, S, W, K, M,
// B, D, H, V are accepted in either case. Anything else throws RunFailure
// naming the line, and the record and character at fault: another character,
// a NUL byte in a header, text before the first header, a header without a name or without sequence,
// two names that are equal once upper-cased (the predictors would merge
// them), an input without any record. Only the names are kept, so a run can
// check its whole input before it touches the workspace. A stop request
// throws RunStopped, looked at every 256 pieces.
void ReadLncRnaFasta(ByteStream& input, FastaSink& sink, std::stop_token stop = {});

}  // namespace velmora
