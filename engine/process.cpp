#include "engine/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/run_failure.h"

extern char** environ;

namespace velmora {
namespace {

constexpr int kLookIntervalMs = 50;

// Closes a file descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

std::string LastLine(const std::string& text) {
  std::string trimmed = text;
  while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == '\r')) trimmed.pop_back();
  const std::size_t start = trimmed.rfind('\n');
  return start == std::string::npos ? trimmed : trimmed.substr(start + 1);
}

void EndChild(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 20; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

void ShellAndWait(Frontend& frontend, const std::stop_token& stop, const CommandLine& command, std::string_view name) {
  int errors[2];
  if (pipe2(errors, O_CLOEXEC) != 0) {
    throw RunFailure(std::string(name) + " could not be started: " + std::strerror(errno));
  }
  Descriptor errorRead(errors[0]);
  Descriptor errorWrite(errors[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, errorWrite.get(), STDERR_FILENO);
  std::vector<char*> argv;
  for (const std::string& argument : command.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) throw RunFailure(std::string(name) + " could not be started: " + std::strerror(started));
  errorWrite.reset();

  // The pidfd becomes readable when the child ends, so poll() sleeps until
  // then, or until the stop request is next looked at.
  Descriptor child(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
  std::string errorText;
  const auto begin = std::chrono::steady_clock::now();
  int status = 0;
  for (;;) {
    if (stop.stop_requested()) {
      EndChild(pid);
      throw RunStopped();
    }
    pollfd looks[2] = {{errorRead.get(), POLLIN, 0}, {child.get(), POLLIN, 0}};
    poll(looks, child.get() >= 0 ? 2 : 1, kLookIntervalMs);
    if (looks[0].revents & (POLLIN | POLLHUP)) {
      char buffer[4096];
      const ssize_t got = read(errorRead.get(), buffer, sizeof buffer);
      if (got > 0) errorText.append(buffer, static_cast<std::size_t>(got));
      if (got == 0) errorRead.reset();
    }
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - begin).count();
    frontend.ShowProgress(std::string(name) + " running, " + std::to_string(seconds) + " s");
  }
  for (char buffer[4096]; errorRead.get() >= 0;) {
    const ssize_t got = read(errorRead.get(), buffer, sizeof buffer);
    if (got <= 0) break;
    errorText.append(buffer, static_cast<std::size_t>(got));
  }
  if (WIFSIGNALED(status)) {
    throw RunFailure(std::string(name) + " was ended by signal " + std::to_string(WTERMSIG(status)));
  }
  if (WEXITSTATUS(status) != 0) {
    const std::string detail = LastLine(errorText);
    throw RunFailure(std::string(name) + " failed with status " + std::to_string(WEXITSTATUS(status)) +
                     (detail.empty() ? "" : ": " + detail));
  }
}

}  // namespace velmora
