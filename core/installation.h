#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace velmora {

// The folder that holds the running program: the default installation folder.
std::filesystem::path ProgramFolder();

// Throws RunFailure naming the first of the files (relative to the
// installation folder) that is missing.
void RequireFiles(const std::filesystem::path& home, const std::vector<std::string_view>& relatives);

// As RequireFiles, and each must be executable.
void RequirePrograms(const std::filesystem::path& home, const std::vector<std::string_view>& relatives);

}  // namespace velmora
