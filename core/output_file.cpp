#include "core/output_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "core/paths.h"
#include "core/run_failure.h"

namespace velmora {
namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path, int error) {
  throw RunFailure(std::string("cannot ") + what + " " + path.string() + ": " + std::strerror(error));
}

}  // namespace

OutputFile::OutputFile(std::filesystem::path path)
    : path_(std::move(path)),
      partial_(path_.string() + std::string(paths::kPartial)),
      file_(std::fopen(partial_.c_str(), "wbe")) {
  if (file_ == nullptr) Fail("create", path_, errno);
}

OutputFile::~OutputFile() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  std::remove(partial_.c_str());
}

void OutputFile::Write(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("write", path_, errno);
}

void OutputFile::Close() {
  std::FILE* file = file_;
  file_ = nullptr;
  const bool written = std::fflush(file) == 0;
  const int error = errno;
  if (std::fclose(file) != 0 || !written) {
    std::remove(partial_.c_str());
    Fail("write", path_, written ? errno : error);
  }
  if (std::rename(partial_.c_str(), path_.c_str()) != 0) {
    const int renameError = errno;
    std::remove(partial_.c_str());
    Fail("write", path_, renameError);
  }
}

}  // namespace velmora
