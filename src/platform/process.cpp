#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace platform {
namespace {

// How often a running command is checked for its end and for a stop request while it is silent.
constexpr int kPollSliceMs = 10;

struct Pipe {
  int read = -1;
  int write = -1;
  ~Pipe() {
    if (read >= 0) ::close(read);
    if (write >= 0) ::close(write);
  }
};

// Reads what is available without blocking; closes the descriptor at its end.
void Drain(int& fd, std::string& into, bool& truncated) {
  char buffer[65536];
  while (fd >= 0) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      const size_t room = kMaxCapturedBytes - std::min(kMaxCapturedBytes, into.size());
      const size_t take = std::min(room, static_cast<size_t>(n));
      into.append(buffer, take);
      if (take < static_cast<size_t>(n)) truncated = true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    ::close(fd);
    fd = -1;
  }
}

void Decode(int status, ProcessResult& result) {
  if (WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
}

int WaitBlocking(pid_t pid, int& status) {
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  if (argv.empty() || argv.front().empty()) {
    result.error = "no command given";
    return result;
  }
  Pipe out;
  Pipe err;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    result.error = argv.front() + ": cannot create a pipe: " + std::strerror(errno);
    return result;
  }
  out.read = fds[0], out.write = fds[1];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    result.error = argv.front() + ": cannot create a pipe: " + std::strerror(errno);
    return result;
  }
  err.read = fds[0], err.write = fds[1];

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
  // Descriptors that this process opened without close-on-exec must not leak into the command.
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  // Its own process group, so that a time-out also ends whatever it started; signals the program
  // ignores or blocks are restored for it.
  sigset_t all;
  sigset_t none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int spawn_error = ::posix_spawnp(&pid, argv.front().c_str(), &actions, &attributes, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawn_error != 0) {
    result.error = argv.front() + ": cannot start: " + std::strerror(spawn_error);
    return result;
  }
  result.started = true;
  ::close(out.write), out.write = -1;
  ::close(err.write), err.write = -1;
  ::fcntl(out.read, F_SETFL, O_NONBLOCK);
  ::fcntl(err.read, F_SETFL, O_NONBLOCK);

  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(options.timeout_ms);
  int status = 0;
  bool reaped = false;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno == ECHILD)) {
      reaped = done == pid;
      if (!reaped) result.error = argv.front() + ": its exit status was lost";
      break;
    }
    const bool stop = options.stop_requested && options.stop_requested();
    const bool late = options.timeout_ms > 0 && Clock::now() >= deadline;
    if (stop || late) {
      ::kill(-pid, SIGKILL);
      if (const int error = WaitBlocking(pid, status); error == 0) reaped = true;
      result.stopped = stop;
      result.timed_out = !stop;
      result.error = argv.front() + (stop ? ": stopped" : ": no end within " + std::to_string(options.timeout_ms) + " ms");
      break;
    }
    pollfd watched[2];
    nfds_t count = 0;
    for (const int fd : {out.read, err.read})
      if (fd >= 0) watched[count++] = {fd, POLLIN, 0};
    int slice = kPollSliceMs;
    if (options.timeout_ms > 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      slice = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(slice, left)));
    }
    if (::poll(watched, count, slice) > 0) {
      Drain(out.read, result.out, result.output_truncated);
      Drain(err.read, result.err, result.output_truncated);
    }
  }
  // What it wrote before it ended; a child it left behind cannot hold us up, as reads no longer wait.
  Drain(out.read, result.out, result.output_truncated);
  Drain(err.read, result.err, result.output_truncated);
  if (reaped && !result.timed_out && !result.stopped) {
    Decode(status, result);
    if (result.signal != 0) result.error = argv.front() + ": ended by signal " + std::to_string(result.signal);
  } else if (reaped) {
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  }
  return result;
}

}  // namespace platform
