// Any input either gives records that both predictors can take, or one
// RunFailure; nothing else. Read a few bytes at a time, so that lines, line
// ends and the byte-order mark break across pieces, it gives the same.

#include <algorithm>
#include <cstdlib>
#include <set>

#include "core/byte_stream.h"
#include "core/run_failure.h"
#include "core/text.h"
#include "engine/fasta_input.h"
#include "fuzz/fuzz_file.h"

namespace {

using namespace velmora;

// Checks each record as it comes and keeps the pass's whole account.
class Records final : public FastaSink {
 public:
  void Header(std::string_view name, std::string_view) override {
    if (name.empty() || name.find_first_of(" \t\r\n") != std::string_view::npos) std::abort();
    if (!names_.insert(UpperCase(name)).second) std::abort();
    account += ">" + std::string(name) + "\n";
    length_ = 0;
  }
  void Sequence(std::string_view nucleotides) override {
    if (nucleotides.empty() || nucleotides.find_first_not_of("ACGTUNRYSWKMBDHV") != std::string_view::npos) {
      std::abort();
    }
    account += nucleotides;
    length_ += nucleotides.size();
  }
  void EndRecord() override {
    if (length_ == 0) std::abort();
    account += "\n";
  }

  std::string account;

 private:
  std::set<std::string> names_;
  std::size_t length_ = 0;
};

// At most three bytes a read.
class Trickle final : public ByteStream {
 public:
  explicit Trickle(std::string_view bytes) : rest_(bytes) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, rest_.size(), std::size_t{3}});
    std::copy_n(rest_.data(), count, buffer);
    rest_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view rest_;
};

// The records read, or the failure's message.
template <typename Stream>
std::string Outcome(std::string_view bytes) {
  Stream stream(bytes);
  Records records;
  try {
    ReadLncRnaFasta(stream, records);
  } catch (const RunFailure& failure) {
    if (std::string_view(failure.what()).find('\n') != std::string_view::npos) std::abort();
    return std::string("failure: ") + failure.what();
  }
  return records.account;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::Bytes(data, size);
  if (Outcome<MemoryStream>(bytes) != Outcome<Trickle>(bytes)) std::abort();
  return 0;
}
