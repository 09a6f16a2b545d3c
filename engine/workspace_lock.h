#pragma once

#include <filesystem>
#include <functional>

#include "engine/session.h"

namespace velmora {

// Holds a workspace for one run: an advisory lock (flock) on its lock file,
// which also holds the run's pid. The lock goes with the object, or with the
// process however it ends. A missing workspace folder is created: one level,
// or with its parents for the default per-user one.
class WorkspaceLock {
 public:
  // Throws RunFailure when another run holds the workspace ("another run
  // (pid N) is using DIR; wait for it or give --workdir") or when the folder
  // cannot be created or written.
  explicit WorkspaceLock(const std::filesystem::path& workspace, bool withParents = false);
  ~WorkspaceLock();
  WorkspaceLock(const WorkspaceLock&) = delete;
  WorkspaceLock& operator=(const WorkspaceLock&) = delete;

 private:
  int fd_;
};

// Runs `work` while holding the session's workspace, keeping the last
// complete result for it to fall back to (RunKeepingLastResult). Logs the
// workspace and the reference collection ("Reference: NAME (FOLDER)"). A
// workspace that cannot be held ends the run with one log line. Returns
// what `work` returns.
bool RunLocked(Session& session, const std::function<bool()>& work);

}  // namespace velmora
