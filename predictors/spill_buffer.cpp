#include "predictors/spill_buffer.h"

#include <stdexcept>

namespace velmora::scanner {

void SpillBuffer::Spill() {
  if (!file_) file_.reset(std::tmpfile());
  if (!file_ || std::fwrite(memory_.data(), 1, memory_.size(), file_.get()) != memory_.size()) {
    throw std::runtime_error("cannot write a temporary file");
  }
  memory_.clear();
}

void SpillBuffer::WriteTo(std::ostream& out) {
  if (file_) {
    std::rewind(file_.get());
    char block[1 << 16];
    for (std::size_t read; (read = std::fread(block, 1, sizeof block, file_.get())) > 0;) {
      out.write(block, static_cast<std::streamsize>(read));
    }
    file_.reset();
  }
  out << memory_;
  memory_.clear();
}

}  // namespace velmora::scanner
