#include "engine/input_files.h"

#include <string>

#include "core/output_file.h"
#include "core/text.h"

namespace velmora {

void WriteMirandaInput(const std::filesystem::path& path, std::string_view text) {
  OutputFile out(path);
  out.Write(UpperCase(text));
  out.Write("\r\n");
  out.Close();
}

void WriteTargetScanInput(const std::filesystem::path& path, std::string_view text) {
  OutputFile out(path);
  std::string name;
  std::string sequence;
  auto writeRecord = [&] {
    if (sequence.empty()) return;  // a header without sequence leaves no trace
    out.Write(UpperCase(name) + "\t9606\t" + UpperCase(sequence) + "\r\n");
  };
  if (!text.empty()) {
    for (std::string_view piece : Split(text, '\n')) {
      const std::string_view line = TrimSpaces(piece);
      if (!line.empty() && line.front() == '>') {
        writeRecord();
        // The identifier alone, as the scanner reports it, so that both
        // predictors name the record alike.
        name = line.substr(0, line.find_first_of(" \t\r"));
        sequence.clear();
      } else {
        sequence += line;
      }
    }
  }
  writeRecord();
  out.Close();
}

}  // namespace velmora
