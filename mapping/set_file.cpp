#include "mapping/set_file.h"

#include <string>

#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/text.h"

namespace velmora {

void WriteLncMirSets(const std::filesystem::path& groupedPairs, const std::filesystem::path& setFile,
                     bool stopAtLineFeed, std::stop_token stop) {
  LineSource source(groupedPairs, stopAtLineFeed, std::move(stop));
  OutputFile out(setFile);
  std::string identifier;
  std::string names;
  bool open = false;  // a run has started
  for (std::string line; source.Next(line);) {
    if (open && (line.empty() || line == "\n")) continue;
    const auto fields = Split(line, '\t');
    if (fields.size() < 2) continue;  // only a pair line starts or extends a run
    std::string field1(fields[0]);
    if (open) std::erase(field1, '\n');
    if (open && field1 == identifier) {
      names += '\t';
      names += fields[1];
      continue;
    }
    if (open) out.Write(identifier + '\t' + names + '\n');
    identifier = std::move(field1);
    names = fields[1];
    open = true;
  }
  if (open) out.Write(identifier + '\t' + names + '\n');
  out.Close();
}

}  // namespace velmora
