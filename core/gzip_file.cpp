#include "core/gzip_file.h"

#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "core/file_bytes.h"
#include "core/run_failure.h"

namespace velmora {

std::string ReadPlainOrGzipFile(const std::filesystem::path& path) {
  const int fd = OpenForReading(path);
  if (fd < 0) FailToRead(path, errno);
  // gzdopen reads a file without the gzip magic as it is.
  const std::unique_ptr<gzFile_s, int (*)(gzFile)> file(gzdopen(fd, "rb"), gzclose);
  if (file == nullptr) {
    close(fd);
    FailToRead(path, ENOMEM);
  }
  gzbuffer(file.get(), 1 << 17);
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    const int got = gzread(file.get(), buffer, sizeof buffer);
    if (got > 0) bytes.append(buffer, static_cast<std::size_t>(got));
    if (got == static_cast<int>(sizeof buffer)) continue;
    int error = Z_OK;
    const char* message = gzerror(file.get(), &error);
    if (error == Z_ERRNO) FailToRead(path, errno);
    if (error != Z_OK) throw RunFailure(path.string() + ": cannot be read: damaged gzip data (" + message + ")");
    if (got <= 0) break;
  }
  return bytes;
}

}  // namespace velmora
