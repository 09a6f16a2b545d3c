#include "engine/last_result.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/file_bytes.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "engine/logged_run.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const fs::path& path, const std::string& what) {
  throw RunFailure(path.string() + ": " + what + ": " + std::strerror(errno));
}

// A folder under a Velmora name is the user's, never the run's: it stays.
void RemoveIfThere(const fs::path& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return;
  if (unlink(path.c_str()) != 0 && errno != ENOENT) Fail(path, "cannot be removed");
}

void Drop(const fs::path& kept) {
  std::error_code error;
  fs::remove_all(kept, error);
  if (error) throw RunFailure(kept.string() + ": cannot be removed: " + error.message());
}

// Links each Velmora file of the workspace into the keep folder; a file that
// cannot be linked (another owner under protected hard links) is copied.
void Keep(const fs::path& workspace, const fs::path& kept) {
  if (mkdir(kept.c_str(), 0700) != 0) Fail(kept, "cannot be created");
  for (std::string_view name : paths::kWorkspaceFiles) {
    const fs::path file = workspace / name;
    struct stat status {};
    if (lstat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;  // links are not Velmora's
    if (link(file.c_str(), (kept / name).c_str()) == 0) continue;
    OutputFile copy(kept / name);
    ReadFileBlocks(file, [&](std::string_view block) { copy.Write(block); });
    copy.Close();
  }
}

// Puts the kept files back in place of whatever the run left, result.xls
// last, and removes the keep folder.
void PutBack(const fs::path& workspace, const fs::path& kept) {
  const auto restore = [&](std::string_view name) {
    const fs::path file = workspace / name, old = kept / name;
    RemoveIfThere(fs::path(file.string() + std::string(paths::kPartial)));
    if (access(old.c_str(), F_OK) == 0) {
      if (rename(old.c_str(), file.c_str()) != 0) Fail(file, "cannot be put back");
    } else {
      RemoveIfThere(file);
    }
  };
  for (std::string_view name : paths::kWorkspaceFiles) {
    if (name != paths::kResult) restore(name);
  }
  restore(paths::kResult);
  Drop(kept);
}

}  // namespace

bool RunKeepingLastResult(Session& session, const std::function<bool()>& work) {
  const fs::path workspace = session.Workspace(), kept = workspace / paths::kLastResult;
  std::error_code error;
  const bool killedBefore = fs::is_directory(fs::symlink_status(kept, error));
  if (!RunLogged(session, [&] {
        if (killedBefore) PutBack(workspace, kept);
        std::error_code ignored;
        fs::remove(kept, ignored);  // anything else planted under the name
        Keep(workspace, kept);
      })) {
    return false;
  }
  if (work()) return RunLogged(session, [&] { Drop(kept); });
  RunLogged(session, [&] { PutBack(workspace, kept); });
  return false;
}

}  // namespace velmora
