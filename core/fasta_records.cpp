#include "core/fasta_records.h"

#include <string>

#include "core/run_failure.h"
#include "core/text_lines.h"

namespace velmora {
namespace {

constexpr std::string_view kBlanks = " \t";
// A piece is a line, or 64 KiB of a longer one: a stop waits for at most 16 MB.
constexpr std::uint32_t kPiecesBetweenStopChecks = 256;

}  // namespace

void FastaRecordSink::LongHeader(std::int64_t line) {
  throw RunFailure("line " + std::to_string(line) + ": a header line longer than " + std::to_string(kLongestHeader) +
                   " bytes");
}

void ReadFastaRecords(ByteStream& input, FastaRecordSink& sink, std::stop_token stop) {
  enum class Kind { Undecided, Header, Sequence };
  TextLines lines(input);
  LinePiece piece;
  Kind kind = Kind::Undecided;
  std::int64_t line = 1;
  std::size_t column = 1;  // of the piece's first byte
  std::string header;      // gathered from its pieces
  for (std::uint32_t pieces = 1; lines.Next(piece); ++pieces) {
    if (pieces % kPiecesBetweenStopChecks == 0 && stop.stop_requested()) throw RunStopped();
    std::string_view bytes = piece.bytes;
    if (kind == Kind::Undecided) {
      const std::size_t first = bytes.find_first_not_of(kBlanks);
      if (first != std::string_view::npos) {
        kind = bytes[first] == '>' ? Kind::Header : Kind::Sequence;
        bytes.remove_prefix(kind == Kind::Header ? first + 1 : first);
        column += first;
      } else {
        column += bytes.size();
        bytes = {};
      }
    }
    if (kind == Kind::Header) {
      if (header.size() + bytes.size() > kLongestHeader) {
        sink.LongHeader(line);
        sink.FastaRecordSink::LongHeader(line);  // an override that returns still ends the pass
      }
      header += bytes;
    }
    if (kind == Kind::Sequence && !bytes.empty()) sink.SequencePiece(bytes, line, column);
    column += bytes.size();
    if (!piece.ends) continue;
    if (kind == Kind::Header) sink.Header(header, line);
    kind = Kind::Undecided;
    header.clear();
    column = 1;
    ++line;
  }
}

}  // namespace velmora
