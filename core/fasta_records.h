#pragma once

// The one FASTA reader: the engine's input check, the predictors and the
// reference tools all cut their records with it, each keeping its own
// alphabet and messages.

#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string_view>

#include "core/byte_stream.h"

namespace velmora {

// No name needs more, and a header gathered whole could take all memory.
inline constexpr std::size_t kLongestHeader = 1 << 16;

// What a pass over FASTA text reports, in input order.
class FastaRecordSink {
 public:
  virtual ~FastaRecordSink() = default;
  // A header line: its text after ">" (line counts from 1).
  virtual void Header(std::string_view text, std::int64_t line) = 0;
  // A piece of any other line, from its first non-blank byte on; `column` is
  // the 1-based column of the piece's first byte. Lines before the first
  // header come too: whether they are allowed is the caller's to say.
  virtual void SequencePiece(std::string_view bytes, std::int64_t line, std::size_t column) = 0;
  // A header line longer than kLongestHeader bytes ends the pass: this
  // throws the caller's message, by default RunFailure "line N: ...".
  virtual void LongHeader(std::int64_t line);
};

// Reads FASTA text a piece of a line at a time (TextLines), so no sequence
// is ever held whole: lines end at LF, CR LF or CR, a UTF-8 byte-order mark
// at the start is skipped, and a header is a line whose first non-blank
// (space, TAB) byte is ">"; lines of blanks only report nothing. A stop
// request throws RunStopped, looked at every 256 pieces.
void ReadFastaRecords(ByteStream& input, FastaRecordSink& sink, std::stop_token stop = {});

}  // namespace velmora
