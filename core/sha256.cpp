#include "core/sha256.h"

#include <nettle/sha2.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "core/file_bytes.h"

namespace velmora {

std::string Sha256FileHex(const std::filesystem::path& path) {
  const int fd = OpenForReading(path);
  if (fd < 0) FailToRead(path, errno);
  sha256_ctx context;
  sha256_init(&context);
  std::vector<std::uint8_t> block(1 << 16);
  for (;;) {
    const ssize_t got = read(fd, block.data(), block.size());
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      FailToRead(path, error);
    }
    sha256_update(&context, static_cast<std::size_t>(got), block.data());
  }
  close(fd);
  std::uint8_t digest[SHA256_DIGEST_SIZE];
  sha256_digest(&context, sizeof digest, digest);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return hex;
}

}  // namespace velmora
