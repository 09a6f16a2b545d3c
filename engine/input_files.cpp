#include "engine/input_files.h"

#include "core/output_file.h"
#include "core/text.h"
#include "engine/fasta_input.h"

namespace velmora {
namespace {

class PredictorInputs final : public FastaSink {
 public:
  PredictorInputs(const std::filesystem::path& miranda, const std::filesystem::path& targetScan)
      : miranda_(miranda), targetScan_(targetScan) {}

  void Header(std::string_view name, std::string_view description) override {
    const std::string upper = UpperCase(name);
    miranda_.Write(">");
    miranda_.Write(upper);
    if (!description.empty()) {
      miranda_.Write(" ");
      miranda_.Write(UpperCase(description));
    }
    miranda_.Write("\r\n");
    targetScan_.Write(">");
    targetScan_.Write(upper);
    targetScan_.Write("\t9606\t");
  }

  void Sequence(std::string_view nucleotides) override {
    miranda_.Write(nucleotides);
    targetScan_.Write(nucleotides);
  }

  void EndRecord() override {
    miranda_.Write("\r\n");
    targetScan_.Write("\r\n");
  }

  void Close() {
    miranda_.Close();
    targetScan_.Close();
  }

 private:
  OutputFile miranda_;
  OutputFile targetScan_;
};

}  // namespace

void WritePredictorInputs(ByteStream& input, const std::filesystem::path& miranda,
                          const std::filesystem::path& targetScan, std::stop_token stop) {
  PredictorInputs files(miranda, targetScan);
  ReadLncRnaFasta(input, files, stop);
  files.Close();
}

}  // namespace velmora
