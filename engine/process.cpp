#include "engine/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "core/run_failure.h"

namespace velmora {
namespace {

constexpr int kLookIntervalMs = 50;
// Where a predictor finds its progress pipe, and how its environment says so.
constexpr int kProgressFd = 3;
constexpr char kProgressVariable[] = "VELMORA_PROGRESS_FD=3";

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

// Only the end of a predictor's standard error is shown (its last line), so
// only the end is kept: a predictor that writes gigabytes there costs nothing.
void KeepTail(std::string& text, std::string_view more) {
  constexpr std::size_t kKept = 8192;
  text.append(more);
  if (text.size() > 2 * kKept) text.erase(0, text.size() - kKept);
}

std::string LastLine(const std::string& text) {
  std::string trimmed = text;
  while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == '\r')) trimmed.pop_back();
  const std::size_t start = trimmed.rfind('\n');
  return start == std::string::npos ? trimmed : trimmed.substr(start + 1);
}

// Ends the child's whole process group: the predictor and anything it started.
void EndChild(pid_t pid) {
  kill(-pid, SIGTERM);
  for (int i = 0; i < 20; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    usleep(10000);
  }
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// In the child, before exec: only async-signal-safe calls. The child leads a
// process group of its own (so the run can end all of it), dies with the
// thread that started it (so no predictor outlives Velmora, however Velmora
// ends), and gets the default signal handling back that Velmora changed. Its
// progress pipe becomes descriptor kProgressFd, which its environment names.
[[noreturn]] void BecomePredictor(pid_t parent, const int (&pipes)[3], char* const* argv, char* const* environment) {
  const auto [errorWrite, progressWrite, execReport] = pipes;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  setpgid(0, 0);
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  for (int signal : {SIGPIPE, SIGINT, SIGTERM}) sigaction(signal, &standard, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
  const int output = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (input < 0 || output < 0 || dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0 ||
      dup2(errorWrite, STDERR_FILENO) < 0 ||
      (progressWrite == kProgressFd ? fcntl(kProgressFd, F_SETFD, 0) : dup2(progressWrite, kProgressFd)) < 0) {
    const int error = errno;
    (void)!write(execReport, &error, sizeof error);
    _exit(127);
  }
  execve(argv[0], argv, environment);
  const int error = errno;
  (void)!write(execReport, &error, sizeof error);
  _exit(127);
}

RunFailure NotStarted(std::string_view name, int error) {
  return RunFailure(std::string(name) + " could not be started: " + std::strerror(error));
}

// Starts the program; throws RunFailure naming it when it cannot be started.
pid_t StartChild(const CommandLine& command, std::string_view name, int errorWrite, int progressWrite) {
  std::vector<char*> argv;
  for (const std::string& argument : command.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  // Velmora's environment, with the progress descriptor named.
  std::vector<char*> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (!std::string_view(*variable).starts_with("VELMORA_PROGRESS_FD=")) environment.push_back(*variable);
  }
  environment.push_back(const_cast<char*>(kProgressVariable));
  environment.push_back(nullptr);
  int reports[2];
  if (pipe2(reports, O_CLOEXEC) != 0) throw NotStarted(name, errno);
  Descriptor reportRead(reports[0]);
  Descriptor reportWrite(reports[1]);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) throw NotStarted(name, errno);
  if (pid == 0)
    BecomePredictor(parent, {errorWrite, progressWrite, reportWrite.get()}, argv.data(), environment.data());
  setpgid(pid, pid);  // also here, so that the group exists before anyone signals it
  reportWrite.reset();
  // A successful exec closes the report pipe unwritten.
  int error = 0;
  ssize_t got;
  do {
    got = read(reportRead.get(), &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  if (got == static_cast<ssize_t>(sizeof error)) {
    waitpid(pid, nullptr, 0);
    throw NotStarted(name, error);
  }
  return pid;
}

// The started predictor's process group, ended however the wait is left: a
// failure, a stop, or a predictor that ended while something it started
// lives on (holding its standard error, say).
class ChildGroup {
 public:
  explicit ChildGroup(pid_t pid) : pid_(pid) {}
  ~ChildGroup() {
    if (!reaped_) EndChild(pid_);
    kill(-pid_, SIGKILL);
  }
  ChildGroup(const ChildGroup&) = delete;
  ChildGroup& operator=(const ChildGroup&) = delete;
  // Whether the predictor has ended; its status is then in `status`.
  bool Ended(int& status) {
    reaped_ = reaped_ || waitpid(pid_, &status, WNOHANG) == pid_;
    return reaped_;
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_;
  bool reaped_ = false;
};

// Hands on what a non-blocking pipe holds now; false once it is closed.
bool Drain(int fd, const std::function<void(std::string_view)>& take) {
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) return got < 0 && (errno == EAGAIN || errno == EINTR);
    take(std::string_view(buffer, static_cast<std::size_t>(got)));
  }
}

// The predictor's progress lines, "DONE TOTAL", handed on as fractions.
class ProgressLines {
 public:
  void Take(std::string_view bytes, const std::function<void(double)>& progress) {
    pending_.append(bytes);
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos; pending_.erase(0, end + 1)) {
      const char *at = pending_.data(), *stop = at + end;
      std::uint64_t done = 0, total = 0;
      const auto first = std::from_chars(at, stop, done);
      const auto second = first.ptr < stop ? std::from_chars(first.ptr + 1, stop, total) : first;
      if (first.ec == std::errc() && second.ec == std::errc() && total > 0 && progress) {
        progress(static_cast<double>(std::min(done, total)) / static_cast<double>(total));
      }
    }
    if (pending_.size() > 256) pending_.clear();  // no line of ours
  }

 private:
  std::string pending_;
};

}  // namespace

