#include "mapping/miranda_reader.h"

#include <string>

#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/run_failure.h"
#include "mapping/mirna_name.h"

namespace velmora {

void ExtractMirandaPairs(const std::filesystem::path& mirandaOutput, const std::filesystem::path& pairFile,
                         std::stop_token stop) {
  LineSource output(mirandaOutput, true, std::move(stop));
  OutputFile out(pairFile);
  // "Performing Scan: " fills characters 1 to 17, so the miRNA starts at 18
  // and runs to the space before the first "vs".
  constexpr std::size_t kMirnaStart = 17;
  bool closed = false;  // whether the last line that holds something, without its CR, is the closing line
  for (std::string line; output.Next(line);) {
    if (!line.empty() && line != "\r") {
      const std::string_view text(line);
      closed = (text.back() == '\r' ? text.substr(0, text.size() - 1) : text) == kClosingLine;
    }
    if (line.find("Performing Scan:") == std::string::npos) continue;
    const std::size_t vs = line.find("vs");
    if (vs == std::string::npos || vs < kMirnaStart + 1) continue;
    const auto name = NormaliseMirnaName(std::string_view(line).substr(kMirnaStart, vs - 1 - kMirnaStart));
    if (!name) continue;
    const std::string_view sequenceName = vs + 3 <= line.size() ? std::string_view(line).substr(vs + 3) : "";
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
