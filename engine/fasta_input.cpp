#include "engine/fasta_input.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>

#include "core/fasta_records.h"
#include "core/run_failure.h"
#include "core/text.h"

namespace velmora {
namespace {

constexpr std::string_view kBlanks = " \t";

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

// Checks the records as the reader reports them and hands them on.
class Parser final : public FastaRecordSink {
 public:
  explicit Parser(FastaSink& sink) : sink_(sink) {}

  void LongHeader(std::int64_t line) override {
    Fail(line, "the header line is longer than " + std::to_string(kLongestHeader) + " bytes, more than any name needs");
  }

  void Header(std::string_view header, std::int64_t line) override {
    EndRecord();
    // A NUL would cut the name short in a C string, so the two predictors
    // could report the record under another name than the run's.
    if (header.find('\0') != std::string_view::npos) {
      Fail(line, "the header holds " + Shown('\0') + ", which no name or description may hold");
    }
    const std::string_view name = header.substr(0, header.find_first_of(kBlanks));
    if (name.empty()) Fail(line, "the header has no name right after \">\"");
    const auto [earlier, added] = names_.try_emplace(UpperCase(name), line);
    if (!added) {
      Fail(line, "the name \">" + std::string(name) + "\" repeats the record of line " +
                     std::to_string(earlier->second) + " (names are compared without regard to case)");
    }
    std::string_view description;
    const std::size_t rest = header.find_first_not_of(kBlanks, name.size());
    if (rest != std::string_view::npos) {
      description = header.substr(rest);
      description = description.substr(0, description.find_last_not_of(kBlanks) + 1);
    }
    name_ = name;
    headerLine_ = line;
    hasSequence_ = false;
    sink_.Header(name, description);
  }

  void SequencePiece(std::string_view bytes, std::int64_t line, std::size_t column) override {
    if (name_.empty()) Fail(line, "text before the first header line; each sequence needs a line \">NAME\"");
    nucleotides_.clear();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const char c = bytes[i];
      if (IsBlank(c)) continue;
      if (!IsNucleotideCode(c)) {
        Fail(line, "column " + std::to_string(column + i) + ": the sequence of \">" + name_ + "\" holds " + Shown(c) +
                       ", which is not a nucleotide code (A, C, G, T, U, N or IUPAC)");
      }
      nucleotides_ += static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
    }
    if (nucleotides_.empty()) return;
    hasSequence_ = true;
    sink_.Sequence(nucleotides_);
  }

  void Finish() {
    EndRecord();
    if (names_.empty()) throw RunFailure("The input is empty: paste or import lncRNA sequences in FASTA form.");
  }

 private:
  // The record before a header, or the last one, must have a sequence.
  void EndRecord() {
    if (name_.empty()) return;
    if (!hasSequence_) Fail(headerLine_, "the record \">" + name_ + "\" has no sequence");
    sink_.EndRecord();
  }

  FastaSink& sink_;
  std::string name_;  // the current record's; empty before the first header
  std::int64_t headerLine_ = 0;
  bool hasSequence_ = false;
  std::string nucleotides_;                              // the piece's codes, as the sink gets them
  std::unordered_map<std::string, std::int64_t> names_;  // upper-cased name -> its header's line
};

}  // namespace

void ReadLncRnaFasta(ByteStream& input, FastaSink& sink, std::stop_token stop) {
  Parser parser(sink);
  ReadFastaRecords(input, parser, std::move(stop));
  parser.Finish();
}

}  // namespace velmora
