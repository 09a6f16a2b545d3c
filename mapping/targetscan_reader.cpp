#include "mapping/targetscan_reader.h"

#include <string>
#include <unordered_set>

#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/run_failure.h"
#include "core/text.h"
#include "mapping/mirna_name.h"

namespace velmora {
namespace {

std::unordered_set<std::string> ReadReferenceList(const std::filesystem::path& path, bool stopAtLineFeed) {
  std::unordered_set<std::string> names;
  LineSource source(path, stopAtLineFeed);
  int slots = 0;
  for (std::string line; source.Next(line);) {
    if (++slots > kReferenceCapacity) {
      throw RunFailure(path.string() + ": more than " + std::to_string(kReferenceCapacity) + " reference miRNAs");
    }
    if (!line.empty()) names.insert(std::move(line));  // an empty slot never matches
  }
  return names;
}

bool IsDataLine(std::string_view line) {
  const std::string_view head = line.substr(0, 9);
  return head != "a_Gene_ID" && head != "UTR\tMICRO" && head != "REFSEQ\tMI" && !TrimSpaces(line).empty() &&
         line.front() != '\r';
}

}  // namespace

void ExtractTargetScanPairs(const std::filesystem::path& targetScanOutput, const std::filesystem::path& pairFile,
                            const std::filesystem::path& referenceList, bool outputStopAtLineFeed,
                            bool referenceStopAtLineFeed, bool bDropFirstChar, std::stop_token stop) {
  LineSource output(targetScanOutput, outputStopAtLineFeed, std::move(stop));
  const std::unordered_set<std::string> reference = ReadReferenceList(referenceList, referenceStopAtLineFeed);
  OutputFile out(pairFile);
  for (std::string line; output.Next(line);) {
    if (!IsDataLine(line)) continue;
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string::npos) continue;
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    if (secondTab == std::string::npos) continue;
    const std::size_t start = firstTab + (bDropFirstChar ? 2 : 1);
    const std::string_view field =
        start < secondTab ? std::string_view(line).substr(start, secondTab - start) : std::string_view();
    const auto name = NormaliseMirnaName(field);
    if (!name || !reference.contains(*name)) continue;
    out.Write(std::string_view(line).substr(0, firstTab));
    out.Write("\t" + *name + "\n");
  }
  out.Close();
}

}  // namespace velmora
