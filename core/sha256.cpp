#include "core/sha256.h"

#include <nettle/sha2.h>

#include <cstdint>

#include "core/file_bytes.h"

namespace velmora {

std::string Sha256FileHex(const std::filesystem::path& path) {
  sha256_ctx context;
  sha256_init(&context);
  ReadFileBlocks(path, [&](std::string_view block) {
    sha256_update(&context, block.size(), reinterpret_cast<const std::uint8_t*>(block.data()));
  });
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
