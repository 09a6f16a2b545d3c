#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/byte_stream.h"

struct sha256_ctx;

namespace velmora {

// The SHA-256 digest of a file's bytes, as 64 lower-case hexadecimal digits,
// read a block at a time. A file that cannot be read throws RunFailure
// naming it.
std::string Sha256FileHex(const std::filesystem::path& path);

// Passes another stream's bytes on and digests them on the way, so that a
// pass that reads an input for another reason digests it too.
class Sha256Stream final : public ByteStream {
 public:
  explicit Sha256Stream(ByteStream& bytes);
  ~Sha256Stream() override;
  Sha256Stream(const Sha256Stream&) = delete;
  Sha256Stream& operator=(const Sha256Stream&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override;
  // The digest of the bytes read so far, as Sha256FileHex writes it.
  std::string Hex() const;

 private:
  ByteStream& bytes_;
  std::unique_ptr<sha256_ctx> context_;
};

}  // namespace velmora