void ShellAndWait(const std::stop_token& stop, const CommandLine& command, std::string_view name,
                  const std::function<void(double)>& progress) {
  int errors[2], reports[2];
  if (pipe2(errors, O_CLOEXEC) != 0) throw NotStarted(name, errno);
  Descriptor errorRead(errors[0]), errorWrite(errors[1]);
  if (pipe2(reports, O_CLOEXEC) != 0) throw NotStarted(name, errno);
  Descriptor progressRead(reports[0]), progressWrite(reports[1]);
  fcntl(errorRead.get(), F_SETFL, O_NONBLOCK);
  fcntl(progressRead.get(), F_SETFL, O_NONBLOCK);

  ChildGroup child(StartChild(command, name, errorWrite.get(), progressWrite.get()));
  errorWrite.reset();
  progressWrite.reset();

  // The pidfd becomes readable when the child ends, so poll() sleeps until
  // then, or until the stop request is next looked at. Standard error is
  // read until the predictor ends, not until the pipe closes: something the
  // predictor started may hold it open.
  Descriptor ended(static_cast<int>(syscall(SYS_pidfd_open, child.pid(), 0)));
  std::string errorText;
  const auto keepErrors = [&](std::string_view bytes) { KeepTail(errorText, bytes); };
  ProgressLines lines;
  const auto takeProgress = [&](std::string_view bytes) { lines.Take(bytes, progress); };
  int status = 0;
  while (!child.Ended(status)) {
    if (stop.stop_requested()) throw RunStopped();
    pollfd looks[3] = {{errorRead.get(), POLLIN, 0}, {progressRead.get(), POLLIN, 0}, {ended.get(), POLLIN, 0}};
    poll(looks, 3, kLookIntervalMs);
    if (errorRead.get() >= 0 && !Drain(errorRead.get(), keepErrors)) errorRead.reset();
    if (progressRead.get() >= 0 && !Drain(progressRead.get(), takeProgress)) progressRead.reset();
  }
  if (errorRead.get() >= 0) Drain(errorRead.get(), keepErrors);
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
