#include "engine/fasta_input.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>

#include "core/run_failure.h"
#include "core/text.h"
#include "core/text_lines.h"

namespace velmora {
namespace {

constexpr std::string_view kBlanks = " \t";
// A piece is a line, or 64 KiB of a longer one: a stop waits for at most 16 MB.
constexpr std::uint32_t kPiecesBetweenStopChecks = 256;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsNucleotideCode(char c) {
  static constexpr std::string_view kCodes = "ACGTUNRYSWKMBDHVacgtunryswkmbdhv";
  return kCodes.find(c) != std::string_view::npos;
}

// A character as a message shows it: printable ones quoted, others by code.
std::string Shown(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x21 && byte < 0x7F) return std::string("the character '") + c + "'";
  char code[16];
  std::snprintf(code, sizeof code, "the byte 0x%02X", byte);
  return code;
}

[[noreturn]] void Fail(std::int64_t line, const std::string& problem) {
  throw RunFailure("Input line " + std::to_string(line) + ": " + problem);
}

// Follows the input a piece at a time; a line is a header or sequence once
// its first non-blank character is seen.
class Parser {
 public:
  explicit Parser(FastaSink& sink) : sink_(sink) {}

  void Piece(std::string_view bytes) {
    if (kind_ == Kind::Undecided) {
      const std::size_t first = bytes.find_first_not_of(kBlanks);
      if (first == std::string_view::npos) {
        column_ += bytes.size();
        return;
      }
      kind_ = bytes[first] == '>' ? Kind::Header : Kind::Sequence;
      if (kind_ == Kind::Header) {
        bytes.remove_prefix(first + 1);
      } else {
        column_ += first;
        bytes.remove_prefix(first);
      }
    }
    if (kind_ == Kind::Header) {
      header_ += bytes;
    } else {
      SequencePiece(bytes);
    }
  }

  void LineEnd() {
    if (kind_ == Kind::Header) Header();
    kind_ = Kind::Undecided;
    column_ = 0;
    header_.clear();
    ++line_;
  }

  void Finish() {
    EndRecord();
    if (names_.empty()) throw RunFailure("The input is empty: paste or import lncRNA sequences in FASTA form.");
  }

 private:
  enum class Kind { Undecided, Header, Sequence };

  void Header() {
    EndRecord();
    const std::string_view header = header_;
    const std::string_view name = header.substr(0, header.find_first_of(kBlanks));
    if (name.empty()) Fail(line_, "the header has no name right after \">\"");
    const auto [earlier, added] = names_.try_emplace(UpperCase(name), line_);
    if (!added) {
      Fail(line_, "the name \">" + std::string(name) + "\" repeats the record of line " +
                      std::to_string(earlier->second) + " (names are compared without regard to case)");
    }
    std::string_view description;
    const std::size_t rest = header.find_first_not_of(kBlanks, name.size());
    if (rest != std::string_view::npos) {
      description = header.substr(rest);
      description = description.substr(0, description.find_last_not_of(kBlanks) + 1);
    }
    name_ = name;
    headerLine_ = line_;
    hasSequence_ = false;
    sink_.Header(name, description);
  }

  void SequencePiece(std::string_view bytes) {
    nucleotides_.clear();
    for (const char c : bytes) {
      ++column_;
      if (IsBlank(c)) continue;
      if (name_.empty()) Fail(line_, "text before the first header line; each sequence needs a line \">NAME\"");
      if (!IsNucleotideCode(c)) {
        Fail(line_, "column " + std::to_string(column_) + ": the sequence of \">" + name_ + "\" holds " + Shown(c) +
                        ", which is not a nucleotide code (A, C, G, T, U, N or IUPAC)");
      }
      nucleotides_ += static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
    }
    if (nucleotides_.empty()) return;
    hasSequence_ = true;
    sink_.Sequence(nucleotides_);
  }

  // The record before a header, or the last one, must have a sequence.
  void EndRecord() {
    if (name_.empty()) return;
    if (!hasSequence_) Fail(headerLine_, "the record \">" + name_ + "\" has no sequence");
    sink_.EndRecord();
  }

  FastaSink& sink_;
  Kind kind_ = Kind::Undecided;
  std::int64_t line_ = 1;
  std::size_t column_ = 0;  // bytes of the line before the piece's
  std::string header_;      // the header line after ">", gathered from its pieces
  std::string name_;        // the current record's; empty before the first header
  std::int64_t headerLine_ = 0;
  bool hasSequence_ = false;
  std::string nucleotides_;                              // the piece's codes, as the sink gets them
  std::unordered_map<std::string, std::int64_t> names_;  // upper-cased name -> its header's line
};

}  // namespace

void ReadLncRnaFasta(ByteStream& input, FastaSink& sink, std::stop_token stop) {
  TextLines lines(input);
  Parser parser(sink);
  LinePiece piece;
  for (std::uint32_t pieces = 1; lines.Next(piece); ++pieces) {
    if (pieces % kPiecesBetweenStopChecks == 0 && stop.stop_requested()) throw RunStopped();
    parser.Piece(piece.bytes);
    if (piece.ends) parser.LineEnd();
  }
  parser.Finish();
}

}  // namespace velmora
