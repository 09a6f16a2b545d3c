#include "mapping/miranda_reader.h"

#include <cstdint>
#include <string>

#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/run_failure.h"
#include "mapping/mirna_name.h"

namespace velmora {

void ExtractMirandaPairs(const std::filesystem::path& mirandaOutput, const std::filesystem::path& pairFile,
                         std::stop_token stop) {
  // LineFile rather than LineSource: a line that reads as EndMark must not
  // end the output early.
  LineFile output(mirandaOutput);
  OutputFile out(pairFile);
  // "Performing Scan: " fills characters 1 to 17, so the miRNA starts at 18
  // and runs to the space before the first "vs".
  constexpr std::size_t kMirnaStart = 17;
  bool closed = false;  // whether the last line that holds something is the closing line
  std::int64_t number = 0;
  for (std::string line; output.ReadLine(true, line);) {
    if ((++number & 4095) == 0 && stop.stop_requested()) throw RunStopped();
    if (!line.empty() && line.back() == '\r') line.pop_back();  // CR LF reads as LF
    if (!line.empty()) closed = line == kClosingLine;
    if (line.find("Performing Scan:") == std::string::npos) continue;
    const std::size_t vs = line.find("vs");
    if (vs == std::string::npos || vs < kMirnaStart + 1) continue;
    const std::string_view sequenceName = vs + 3 <= line.size() ? std::string_view(line).substr(vs + 3) : "";
    if (sequenceName.empty()) {
      throw RunFailure(mirandaOutput.string() + ": line " + std::to_string(number) +
                       ": the scan names no target after \"vs\"");
    }
    const auto name = NormaliseMirnaName(std::string_view(line).substr(kMirnaStart, vs - 1 - kMirnaStart));
    if (!name) continue;
    out.Write(">");
    out.Write(sequenceName);
    out.Write("\t" + *name + "\r\n");
  }
  if (!closed) {
    throw RunFailure(mirandaOutput.string() + ": ends before the scanner's closing line \"" +
                     std::string(kClosingLine) + "\"; the output was cut short");
  }
  out.Close();
}

}  // namespace velmora
