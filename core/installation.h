#pragma once

#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace velmora {

// The folder that holds the running program: the default installation folder.
std::filesystem::path ProgramFolder();

// Throws RunFailure naming the first of the files (relative to the
// installation folder) that is missing.
void RequireFiles(const std::filesystem::path& home, std::initializer_list<std::string_view> relatives);

}  // namespace velmora
