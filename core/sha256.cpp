#include "core/sha256.h"

#include <nettle/sha2.h>

#include <cstdint>

#include "core/file_bytes.h"

namespace velmora {

namespace {

void Update(sha256_ctx& context, std::string_view bytes) {
  sha256_update(&context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

// Ends the digest: nettle starts the context anew.
std::string DigestHex(sha256_ctx& context) {
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

}  // namespace

std::string Sha256FileHex(const std::filesystem::path& path) {
  sha256_ctx context;
  sha256_init(&context);
  ReadFileBlocks(path, [&](std::string_view block) { Update(context, block); });
  return DigestHex(context);
}

Sha256Stream::Sha256Stream(ByteStream& bytes) : bytes_(bytes), context_(std::make_unique<sha256_ctx>()) {
  sha256_init(context_.get());
}

Sha256Stream::~Sha256Stream() = default;

std::size_t Sha256Stream::Read(char* buffer, std::size_t size) {
  const std::size_t count = bytes_.Read(buffer, size);
  Update(*context_, std::string_view(buffer, count));
  return count;
}

std::string Sha256Stream::Hex() const {
  sha256_ctx copy = *context_;
  return DigestHex(copy);
}

}  // namespace velmora
