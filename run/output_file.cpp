#include "run/output_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "run/run_failure.h"

namespace velmora {
namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path, int error) {
  throw RunFailure(std::string("cannot ") + what + " " + path.string() + ": " + std::strerror(error));
}

}  // namespace

OutputFile::OutputFile(std::filesystem::path path)
    : path_(std::move(path)), file_(std::fopen(path_.c_str(), "wb")) {
  if (file_ == nullptr) Fail("create", path_, errno);
}

OutputFile::~OutputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void OutputFile::Write(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("write", path_, errno);
}

void OutputFile::Close() {
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) Fail("write", path_, errno);
}

}  // namespace velmora
