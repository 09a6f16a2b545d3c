#include "engine/workspace_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "core/paths.h"
#include "core/run_failure.h"
#include "engine/last_result.h"
#include "engine/logged_run.h"
#include "engine/run_log.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Unusable(const fs::path& workspace, const std::string& reason) {
  throw RunFailure(workspace.string() + ": cannot be used as the workspace: " + reason +
                   "; give a folder you can write with --workdir");
}

// The pid the holder wrote; it writes it right after taking the lock, so an
// empty file is read again for a moment.
std::string HolderPid(int fd) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    char text[32] = {};
    const ssize_t got = pread(fd, text, sizeof text - 1, 0);
    if (got > 0) return std::string(text, static_cast<std::size_t>(got));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "unknown";
}

}  // namespace

WorkspaceLock::WorkspaceLock(const fs::path& workspace, bool withParents, std::string_view whenHeld) : fd_(-1) {
  std::error_code error;
  if (!fs::is_directory(workspace, error)) {
    if (fs::exists(workspace, error)) Unusable(workspace, "not a folder");
    const bool made = withParents ? fs::create_directories(workspace, error) : fs::create_directory(workspace, error);
    if (!made && error) Unusable(workspace, error.message());
  }
  const fs::path lock = workspace / paths::kLock;
  // Never through a link planted under the name, never waiting on a FIFO.
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  fd_ = open(lock.c_str(), O_RDWR | O_CREAT | kFlags, 0644);
  // Another user's lock file: reading it is enough to take a turn (flock), so
  // it need not be writable by all.
  const bool writable = fd_ >= 0;
  if (fd_ < 0 && errno == EACCES) fd_ = open(lock.c_str(), O_RDONLY | kFlags);
  if (fd_ < 0) Unusable(workspace, lock.filename().string() + ": " + std::strerror(errno));
  struct stat status {};
  if (fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd_);
    Unusable(workspace, lock.filename().string() + " is not a regular file");
  }
  if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int reason = errno;
    const std::string pid = reason == EWOULDBLOCK ? HolderPid(fd_) : "";
    close(fd_);
    if (reason != EWOULDBLOCK) Unusable(workspace, std::strerror(reason));
    throw RunFailure("another run (pid " + pid + ") is using " + workspace.string() + "; " + std::string(whenHeld));
  }
  const std::string pid = std::to_string(getpid());
  if (!writable) return;  // the holder's pid stays unknown to the next run
  if (ftruncate(fd_, 0) != 0 || pwrite(fd_, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
    const int reason = errno;
    close(fd_);
    Unusable(workspace, std::strerror(reason));
  }
}

WorkspaceLock::~WorkspaceLock() { close(fd_); }

bool RunLocked(Session& session, const std::function<bool()>& work, std::string_view whenHeld) {
  std::optional<WorkspaceLock> lock;
  if (!RunLogged(session, [&] { lock.emplace(session.Workspace(), session.workdir.empty(), whenHeld); })) return false;
  // Without --workdir the folder depends on the installation: say which it is.
  AppendLogLine(session.frontend, "Workspace: " + session.Workspace().string());
  const ReferenceCollection collection = session.Collection();
  return RunLogged(session,
                   [&] {
                     AppendLogLine(session.frontend,
                                   "Reference: " + collection.Name() + " (" + collection.folder.string() + ")");
                   }) &&
         RunKeepingLastResult(session, work);
}

}  // namespace velmora
