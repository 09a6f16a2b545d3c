#pragma once

// How a run finds its workspace without --workdir, as --help states it (and
// the man page, which is made from --help).

namespace velmora::cli {

inline constexpr const char* kDefaultWorkdir = "see WORKSPACE below";

inline constexpr const char* kWorkspaceRule =
    "WORKSPACE\n"
    "  Without --workdir, a run's files go to tmp/ in the installation folder when that\n"
    "  folder has one (a build from source), otherwise to $XDG_STATE_HOME/velmora/tmp\n"
    "  (~/.local/state/velmora/tmp when XDG_STATE_HOME is unset), created on first use.\n"
    "  Each run's log names the folder it uses.";

}  // namespace velmora::cli
