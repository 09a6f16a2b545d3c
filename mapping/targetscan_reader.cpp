#include "mapping/targetscan_reader.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/run_failure.h"
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

}  // namespace

void ExtractTargetScanPairs(const std::filesystem::path& targetScanOutput, const std::filesystem::path& pairFile,
                            const std::filesystem::path& referenceList, bool outputStopAtLineFeed,
                            bool referenceStopAtLineFeed, bool bDropFirstChar, std::stop_token stop) {
  // LineFile rather than LineSource: a line that reads as EndMark must be
  // refused like any other stray line, not end the output early.
  LineFile output(targetScanOutput);
  const std::unordered_set<std::string> reference = ReadReferenceList(referenceList, referenceStopAtLineFeed);
  OutputFile out(pairFile);
  std::int64_t number = 0;
  const auto fail = [&](const std::string& problem) {
    throw RunFailure(targetScanOutput.string() + ": line " + std::to_string(number) + ": " + problem);
  };
  for (std::string line; output.ReadLine(outputStopAtLineFeed, line);) {
    if ((++number & 4095) == 0 && stop.stop_requested()) throw RunStopped();
    if (!output.LineEnded()) fail("ends without a line end; the site finder's output was cut short");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1) {
      if (line != kSiteFinderHeader) fail("not the site finder's header line; this is not its output");
      continue;
    }
    const auto fields = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
    if (fields != kSiteFields) {
      fail(std::to_string(fields) + (fields == 1 ? " field" : " fields") + " where a site line has " +
           std::to_string(kSiteFields));
    }
    const std::size_t firstTab = line.find('\t'), secondTab = line.find('\t', firstTab + 1);
    const std::size_t start = firstTab + (bDropFirstChar ? 2 : 1);
    const std::string_view field =
        start < secondTab ? std::string_view(line).substr(start, secondTab - start) : std::string_view();
    const auto name = NormaliseMirnaName(field);
    if (!name || !reference.contains(*name)) continue;
    out.Write(std::string_view(line).substr(0, firstTab));
    out.Write("\t" + *name + "\n");
  }
  if (number == 0) {
    throw RunFailure(targetScanOutput.string() + ": empty; the site finder writes at least its header line");
  }
  out.Close();
}

}  // namespace velmora
