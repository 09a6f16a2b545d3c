#include "engine/fasta_input.h"

#include <cstdio>
#include <unordered_map>

#include "core/run_failure.h"
#include "core/text.h"

namespace velmora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

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

[[noreturn]] void Fail(int line, const std::string& problem) {
  throw RunFailure("Input line " + std::to_string(line) + ": " + problem);
}

class Parser {
 public:
  void Header(std::string_view header, int line) {
    Finish();
    const std::string_view name = header.substr(0, header.find_first_of(kBlanks));
    if (name.empty()) Fail(line, "the header has no name right after \">\"");
    const auto [earlier, added] = lines_.try_emplace(UpperCase(name), line);
    if (!added) {
      Fail(line, "the name \">" + std::string(name) + "\" repeats the record of line " +
                     std::to_string(earlier->second) + " (names are compared without regard to case)");
    }
    LncRnaRecord& record = records_.emplace_back();
    record.name = name;
    const std::size_t rest = header.find_first_not_of(kBlanks, name.size());
    if (rest != std::string_view::npos) {
      const std::string_view description = header.substr(rest);
      record.description = description.substr(0, description.find_last_not_of(kBlanks) + 1);
    }
    record.line = line;
  }

  void SequenceLine(std::string_view text, int line) {
    for (std::size_t at = 0; at < text.size(); ++at) {
      const char c = text[at];
      if (kBlanks.find(c) != std::string_view::npos) continue;
      if (records_.empty()) Fail(line, "text before the first header line; each sequence needs a line \">NAME\"");
      if (!IsNucleotideCode(c)) {
        Fail(line, "column " + std::to_string(at + 1) + ": the sequence of \">" + records_.back().name + "\" holds " +
                       Shown(c) + ", which is not a nucleotide code (A, C, G, T, U, N or IUPAC)");
      }
      records_.back().sequence += static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
    }
  }

  std::vector<LncRnaRecord> Records() {
    Finish();
    return std::move(records_);
  }

 private:
  void Finish() const {
    if (!records_.empty() && records_.back().sequence.empty()) {
      Fail(records_.back().line, "the record \">" + records_.back().name + "\" has no sequence");
    }
  }

  std::vector<LncRnaRecord> records_;
  std::unordered_map<std::string, int> lines_;  // upper-cased name -> its header's line
};

}  // namespace

std::vector<LncRnaRecord> ReadLncRnaFasta(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  const std::string lines = WithLineFeeds(text);
  Parser parser;
  int number = 0;
  for (std::string_view line : Split(lines, '\n')) {
    ++number;
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first != std::string_view::npos && line[first] == '>') {
      parser.Header(line.substr(first + 1), number);
    } else {
      parser.SequenceLine(line, number);
    }
  }
  std::vector<LncRnaRecord> records = parser.Records();
  if (records.empty()) throw RunFailure("The input is empty: paste or import lncRNA sequences in FASTA form.");
  return records;
}

}  // namespace velmora
