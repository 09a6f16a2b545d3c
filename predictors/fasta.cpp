#include "predictors/fasta.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "core/byte_stream.h"
#include "core/fasta_records.h"

namespace velmora::scanner {
namespace {

class Records final : public FastaRecordSink {
 public:
  explicit Records(const std::string& fileName) : fileName_(fileName) {}

  void Header(std::string_view header, std::int64_t /*line*/) override {
    Finish();
    Sequence& record = records_.emplace_back();
    const std::size_t idEnd = header.find_first_of(" \t");
    record.id = header.substr(0, idEnd);
    if (idEnd != std::string_view::npos) {
      const std::size_t descriptionStart = header.find_first_not_of(" \t", idEnd);
      if (descriptionStart != std::string_view::npos) record.description = header.substr(descriptionStart);
    }
  }

  void LongHeader(std::int64_t line) override {
    throw std::runtime_error(fileName_ + ": line " + std::to_string(line) + ": a header line longer than " +
                             std::to_string(kLongestHeader) + " bytes");
  }

  void SequencePiece(std::string_view bytes, std::int64_t /*line*/, std::size_t /*column*/) override {
    if (records_.empty()) return;  // text before the first record is ignored
    Sequence& record = records_.back();
    for (const char c : bytes) {
      if (c == ' ' || c == '\t') continue;
      if (c == '\0' || !std::strchr("ACGTUNRYKMSWBDHVXacgtunrykmswbdhvx", c)) {
        throw std::runtime_error(fileName_ + ": sequence " + record.id + " holds the character '" + std::string(1, c) +
                                 "', which is not a nucleotide code");
      }
      record.bases.push_back(c);
    }
  }

  // The record read last must have a name and a sequence.
  void Finish() const {
    if (records_.empty()) return;
    const Sequence& record = records_.back();
    if (record.id.empty()) throw std::runtime_error(fileName_ + ": a sequence has an empty name");
    if (record.bases.empty()) throw std::runtime_error(fileName_ + ": sequence " + record.id + " is empty");
  }

  std::vector<Sequence> Take() {
    Finish();
    return std::move(records_);
  }

 private:
  const std::string& fileName_;
  std::vector<Sequence> records_;
};

}  // namespace

std::vector<Sequence> ReadFasta(const std::string& text, const std::string& fileName) {
  MemoryStream stream(text);
  Records records(fileName);
  ReadFastaRecords(stream, records);
  return records.Take();
}

}  // namespace velmora::scanner
