#include "predictors/fasta.h"

#include <cstring>

namespace velmora::scanner {

std::vector<Sequence> ReadFasta(const std::string& text, const std::string& fileName) {
  std::vector<Sequence> records;
  std::size_t at = text.find('>');
  while (at != std::string::npos) {
    std::size_t lineEnd = text.find('\n', at);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    std::string header = text.substr(at + 1, lineEnd - at - 1);
    if (!header.empty() && header.back() == '\r') header.pop_back();
    Sequence record;
    const std::size_t idEnd = header.find_first_of(" \t\r");
    record.id = header.substr(0, idEnd);
    if (idEnd != std::string::npos) {
      const std::size_t descriptionStart = header.find_first_not_of(" \t", idEnd);
      if (descriptionStart != std::string::npos) record.description = header.substr(descriptionStart);
    }
    const std::size_t next = text.find("\n>", lineEnd);
    const std::size_t bodyEnd = next == std::string::npos ? text.size() : next + 1;
    for (std::size_t i = lineEnd; i < bodyEnd; ++i) {
      const char c = text[i];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
      if (c == '\0' || !std::strchr("ACGTUNRYKMSWBDHVXacgtunrykmswbdhvx", c)) {
        throw std::runtime_error(fileName + ": sequence " + record.id + " holds the character '" + std::string(1, c) +
                                 "', which is not a nucleotide code");
      }
      record.bases.push_back(c);
    }
    if (record.id.empty()) throw std::runtime_error(fileName + ": a sequence has an empty name");
    if (record.bases.empty()) throw std::runtime_error(fileName + ": sequence " + record.id + " is empty");
    records.push_back(std::move(record));
    at = next == std::string::npos ? next : next + 1;
  }
  return records;
}

}  // namespace velmora::scanner
