#include "core/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "core/paths.h"
#include "core/run_failure.h"

namespace velmora {
namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path, int error) {
  throw RunFailure(std::string("cannot ") + what + " " + path.string() + ": " + std::strerror(error));
}

std::FILE* CreateNew(const std::filesystem::path& path) {
  DiscardPartial(path);
  const std::filesystem::path partial = PartialPath(path);
  // O_EXCL and O_NOFOLLOW: a link or file planted after the discard is refused, never written through.
  const int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) Fail("create", path, errno);
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = errno;
    close(fd);
    DiscardPartial(path);
    Fail("create", path, error);
  }
  return file;
}

}  // namespace

std::filesystem::path PartialPath(const std::filesystem::path& path) {
  return path.string() + std::string(paths::kPartial);
}

void DiscardPartial(const std::filesystem::path& path) { unlink(PartialPath(path).c_str()); }

void CommitPartial(const std::filesystem::path& path) {
  if (std::rename(PartialPath(path).c_str(), path.c_str()) != 0) {
    const int error = errno;
    DiscardPartial(path);
    Fail("write", path, error);
  }
}

OutputFile::OutputFile(std::filesystem::path path) : path_(std::move(path)), file_(CreateNew(path_)) {}

OutputFile::~OutputFile() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  DiscardPartial(path_);
}

void OutputFile::Write(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("write", path_, errno);
}

void OutputFile::Close() {
  if (file_ == nullptr) return;
  std::FILE* file = std::exchange(file_, nullptr);
  const bool flushed = std::fflush(file) == 0;
  const int flushError = errno;
  const bool closed = std::fclose(file) == 0;
  const int closeError = errno;
  if (!flushed || !closed) {
    DiscardPartial(path_);
    Fail("write", path_, !flushed ? flushError : closeError);
  }
  CommitPartial(path_);
}

}  // namespace velmora
