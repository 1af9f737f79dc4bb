// Running the programs under test as child processes: velacli with its output and exit status,
// vela-sim serving on a pseudo-terminal for the length of a test.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace vela::testing {

struct ProcessResult {
  int exit_code = -1;  // -1 when killed by a signal or the timeout
  std::string out;
  std::string err;
  double seconds = 0;
};

namespace detail {

inline pid_t Spawn(const std::vector<std::string>& argv, int out_fd, int err_fd) {
  pid_t pid = fork();
  if (pid == 0) {
    int null_in = open("/dev/null", O_RDONLY);
    dup2(null_in, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

}  // namespace detail

// Runs argv[0] with its arguments; kills it after the timeout.
inline ProcessResult RunProcess(const std::vector<std::string>& argv,
                                std::chrono::seconds timeout = std::chrono::seconds(60)) {
  int out[2], err[2];
  ProcessResult result;
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = detail::Spawn(argv, out[1], err[1]);
  close(out[1]);
  close(err[1]);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open_fds = 2;
  while (open_fds > 0) {
    auto left = timeout - (std::chrono::steady_clock::now() - start);
    int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(left).count());
    if (ms <= 0) {
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds, 2, ms) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_fds;
      } else {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
      }
    }
  }
  for (auto& f : fds) {
    if (f.fd >= 0) close(f.fd);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// vela-sim --pty with the given options, for as long as the object lives.
class SimProcess {
 public:
  explicit SimProcess(const std::string& binary, const std::vector<std::string>& options = {}) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> argv = {binary, "--pty"};
    argv.insert(argv.end(), options.begin(), options.end());
    int err = open("/dev/null", O_WRONLY);
    pid_ = detail::Spawn(argv, out[1], err);
    close(out[1]);
    close(err);
    out_fd_ = out[0];
    // The first line of stdout is the pty's path.
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
      pollfd p{out_fd_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c;
      if (read(out_fd_, &c, 1) != 1) break;
      if (c == '\n') break;
      path_ += c;
    }
  }
  ~SimProcess() { Stop(); }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const std::string& path() const { return path_; }
  pid_t pid() const { return pid_; }

  // SIGTERM, then the exit status (0 for a clean stop).
  int Stop() {
    if (pid_ <= 0) return exit_code_;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    if (out_fd_ >= 0) close(out_fd_);
    out_fd_ = -1;
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exit_code_;
  }

 private:
  pid_t pid_ = -1;
  int out_fd_ = -1;
  int exit_code_ = -1;
  std::string path_;
};

}  // namespace vela::testing
