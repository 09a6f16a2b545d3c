#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "engine/session.h"

namespace velmora {

// What a run that finds its workspace held is told to do; the window, which
// has no --workdir, says its own.
inline constexpr std::string_view kWaitOrGiveWorkdir = "wait for it or give --workdir";

// Holds a workspace for one run: an advisory lock (flock) on its lock file,
// which also holds the run's pid. The lock goes with the object, or with the
// process however it ends. A missing workspace folder is created: one level,
// or with its parents for the default per-user one.
class WorkspaceLock {
 public:
  // Throws RunFailure when another run holds the workspace ("another run
  // (pid N) is using DIR; " and `whenHeld`) or when the folder cannot be
  // created or written.
  explicit WorkspaceLock(const std::filesystem::path& workspace, bool withParents = false,
                         std::string_view whenHeld = kWaitOrGiveWorkdir);
  ~WorkspaceLock();
  WorkspaceLock(const WorkspaceLock&) = delete;
  WorkspaceLock& operator=(const WorkspaceLock&) = delete;

 private:
  int fd_;
};

// Runs `work` while holding the session's workspace, keeping the last
// complete result for it to fall back to (RunKeepingLastResult). Logs the
// workspace and the reference collection ("Reference: NAME (FOLDER)"). A
// workspace that cannot be held ends the run with one log line, which ends
// in `whenHeld` when another run holds it. Returns what `work` returns.
bool RunLocked(Session& session, const std::function<bool()>& work, std::string_view whenHeld = kWaitOrGiveWorkdir);

}  // namespace velmora
