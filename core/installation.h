#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The folder that holds the running program: the default installation folder.
std::filesystem::path ProgramFolder();

// The running program's file name and its arguments, as it was started
// (from /proc/self/cmdline; empty when that cannot be read).
std::vector<std::string> ProgramCommandLine();

// The workspace a run uses unless given one: the installation's tmp/ when
// it has one (a build tree; whether it can be written is the run's to
// find out), otherwise the user's own $XDG_STATE_HOME/velmora/tmp
// (~/.local/state/velmora/tmp when unset), since an installation under
// /usr cannot be written by its users.
std::filesystem::path DefaultWorkspace(const std::filesystem::path& home);

// Throws RunFailure naming the first of the files (relative to the
// installation folder) that is missing.
void RequireFiles(const std::filesystem::path& home, const std::vector<std::string_view>& relatives);

// As RequireFiles, and each must be executable.
void RequirePrograms(const std::filesystem::path& home, const std::vector<std::string_view>& relatives);

}  // namespace velmora
