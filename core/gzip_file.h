#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// The content of a file, gzip-decompressed when it is gzip-compressed (plain
// files are read as they are). A file that cannot be read, and a compressed
// stream that is damaged or cut short, throw RunFailure naming the file.
std::string ReadPlainOrGzipFile(const std::filesystem::path& path);

}  // namespace velmora
