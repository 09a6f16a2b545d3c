#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// The SHA-256 digest of a file's bytes, as 64 lower-case hexadecimal digits,
// read a block at a time. A file that cannot be read throws RunFailure
// naming it.
std::string Sha256FileHex(const std::filesystem::path& path);

}  // namespace velmora
