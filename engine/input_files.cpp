#include "engine/input_files.h"

#include "core/output_file.h"
#include "core/text.h"

namespace velmora {

void WriteMirandaInput(const std::filesystem::path& path, const std::vector<LncRnaRecord>& records) {
  OutputFile out(path);
  for (const LncRnaRecord& record : records) {
    out.Write(">");
    out.Write(UpperCase(record.name));
    if (!record.description.empty()) {
      out.Write(" ");
      out.Write(UpperCase(record.description));
    }
    out.Write("\r\n");
    out.Write(record.sequence);
    out.Write("\r\n");
  }
  out.Close();
}

void WriteTargetScanInput(const std::filesystem::path& path, const std::vector<LncRnaRecord>& records) {
  OutputFile out(path);
  for (const LncRnaRecord& record : records) {
    out.Write(">");
    out.Write(UpperCase(record.name));
    out.Write("\t9606\t");
    out.Write(record.sequence);
    out.Write("\r\n");
  }
  out.Close();
}

}  // namespace velmora
